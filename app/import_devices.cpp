#include "app/import_devices.h"

#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/diallistanew.h"
#include "utility/dialwyb.h"
#include "utility/dos_ext.h"

#include <algorithm>

namespace app {

namespace {

using utility::Pl;

constexpr int kRemovableDrive = 2;

// The hourglass from the first dialog to the count box, whatever happens in between.
class Hourglass {
public:
    Hourglass() { utility::ShowHourglass(); }
    ~Hourglass() { utility::ShowDefaultCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

std::string DriveListMessage(const std::string& dddFolder)
{
    return Pl("\r\nNastąpi przeniesienie plików DDD z urządzenia do katalogu\r\n\"") + dddFolder +
           Pl("\"\r\n\r\nNa poniższej liście wskaż urządzenie pobierające dane z kart kierowców "
              "(np. OPTAC, Digidown,...)");
}

std::string MethodExplanation(const std::string& deviceFolder, const std::string& dddFolder)
{
    return Pl("Z urządzenia \"") + deviceFolder + "\"\r\n" + Pl("do katalogu ") + dddFolder + "." +
           Pl("\rPliki DDD zostaną utworzone w komputerze.") + Pl("\r\nWybierz metodę:");
}

// One warning for every file kept back, however many there are.
std::string KeptFilesWarning(const std::string& dddFolder, const utility::StringList& kept)
{
    std::string text = Pl("Pliki o takich nazwach już istnieją w\r\n") + utility::NormalizePath(dddFolder, true) +
                       Pl(". Nie zostały skopiowane.\r\nIlość pominiętych plików: ") + std::to_string(kept.size());
    for (const std::string& name : kept)
        text += "\r\n" + name;
    return text;
}

// -1 when the list was cancelled or closed without a drive.
int ChooseDrive(const std::vector<DownloadDrive>& drives, const std::string& dddFolder, bool& closedWithOk)
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

} // namespace

std::vector<DownloadDrive> DownloadDrives(const utility::StringList& driveLines)
{
    std::vector<DownloadDrive> drives;
    for (const std::string& line : driveLines) {
        const utility::StringList parts = utility::SplitToList(std::string(1, utility::kDriveFieldSeparator), "", line);
        if (parts.empty() || parts[0].empty())
            continue;
        DownloadDrive drive;
        drive.root = parts[0];
        if (drive.root.back() != '/')
            drive.root += '/';
        // Importing from the system's root would walk the whole system.
        if (drive.root == "/")
            continue;
        const std::string label = parts.size() == 3 ? parts[2] : std::string();
        drive.item = utility::ReplaceChar(drive.root + " " + label, ';', ' ');
        drive.removable = parts.size() >= 2 && parts[1] == std::to_string(kRemovableDrive);
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

bool ImportFromDownloadDevice(const std::string& dddFolder, const DriveLister& listDrives)
{
    bool closedWithOk = false;
    Hourglass hourglass;
    const std::vector<DownloadDrive> drives = DownloadDrives(listDrives());
    const int chosen = ChooseDrive(drives, dddFolder, closedWithOk);
    if (chosen < 0)
        return closedWithOk;
    const std::string& device = drives[static_cast<std::size_t>(chosen)].root;
    const int method = utility::ChooseFromList(
        Pl("Import plików"), MethodExplanation(device, dddFolder),
        Pl("Kopiuj pliki do komputera;Przenieś pliki do komputera (usuń z urządzenia)"), 0);
    if (method != 0 && method != 1)
        return true;
    const bool move = method == 1;
    int count = 0;
    utility::StringList kept;
    (void)utility::CopyTree(device + "*.DDD", dddFolder, count, true, move, &kept);
    if (!kept.empty())
        utility::WarningBox(KeptFilesWarning(dddFolder, kept));
    utility::InfoBox((move ? Pl("Ilość przeniesionych plików: ") : Pl("Ilość skopiowanych plików: ")) +
                     std::to_string(count));
    return true;
}

bool ImportFromDownloadDevice(const std::string& dddFolder)
{
    return ImportFromDownloadDevice(dddFolder, [] { return utility::ListDrives(); });
}

} // namespace app
