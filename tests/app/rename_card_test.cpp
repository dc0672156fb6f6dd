// Renaming an opened card download file to the standard name.
#include "app/tc_glow.h"
#include "tacho/card_file_loader.h"
#include "tacho/card_image.h"
#include "tacho/zolt.h"
#include "tests/app/card_file_window_fixture.h"
#include "tests/support/card_builder.h"
#include "utility/cp1250.h"
#include "utility/dos_ext.h"
#include "utility/paths.h"
#include "utility/stringi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>

#include <string>
#include <vector>

namespace apptest {
namespace {

using testsupport::CardBuilder;
using testsupport::ChangeWord;
using testsupport::TimeReal;
using utility::MessageKind;
using utility::Pl;

// Holder Anna Maria Nowak, PESEL 75010112345, last activity 2011-05-17 15:45.
CardBuilder Card(std::string_view surname = "Nowak")
{
    CardBuilder card;
    card.Surname(surname)
        .FirstNames("Anna Maria")
        .CardNumber("D750101123450012")
        .BirthDate(0x19750101)
        .Day(TimeReal(2011, 5, 17), 1, 80, {ChangeWord(0, 0, 0, 3, 7 * 60), ChangeWord(0, 0, 1, 0, 15 * 60 + 45)});
    return card;
}

namespace fs = std::filesystem;

bool Exists(const fs::path& name) { return fs::exists(name); }
std::string Text(const fs::path& path) { return utility::PathToCp1250(path); }

class RenameCardTest : public CardFileWindowTest {
protected:
    // Writes `bytes` as `name` in the program folder and opens it in `window`.
    fs::path Open(app::Tf_tcGlow& window, const fs::path& name, const Bytes& bytes)
    {
        const fs::path file = Path(name);
        WriteFile(file, bytes);
        window.CurrentFileName = file;
        window.OpenCardFile(file);
        EXPECT_EQ(window.CurrentFileName, file);
        boxes_.Clear();
        return file;
    }
    QString Status(const app::Tf_tcGlow& w) const { return w.Label7->toPlainText(); }
};

TEST_F(RenameCardTest, ACardDownloadFileGetsTheStandardNameInItsOwnFolder)
{
    app::Tf_tcGlow window;
    const Bytes bytes = DddBytes(Card().Image());
    const fs::path file = Open(window, "karty Nowak/pobrane ż.DDD", bytes);
    const std::string created = utility::FileDateTimeText(file);
    ASSERT_EQ(created.size(), 14u);
    const fs::path target = Path("karty Nowak") / ("Nowak_Anna Maria_75010112345_20110517154500_" + created + ".DDD");
    boxes_.QueueAnswers({true});

    window.Zapiszdanejako1Click();

    ASSERT_EQ(boxes_.Messages().size(), 1u);
    EXPECT_EQ(boxes_.Messages()[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(boxes_.Messages()[0].text,
              Pl("Czy zmienić nazwę pliku\r\n") + Text(file) + "\r\nna\r\n" + target.filename().string());
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(ReadFile(target), bytes);
    EXPECT_EQ(window.CurrentFileName, target);
    EXPECT_EQ(Status(window), utility::PathToQString(target));

    // Under its new name the file needs no second rename.
    boxes_.Clear();
    window.Zapiszdanejako1Click();
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Information),
              std::vector<std::string>{Pl("Pliku nie potrzeba zapisywać pod inną nazwą - jest czytelna")});
    EXPECT_TRUE(Exists(target));
}

TEST_F(RenameCardTest, ACardDownloadFileOfAnImagesSizeIsRenamedAsOne)
{
    struct Case {
        std::uint16_t activityLength;
        std::size_t fileSize;
    };
    // The writer gives these activity areas files of exactly the raw images' sizes.
    const Case cases[] = {{12'415, tacho::kCardImageSize}, {12'399, tacho::kOldCardImageSize}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileSize);
        app::Tf_tcGlow window;
        CardBuilder card = Card();
        card.Counts(12, 24, c.activityLength, 200, 112);
        const Bytes bytes = DddBytes(card.Image());
        ASSERT_EQ(bytes.size(), c.fileSize);
        const fs::path file = Open(window, "karta.DDD", bytes);
        boxes_.QueueAnswers({true});

        window.Zapiszdanejako1Click();

        ASSERT_EQ(boxes_.Messages().size(), 1u);
        EXPECT_EQ(boxes_.Messages()[0].kind, MessageKind::Confirmation);
        EXPECT_FALSE(Exists(file));
        EXPECT_NE(window.CurrentFileName, file);
        EXPECT_EQ(ReadFile(window.CurrentFileName), bytes);
        fs::remove(window.CurrentFileName);
        boxes_.Clear();
    }
}

TEST_F(RenameCardTest, AnExistingFileOfTheNewNameIsNeverReplaced)
{
    app::Tf_tcGlow window;
    const Bytes bytes = DddBytes(Card().Image());
    const fs::path file = Open(window, "karta.DDD", bytes);
    const fs::path target =
        Path("Nowak_Anna Maria_75010112345_20110517154500_" + utility::FileDateTimeText(file) + ".DDD");
    const Bytes other = {'i', 'n', 'n', 'y'};
    WriteFile(target, other);
    boxes_.QueueAnswers({true});

    window.Zapiszdanejako1Click();

    EXPECT_EQ(boxes_.TextsOf(MessageKind::Error), std::vector<std::string>{Pl("Zapis nie powiódł się.\r\nPlik\r\n") +
                                                                           Text(target) + Pl("\r\njuż istnieje.")});
    EXPECT_EQ(ReadFile(file), bytes);
    EXPECT_EQ(ReadFile(target), other);
    EXPECT_EQ(window.CurrentFileName, file);
    EXPECT_EQ(Status(window), utility::PathToQString(file));
}

TEST_F(RenameCardTest, ForbiddenCharactersOfTheSurnameStayOutOfTheNewName)
{
    app::Tf_tcGlow window;
    tacho::CardImage = Card("Nowak-Kow.alska/Bis").Image();
    const Bytes bytes = DddBytes(tacho::CardImage);
    const fs::path file = Open(window, "karta.DDD", bytes);
    boxes_.QueueAnswers({true});

    window.Zapiszdanejako1Click();

    ASSERT_TRUE(boxes_.TextsOf(MessageKind::Error).empty());
    const fs::path target = window.CurrentFileName;
    EXPECT_EQ(target.parent_path(), Folder());
    const std::string name = target.filename().string();
    EXPECT_EQ(name.substr(0, 22), "Nowak-KowalskaBis_Anna");
    EXPECT_EQ(name.substr(name.size() - 4), ".DDD");
    EXPECT_EQ(utility::RemoveCharsOf(utility::ForbiddenFileNameChars(), name.substr(0, name.size() - 4)),
              name.substr(0, name.size() - 4));
    EXPECT_EQ(ReadFile(target), bytes);
    EXPECT_FALSE(Exists(file));
}

TEST_F(RenameCardTest, CasesThatRenameNothing)
{
    struct Case {
        const char* what;
        const char* fileName;  // empty: the data came from a card read
        Bytes bytes;
        MessageKind kind;
        std::string text;
        bool confirmAsked = false;
    };
    const tacho::CardImageData card = Card().Image();
    tacho::CardImageD7 record{};
    tacho::CardImageToD7(card, record, 0);
    const std::string notDdd = Pl("Nazwę można zmienić tylko plikowi DDD z danymi karty kierowcy.\r\nPlik\r\n");
    const std::string readable = Pl("Pliku nie potrzeba zapisywać pod inną nazwą - jest czytelna");
    const std::vector<Case> cases = {
        {"after a card read", "", {}, MessageKind::Warning, Pl("Dane nie zostały wczytane z pliku dyskowego")},
        {"the name has the surname", "pobrane_NOWAK.ddd", DddBytes(card), MessageKind::Information, readable},
        {"the name has the surname in lower case", "nowak.DDD", DddBytes(card), MessageKind::Information, readable},
        {"a ZOLT file", "karta.zolt", Bytes(record.begin(), record.end()), MessageKind::Warning,
         notDdd + Text(Path("karta.zolt")) + Pl("\r\njest plikiem ZOLT.")},
        {"a card image", "obraz.bin", Bytes(card.begin(), card.end()), MessageKind::Warning,
         notDdd + Text(Path("obraz.bin")) + Pl("\r\njest obrazem karty.")},
        {"the user says no", "karta.DDD", DddBytes(card), MessageKind::Confirmation,
         Pl("Czy zmienić nazwę pliku\r\n") + Text(Path("karta.DDD")) + "\r\nna\r\nNowak_", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app::Tf_tcGlow window;
        fs::path file;
        if (*c.fileName) {
            file = Open(window, c.fileName, c.bytes);
        } else {
            tacho::CardImage = card;
            window.ShowCardSummary();
            boxes_.Clear();
        }
        if (c.confirmAsked)
            boxes_.QueueAnswers({false});

        window.Zapiszdanejako1Click();

        ASSERT_EQ(boxes_.Messages().size(), 1u);
        EXPECT_EQ(boxes_.Messages()[0].kind, c.kind);
        if (c.confirmAsked) {
            EXPECT_EQ(boxes_.Messages()[0].text.substr(0, c.text.size()), c.text);
        } else {
            EXPECT_EQ(boxes_.Messages()[0].text, c.text);
        }
        EXPECT_EQ(window.CurrentFileName, file);
        if (!file.empty()) {
            EXPECT_EQ(ReadFile(file), c.bytes);
            EXPECT_EQ(QDir(utility::PathToQString(Folder())).entryList(QDir::Files).size(), 1);
            fs::remove(file);
        }
        boxes_.Clear();
    }
}

TEST_F(RenameCardTest, ACardThatWasNotRecognisedIsNotRenamed)
{
    app::Tf_tcGlow window;
    const fs::path file = Path("karta.DDD");
    WriteFile(file, DddBytes(CardBuilder().CardNumber("D750101123450012").Image()));
    window.CurrentFileName = file;
    window.OpenCardFile(file);
    boxes_.Clear();
    window.Zapiszdanejako1Click();
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Warning),
              std::vector<std::string>{Pl("Dane nie są poprawne lub nie zostały wczytana")});
    EXPECT_TRUE(Exists(file));
}

TEST_F(RenameCardTest, AFailedOpenLeavesNothingToRename)
{
    app::Tf_tcGlow window;
    Open(window, "karta.DDD", DddBytes(Card().Image()));
    const fs::path broken = Path("krotki.ZOLT");
    WriteFile(broken, Bytes(100, 0));
    window.CurrentFileName = broken;
    window.OpenCardFile(broken);
    boxes_.Clear();
    window.Zapiszdanejako1Click();
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Warning),
              std::vector<std::string>{Pl("Dane nie zostały wczytane z pliku dyskowego")});
    EXPECT_TRUE(Exists(broken));
}

}  // namespace
}  // namespace apptest
