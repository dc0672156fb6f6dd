// Import of card download files from download devices (OPTAC, Digidown, ...) that appear as
// mounted drives. Texts are code page 1250.
#pragma once

#include "utility/dos_ext.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace app {

struct DownloadDrive {
    std::filesystem::path root;  // the mount point with its trailing separator, blanks and all
    std::string item;            // its line in the pick list
    bool removable = false;
    bool device = false;  // its root, type or label names OPTAC or DIGI
};

// The drives offered for an import: the system's root "/" is never one of them, removable
// drives come first, otherwise in drive order. The item is the root, a blank and the label,
// with ";" made a blank.
std::vector<DownloadDrive> DownloadDrives(const std::vector<utility::DriveEntry>& drives);
// Index of the first drive whose root, type or label names OPTAC or DIGI (capitals), else -1.
int PreselectedDrive(const std::vector<DownloadDrive>& drives);

using DriveLister = std::function<std::vector<utility::DriveEntry>()>;

// Lets the user pick a drive and copy or move every "*.DDD" file on it, sub-folders
// included, flat into `dddFolder`, then shows the count. True when the drive list was
// closed with OK (the caller then offers the open dialog on the DDD folder).
bool ImportFromDownloadDevice(const std::filesystem::path& dddFolder, const DriveLister& listDrives);
bool ImportFromDownloadDevice(const std::filesystem::path& dddFolder);

}  // namespace app
