#include "app/import_devices.h"

#include "utility/cp1250.h"
#include "utility/diallistanew.h"
#include "utility/dialogi.h"
#include "utility/dialwyb.h"
#include "utility/dos_ext.h"
#include "utility/paths.h"

#include <algorithm>

namespace app {

namespace {

using utility::Pl;

constexpr int kRemovableDrive = 2;

std::string DriveListMessage(const std::filesystem::path& dddFolder)
{
    return Pl("\r\nNastąpi przeniesienie plików DDD z urządzenia do katalogu\r\n\"") +
           utility::PathToCp1250(dddFolder) +
           Pl("\"\r\n\r\nNa poniższej liście wskaż urządzenie pobierające dane z kart kierowców "
              "(np. OPTAC, Digidown,...)");
}

std::string MethodExplanation(const std::filesystem::path& deviceFolder, const std::filesystem::path& dddFolder)
{
    return Pl("Z urządzenia \"") + utility::PathToCp1250(deviceFolder) + "\"\r\n" + Pl("do katalogu ") +
           utility::PathToCp1250(dddFolder) + "." + Pl("\rPliki DDD zostaną utworzone w komputerze.") +
           Pl("\r\nWybierz metodę:");
}

// One warning for every file kept back, however many there are.
std::string KeptFilesWarning(const std::filesystem::path& dddFolder, const utility::PathList& kept)
{
    std::string text = Pl("Pliki o takich nazwach już istnieją w\r\n");
    text += utility::PathToCp1250(utility::NormalizePath(dddFolder, true));
    text += Pl(". Nie zostały skopiowane.\r\nIlość pominiętych plików: ") + std::to_string(kept.size());
    for (const std::filesystem::path& name : kept)
        text.append("\r\n").append(utility::PathToCp1250(name));
    return text;
}

// -1 when the list was cancelled or closed without a drive.
int ChooseDrive(const std::vector<DownloadDrive>& drives, const std::filesystem::path& dddFolder, bool& closedWithOk)
{
    std::string items;
    for (const DownloadDrive& drive : drives)
        items += (items.empty() ? "" : ";") + drive.item;
    utility::ModalResult result = utility::ModalResult::Cancel;
    bool checked = false;
    std::string itemText;
    int itemIndex = PreselectedDrive(drives);
    utility::ShowListDialog(Pl("Wskaż zasoby urządzenia pobierającego dane z kart kierowców"),
                            DriveListMessage(dddFolder), "", items, true, result, checked, itemText, itemIndex, true);
    closedWithOk = result == utility::ModalResult::Ok;
    if (!closedWithOk || itemIndex < 0 || itemIndex >= static_cast<int>(drives.size()))
        return -1;
    return itemIndex;
}

}  // namespace

std::vector<DownloadDrive> DownloadDrives(const std::vector<utility::DriveEntry>& entries)
{
    std::vector<DownloadDrive> drives;
    for (const utility::DriveEntry& entry : entries) {
        if (entry.root.empty())
            continue;
        DownloadDrive drive;
        drive.root = utility::NormalizePath(entry.root, true);
        // Importing from the system's root would walk the whole system.
        if (drive.root == "/")
            continue;
        const std::string rootText = utility::PathToCp1250(drive.root);
        drive.item = utility::ReplaceChar(rootText + " " + entry.label, ';', ' ');
        drive.removable = entry.type == kRemovableDrive;
        const std::string line = rootText + " " + std::to_string(entry.type) + " " + entry.label;
        drive.device = line.find("OPTAC") != std::string::npos || line.find("DIGI") != std::string::npos;
        drives.push_back(std::move(drive));
    }
    std::stable_partition(drives.begin(), drives.end(), [](const DownloadDrive& d) { return d.removable; });
    return drives;
}

int PreselectedDrive(const std::vector<DownloadDrive>& drives)
{
    const auto found = std::find_if(drives.begin(), drives.end(), [](const DownloadDrive& d) { return d.device; });
    return found == drives.end() ? -1 : static_cast<int>(found - drives.begin());
}

bool ImportFromDownloadDevice(const std::filesystem::path& dddFolder, const DriveLister& listDrives)
{
    bool closedWithOk = false;
    // The hourglass from the first dialog to the count box.
    const auto hourglass = utility::HourglassScope();
    const std::vector<DownloadDrive> drives = DownloadDrives(listDrives());
    const int chosen = ChooseDrive(drives, dddFolder, closedWithOk);
    if (chosen < 0)
        return closedWithOk;
    const std::filesystem::path& device = drives[static_cast<std::size_t>(chosen)].root;
    const int method =
        utility::ChooseFromList(Pl("Import plików"), MethodExplanation(device, dddFolder),
                                Pl("Kopiuj pliki do komputera;Przenieś pliki do komputera (usuń z urządzenia)"), 0);
    if (method != 0 && method != 1)
        return true;
    const bool move = method == 1;
    int count = 0;
    utility::PathList kept;
    (void)utility::CopyTree(device / "*.DDD", dddFolder, count, true, move, &kept);
    if (!kept.empty())
        utility::WarningBox(KeptFilesWarning(dddFolder, kept));
    utility::InfoBox((move ? Pl("Ilość przeniesionych plików: ") : Pl("Ilość skopiowanych plików: ")) +
                     std::to_string(count));
    return true;
}

bool ImportFromDownloadDevice(const std::filesystem::path& dddFolder)
{
    return ImportFromDownloadDevice(dddFolder, [] { return utility::ListDrives(); });
}

}  // namespace app
