// Converting every raw card image and ZOLT record file of a folder (sub-folders included)
// into ".KK1" files in the folder "KK1" of the program's folder.
#pragma once

#include "tacho/kk1_writer.h"

#include <filesystem>
#include <functional>

namespace tacho {

// The main window's "Pliki KKD dla kontroli" dialog: the full name of the file picked, empty
// when cancelled.
using PickCardFile = std::function<std::filesystem::path()>;

// Runs the whole conversion with its dialogs: the source folder is the folder of the file
// picked; card download files are passed over. Each file is loaded into an image of its own,
// so the card the window shows (CardImage) is left alone. Files that cannot be read are
// reported one by one; KK1 files that cannot be written are reported together at the end.
void ConvertFolderToKk1(const PickCardFile& pickCardFile, const std::filesystem::path& programFolder,
                        const RandomTextSource& random = {});

}  // namespace tacho
