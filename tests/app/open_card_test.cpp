// Opening card files of every kind into the main window and the card holder summary.
#include "app/link_button.h"
#include "app/tc_glow.h"
#include "tacho/card_image.h"
#include "tacho/zolt.h"
#include "tests/app/card_file_window_fixture.h"
#include "tests/support/card_builder.h"
#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"
#include "utility/dos_ext.h"
#include "utility/paths.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <string>
#include <vector>

namespace apptest {
namespace {

using testsupport::CardBuilder;
using testsupport::ChangeWord;
using testsupport::TimeReal;
using utility::MessageKind;
using utility::Pl;

const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);

// A complete card: Anna Maria Nowak, PESEL 75010112345, two days of activity from
// 2011-05-16 06:30 to 2011-05-17 15:45, licence issued in Poland.
CardBuilder NowakCard()
{
    CardBuilder card;
    card.Surname("Nowak")
        .FirstNames("Anna Maria")
        .CardNumber("D7501011234500"
                    "12")
        .IssuingAuthority("PWPW S.A.")
        .CardDates(TimeReal(2010, 3, 1), TimeReal(2010, 3, 1, 12), TimeReal(2015, 2, 28, 23, 59))
        .BirthDate(0x19750101)
        .DrivingLicence(0x28, "AB1234567")
        .Day(TimeReal(2011, 5, 16), 0x0001, 120, {ChangeWord(0, 0, 0, 1, 6 * 60 + 30), ChangeWord(0, 0, 0, 3, 8 * 60)})
        .Day(TimeReal(2011, 5, 17), 0x0002, 80, {ChangeWord(0, 0, 0, 3, 7 * 60), ChangeWord(0, 0, 1, 0, 15 * 60 + 45)});
    return card;
}

// The texts the summary shows for NowakCard, in the order of Summary().
std::vector<std::string> NowakSummary()
{
    return {" 1. Nowak",
            " 2. Anna Maria",
            " 3. 1975-01-01",
            "4a. 2010-03-01",
            "4b. 2015-02-28",
            "4c. PWPW S.A.",
            "4d. 75010112345",
            "5a. AB1234567",
            "5b. D750101123450012",
            "PL",
            "PL",
            "Od 2011-05-16 06:30:00",
            "Do 2011-05-17 15:45:00"};
}

std::vector<std::string> Summary(const app::Tf_tcGlow& w)
{
    std::vector<std::string> texts;
    for (const QLabel* label : w.LabelK)
        texts.push_back(utility::QStringToCp1250(label->text()));
    for (const QLabel* label : {w.Label11symbKraju, w.Label11krajGora, w.Label2, w.Label6})
        texts.push_back(utility::QStringToCp1250(label->text()));
    return texts;
}

// Summary() of a window whose labels were all emptied, the country signs included.
std::vector<std::string> EmptySummary() { return std::vector<std::string>(13); }

namespace fs = std::filesystem;

QString Status(const app::Tf_tcGlow& w) { return w.Label7->toPlainText(); }
QString Shown(const fs::path& path) { return utility::PathToQString(path); }
std::string Text(const fs::path& path) { return utility::PathToCp1250(path); }
QColor StatusColour(const app::Tf_tcGlow& w) { return w.Label7->palette().color(QPalette::Text); }
bool PrintShown(const app::Tf_tcGlow& w) { return !w.BitBtnDruk1->isHidden() && !w.LabelpodgladWydr->isHidden(); }

using OpenCardTest = CardFileWindowTest;

TEST_F(OpenCardTest, EveryKindOfCardFileShowsTheWholeSummary)
{
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        QColor colour;
    };
    const tacho::CardImageData card = NowakCard().Image();
    const std::vector<Case> cases = {
        {"karta.DDD", DddBytes(card), kLime},   {"karta bez rozszerzenia", DddBytes(card), kLime},
        {"obraz.bin", ImageBytes(card), kLime}, {"karta.ZOLT", ZoltBytes(card), kRed},
        {"karta.Zolt", ZoltBytes(card), kRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = Path(c.name);
        WriteFile(file, c.bytes);
        tacho::CardImage = {};
        app::Tf_tcGlow window;
        window.CurrentFileName = file;
        window.OpenCardFile(file);
        EXPECT_TRUE(boxes_.Messages().empty());
        EXPECT_EQ(Summary(window), NowakSummary());
        EXPECT_EQ(Status(window), Shown(file));
        EXPECT_EQ(StatusColour(window), c.colour);
        EXPECT_TRUE(PrintShown(window));
        EXPECT_EQ(window.CurrentFileName, file);
        boxes_.Clear();
    }
}

TEST_F(OpenCardTest, AnImageFileOfExactly24975BytesIsTakenAsAnImage)
{
    const tacho::CardImageData card = NowakCard().Image();
    ASSERT_EQ(ImageBytes(card).size(), 24'975u);
    const fs::path file = Path("obraz.DDD");
    WriteFile(file, ImageBytes(card));
    app::Tf_tcGlow window;
    window.OpenCardFile(file);
    EXPECT_EQ(tacho::CardImage, card);
    EXPECT_EQ(Summary(window), NowakSummary());
}

TEST_F(OpenCardTest, FailedLoadsShowNoSummaryAndForgetTheFileName)
{
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;  // empty: no file at all
        QColor colour;
        std::string box;  // start of the error box
        bool keepsPreviousCard;
    };
    const std::string tooLarge = Text(Path("duzy.DDD"));
    const std::string shortZolt = Text(Path("krotki.zolt"));
    const std::string missing = Text(Path("brak.DDD"));
    const std::vector<Case> cases = {
        {"duzy.DDD", std::vector<std::uint8_t>(30'000, 0x20), kLime,
         Pl("Nie zdołano wczytać danych z pliku\r\n") + tooLarge, false},
        {"krotki.zolt", std::vector<std::uint8_t>(24'987, 0x20), kRed,
         Pl("Błąd wczytania pliku:\r\n") + shortZolt + "\r\n", true},
        {"brak.DDD", {}, kLime, Pl("Plik:\r\n") + missing + Pl("\r\nnie istnieje."), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = Path(c.name);
        if (!c.bytes.empty())
            WriteFile(file, c.bytes);
        app::Tf_tcGlow window;
        const fs::path previous = Path("poprzednia.DDD");
        WriteFile(previous, DddBytes(NowakCard().Image()));
        window.OpenCardFile(previous);
        ASSERT_TRUE(PrintShown(window));
        const tacho::CardImageData before = tacho::CardImage;

        window.CurrentFileName = file;
        window.OpenCardFile(file);
        const auto errors = boxes_.TextsOf(MessageKind::Error);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].substr(0, c.box.size()), c.box);
        if (c.box.back() != '\n') {
            EXPECT_EQ(errors[0], c.box);
        } else {
            EXPECT_GT(errors[0].size(), c.box.size());  // the reason follows
        }
        EXPECT_EQ(Summary(window), EmptySummary());
        EXPECT_FALSE(PrintShown(window));
        EXPECT_TRUE(window.CurrentFileName.empty());
        EXPECT_EQ(Status(window), Shown(file));
        EXPECT_EQ(StatusColour(window), c.colour);
        if (c.keepsPreviousCard) {
            EXPECT_EQ(tacho::CardImage, before);
        } else {
            EXPECT_EQ(tacho::CardImage, tacho::CardImageData{});
        }
        boxes_.Clear();
    }
}

TEST_F(OpenCardTest, SummaryTextsOfSpecialCards)
{
    struct Case {
        const char* what;
        CardBuilder card;
        std::vector<std::pair<std::size_t, std::string>> texts;  // index in Summary(), text
    };
    const std::vector<Case> cases = {
        {"ISO 8859-2 surname", NowakCard().Surname("\xA6wi\xB1tek", 2), {{0, Pl(" 1. Świątek")}}},
        {"ISO 8859-2 authority",
         NowakCard().IssuingAuthority("Urz\xB1"
                                      "d \xA3\xF3"
                                      "d\xBC",
                                      2),
         {{5, Pl("4c. Urząd Łódź")}}},
        {"card number with blanks before the indexes",
         NowakCard().CardNumber("D123          01"),
         {{6, "4d. 123"}, {8, "5b. D12301"}}},
        {"German licence", NowakCard().DrivingLicence(0x0D, "X"), {{7, "5a. X"}, {9, "D"}, {10, "D"}}},
        {"no nation", NowakCard().DrivingLicence(0x00, "X"), {{7, "5a. X"}, {9, " "}, {10, " "}}},
        {"RFU nation", NowakCard().DrivingLicence(0x40, "X"), {{7, "5a. X"}, {9, ""}, {10, ""}}},
        {"activity at midnight",
         NowakCard().Day(TimeReal(2011, 5, 18), 3, 10, {ChangeWord(0, 0, 0, 0, 0)}),
         {{11, "Od 2011-05-16 06:30:00"}, {12, "Do 2011-05-18"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tacho::CardImage = c.card.Image();
        app::Tf_tcGlow window;
        window.ShowCardSummary();
        EXPECT_TRUE(boxes_.Messages().empty());
        std::vector<std::string> expected = NowakSummary();
        for (const auto& [index, text] : c.texts)
            expected[index] = text;
        EXPECT_EQ(Summary(window), expected);
        EXPECT_TRUE(PrintShown(window));
        boxes_.Clear();
    }
}

TEST_F(OpenCardTest, ACardWithoutActivitySaysSoAndCanStillBePrinted)
{
    CardBuilder card;
    card.Surname("Nowak").FirstNames("Anna Maria").CardNumber("D750101123450012").BirthDate(0x19750101);
    for (bool oldDay : {false, true}) {
        SCOPED_TRACE(oldDay);
        if (oldDay)  // a day in 2000 counts as no activity either
            card.Day(TimeReal(2000, 12, 31), 1, 1, {ChangeWord(0, 0, 0, 3, 600)});
        tacho::CardImage = card.Image();
        app::Tf_tcGlow window;
        window.ShowCardSummary();
        EXPECT_TRUE(boxes_.Messages().empty());
        const std::vector<std::string> texts = Summary(window);
        EXPECT_EQ(texts[11], Pl("Brak czynności"));
        EXPECT_EQ(texts[12], "w karcie");
        EXPECT_TRUE(PrintShown(window));
    }
}

TEST_F(OpenCardTest, UnrecognisedCardsStopTheSummaryAndHideThePrintButton)
{
    struct Case {
        const char* what;
        CardBuilder card;
        MessageKind kind;
        std::string box;           // start of the box
        std::size_t labelsFilled;  // Summary() entries with new texts
    };
    const std::vector<Case> cases = {
        {"blank PESEL", NowakCard().CardNumber("D"), MessageKind::Warning,
         Pl("Danych w karcie nie rozpoznano. Wczytanie należy powtórzyć.\r\nUwaga: nie wyjmuj karty z czytnika "
            "zbyt wcześnie."),
         0},
        {"blank PESEL characters", NowakCard().CardNumber("D           00"), MessageKind::Warning,
         Pl("Danych w karcie nie rozpoznano."), 0},
        {"no surname", NowakCard().Surname(""), MessageKind::Warning, Pl("Danych w karcie nie rozpoznano."), 0},
        {"impossible birth date", NowakCard().BirthDate(0x19751301), MessageKind::Error,
         Pl("Błąd rozpoznania danych kary kierowcy.\r\n"), 2},
        {"birth date with a non-decimal digit", NowakCard().BirthDate(0x197A0101), MessageKind::Error,
         Pl("Błąd rozpoznania danych kary kierowcy.\r\n"), 2},
        {"change at 24:00", NowakCard().Day(TimeReal(2011, 5, 18), 3, 10, {ChangeWord(0, 0, 0, 0, 24 * 60)}),
         MessageKind::Error, Pl("Błąd rozpoznania czynności kierowcy.\r\n"), 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tacho::CardImage = c.card.Image();
        app::Tf_tcGlow window;
        window.SetPrintVisible(true);
        window.ShowCardSummary();
        ASSERT_EQ(boxes_.Messages().size(), 1u);
        EXPECT_EQ(boxes_.Messages()[0].kind, c.kind);
        const std::string& text = boxes_.Messages()[0].text;
        EXPECT_EQ(text.substr(0, c.box.size()), c.box);
        if (c.kind == MessageKind::Error) {
            EXPECT_GT(text.size(), c.box.size());  // the reason follows
        }
        const std::vector<std::string> texts = Summary(window);
        const std::vector<std::string> full = NowakSummary();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (i == 9 || i == 10)
                continue;  // the signs keep their "PL" either way
            EXPECT_EQ(texts[i], i < c.labelsFilled ? full[i] : std::string()) << i;
        }
        EXPECT_FALSE(PrintShown(window));
        boxes_.Clear();
    }
}

TEST_F(OpenCardTest, OpenCommandsStartInTheirFolderAndOpenTheChosenFile)
{
    struct Case {
        const char* command;
        void (app::Tf_tcGlow::*handler)();
        bool zoltFolder;
        bool kkdDialog;
    };
    const Case cases[] = {
        {"Otwórz", &app::Tf_tcGlow::Otwrz1Click, false, false},
        {"Otwórz katalog DDD", &app::Tf_tcGlow::Otwrzkatalog1Click, false, true},
        {"Otwórz katalog ZOLT", &app::Tf_tcGlow::KatalogZOLT1Click, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        app::Tf_tcGlow window;
        const fs::path folder = c.zoltFolder ? window.ZoltFolder : window.DddFolder;
        const fs::path file = folder / (c.zoltFolder ? "karta.zolt" : "karta.ddd");
        WriteFile(file, c.zoltFolder ? ZoltBytes(NowakCard().Image()) : DddBytes(NowakCard().Image()));
        QString shownFolder;
        QString title;
        bool enabledInDialog = false;
        testsupport::OnModalDialog([&](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            shownFolder = files.directory().absolutePath();
            title = files.windowTitle();
            enabledInDialog = window.isEnabled();
            files.selectFile(Shown(file));
            dialog.accept();
        });
        (window.*c.handler)();
        EXPECT_EQ(title, QString::fromUtf8(c.kkdDialog ? "Pliki KKD dla kontroli" : "Otwórz plik do pokazania"));
        EXPECT_EQ(QDir(shownFolder), QDir(Shown(folder)));
        EXPECT_TRUE(enabledInDialog);
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(window.CurrentFileName, file);
        EXPECT_EQ(Status(window), Shown(file));
        EXPECT_EQ(Summary(window), NowakSummary());
        EXPECT_TRUE(boxes_.Messages().empty());
    }
}

TEST_F(OpenCardTest, CancellingAnOpenStillClearsTheSummary)
{
    const fs::path file = Path("karta.DDD");
    WriteFile(file, DddBytes(NowakCard().Image()));
    app::Tf_tcGlow window;
    window.CurrentFileName = file;
    window.OpenCardFile(file);
    window.Label4->setText(QStringLiteral("Dane wczytano"));
    window.Memo1->setPlainText(QStringLiteral("Czytnik:"));
    window.Label35->setText(QStringLiteral("karta"));
    ASSERT_TRUE(PrintShown(window));
    testsupport::OnModalDialog([](QDialog& dialog) { dialog.reject(); });
    window.Otwrz1Click();
    EXPECT_EQ(Summary(window), EmptySummary());
    for (const QString& text :
         {window.Label4->text(), window.Memo1->toPlainText(), window.Label35->text(), window.Label7->toPlainText()})
        EXPECT_TRUE(text.isEmpty()) << text.toStdString();
    EXPECT_FALSE(PrintShown(window));
    EXPECT_TRUE(window.isEnabled());
    // The card stays in memory; only the window was cleared.
    EXPECT_EQ(tacho::CardImage, NowakCard().Image());
}

TEST_F(OpenCardTest, TheKk1MenuConvertsTheFolderOfThePickedFileAndKeepsTheCardShown)
{
    const fs::path shown = Path("pokazana.DDD");
    WriteFile(shown, DddBytes(NowakCard().Image()));
    const tacho::CardImageData other = NowakCard().Surname("Kowalski").Image();
    const fs::path source = Path("źródło");
    WriteFile(source / "karta.zolt", ZoltBytes(other));
    WriteFile(source / "pod/obraz.bin", ImageBytes(other));
    WriteFile(source / "karta.DDD", DddBytes(other));
    // In the user's data folder.
    const QDir kk1(Shown(Folder() / "KK1"));

    for (bool confirmed : {false, true}) {
        SCOPED_TRACE(confirmed);
        app::Tf_tcGlow window;
        window.CurrentFileName = shown;
        window.OpenCardFile(shown);
        ASSERT_TRUE(PrintShown(window));
        boxes_.Clear();
        QString title;
        testsupport::OnModalDialog([&](QDialog& dialog) {
            title = dialog.windowTitle();
            dynamic_cast<QFileDialog&>(dialog).selectFile(Shown(source / "karta.DDD"));
            dialog.accept();
        });
        boxes_.QueueAnswers({confirmed});

        window.Przetw1->trigger();

        EXPECT_EQ(title, QString::fromUtf8("Pliki KKD dla kontroli"));
        EXPECT_EQ(boxes_.Messages().size(), 1u);
        EXPECT_EQ(boxes_.TextsOf(MessageKind::Confirmation),
                  std::vector<std::string>{Pl("Czy utworzyć 3 plików na KK1 ? (za wyjątkiem plików DDD)")});
        const QStringList made = kk1.entryList({QStringLiteral("*.KK1")}, QDir::Files);
        EXPECT_EQ(made.size(), confirmed ? 2 : 0);
        for (const QString& name : made)
            EXPECT_TRUE(name.startsWith(QStringLiteral("Kowalski_Anna Maria_75010112345_"))) << name.toStdString();
        // The window still shows, and holds, the card it showed before.
        EXPECT_EQ(tacho::CardImage, NowakCard().Image());
        EXPECT_EQ(Summary(window), NowakSummary());
        EXPECT_EQ(window.CurrentFileName, shown);
        EXPECT_TRUE(window.isEnabled());
    }

    app::Tf_tcGlow window;
    boxes_.Clear();
    testsupport::OnModalDialog([](QDialog& dialog) { dialog.reject(); });
    window.Przetw1->trigger();
    EXPECT_TRUE(boxes_.Messages().empty());
    EXPECT_EQ(kk1.entryList({QStringLiteral("*.KK1")}, QDir::Files).size(), 2);
}

// The window shows sooner without them: each dialog is made when it is first wanted, once.
TEST_F(OpenCardTest, TheOpenDialogsAreMadeWhenFirstUsed)
{
    app::Tf_tcGlow window;
    EXPECT_TRUE(window.findChildren<QFileDialog*>().empty());
    QFileDialog* const open = window.OpenKF();
    EXPECT_EQ(window.findChildren<QFileDialog*>().size(), 1);
    EXPECT_EQ(window.OpenKF(), open);
    EXPECT_EQ(open->objectName(), QStringLiteral("OpenKF"));
    EXPECT_EQ(open->windowTitle(), QString::fromUtf8("Otwórz plik do pokazania"));
    EXPECT_EQ(open->defaultSuffix(), QStringLiteral("DDD"));
    QFileDialog* const kkd = window.OpenDialogKKD();
    EXPECT_NE(kkd, open);
    EXPECT_EQ(kkd->objectName(), QStringLiteral("OpenDialogKKD"));
    EXPECT_EQ(kkd->windowTitle(), QStringLiteral("Pliki KKD dla kontroli"));
    EXPECT_EQ(kkd->defaultSuffix(), QStringLiteral("KKD"));
    EXPECT_EQ(window.findChildren<QFileDialog*>().size(), 2);
}

TEST_F(OpenCardTest, TheOpenDialogsListEveryExtensionInBothLetterCases)
{
    app::Tf_tcGlow window;
    for (QFileDialog* dialog : {window.OpenKF(), window.OpenDialogKKD()}) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        const QStringList filters = dialog->nameFilters();
        ASSERT_EQ(filters.size(), 5);
        EXPECT_EQ(filters[0], QStringLiteral("*.* (*)"));
        int i = 1;
        for (const char* extension : {"DDD", "KF", "ZOLT", "KKD"}) {
            const QString upper = QStringLiteral("*.") + QString::fromLatin1(extension);
            EXPECT_EQ(filters[i++], upper + QStringLiteral(" (") + upper + QStringLiteral(" ") + upper.toLower() +
                                        QStringLiteral(")"));
        }
    }
}

}  // namespace
}  // namespace apptest
