#include "app/import_devices.h"

#include "app/tc_glow.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/file_fixture.h"
#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"
#include "utility/diallistanew.h"
#include "utility/dialwyb.h"
#include "utility/dos_ext.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace app;
using utility::MessageKind;
using utility::Pl;

namespace {

namespace fs = std::filesystem;

utility::DriveEntry Line(const fs::path& root, int type, const std::string& label)
{
    return utility::DriveEntry{root, type, label};
}

std::vector<std::string> Roots(const std::vector<DownloadDrive>& drives)
{
    std::vector<std::string> roots;
    for (const DownloadDrive& d : drives)
        roots.push_back(d.root.native());
    return roots;
}

std::vector<std::string> Items(const std::vector<DownloadDrive>& drives)
{
    std::vector<std::string> items;
    for (const DownloadDrive& d : drives)
        items.push_back(d.item);
    return items;
}

TEST(DownloadDriveList, OrderItemsAndPreselection)
{
    using V = std::vector<std::string>;
    struct Case {
        const char* what;
        std::vector<utility::DriveEntry> lines;
        V roots;
        V items;
        int preselected;
    };
    const Case cases[] = {
        {"the root is never offered and removable drives come first",
         {Line("/", 3, ""), Line("/boot/", 3, "BOOT"), Line("/media/u/USB/", 2, "USB"), Line("/home/", 3, "")},
         {"/media/u/USB/", "/boot/", "/home/"},
         {"/media/u/USB/ USB", "/boot/ BOOT", "/home/ "},
         -1},
        {"the first device in drive order",
         {Line("/", 3, ""), Line("/mnt/a/", 2, "DIGIDOWN"), Line("/mnt/b/", 2, "OPTAC2")},
         {"/mnt/a/", "/mnt/b/"},
         {"/mnt/a/ DIGIDOWN", "/mnt/b/ OPTAC2"},
         0},
        {"the device is found by its mount point too, in capitals only",
         {Line("/mnt/optac/", 2, "optac"), Line("/media/u/OPTAC/", 2, "")},
         {"/mnt/optac/", "/media/u/OPTAC/"},
         {"/mnt/optac/ optac", "/media/u/OPTAC/ "},
         1},
        {"a removable device before a fixed one",
         {Line("/srv/OPTAC/", 3, ""), Line("/media/DIGI/", 2, "")},
         {"/media/DIGI/", "/srv/OPTAC/"},
         {"/media/DIGI/ ", "/srv/OPTAC/ "},
         0},
        {"blanks and ';' in roots and labels",
         {Line("/media/u/MY OPTAC/", 2, "A;B"), Line("/mnt/x;y/", 3, "L")},
         {"/media/u/MY OPTAC/", "/mnt/x;y/"},
         {"/media/u/MY OPTAC/ A B", "/mnt/x y/ L"},
         0},
        {"drives without a type or a label, a root without its separator, no root at all",
         {Line("/mnt/c/", 0, ""), Line("/mnt/d", 2, ""), Line("", 2, "OPTAC")},
         {"/mnt/d/", "/mnt/c/"},
         {"/mnt/d/ ", "/mnt/c/ "},
         -1},
        {"a root code page 1250 cannot name is offered under its own name",
         {Line("/media/søren/Ж OPTAC/", 2, "")},
         {"/media/søren/Ж OPTAC/"},
         {"/media/s?ren/? OPTAC/ "},
         0},
        {"only the root", {Line("/", 3, "OPTAC")}, {}, {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<DownloadDrive> drives = DownloadDrives(c.lines);
        EXPECT_EQ(Roots(drives), c.roots);
        EXPECT_EQ(Items(drives), c.items);
        EXPECT_EQ(PreselectedDrive(drives), c.preselected);
    }
}

// What the two dialogs showed and how the test answered them.
struct Answers {
    bool driveOk = true;
    int drive = -1;  // -1 keeps the preselection
    int method = 0;  // -1 cancels
    bool methodShown = false;
    int preselectedDrive = -2;
    std::string driveCaption;
    QStringList driveItems;
    QString explanation;
    bool hourglass = false;
};

class Import : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        root_ = fs::path(dir_.path().toStdString());
        device_ = root_ / "media" / "MY OPTAC";
        ddd_ = root_ / "Program" / "DDD";
        fs::create_directories(device_);
        fs::create_directories(ddd_);
    }

    static void Write(const fs::path& path, const std::string& content)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string("<missing>");
    }

