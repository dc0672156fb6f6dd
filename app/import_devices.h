// Import of card download files from download devices (OPTAC, Digidown, ...) that appear as
// mounted drives. Texts are code page 1250.
#pragma once

#include "utility/stringi.h"

#include <functional>
#include <string>
#include <vector>

namespace app {

struct DownloadDrive {
    std::string root;   // the mount point with its trailing "/", blanks and all
    std::string item;   // its line in the pick list
    bool removable = false;
    bool device = false;  // its drive line names OPTAC or DIGI
};

// The drives offered for an import, from ListDrives lines: the system's root "/" is never
// one of them, removable drives come first, otherwise in drive order. A line that does not
// split into root, type and label gives an empty label; ";" in the item becomes a blank.
std::vector<DownloadDrive> DownloadDrives(const utility::StringList& driveLines);
// Index of the first drive whose line names OPTAC or DIGI (capitals), else -1.
int PreselectedDrive(const std::vector<DownloadDrive>& drives);

using DriveLister = std::function<utility::StringList()>;

// Lets the user pick a drive and copy or move every "*.DDD" file on it, sub-folders
// included, flat into `dddFolder`, then shows the count. True when the drive list was
// closed with OK (the caller then offers the open dialog on the DDD folder).
bool ImportFromDownloadDevice(const std::string& dddFolder, const DriveLister& listDrives);
bool ImportFromDownloadDevice(const std::string& dddFolder);

} // namespace app
