// The ".KK1" file writer: names the file and writes it as a new file.
#pragma once

#include "tacho/card_image.h"
#include "tacho/ddd_writer.h"
#include "tacho/kk1_file.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tacho {

// `count` random file-name characters ("0", "1", "A".."Z", "a".."z").
using RandomTextSource = std::function<std::string(int count)>;

// The last activity as the name shows it: the short date, then the time of day to the
// nearest minute as digits, the hour without a leading zero (08:05 -> "805", 23:59:30 -> "2400").
std::string Kk1ActivityText(double lastActivity);

// surname_first names_PESEL_<last activity: short date, then hours and minutes to the nearest
// minute as digits>_<random three> without the forbidden file-name characters, then ".KK1".
std::string Kk1FileName(const CardImageData& image, const std::string& randomThree);

// Writes the card as a new file in `folder`; a name that is taken is retried with new random
// characters. `fileName` receives the full name. Exists: every name tried was taken (no error
// text). Failed: `error` says why. Neither leaves a file of ours behind.
[[nodiscard]] utility::WriteStatus WriteKk1File(const CardImageData& image, const std::filesystem::path& folder,
                                                const RandomTextSource& random, std::filesystem::path& fileName,
                                                std::string& error);

}  // namespace tacho
