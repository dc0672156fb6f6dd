#include "report/output/pages/page_stream.h"

#include "tests/support/file_fixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numeric>

namespace report::output {
namespace {

namespace fs = std::filesystem;
using testsupport::FileSizeLimit;
using testsupport::ReadFile;
using testsupport::WriteFile;

// Points the temporary folder (TMPDIR) at a folder of the test's own, so the page files the
// stream makes can be watched; restores the variable afterwards.
class PageStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp_.isValid());
        hadTmp_ = qEnvironmentVariableIsSet("TMPDIR");
        savedTmp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp_.path().toUtf8());
        ASSERT_EQ(QDir::tempPath(), QDir(temp_.path()).canonicalPath());
    }
    void TearDown() override
    {
        if (hadTmp_)
            qputenv("TMPDIR", savedTmp_);
        else
            qunsetenv("TMPDIR");
    }
    fs::path TempFolder() const { return fs::path(QDir::tempPath().toStdString()); }
    std::vector<std::string> PageFiles() const
    {
        std::vector<std::string> names;
        for (const std::string& name : testsupport::Entries(TempFolder()))
            if (name.rfind("RPP", 0) == 0)
                names.push_back(name);
        return names;
    }

private:
    QTemporaryDir temp_;
    bool hadTmp_ = false;
    QByteArray savedTmp_;
};

std::string Pattern(std::size_t size, unsigned seed = 7)
{
    std::string bytes(size, '\0');
    unsigned x = seed;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 23);
    }
    return bytes;
}

bool WriteAll(TRpStream& stream, const std::string& bytes)
{
    return stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size())) ==
           static_cast<std::int64_t>(bytes.size());
}

std::string ReadAt(TRpStream& stream, std::int64_t offset, TRpStream::Origin origin, std::int64_t count)
{
    if (stream.Seek(offset, origin) < 0)
        return "<seek failed>";
    std::string bytes(static_cast<std::size_t>(count), '\0');
    const std::int64_t n = stream.Read(bytes.data(), count);
    bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
    return bytes;
}

// The same reads and seeks on whichever inner stream holds the content: each is compared with
// the bytes it should give.
void ExpectReadsMatch(TRpStream& stream, const std::string& content)
{
    using O = TRpStream::Origin;
    const auto size = static_cast<std::int64_t>(content.size());
    EXPECT_EQ(stream.Size(), size);
    EXPECT_EQ(ReadAt(stream, 0, O::Beginning, 16), content.substr(0, 16));
    EXPECT_EQ(ReadAt(stream, 1000, O::Beginning, 5000), content.substr(1000, 5000));
    EXPECT_EQ(ReadAt(stream, -10, O::End, 100), content.substr(content.size() - 10));
    EXPECT_EQ(stream.Position(), size);
    EXPECT_EQ(ReadAt(stream, 0, O::End, 1), "");
    EXPECT_EQ(stream.Seek(-20, O::Current), size - 20);
    EXPECT_EQ(ReadAt(stream, 4, O::Current, 4), content.substr(content.size() - 16, 4));
    EXPECT_EQ(stream.Seek(-1, O::Beginning), -1);
    EXPECT_EQ(stream.Position(), size - 12);
    EXPECT_EQ(stream.Seek(-size - 1, O::End), -1);
    EXPECT_EQ(stream.Seek(0, O::End), size);
}

