#include "tacho/card_file_loader.h"
#include "tacho/ddd_file.h"
#include "tacho/kk1_conversion.h"
#include "tacho/kk1_writer.h"
#include "tacho/zolt.h"
#include "tests/support/message_recorder.h"
#include "tests/tacho/card_file_fixture.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"

#include <QDir>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

using namespace cardfiletest;
using testsupport::ChangeWord;
using testsupport::TimeReal;
using utility::MessageKind;
using utility::WriteStatus;

namespace {

// Hands out the given random texts in turn, then "zzz" for ever.
tacho::RandomTextSource Scripted(std::deque<std::string> texts)
{
    return [queue = std::make_shared<std::deque<std::string>>(std::move(texts))](int count) {
        EXPECT_EQ(count, 3);
        if (queue->empty())
            return std::string("zzz");
        std::string next = queue->front();
        queue->pop_front();
        return next;
    };
}

// "r00", "r01", ...: a new text every call.
tacho::RandomTextSource Counting()
{
    return [next = std::make_shared<int>(0)](int) {
        const int n = (*next)++;
        return std::string("r") + std::to_string(n / 10) + std::to_string(n % 10);
    };
}

std::size_t CountStartingWith(const std::vector<std::string>& names, const std::string& prefix)
{
    return static_cast<std::size_t>(std::count_if(names.begin(), names.end(), [&](const std::string& n) {
        return n.compare(0, prefix.size(), prefix) == 0 && n.size() == prefix.size() + 7;
    }));
}

testsupport::CardBuilder Holder(std::string_view surname, std::string_view card = "D8001011234500")
{
    testsupport::CardBuilder builder;
    builder.Surname(surname).FirstNames("Anna").CardNumber(card);
    return builder;
}

Bytes Kk1Of(const tacho::CardImageData& image)
{
    Bytes bytes;
    std::string error;
    EXPECT_TRUE(tacho::BuildKk1FileBytes(image, bytes, error)) << error;
    return bytes;
}

}  // namespace

