// Every way a card file comes into the program, with folders and files whose names code page
// 1250 cannot hold ("ø", "Ж"), and a user's data folder named so as well.
#include "app/import_devices.h"
#include "app/tc_glow.h"
#include "tacho/card_image.h"
#include "tests/app/card_file_window_fixture.h"
#include "tests/support/card_builder.h"
#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"
#include "utility/diallistanew.h"
#include "utility/dialwyb.h"
#include "utility/paths.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>

#include <functional>
#include <string>
#include <vector>

namespace apptest {
namespace {

namespace fs = std::filesystem;
using testsupport::CardBuilder;
using testsupport::ChangeWord;
using testsupport::TimeReal;

tacho::CardImageData NowakCard()
{
    CardBuilder card;
    card.Surname("Nowak")
        .FirstNames("Anna")
        .CardNumber("D750101123450012")
        .BirthDate(0x19750101)
        .Day(TimeReal(2011, 5, 17), 1, 80, {ChangeWord(0, 0, 0, 3, 7 * 60), ChangeWord(0, 0, 1, 0, 15 * 60 + 45)});
    return card.Image();
}

QString Shown(const fs::path& path) { return utility::PathToQString(path); }

std::vector<std::string> FilesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file())
            names.push_back(fs::relative(entry.path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

class AnyFileName : public CardFileWindowTest {
protected:
    void SetUp() override
    {
        CardFileWindowTest::SetUp();
        qputenv("XDG_DATA_HOME", (dir_.path() + QString::fromUtf8("/dane Søren Ж")).toUtf8());
        folder_ = utility::PathFromQString(
            QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
        ASSERT_NE(folder_.native().find("Søren Ж"), std::string::npos);
    }

    // The folder and the card file of the test, in a folder of their own beside the data folder.
    fs::path Cards() const { return fs::path(dir_.path().toStdString()) / "karty ø Ж"; }
    fs::path CardFile() const { return Cards() / "Søren Ж.DDD"; }

    // The window shows the card of `file`, under the file's own name, without a message.
    void ExpectShown(const app::Tf_tcGlow& window, const fs::path& file)
    {
        EXPECT_EQ(window.LabelK[0]->text(), QStringLiteral(" 1. Nowak"));
        EXPECT_FALSE(window.BitBtnDruk1->isHidden());
        EXPECT_EQ(window.CurrentFileName, file);
        EXPECT_EQ(window.Label7->toPlainText(), Shown(file));
        EXPECT_TRUE(boxes_.Messages().empty()) << boxes_.Messages().front().text;
    }

    // Runs an open command, picking `file` in its dialog; the folder the dialog started in.
    QString OpenThroughDialog(app::Tf_tcGlow& window, void (app::Tf_tcGlow::*command)(), const fs::path& file)
    {
        QString started;
        testsupport::OnModalDialog([&](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            started = files.directory().absolutePath();
            files.selectFile(Shown(file));
            dialog.accept();
        });
        (window.*command)();
        return started;
    }
};

struct EntryPoint {
    const char* name;
    std::function<void()> run;  // runs the entry point and checks what it did
};

TEST_F(AnyFileName, EveryEntryPointTakesNamesOfAnyAlphabet)
{
    const EntryPoint entryPoints[] = {
        {"the command line",
         [this] {
             WriteFile(CardFile(), DddBytes(NowakCard()));
             app::Tf_tcGlow window(QStringList{QStringLiteral("kartovan"), Shown(CardFile())});
             window.show();
             ASSERT_TRUE(
                 ProcessEventsUntil([&] { return !window.BitBtnDruk1->isHidden() || !boxes_.Messages().empty(); }));
             ExpectShown(window, CardFile());
         }},
        {"the open dialog",
         [this] {
             WriteFile(CardFile(), DddBytes(NowakCard()));
             app::Tf_tcGlow window;
             OpenThroughDialog(window, &app::Tf_tcGlow::Otwrz1Click, CardFile());
             ExpectShown(window, CardFile());
         }},
        {"the DDD folder's dialog, the folder named in the settings",
         [this] {
             WriteFile(CardFile(), ImageBytes(NowakCard()));
             SetSettingPath("katDDD", Cards());
             app::Tf_tcGlow window;
             const QString started = OpenThroughDialog(window, &app::Tf_tcGlow::Otwrzkatalog1Click, CardFile());
             EXPECT_EQ(QDir(started), QDir(Shown(Cards())));
             ExpectShown(window, CardFile());
         }},
        {"the ZOLT folder's dialog in the data folder",
         [this] {
             app::Tf_tcGlow window;
             const fs::path zolt = window.ZoltFolder / "Jørgen Ж.zolt";
             EXPECT_EQ(window.ZoltFolder, utility::NormalizePath(Folder() / "Pliki_ZOLT", true));
             WriteFile(zolt, ZoltBytes(NowakCard()));
             const QString started = OpenThroughDialog(window, &app::Tf_tcGlow::KatalogZOLT1Click, zolt);
             EXPECT_EQ(QDir(started), QDir(Shown(window.ZoltFolder)));
             ExpectShown(window, zolt);
         }},
        {"the rename",
         [this] {
             WriteFile(CardFile(), DddBytes(NowakCard()));
             app::Tf_tcGlow window;
             window.CurrentFileName = CardFile();
             window.OpenCardFile(CardFile());
             boxes_.QueueAnswers({true});
             window.Zapiszdanejako1Click();
             ASSERT_EQ(boxes_.Messages().size(), 1u);
             EXPECT_EQ(boxes_.Messages()[0].kind, utility::MessageKind::Confirmation);
             EXPECT_FALSE(fs::exists(CardFile()));
             EXPECT_EQ(window.CurrentFileName.parent_path(), Cards());
             EXPECT_TRUE(window.CurrentFileName.filename().string().starts_with("Nowak_Anna_75010112345_"));
             EXPECT_EQ(ReadFile(window.CurrentFileName), DddBytes(NowakCard()));
             EXPECT_EQ(window.Label7->toPlainText(), Shown(window.CurrentFileName));
         }},
        {"the folder conversion into the data folder",
         [this] {
             WriteFile(CardFile(), DddBytes(NowakCard()));
             WriteFile(Cards() / "Жук" / "obraz ø.bin", ImageBytes(NowakCard()));
             WriteFile(Cards() / "Ø.zolt", ZoltBytes(NowakCard()));
             app::Tf_tcGlow window;
             boxes_.QueueAnswers({true});
             OpenThroughDialog(window, &app::Tf_tcGlow::Przetw1Click, CardFile());
             EXPECT_EQ(boxes_.TextsOf(utility::MessageKind::Error), std::vector<std::string>{});
             const std::vector<std::string> made = FilesIn(Folder() / "KK1");
             ASSERT_EQ(made.size(), 2u);
             for (const std::string& name : made)
                 EXPECT_TRUE(name.starts_with("Nowak_Anna_75010112345_")) << name;
         }},
        {"the import into the DDD folder in the data folder",
         [this] {
             const fs::path device = Cards() / "OPTAC Søren";
             WriteFile(device / "Ж.DDD", DddBytes(NowakCard()));
             WriteFile(device / "pobrane ø" / "b.ddd", DddBytes(NowakCard()));
             app::Tf_tcGlow window;
             EXPECT_EQ(window.DddFolder, Folder() / "DDD");
             testsupport::OnModalDialog([](QDialog& drives) {
                 testsupport::OnModalDialog([](QDialog& method) {
                     dynamic_cast<utility::Tf_Wybor&>(method).SelectIndex(0);
                     method.accept();
                 });
                 drives.accept();
             });
             const auto lister = [&] { return std::vector<utility::DriveEntry>{{device, 2, "OPTAC"}}; };
             EXPECT_TRUE(app::ImportFromDownloadDevice(window.DddFolder, lister));
             EXPECT_EQ(FilesIn(window.DddFolder), (std::vector<std::string>{"b.ddd", "Ж.DDD"}));
             EXPECT_EQ(boxes_.TextsOf(utility::MessageKind::Information),
                       std::vector<std::string>{utility::Pl("Ilość skopiowanych plików: 2")});
         }},
        {"a card saved into the DDD folder in the data folder",
         [this] {
             app::Tf_tcGlow window;
             tacho::CardImage = NowakCard();
             tacho::SignatureArea.fill(0);
             for (std::size_t slot = 0; slot < tacho::kSignatureCount; ++slot)
                 tacho::SignatureArea[tacho::SignatureValidityOffset(slot)] = 1;
             window.SaveCardAsDdd();
             const std::vector<std::string> saved = FilesIn(window.DddFolder);
             ASSERT_EQ(saved.size(), 1u);
             EXPECT_TRUE(saved[0].starts_with("Nowak_Anna_75010112345_")) << saved[0];
             EXPECT_EQ(boxes_.TextsOf(utility::MessageKind::Information),
                       std::vector<std::string>{utility::Pl("Dane z karty zapisano w pliku\r\n") +
                                                utility::PathToCp1250(window.DddFolder / saved[0])});
             tacho::SignatureArea.fill(0);
         }},
    };
    for (const EntryPoint& entry : entryPoints) {
        SCOPED_TRACE(entry.name);
        entry.run();
        boxes_.Clear();
        tacho::CardImage = {};
        fs::remove_all(Cards());
        fs::remove_all(Folder());
        SetSetting("katDDD", "");
        SetSetting("katZOLT", "");
    }
}

}  // namespace
}  // namespace apptest
