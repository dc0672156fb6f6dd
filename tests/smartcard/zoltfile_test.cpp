// ZOLT file names (filtering, clashes under a fixed clock and a scripted random source) and
// the file write.
#include "smartcard/zoltfile.h"

#include "utility/cp1250.h"
#include "utility/datetime.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;
using smartcard::TZoltHolder;

double At(int y, int mo, int d, int h, int mi, int s)
{
    return utility::EncodeDate(y, mo, d) + utility::EncodeTime(h, mi, s);
}

std::vector<std::uint8_t> ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Touch(const fs::path& p) { std::ofstream(p, std::ios::binary) << "x"; }

std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(folder))
        r.push_back(e.path().filename().string());
    std::sort(r.begin(), r.end());
    return r;
}

TEST(ZoltFileName, DateTimeHolderAndSuffix)
{
    struct Case {
        const char* name;
        double now;
        TZoltHolder holder;
        std::string suffix;
        std::string expected;  // UTF-8
    } cases[] = {
        {"plain",
         At(2026, 3, 7, 9, 5, 0),
         {"85010112345", "KOWALSKI", "JAN"},
         "",
         "260307905_85010112345KOWALSKIJ.zolt"},
        {"minute rounded",
         At(2026, 3, 7, 9, 5, 30),
         {"85010112345", "KOWALSKI", "JAN"},
         "",
         "260307906_85010112345KOWALSKIJ.zolt"},
        {"last half minute of the day",
         At(2025, 12, 31, 23, 59, 59),
         {"85010112345", "NOWAK", "EWA"},
         "",
         "2512312400_85010112345NOWAKE.zolt"},
        {"midnight", At(2026, 1, 2, 0, 7, 0), {"1", "A", "B"}, "", "260102007_1AB.zolt"},
        {"surname cut to ten",
         At(2026, 3, 7, 9, 5, 0),
         {"85010112345", "BRZĘCZYSZCZYKIEWICZ", "Grzegorz"},
         "",
         "260307905_85010112345BRZĘCZYSZCG.zolt"},
        {"suffix",
         At(2026, 3, 7, 9, 5, 0),
         {"85010112345", "KOWALSKI", "JAN"},
         "_aZ1",
         "260307905_85010112345KOWALSKIJ_aZ1.zolt"},
        {"path and mask characters removed",
         At(2026, 3, 7, 9, 5, 0),
         {"1*2?3", "../../etc", "/"},
         "",
         "260307905_123etc.zolt"},
        {"empty holder", At(2026, 3, 7, 9, 5, 0), {"", "", ""}, "", "260307905_.zolt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TZoltHolder holder{utility::Pl(c.holder.pesel), utility::Pl(c.holder.surname),
                                 utility::Pl(c.holder.firstNames)};
        EXPECT_EQ(utility::Cp1250ToUtf8(smartcard::ZoltFileName(c.now, holder, c.suffix)), c.expected);
    }
}

struct ScriptedRandom {
    std::vector<std::string> texts;
    std::vector<int> asked;
    std::string operator()(int n)
    {
        asked.push_back(n);
        std::string t = texts.at(asked.size() - 1);
        EXPECT_EQ(static_cast<int>(t.size()), n);
        return t;
    }
};

TEST(MakeZoltFilePath, ClashesAddRandomCharactersOneMoreEachTime)
{
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    const double now = At(2026, 3, 7, 9, 5, 0);
    const TZoltHolder holder{"85010112345", "KOWALSKI", "JAN"};
    const std::string base = "260307905_85010112345KOWALSKIJ";

    ScriptedRandom unused;
    auto random = [&unused](int n) { return unused(n); };
    EXPECT_EQ(smartcard::MakeZoltFilePath(folder, now, holder, random), folder / (base + ".zolt"));
    EXPECT_TRUE(unused.asked.empty());

    Touch(folder / (base + ".zolt"));
    fs::create_directory(folder / (base + "_A.zolt"));  // any entry of that name clashes
    Touch(folder / (base + "_BC.zolt"));
    ScriptedRandom scripted{{"A", "BC", "DEF"}, {}};
    auto random2 = [&scripted](int n) { return scripted(n); };
    EXPECT_EQ(smartcard::MakeZoltFilePath(folder, now, holder, random2), folder / (base + "_DEF.zolt"));
    EXPECT_EQ(scripted.asked, (std::vector<int>{1, 2, 3}));
}

TEST(MakeZoltFilePath, OtherFilesMatchingAMaskAreNoClash)
{
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    // Would match the old mask "260307905_*.zolt"; the name itself has no "*" any more.
    Touch(folder / "260307905_85010112345KOWALSKIJX.zolt");
    const TZoltHolder holder{"8501011234*", "KOWALSKI", "?"};
    ScriptedRandom none;
    auto random = [&none](int n) { return none(n); };
    const fs::path p = smartcard::MakeZoltFilePath(folder, At(2026, 3, 7, 9, 5, 0), holder, random);
    EXPECT_EQ(p, folder / "260307905_8501011234KOWALSKI.zolt");
    EXPECT_EQ(p.parent_path(), folder);
}

TEST(WriteZoltFile, WritesTheRecordAndLeavesNoTemporaryFile)
{
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    std::vector<std::uint8_t> record(24988);
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<std::uint8_t>(i * 13);
    smartcard::WriteZoltFile(folder / "a.zolt", record);
    EXPECT_EQ(ReadAll(folder / "a.zolt"), record);
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"a.zolt"});
}

TEST(WriteZoltFile, NeverReplacesAnExistingFile)
{
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    Touch(folder / "a.zolt");
    const std::vector<std::uint8_t> record(24988, 7);
    EXPECT_THROW(smartcard::WriteZoltFile(folder / "a.zolt", record), std::runtime_error);
    EXPECT_EQ(ReadAll(folder / "a.zolt"), (std::vector<std::uint8_t>{'x'}));
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"a.zolt"});
}

TEST(WriteZoltFile, UnwritableFolderThrowsWithThePathAndLeavesNothing)
{
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    Touch(folder / "plain");  // a file where the folder should be: no one can write in it
    const std::vector<std::uint8_t> record(24988, 7);
    try {
        smartcard::WriteZoltFile(folder / "plain" / "a.zolt", record);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("plain"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"plain"});
}

}  // namespace