    static std::vector<std::string> Files(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(folder))
            if (e.is_regular_file())
                names.push_back(fs::relative(e.path(), folder).string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string DeviceRoot() const { return device_.string() + "/"; }

    // The one warning of an import that kept back the files `kept` (device paths).
    std::string KeptWarning(const std::vector<fs::path>& kept) const
    {
        std::string text = Pl("Pliki o takich nazwach już istnieją w\r\n") + ddd_.string() +
                           Pl("/. Nie zostały skopiowane.\r\nIlość pominiętych plików: ") + std::to_string(kept.size());
        for (const fs::path& file : kept)
            text += "\r\n" + file.string();
        return text;
    }

    std::vector<utility::DriveEntry> Drives() const
    {
        return {Line("/", 3, ""), Line(root_.string() + "/other/", 3, "DANE"), Line(DeviceRoot(), 2, "OPTAC")};
    }

    // Runs the import with the drives of Drives(), answering the dialogs as `answers` say.
    bool Run(Answers& answers)
    {
        testsupport::OnModalDialog([&](QDialog& dialog) {
            auto* list = dynamic_cast<utility::Tf_dialListaNew*>(&dialog);
            ASSERT_NE(list, nullptr);
            answers.hourglass = QApplication::overrideCursor() != nullptr;
            answers.preselectedDrive = list->SelectedIndex();
            answers.driveCaption = utility::QStringToCp1250(dialog.windowTitle());
            auto* box = dialog.findChild<QListWidget*>(QStringLiteral("ListBox1"));
            ASSERT_NE(box, nullptr);
            for (int i = 0; i < box->count(); ++i)
                answers.driveItems << box->item(i)->text();
            if (answers.drive >= 0)
                box->setCurrentRow(answers.drive);
            if (!answers.driveOk) {
                dialog.reject();
                return;
            }
            testsupport::OnModalDialog([&](QDialog& method) {
                auto* choose = dynamic_cast<utility::Tf_Wybor*>(&method);
                ASSERT_NE(choose, nullptr);
                answers.methodShown = true;
                EXPECT_EQ(choose->SelectedIndex(), 0);
                auto* memo = method.findChild<QTextEdit*>();
                if (memo)
                    answers.explanation = memo->toPlainText();
                if (answers.method < 0) {
                    method.reject();
                } else {
                    choose->SelectIndex(answers.method);
                    method.accept();
                }
            });
            dialog.accept();
        });
        const bool result = ImportFromDownloadDevice(ddd_, [this] { return Drives(); });
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass stayed";
        return result;
    }

    QTemporaryDir dir_;
    fs::path root_;
    fs::path device_;
    fs::path ddd_;
    testsupport::MessageRecorder boxes_;
};

TEST_F(Import, CopiesEveryCardFileFlatAndKeepsADuplicate)
{
    Write(device_ / "a.DDD", "new a");
    Write(device_ / "sub" / "b.ddd", "b");
    Write(device_ / "sub" / "deeper" / "c.DDD", "c");
    Write(device_ / "notes.txt", "not a card file");
    Write(ddd_ / "a.DDD", "old a");
    Answers answers;
    EXPECT_TRUE(Run(answers));
    EXPECT_TRUE(answers.hourglass);
    EXPECT_EQ(answers.driveCaption, Pl("Wskaż zasoby urządzenia pobierającego dane z kart kierowców"));
    EXPECT_EQ(answers.preselectedDrive, 0) << "the OPTAC drive, listed first as removable";
    EXPECT_EQ(answers.driveItems, (QStringList{QString::fromStdString(DeviceRoot() + " OPTAC"),
                                               QString::fromStdString(root_.string() + "/other/ DANE")}));
    EXPECT_TRUE(answers.explanation.contains(QString::fromStdString(std::string("\"") + DeviceRoot() + "\"")));
    EXPECT_EQ(Files(ddd_), (std::vector<std::string>{"a.DDD", "b.ddd", "c.DDD"}));
    EXPECT_EQ(Read(ddd_ / "a.DDD"), "old a");
    EXPECT_EQ(Read(ddd_ / "c.DDD"), "c");
    EXPECT_EQ(Files(device_), (std::vector<std::string>{"a.DDD", "notes.txt", "sub/b.ddd", "sub/deeper/c.DDD"}));
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Warning), std::vector<std::string>{KeptWarning({device_ / "a.DDD"})});
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Information), std::vector<std::string>{Pl("Ilość skopiowanych plików: 2")});
}

TEST_F(Import, MoveDeletesOnlyTheFilesThatArrived)
{
    Write(device_ / "a.DDD", "new a");
    Write(device_ / "one" / "x.DDD", "first x");
    Write(device_ / "two" / "x.DDD", "second x");
    Write(device_ / "two" / "y.DDD", "y");
    Write(device_ / "two" / "keep.txt", "k");
    Write(ddd_ / "a.DDD", "old a");
    Answers answers;
    answers.method = 1;
    EXPECT_TRUE(Run(answers));
    EXPECT_EQ(Files(ddd_), (std::vector<std::string>{"a.DDD", "x.DDD", "y.DDD"}));
    EXPECT_EQ(Read(ddd_ / "a.DDD"), "old a");
    EXPECT_EQ(Read(ddd_ / "x.DDD"), "first x");
    EXPECT_EQ(Read(ddd_ / "y.DDD"), "y");
    // The refused files stay on the device: a.DDD and the second x.DDD.
    EXPECT_EQ(Files(device_), (std::vector<std::string>{"a.DDD", "two/keep.txt", "two/x.DDD"}));
    EXPECT_EQ(Read(device_ / "two" / "x.DDD"), "second x");
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Warning),
              std::vector<std::string>{KeptWarning({device_ / "a.DDD", device_ / "two" / "x.DDD"})});
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Information), std::vector<std::string>{Pl("Ilość przeniesionych plików: 2")});
}

