// Pieces of the file names the writers give card files.
#pragma once

#include "tacho/card_image.h"

#include <filesystem>
#include <string>

namespace tacho {

// The card's last activity for a file name; 0 (30 December 1899) for a card without
// activity and for one whose activity times cannot be decoded, so naming never fails.
double LastActivityForName(const CardImageData& image);

// surname + "_" + first names + "_" + PESEL + "_", as every card file name begins.
std::string HolderNamePrefix(const CardImageData& image, const std::string& surname);

// False, with a Polish `error`, for a folder that is empty or all blanks: joined with a name
// it would mean the current folder, where no card file belongs.
[[nodiscard]] bool FolderIsNamed(const std::filesystem::path& folder, std::string& error);

}  // namespace tacho
