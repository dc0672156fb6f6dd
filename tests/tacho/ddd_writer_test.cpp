#include "tacho/ddd_writer.h"

#include "tacho/ddd_save.h"
#include "tests/support/message_recorder.h"
#include "tests/tacho/card_file_fixture.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/dos_ext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

using namespace cardfiletest;
using testsupport::ChangeWord;
using testsupport::TimeReal;
using utility::MessageKind;
using utility::WriteStatus;

namespace {

// 5 January 2012, 07:03:09.
double FixedNow() { return utility::EncodeDate(2012, 1, 5) + utility::EncodeTime(7, 3, 9); }

// A full card whose last activity is 17 May 2011 at 13:03.
testsupport::CardBuilder CardWithActivity()
{
    testsupport::CardBuilder card = PatternedCard();
    card.ActivityPointers(0, 0);
    card.Day(TimeReal(2011, 5, 17), 0x0001, 120, {ChangeWord(0, 0, 0, 3, 6 * 60), ChangeWord(0, 0, 0, 0, 13 * 60 + 3)});
    return card;
}

const std::string kActiveName = "Kowalski_Jan Maria_80010112345_20110517130300_20120105070309.DDD";

class FakeWindow final : public tacho::DddSaveWindow {
public:
    explicit FakeWindow(std::filesystem::path folder, bool enabled = true)
        : folder_(std::move(folder)), enabled_(enabled)
    {}
    bool IsEnabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override
    {
        enabled_ = enabled;
        changes.push_back(enabled);
    }
    std::filesystem::path DddFolder() const override { return folder_; }
    std::vector<bool> changes;

private:
    std::filesystem::path folder_;
    bool enabled_;
};

}  // namespace