TEST_F(Import, ManyFilesAlreadyThereGiveOneWarningBeforeTheCount)
{
    std::vector<fs::path> kept;
    for (int i = 0; i < 300; ++i) {
        const std::string name = "karta" + std::to_string(1000 + i) + ".DDD";
        Write(device_ / name, "new");
        Write(ddd_ / name, "old");
        kept.push_back(device_ / name);
    }
    Write(device_ / "nowa.DDD", "fresh");
    // The move takes the new file along, so the copy after it finds only the kept ones.
    for (int method : {1, 0}) {
        SCOPED_TRACE(method);
        boxes_.Clear();
        Answers answers;
        answers.method = method;
        EXPECT_TRUE(Run(answers));
        ASSERT_EQ(boxes_.Messages().size(), 2u);
        EXPECT_EQ(boxes_.Messages()[0].kind, MessageKind::Warning);
        EXPECT_EQ(boxes_.Messages()[0].text, KeptWarning(kept));
        EXPECT_EQ(boxes_.Messages()[1].kind, MessageKind::Information);
        EXPECT_EQ(boxes_.Messages()[1].text,
                  method == 0 ? Pl("Ilość skopiowanych plików: 0") : Pl("Ilość przeniesionych plików: 1"));
        EXPECT_EQ(Read(ddd_ / "karta1000.DDD"), "old");
        EXPECT_EQ(Read(device_ / "karta1299.DDD"), "new");
    }
    EXPECT_EQ(Read(ddd_ / "nowa.DDD"), "fresh");
}

TEST_F(Import, AMoveWhoseCopyFailsKeepsTheDeviceFile)
{
    const std::string big(64 * 1024, 'x');
    Write(device_ / "big.DDD", big);
    Write(device_ / "small.DDD", "s");
    Answers answers;
    answers.method = 1;
    {
        // Writes beyond 16 KiB fail, as on a full disk.
        testsupport::FileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.active());
        EXPECT_TRUE(Run(answers));
    }
    EXPECT_EQ(Files(ddd_), std::vector<std::string>{"small.DDD"});
    EXPECT_EQ(Files(device_), std::vector<std::string>{"big.DDD"});
    EXPECT_EQ(Read(device_ / "big.DDD"), big);
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Error).size(), 1u);
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Information), std::vector<std::string>{Pl("Ilość przeniesionych plików: 1")});
}

TEST_F(Import, CancellingAndChoosingOtherDrives)
{
    Write(device_ / "a.DDD", "a");
    struct Case {
        const char* what;
        bool driveOk;
        int drive;
        int method;
        bool result;
        bool methodShown;
        const char* info;
    };
    const Case cases[] = {
        {"drive list cancelled", false, -1, 0, false, false, nullptr},
        {"method cancelled", true, -1, -1, true, true, nullptr},
        {"a drive without card files", true, 1, 0, true, true, "Ilość skopiowanych plików: 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes_.Clear();
        Answers answers;
        answers.driveOk = c.driveOk;
        answers.drive = c.drive;
        answers.method = c.method;
        EXPECT_EQ(Run(answers), c.result);
        EXPECT_EQ(answers.methodShown, c.methodShown);
        EXPECT_EQ(Files(ddd_), std::vector<std::string>{});
        EXPECT_EQ(Files(device_), std::vector<std::string>{"a.DDD"});
        const std::vector<std::string> expected =
            c.info ? std::vector<std::string>{Pl(c.info)} : std::vector<std::string>{};
        EXPECT_EQ(boxes_.TextsOf(MessageKind::Information), expected);
    }
}

TEST_F(Import, NoDriveToOfferImportsNothing)
{
    testsupport::OnModalDialog([](QDialog& dialog) { dialog.accept(); });
    EXPECT_TRUE(ImportFromDownloadDevice(ddd_, [] { return std::vector<utility::DriveEntry>{Line("/", 3, "OPTAC")}; }));
    EXPECT_TRUE(boxes_.Messages().empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

class ImportMenu : public apptest::MainWindowTest {};

TEST_F(ImportMenu, TheMainWindowsMenuOffersTheDrives)
{
    app::Tf_tcGlow window;
    std::string caption;
    testsupport::OnModalDialog([&](QDialog& dialog) {
        caption = utility::QStringToCp1250(dialog.windowTitle());
        dialog.reject();
    });
    window.PobierzzOPTAC1->trigger();
    EXPECT_EQ(caption, Pl("Wskaż zasoby urządzenia pobierającego dane z kart kierowców"));
    EXPECT_TRUE(boxes_.Messages().empty());
}

}  // namespace