TEST_F(PageStreamTest, StaysInMemoryUpToTheLimitThenMovesToAPageFile)
{
    const std::string content = Pattern(250'001);
    auto stream = std::make_unique<TRpStream>();
    EXPECT_EQ(stream->MemoryLimit(), 250'000);
    ASSERT_TRUE(WriteAll(*stream, content.substr(0, 100'000)));
    ASSERT_TRUE(WriteAll(*stream, content.substr(100'000, 150'000)));
    EXPECT_TRUE(stream->InMemory());
    EXPECT_TRUE(stream->TempFileName().isEmpty());
    EXPECT_TRUE(PageFiles().empty());
    ExpectReadsMatch(*stream, content.substr(0, 250'000));

    ASSERT_TRUE(WriteAll(*stream, content.substr(250'000)));
    EXPECT_FALSE(stream->InMemory());
    EXPECT_EQ(stream->Position(), 250'001);
    const QString name = stream->TempFileName();
    EXPECT_EQ(QFileInfo(name).canonicalPath(), QDir::tempPath());
    EXPECT_TRUE(QFileInfo(name).fileName().startsWith(QStringLiteral("RPP"))) << name.toStdString();
    EXPECT_EQ(PageFiles().size(), 1u);
    ExpectReadsMatch(*stream, content);

    // Overwriting in the middle and growing go on in the file.
    ASSERT_EQ(stream->Seek(10, TRpStream::Origin::Beginning), 10);
    ASSERT_TRUE(WriteAll(*stream, "XYZ"));
    ASSERT_EQ(stream->Seek(0, TRpStream::Origin::End), 250'001);
    ASSERT_TRUE(WriteAll(*stream, "tail"));
    std::string changed = content + "tail";
    changed.replace(10, 3, "XYZ");
    ExpectReadsMatch(*stream, changed);

    stream.reset();
    EXPECT_FALSE(QFileInfo::exists(name));
    EXPECT_TRUE(PageFiles().empty());
}

TEST_F(PageStreamTest, AWritePastTheEndLeavesZerosAndSmallLimitsMoveEarly)
{
    TRpStream stream(10);
    ASSERT_EQ(stream.Seek(4, TRpStream::Origin::Beginning), 4);
    ASSERT_TRUE(WriteAll(stream, "ab"));
    EXPECT_TRUE(stream.InMemory());
    EXPECT_EQ(ReadAt(stream, 0, TRpStream::Origin::Beginning, 10), std::string("\0\0\0\0ab", 6));
    ASSERT_TRUE(WriteAll(stream, "cdefg"));
    EXPECT_FALSE(stream.InMemory());
    EXPECT_EQ(ReadAt(stream, 0, TRpStream::Origin::Beginning, 20), std::string("\0\0\0\0abcdefg", 11));
}

TEST_F(PageStreamTest, APageFileThatCannotBeWrittenKeepsThePagesInMemory)
{
    const std::string content = Pattern(10'000);
    TRpStream stream(5'000);
    {
        FileSizeLimit limit(1'000);
        ASSERT_TRUE(limit.active());
        ASSERT_TRUE(WriteAll(stream, content));
    }
    EXPECT_TRUE(stream.InMemory());
    EXPECT_TRUE(PageFiles().empty());
    ExpectReadsMatch(stream, content);
}

TEST_F(PageStreamTest, AWriteThatTheDiskRefusesIsReportedAtOnce)
{
    TRpStream stream(100);
    ASSERT_TRUE(WriteAll(stream, Pattern(500)));
    ASSERT_FALSE(stream.InMemory());
    FileSizeLimit limit(1'000);
    ASSERT_TRUE(limit.active());
    EXPECT_LT(stream.Write(Pattern(2'000).data(), 2'000), 2'000);
}

TEST_F(PageStreamTest, AStreamOverAReportFileReadsItAndNeverDeletesIt)
{
    const fs::path file = TempFolder() / "saved.rpp";
    const std::string content = Pattern(300'000, 3);
    WriteFile(file, content);
    std::string error;
    auto stream = TRpStream::CreateFromFile(file, error);
    ASSERT_NE(stream, nullptr) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(stream->InMemory());
    EXPECT_EQ(stream->MemoryLimit(), 0);
    EXPECT_TRUE(stream->TempFileName().isEmpty());
    ExpectReadsMatch(*stream, content);
    EXPECT_LT(stream->Write("x", 1), 1);
    stream.reset();
    EXPECT_EQ(ReadFile(file), content);

    EXPECT_EQ(TRpStream::CreateFromFile(TempFolder() / "missing.rpp", error), nullptr);
    EXPECT_NE(error.find("missing.rpp"), std::string::npos) << error;
}

TEST_F(PageStreamTest, CopyToGivesTheWholeStreamWhateverThePosition)
{
    struct Case {
        const char* name;
        std::size_t size;
        std::int64_t limit;
    };
    const Case cases[] = {
        {"empty", 0, 250'000},
        {"one piece", 10'240, 250'000},
        {"in memory", 25'000, 250'000},
        {"in a page file", 60'000, 20'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string content = Pattern(c.size);
        TRpStream stream(c.limit);
        ASSERT_TRUE(WriteAll(stream, content));
        stream.Seek(static_cast<std::int64_t>(c.size / 3), TRpStream::Origin::Beginning);
        std::string copy;
        std::vector<std::int64_t> pieces;
        ASSERT_TRUE(stream.CopyTo([&](const char* data, std::int64_t n) {
            copy.append(data, static_cast<std::size_t>(n));
            pieces.push_back(n);
            return true;
        }));
        EXPECT_EQ(copy, content);
        for (std::int64_t n : pieces)
            EXPECT_LE(n, 10'240);
    }
}

TEST_F(PageStreamTest, CopyToFailsWhenTheSinkRefuses)
{
    TRpStream stream;
    ASSERT_TRUE(WriteAll(stream, Pattern(30'000)));
    int calls = 0;
    EXPECT_FALSE(stream.CopyTo([&](const char*, std::int64_t) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace report::output