TEST(DddWriter, WritesTheWholeFileUnderTheStandardName)
{
    ScratchFolder folder;
    const tacho::CardImageData card = CardWithActivity().Image();
    std::filesystem::path fileName;
    std::string error = "stale";
    EXPECT_EQ(tacho::WriteDddFile(card, ValidSignatures(), folder.Path(), FixedNow, fileName, error),
              WriteStatus::Written);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(fileName, folder.Path() / kActiveName);
    Bytes expected;
    ASSERT_TRUE(tacho::BuildDddFileBytes(card, ValidSignatures(), expected, error));
    EXPECT_EQ(ReadFileBytes(fileName), expected);
    EXPECT_EQ(expected.size(), 26'336U);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{kActiveName});
}

TEST(DddWriter, FileNameTakesHolderFieldsAndDropsForbiddenCharacters)
{
    struct Case {
        const char* name;
        std::function<void(testsupport::CardBuilder&)> setUp;
        std::string expected;
    };
    const Case cases[] = {
        {"no activity: the empty date and zeros", [](testsupport::CardBuilder&) {},
         "Kowalski_Jan Maria_80010112345_18991230000000_20120105070309.DDD"},
        {"dots and slashes go, blanks stay",
         [](testsupport::CardBuilder& c) { c.Surname("Ko.wal/ski*").FirstNames("Jan  Maria:"); },
         "Kowalski_Jan  Maria_80010112345_18991230000000_20120105070309.DDD"},
        {"an impossible change time names the file like a card without activity",
         [](testsupport::CardBuilder& c) {
             c.Day(TimeReal(2011, 5, 17), 1, 1, {ChangeWord(0, 0, 0, 3, 60), ChangeWord(0, 0, 0, 3, 1'500)});
         },
         "Kowalski_Jan Maria_80010112345_18991230000000_20120105070309.DDD"},
        {"a short card number", [](testsupport::CardBuilder& c) { c.CardNumber("D1234"); },
         "Kowalski_Jan Maria_1234_18991230000000_20120105070309.DDD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::CardBuilder card;
        card.Surname("Kowalski").FirstNames("Jan Maria").CardNumber("D8001011234500");
        c.setUp(card);
        EXPECT_EQ(tacho::DddFileName(card.Image(), FixedNow()), c.expected);
    }
}

TEST(DddWriter, AnImpossibleChangeTimeStillSavesTheCard)
{
    ScratchFolder folder;
    testsupport::CardBuilder card = PatternedCard();
    card.ActivityPointers(0, 0);
    card.Day(TimeReal(2011, 5, 17), 1, 1, {ChangeWord(0, 0, 0, 3, 2'000)});
    std::filesystem::path fileName;
    std::string error;
    EXPECT_EQ(tacho::WriteDddFile(card.Image(), ValidSignatures(), folder.Path(), FixedNow, fileName, error),
              WriteStatus::Written);
    EXPECT_EQ(fileName, folder.File("Kowalski_Jan Maria_80010112345_18991230000000_20120105070309.DDD"));
}

TEST(DddWriter, AnExistingFileIsLeftAloneAndReported)
{
    ScratchFolder folder;
    WriteFileBytes(folder.File(kActiveName), {1, 2, 3});
    std::filesystem::path fileName;
    std::string error;
    EXPECT_EQ(
        tacho::WriteDddFile(CardWithActivity().Image(), ValidSignatures(), folder.Path(), FixedNow, fileName, error),
        WriteStatus::Exists);
    EXPECT_EQ(error, "Plik juz istnieje " + folder.File(kActiveName).string());
    EXPECT_EQ(ReadFileBytes(folder.File(kActiveName)), (Bytes{1, 2, 3}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{kActiveName});
}

TEST(DddWriter, FailuresLeaveNoFileBehind)
{
    struct Case {
        const char* name;
        tacho::CardImageData image;
        tacho::SignatureAreaData signatures;
        std::string errorStart;
    };
    tacho::SignatureAreaData unsigned0 = ValidSignatures();
    unsigned0[128] = 0;
    const Case cases[] = {
        {"a missing signature", CardWithActivity().Image(), unsigned0, utility::Pl("Brak podpisów w danych")},
        {"a count beyond its slot", PatternedCard(13).Image(), ValidSignatures(),
         utility::Pl("Dane karty są niepoprawne: blok 0502")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        std::filesystem::path fileName;
        std::string error;
        EXPECT_EQ(tacho::WriteDddFile(c.image, c.signatures, folder.Path(), FixedNow, fileName, error),
                  WriteStatus::Failed);
        EXPECT_EQ(error.substr(0, c.errorStart.size()), c.errorStart);
        EXPECT_TRUE(folder.Entries().empty());
    }
    ScratchFolder folder;
    std::filesystem::path fileName;
    std::string error;
    EXPECT_EQ(tacho::WriteDddFile(CardWithActivity().Image(), ValidSignatures(), folder.File("absent"), FixedNow,
                                  fileName, error),
              WriteStatus::Failed);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(DddWriter, ANamelessFolderIsRefusedInsteadOfTheRoot)
{
    for (const std::string folder : {"", "   "}) {
        SCOPED_TRACE("[" + folder + "]");
        std::filesystem::path fileName;
        std::string error;
        const WriteStatus status =
            tacho::WriteDddFile(CardWithActivity().Image(), ValidSignatures(), folder, FixedNow, fileName, error);
        const bool inRoot = std::filesystem::remove("/" + kActiveName);
        EXPECT_EQ(status, WriteStatus::Failed);
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(inRoot);
    }
}

TEST(SaveCardAsDdd, TellsTheOutcomeAndRestoresTheWindowState)
{
    struct Case {
        const char* name;
        bool existing;
        bool signed0;
        MessageKind kind;
        std::string text;  // after the file name
        std::string prefix;
    };
    const Case cases[] = {
        {"written", false, true, MessageKind::Information, "", utility::Pl("Dane z karty zapisano w pliku\r\n")},
        {"exists", true, true, MessageKind::Information, utility::Pl("\r\njuż istnieje"), utility::Pl("Plik\r\n")},
        {"no signature", false, false, MessageKind::Error, utility::Pl("\r\nBrak podpisów w danych"),
         utility::Pl("Danych z karty nie zdołano zapisać w pliku\r\n")},
    };
    for (const Case& c : cases) {
        for (const bool enabledBefore : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (enabledBefore ? " enabled" : " disabled"));
            ScratchFolder folder;
            if (c.existing)
                WriteFileBytes(folder.File(kActiveName), {7});
            tacho::SignatureAreaData signatures = ValidSignatures();
            signatures[128] = c.signed0 ? 1 : 0;
            FakeWindow window(folder.Path(), enabledBefore);
            testsupport::MessageRecorder boxes;
            tacho::SaveCardAsDdd(window, CardWithActivity().Image(), signatures, FixedNow);
            ASSERT_EQ(boxes.Messages().size(), 1U);
            EXPECT_EQ(boxes.Messages()[0].kind, c.kind);
            EXPECT_EQ(boxes.Messages()[0].text, c.prefix + folder.File(kActiveName).string() + c.text);
            EXPECT_EQ(window.changes, (std::vector<bool>{false, enabledBefore}));
            EXPECT_EQ(window.IsEnabled(), enabledBefore);
        }
    }
}

TEST(SaveCardAsDdd, CreatesAMissingFolderWithANotice)
{
    ScratchFolder folder;
    const std::filesystem::path ddd = folder.File("dane/DDD");
    FakeWindow window(ddd);
    testsupport::MessageRecorder boxes;
    tacho::SaveCardAsDdd(window, CardWithActivity().Image(), ValidSignatures(), FixedNow);
    ASSERT_EQ(boxes.Messages().size(), 2U);
    EXPECT_EQ(boxes.Messages()[0].kind, MessageKind::Notice);
    EXPECT_NE(boxes.Messages()[0].text.find(utility::Pl("Utworzono katalog (-i):")), std::string::npos);
    EXPECT_EQ(boxes.Messages()[1].text,
              utility::Pl("Dane z karty zapisano w pliku\r\n") + (ddd / kActiveName).string());
    EXPECT_EQ(folder.Entries("dane/DDD"), std::vector<std::string>{kActiveName});
}

TEST(SaveCardAsDdd, AFolderThatCannotBeCreatedIsReportedAndNothingWritten)
{
    ScratchFolder folder;
    WriteFileBytes(folder.File("plik"), {1});
    const std::filesystem::path ddd = folder.File("plik/DDD");
    FakeWindow window(ddd);
    testsupport::MessageRecorder boxes;
    tacho::SaveCardAsDdd(window, CardWithActivity().Image(), ValidSignatures(), FixedNow);
    const std::vector<std::string> errors = boxes.TextsOf(MessageKind::Error);
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_EQ(errors[0], utility::Pl("Danych z karty nie zdołano zapisać, gdyż nie można utworzyć katalogu\r\n") +
                             ddd.string() + "\r\n" + utility::FolderCreationReport());
    EXPECT_NE(utility::FolderCreationReport().find(utility::Pl("nie zdołano utworzyć katalogu")), std::string::npos);
    EXPECT_TRUE(window.changes.empty());
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"plik"});
}

TEST(MakeDddFileName, UsesTheFileTimeOfTheFullPathAndDropsForbiddenCharacters)
{
    ScratchFolder folder;
    const std::filesystem::path loaded = folder.File("stary.DDD");
    WriteFileBytes(loaded, {1});
    const std::string time = utility::FileDateTimeText(loaded);
    ASSERT_EQ(time.size(), 14U);
    const tacho::CardImageData card = CardWithActivity().Image();
    EXPECT_EQ(tacho::MakeDddFileName(card, "Kowal.ski", loaded),
              "Kowalski_Jan Maria_80010112345_20110517130300_" + time + ".DDD");
    EXPECT_EQ(tacho::MakeDddFileName(card, "Kowalski", folder.File("brak.DDD")),
              "Kowalski_Jan Maria_80010112345_20110517130300_.DDD");
}

// The folder may be named in any alphabet; the name built from card text is UTF-8 on disk.
TEST(DddWriter, AFolderOfAnyNameTakesTheFileUnderTheCardHoldersName)
{
    ScratchFolder scratch;
    const std::filesystem::path folder = scratch.File("Søren Ж");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    testsupport::CardBuilder card = CardWithActivity();
    card.Surname("W\xB1s", 2);  // "Wąs" in ISO 8859-2
    std::filesystem::path fileName;
    std::string error;
    ASSERT_EQ(tacho::WriteDddFile(card.Image(), ValidSignatures(), folder, FixedNow, fileName, error),
              WriteStatus::Written)
        << error;
    const std::string name = "Wąs_Jan Maria_80010112345_20110517130300_20120105070309.DDD";
    EXPECT_EQ(fileName, folder / name);
    EXPECT_EQ(scratch.Entries("Søren Ж"), std::vector<std::string>{name});
    EXPECT_EQ(ReadFileBytes(fileName).size(), 26'336U);
}
