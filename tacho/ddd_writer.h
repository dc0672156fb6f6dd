// The card download file (".DDD") writer: names the file and writes it as a new file.
#pragma once

#include "tacho/card_image.h"
#include "tacho/ddd_file.h"
#include "utility/atomic_write.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tacho {

// Local date and time now, as a day number.
using Clock = std::function<double()>;

// surname_first names_PESEL_<last activity YYYYMMDDHHMMSS>_<now YYYYMMDDHHMMSS> without the
// forbidden file-name characters, then ".DDD" (code page 1250, no folder).
std::string DddFileName(const CardImageData& image, double now);

// Writes the card as a new file in `folder` under DddFileName; `fileName` receives its full
// name. Failed or Exists leave no file of ours behind and an existing file untouched. Error
// texts are Polish.
[[nodiscard]] utility::WriteStatus WriteDddFile(const CardImageData& image, const SignatureAreaData& signatures,
                                                const std::filesystem::path& folder, const Clock& clock,
                                                std::filesystem::path& fileName, std::string& error);

// The standard name (code page 1250) for the loaded card file `cardFilePath`:
// surname_first names_PESEL_<last activity>_<the file's creation time, 14 digits; empty when
// the file is not found>.DDD, without the forbidden file-name characters.
std::string MakeDddFileName(const CardImageData& image, const std::string& surname,
                            const std::filesystem::path& cardFilePath);

}  // namespace tacho
