// Pieces of the file names the writers give card files.
#pragma once

#include "tacho/card_image.h"

#include <string>

namespace tacho {

// The card's last activity for a file name; 0 (30 December 1899) for a card without
// activity and for one whose activity times cannot be decoded, so naming never fails.
double LastActivityForName(const CardImageData& image);

// surname + "_" + first names + "_" + PESEL + "_", as every card file name begins.
std::string HolderNamePrefix(const CardImageData& image, const std::string& surname);

// `folder` (code page 1250) joined with the file name `name`, as code page 1250 text.
std::string JoinFolderAndName(const std::string& folder, const std::string& name);

// False, with a Polish `error`, for a folder text that is empty or blank: joined with a name
// it would mean the root folder, where no card file belongs.
[[nodiscard]] bool FolderIsNamed(const std::string& folder, std::string& error);

} // namespace tacho
