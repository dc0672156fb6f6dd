#include "tacho/zolt_file.h"

#include "tests/tacho/card_file_fixture.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace cardfiletest;

TEST(ZoltFile, ReadsTheFirstRecordAndIgnoresTheRest)
{
    ScratchFolder folder;
    Bytes bytes(tacho::kCardImageD7Size + 10);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 13 + 5);
    WriteFileBytes(folder.File("a.zolt"), bytes);
    tacho::CardImageD7 record{};
    std::string error;
    ASSERT_TRUE(tacho::ReadZoltFile(folder.File("a.zolt"), record, error)) << error;
    EXPECT_TRUE(std::equal(record.begin(), record.end(), bytes.begin()));
}

TEST(ZoltFile, ShortOrMissingFileFailsAndLeavesTheRecord)
{
    ScratchFolder folder;
    WriteFileBytes(folder.File("short.zolt"), Bytes(tacho::kCardImageD7Size - 1, 1));
    tacho::CardImageD7 record;
    record.fill(0x5A);
    std::string error;
    EXPECT_FALSE(tacho::ReadZoltFile(folder.File("short.zolt"), record, error));
    EXPECT_EQ(error, utility::Pl("Odczyt poza końcem pliku (24987 z 24988 bajtów)"));
    error.clear();
    EXPECT_FALSE(tacho::ReadZoltFile(folder.File("absent.zolt"), record, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::all_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0x5A; }));
}

TEST(ZoltFile, OnlyAPlainFileIsOpened)
{
    // A named pipe would block the reader until some other program writes to it.
    ScratchFolder folder;
    ASSERT_EQ(::mkfifo(folder.File("pipe.zolt").c_str(), 0600), 0);
    ASSERT_TRUE(std::filesystem::create_directory(folder.File("folder.zolt")));
    const std::pair<const char*, std::string> cases[] = {
        {"absent.zolt", utility::Pl("Nie ma takiego pliku ani katalogu.")},
        {"folder.zolt", utility::Pl("To nie jest zwykły plik.")},
        {"pipe.zolt", utility::Pl("To nie jest zwykły plik.")},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        tacho::CardImageD7 record;
        record.fill(0x5A);
        std::string error;
        EXPECT_FALSE(tacho::ReadZoltFile(folder.File(name), record, error));
        EXPECT_EQ(error, expected);
        EXPECT_TRUE(std::all_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0x5A; }));
    }
}

TEST(ZoltFile, ExtensionIsComparedWithoutRegardToCase)
{
    const std::pair<const char*, bool> cases[] = {
        {"a.zolt", true}, {"a.ZOLT", true}, {"dir/x.ZoLt", true}, {"a.zolt.DDD", false},
        {"zolt", false},  {"a.zol", false}, {"a.zolta", false},   {"a.DDD", false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(tacho::HasZoltExtension(name), expected) << name;
}