TEST(Kk1Name, LastActivityShowsShortDateAndRoundedTime)
{
    const double day = utility::EncodeDate(2011, 5, 17);
    const std::pair<double, const char*> cases[] = {
        {day + utility::EncodeTime(8, 5, 0), "2011-05-17805"},
        {day + utility::EncodeTime(14, 30, 0), "2011-05-171430"},
        {day + utility::EncodeTime(0, 0, 0), "2011-05-17000"},
        {day + utility::EncodeTime(10, 59, 29), "2011-05-171059"},
        {day + utility::EncodeTime(10, 59, 31), "2011-05-171100"},
        {day + utility::EncodeTime(23, 59, 30), "2011-05-172400"},
        {0, "1899-12-30000"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(tacho::Kk1ActivityText(value), expected);
}

TEST(Kk1Name, HolderFieldsLastActivityAndRandomCharacters)
{
    testsupport::CardBuilder card = Holder("No.wak/");
    card.Day(TimeReal(2011, 5, 17), 1, 1, {ChangeWord(0, 0, 0, 3, 6 * 60), ChangeWord(0, 0, 0, 2, 8 * 60 + 5)});
    EXPECT_EQ(tacho::Kk1FileName(card.Image(), "aB1"), "Nowak_Anna_80010112345_2011-05-17805_aB1.KK1");
    testsupport::CardBuilder impossible = Holder("Nowak");
    impossible.Day(TimeReal(2011, 5, 17), 1, 1, {ChangeWord(0, 0, 0, 3, 1'700)});
    EXPECT_EQ(tacho::Kk1FileName(impossible.Image(), "xyz"), "Nowak_Anna_80010112345_1899-12-30000_xyz.KK1");
}

TEST(Kk1Writer, WritesTheBlocksUnderTheName)
{
    ScratchFolder folder;
    const tacho::CardImageData card = PatternedCard().Image();
    std::filesystem::path fileName;
    std::string error;
    ASSERT_EQ(tacho::WriteKk1File(card, folder.Path(), Scripted({"Ab1"}), fileName, error), WriteStatus::Written)
        << error;
    EXPECT_EQ(fileName, folder.File(tacho::Kk1FileName(card, "Ab1")));
    const Bytes written = ReadFileBytes(fileName);
    EXPECT_EQ(written.size(), 25'009U);
    EXPECT_EQ(written, Kk1Of(card));
}

TEST(Kk1Writer, ATakenNameIsRetriedWithNewRandomCharacters)
{
    ScratchFolder folder;
    const tacho::CardImageData card = Holder("Nowak").Image();
    const std::string taken = tacho::Kk1FileName(card, "AAA");
    WriteFileBytes(folder.File(taken), {5});
    std::filesystem::path fileName;
    std::string error;
    EXPECT_EQ(tacho::WriteKk1File(card, folder.Path(), Scripted({"AAA", "BBB"}), fileName, error),
              WriteStatus::Written);
    EXPECT_EQ(fileName, folder.File(tacho::Kk1FileName(card, "BBB")));
    EXPECT_EQ(ReadFileBytes(folder.File(taken)), Bytes{5});
    EXPECT_EQ(folder.Entries().size(), 2U);
}

TEST(Kk1Writer, NoFreeNameOrBadCountsLeaveNoFile)
{
    ScratchFolder folder;
    const tacho::CardImageData card = Holder("Nowak").Image();
    const std::string taken = tacho::Kk1FileName(card, "zzz");
    WriteFileBytes(folder.File(taken), {5});
    std::filesystem::path fileName;
    std::string error;
    EXPECT_EQ(tacho::WriteKk1File(card, folder.Path(), Scripted({}), fileName, error), WriteStatus::Exists);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{taken});

    EXPECT_EQ(tacho::WriteKk1File(PatternedCard(12, 24, 13'776, 200, 200).Image(), folder.Path(), Scripted({"new"}),
                                  fileName, error),
              WriteStatus::Failed);
    EXPECT_NE(error.find("0506"), std::string::npos);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{taken});
}

TEST(Kk1Writer, ANamelessFolderIsRefusedInsteadOfTheRoot)
{
    const tacho::CardImageData card = Holder("Nowak").Image();
    for (const std::string folder : {"", "   "}) {
        SCOPED_TRACE("[" + folder + "]");
        std::filesystem::path fileName;
        std::string error;
        const WriteStatus status = tacho::WriteKk1File(card, folder, Scripted({"abc"}), fileName, error);
        const bool inRoot = std::filesystem::remove(std::filesystem::path("/") / tacho::Kk1FileName(card, "abc"));
        EXPECT_EQ(status, WriteStatus::Failed);
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(inRoot);
    }
}

namespace {

// A program folder and a source folder of card files for the conversion.
class Kk1Conversion : public ::testing::Test {
protected:
    std::string Program() const { return root_.File("program"); }
    std::string Source() const { return root_.File("source"); }
    std::string Kk1() const { return root_.File("program/KK1"); }
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(utility::Cp1250ToQString(Program())));
        ASSERT_TRUE(QDir().mkpath(utility::Cp1250ToQString(Source() + "/sub")));
    }
    void Run(const std::string& picked)
    {
        tacho::ConvertFolderToKk1([&] { return picked; }, Program(), Counting());
    }

    ScratchFolder root_;
    testsupport::MessageRecorder boxes_;
};

}  // namespace

TEST_F(Kk1Conversion, ConvertsImagesAndZoltFilesAndPassesOverDownloads)
{
    const tacho::CardImageData image = Holder("Nowak").Image();
    const tacho::CardImageData deep = Holder("Wolski", "D9001011234500").Image();
    tacho::CardImageData zoltCard = Holder("Zolty").Image();
    tacho::CardImageD7 record{};
    tacho::CardImageToD7(zoltCard, record, 0x77);
    Bytes old;
    for (const tacho::EfSlot& slot : tacho::kEfSlots)
        old.insert(old.end(), image.begin() + static_cast<std::ptrdiff_t>(slot.body),
                   image.begin() + static_cast<std::ptrdiff_t>(slot.body + slot.size));
    Bytes ddd;
    std::string error;
    tacho::CardImageData dddCard = Holder("Dedek").Image();
    ASSERT_TRUE(tacho::BuildDddFileBytes(dddCard, ValidSignatures(), ddd, error));

    WriteFileBytes(Source() + "/image.bin", ImageBytes(image));
    WriteFileBytes(Source() + "/old.KF", old);
    WriteFileBytes(Source() + "/record.ZoLt", Bytes(record.begin(), record.end()));
    WriteFileBytes(Source() + "/card.DDD", ddd);
    WriteFileBytes(Source() + "/notes.txt", {'a', 'b', 'c'});
    WriteFileBytes(Source() + "/big.bin", Bytes(30'000, 0));
    WriteFileBytes(Source() + "/short.zolt", Bytes(100, 1));
    WriteFileBytes(Source() + "/sub/deep.bin", ImageBytes(deep));

    const tacho::CardImageData shown = PatternedCard().Image();
    tacho::CardImage = shown;
    boxes_.QueueAnswers({true});
    Run(Source() + "/card.DDD");

    EXPECT_EQ(tacho::CardImage, shown);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Confirmation),
              std::vector<std::string>{utility::Pl("Czy utworzyć 8 plików na KK1 ? (za wyjątkiem plików DDD)")});
    std::vector<std::string> errors = boxes_.TextsOf(MessageKind::Error);
    std::sort(errors.begin(), errors.end());
    EXPECT_EQ(errors, (std::vector<std::string>{
                          utility::Pl("Błąd wczytania pliku:\r\n") + Source() + "/short.zolt" +
                              utility::Pl("\r\nOdczyt poza końcem pliku (100 z 24988 bajtów)"),
                          utility::Pl("Nie zdołano wczytać danych z pliku\r\n") + Source() + "/big.bin",
                      }));
    EXPECT_EQ(boxes_.Messages().size(), 3U);

    // Cards without activity (an empty date); the image and its older form are one card.
    const std::vector<std::string> entries = root_.Entries("program/KK1");
    ASSERT_EQ(entries.size(), 4U);
    EXPECT_EQ(CountStartingWith(entries, "Nowak_Anna_80010112345_1899-12-30000_"), 2U);
    EXPECT_EQ(CountStartingWith(entries, "Wolski_Anna_90010112345_1899-12-30000_"), 1U);
    EXPECT_EQ(CountStartingWith(entries, "Zolty_Anna_80010112345_1899-12-30000_"), 1U);
    tacho::CardImageData fromRecord{};
    tacho::CardImageFromD7(record, fromRecord);
    for (const std::string& name : entries) {
        SCOPED_TRACE(name);
        const tacho::CardImageData& source = name[0] == 'N' ? image : name[0] == 'W' ? deep : fromRecord;
        EXPECT_EQ(ReadFileBytes(Kk1() + "/" + name), Kk1Of(source));
    }
    tacho::CardImage.fill(0);
}

TEST_F(Kk1Conversion, CancelEmptyFolderAndNoLeaveNothingWritten)
{
    tacho::ConvertFolderToKk1([] { return std::string(); }, Program(), Scripted({}));
    EXPECT_TRUE(boxes_.Messages().empty());
    EXPECT_TRUE(root_.Entries("program").empty());

    ASSERT_TRUE(QDir().mkpath(utility::Cp1250ToQString(Source() + "/empty")));
    Run(Source() + "/empty/none.DDD");
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Information),
              std::vector<std::string>{utility::Pl("W katalogu ") + Source() + "/empty" + utility::Pl(" brak plików")});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    boxes_.Clear();
    WriteFileBytes(Source() + "/image.bin", ImageBytes(Holder("Nowak").Image()));
    boxes_.QueueAnswers({false});
    Run(Source() + "/image.bin");
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Confirmation).size(), 1U);
    EXPECT_TRUE(root_.Entries("program/KK1").empty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Kk1Conversion, FilesThatCannotBeWrittenAreReportedTogetherAtTheEnd)
{
    // A plain file where the KK1 folder should be: every write fails.
    WriteFileBytes(Kk1(), {1});
    WriteFileBytes(Source() + "/a.bin", ImageBytes(Holder("Nowak").Image()));
    WriteFileBytes(Source() + "/b.bin", ImageBytes(Holder("Wolski").Image()));
    boxes_.SetDefaultAnswer(true);
    Run(Source() + "/a.bin");
    const std::vector<std::string> errors = boxes_.TextsOf(MessageKind::Error);
    ASSERT_EQ(errors.size(), 1U);
    const std::string prefix = utility::Pl("Nie zdołano zapisać plików KK1:\r\n");
    EXPECT_EQ(errors[0].substr(0, prefix.size()), prefix);
    EXPECT_NE(errors[0].find(Kk1() + "/Nowak_Anna_80010112345_1899-12-30000_r"), std::string::npos);
    EXPECT_NE(errors[0].find(Kk1() + "/Wolski_Anna_80010112345_1899-12-30000_r"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(Kk1()), Bytes{1});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
