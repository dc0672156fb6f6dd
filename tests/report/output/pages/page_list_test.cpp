#include "report/output/pages/page_list.h"

#include "tests/report/output/pages/page_fixtures.h"
#include "tests/support/file_fixture.h"
#include "utility/datetime.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <random>

namespace report::output {
namespace {

namespace fs = std::filesystem;
using namespace report::output::testing;
using testsupport::ReadFile;
using testsupport::WriteFile;

// A page list that records `pages` into a fresh stream and ends the document.
void Record(TRpPageList& list, const std::vector<std::string>& pages, bool compressed,
            std::int64_t memoryLimit = kDefaultMemoryLimit)
{
    list.SetCompressed(compressed);
    list.SetStream(std::make_unique<TRpStream>(memoryLimit));
    for (const std::string& page : pages)
        ASSERT_TRUE(list.AddRecordedPage(page)) << list.Error();
    ASSERT_TRUE(list.WriteHeader()) << list.Error();
}

void ExpectPages(TRpPageList& list, const std::vector<std::string>& pages, const std::vector<int>& order)
{
    ASSERT_EQ(list.PageCount(), static_cast<std::int32_t>(pages.size()));
    for (int n : order) {
        SCOPED_TRACE(n);
        const std::string& expected = pages[static_cast<std::size_t>(n) - 1];
        const TRpPageBytes bytes = list.GetPageBytes(n);
        ASSERT_TRUE(bytes.ok()) << bytes.error;
        EXPECT_TRUE(bytes.bytes == expected);
        const ReadPageResult page = list.GetPage(n);
        ASSERT_TRUE(page.page) << page.error;
        EXPECT_TRUE(EncodePage(*page.page) == std::vector<std::uint8_t>(expected.begin(), expected.end()));
    }
    for (int n : {0, -1, static_cast<int>(pages.size()) + 1}) {
        EXPECT_FALSE(list.GetPageBytes(n).ok()) << n;
        EXPECT_FALSE(list.GetPage(n).page) << n;
    }
}

std::string Header(std::size_t size) { return std::string(size, '\0'); }

class PageListFiles : public testsupport::TempFolder {
protected:
    fs::path Save(const std::string& name, const std::string& bytes)
    {
        const fs::path path = Root() / name;
        WriteFile(path, bytes);
        return path;
    }
};

TEST(PageList, OneUncompressedPageHasTheFileLayout)
{
    for (std::size_t size : {0u, 200u, 5'000u}) {
        const std::string page = MakePage(1, size);
        const std::size_t m = page.size();
        SCOPED_TRACE(m);
        TRpPageList list;
        const double before = utility::Now();
        Record(list, {page}, false);
        const double after = utility::Now();
        const std::string file = StreamBytes(*list.Stream());
        ASSERT_EQ(file.size(), 128 + 8 + m + 4);
        EXPECT_EQ(file.substr(0, 4), std::string("\x03\x00\x32\x00", 4));
        EXPECT_EQ(GetU32(file, 8), 1u);
        double time = 0;
        std::memcpy(&time, file.data() + 16, 8);
        EXPECT_GE(time, before);
        EXPECT_LE(time, after);
        EXPECT_EQ(file[25], 0);
        EXPECT_EQ(file.substr(26, 100), std::string(100, 'H'));
        for (std::size_t zero : {4u, 5u, 6u, 7u, 12u, 13u, 14u, 15u, 24u, 126u, 127u})
            EXPECT_EQ(file[zero], 0) << zero;
        EXPECT_EQ(GetU32(file, 128), 1u);
        EXPECT_EQ(GetU32(file, 132), 140 + m);
        EXPECT_TRUE(file.substr(136, m) == page);
        EXPECT_EQ(GetU32(file, file.size() - 4), 128u);
    }
}

TEST(PageList, TheHeaderCountsOnePageUntilTheDocumentEnds)
{
    TRpPageList list;
    list.SetStream(std::make_unique<TRpStream>());
    for (const std::string& page : MakePages(3))
        ASSERT_TRUE(list.AddRecordedPage(page));
    EXPECT_EQ(list.PageCount(), 3);
    EXPECT_EQ(GetU32(StreamBytes(*list.Stream()), 8), 1u);
    ASSERT_TRUE(list.WriteHeader());
    EXPECT_EQ(GetU32(StreamBytes(*list.Stream()), 8), 3u);
}

TEST(PageList, ACompressedRecordStartsWithNumberLinkAndLength)
{
    TRpPageList list;
    const std::vector<std::string> pages = MakePages(2, 3'000);
    Record(list, pages, true);
    EXPECT_TRUE(list.Compressed());
    const std::string file = StreamBytes(*list.Stream());
    EXPECT_EQ(file[25], 1);
    EXPECT_EQ(GetU32(file, 128), 1u);
    const std::uint32_t second = GetU32(file, 132);
    EXPECT_EQ(GetU32(file, 136), pages[0].size());
    EXPECT_EQ(GetU32(file, second - 4), 128u);
    EXPECT_EQ(GetU32(file, second), 2u);
    EXPECT_EQ(GetU32(file, second + 8), pages[1].size());
    EXPECT_LT(file.size(), 128 + pages[0].size() + pages[1].size());
    // The same pages recorded as the file's older writers recorded them.
    EXPECT_TRUE(file == ReportFile(file.substr(0, 128), pages, true));
}

TEST(PageList, PagesReadInAnyOrder)
{
    const std::vector<std::string> pages = MakePages(6, 30'000);
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        TRpPageList list;
        // A small memory limit puts the pages in a temporary file.
        Record(list, pages, compressed, 50'000);
        EXPECT_FALSE(list.Stream()->InMemory());
        ExpectPages(list, pages, {5, 3, 1, 5, 6, 2, 4, 4, 1});
    }
}

TEST(PageList, CompressionIsDecidedBeforeTheFirstPage)
{
    TRpPageList list;
    list.SetStream(std::make_unique<TRpStream>());
    ASSERT_TRUE(list.AddRecordedPage(MakePage(1)));
    list.SetCompressed(true);
    EXPECT_FALSE(list.Compressed());
    ASSERT_TRUE(list.AddRecordedPage(MakePage(2)));
    ExpectPages(list, {MakePage(1), MakePage(2)}, {2, 1});
}

TEST(PageList, AnEmptyDocumentIsItsHeader)
{
    TRpPageList list;
    Record(list, {}, false);
    EXPECT_EQ(list.PageCount(), 0);
    EXPECT_EQ(StreamBytes(*list.Stream()).size(), 128u);
    EXPECT_FALSE(list.GetPage(1).page);

    TRpPageList nothing;
    EXPECT_FALSE(nothing.GetPage(1).page);
    EXPECT_FALSE(nothing.SaveToFile("/tmp/never-written.rpp").ok());
    EXPECT_FALSE(fs::exists("/tmp/never-written.rpp"));
}

TEST(PageList, APageThatCannotBeWrittenLeavesTheDocumentAsItWas)
{
    TRpPageList list;
    list.SetStream(std::make_unique<TRpStream>(1'000));
    ASSERT_TRUE(list.AddRecordedPage(MakePage(1, 2'000)));
    {
        testsupport::FileSizeLimit limit(4'000);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(list.AddRecordedPage(MakePage(2, 5'000)));
        EXPECT_FALSE(list.Error().empty());
    }
    EXPECT_EQ(list.PageCount(), 1);
    // The next page takes the place of the one that failed.
    ASSERT_TRUE(list.AddRecordedPage(MakePage(2, 0)));
    ASSERT_TRUE(list.WriteHeader());
    ExpectPages(list, {MakePage(1, 2'000), MakePage(2, 0)}, {1, 2});
    // What is left of the failed page past the document's end stays out of the saved file.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const fs::path saved = folder.filePath(QStringLiteral("partly.rpp")).toStdString();
    ASSERT_TRUE(list.SaveToFile(saved).ok());
    EXPECT_GT(list.Stream()->Size(), static_cast<std::int64_t>(fs::file_size(saved)));
    TRpPageList loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadFromFile(saved, error)) << error;
    ExpectPages(loaded, {MakePage(1, 2'000), MakePage(2, 0)}, {2, 1});

    // A stream over a report file is read-only: nothing can be recorded into it.
    TRpPageList readOnly;
    error.clear();
    readOnly.SetStream(TRpStream::CreateFromFile("/proc/self/exe", error));
    ASSERT_NE(readOnly.Stream(), nullptr) << error;
    EXPECT_FALSE(readOnly.AddRecordedPage(MakePage(1)));
    EXPECT_EQ(readOnly.PageCount(), 0);
}

TEST(PageList, HeaderOf124BytesMovesIntoThe128ByteLayout)
{
    std::array<std::uint8_t, kPageListHeaderSize> header{};
    for (std::size_t i = 0; i < 124; ++i)
        header[i] = static_cast<std::uint8_t>(i + 1);
    TRpPageList::ConvertPageListHeader124(header);
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_EQ(header[i], i + 1) << i;
    for (std::size_t i = 12; i < 16; ++i)
        EXPECT_EQ(header[i], 0) << i;
    for (std::size_t i = 16; i < 24; ++i)
        EXPECT_EQ(header[i], i - 3) << i;
    EXPECT_EQ(header[24], 21);
    EXPECT_EQ(header[25], 22);
    for (std::size_t i = 26; i < 127; ++i)
        EXPECT_EQ(header[i], i - 3) << i;
    EXPECT_EQ(header[127], 0);
}

TEST_F(PageListFiles, SavedDocumentsLoadBackWithEveryPage)
{
    const std::vector<std::string> pages = MakePages(5, 4'000);
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        TRpPageList recorded;
        Record(recorded, pages, compressed);
        const fs::path path = Root() / (compressed ? "c.rpp" : "u.rpp");
        const utility::WriteResult saved = recorded.SaveToFile(path);
        ASSERT_TRUE(saved.ok()) << saved.error;
        EXPECT_EQ(ReadFile(path), StreamBytes(*recorded.Stream()));

        TRpPageList loaded;
        loaded.SetCompressed(!compressed);
        std::string error;
        ASSERT_TRUE(loaded.LoadFromFile(path, error)) << error;
        EXPECT_TRUE(error.empty());
        EXPECT_EQ(loaded.Compressed(), compressed);
        ExpectPages(loaded, pages, {5, 3, 1, 5, 2, 4});
    }
    // Saving over an existing file replaces it; no temporary file is left.
    TRpPageList empty;
    Record(empty, {}, false);
    ASSERT_TRUE(empty.SaveToFile(Root() / "u.rpp").ok());
    EXPECT_EQ(ReadFile(Root() / "u.rpp").size(), 128u);
    EXPECT_EQ(testsupport::Entries(Root()), (std::vector<std::string>{"c.rpp", "u.rpp"}));
    TRpPageList loadedEmpty;
    std::string error;
    ASSERT_TRUE(loadedEmpty.LoadFromFile(Root() / "u.rpp", error)) << error;
    EXPECT_EQ(loadedEmpty.PageCount(), 0);
}

TEST_F(PageListFiles, OlderHeadersGiveTheirCountAndCompression)
{
    struct Case {
        const char* name;
        std::size_t headerSize;
        int pages;
        bool compressed;
        std::int32_t expectedCount;
    };
    const Case cases[] = {
        {"124 plain", 124, 3, false, 3},
        {"124 compressed", 124, 4, true, 4},
        {"120", 120, 300, false, 300},
        {"96, counted along the links", 96, 7, false, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string header = Header(c.headerSize);
        if (c.headerSize == 124) {
            PutU32(header, 8, static_cast<std::uint32_t>(c.pages));
            header[21] = c.compressed ? 1 : 0;
        } else if (c.headerSize == 120) {
            PutU32(header, 5, static_cast<std::uint32_t>(c.pages));
        }
        const std::vector<std::string> pages = MakePages(c.pages, 60);
        const fs::path path = Save("old.rpp", ReportFile(header, pages, c.compressed));
        TRpPageList list;
        std::string error;
        ASSERT_TRUE(list.LoadFromFile(path, error)) << error;
        EXPECT_EQ(list.PageCount(), c.expectedCount);
        EXPECT_EQ(list.Compressed(), c.compressed);
        ExpectPages(list, pages, {c.pages, 1, 2, c.pages - 1});

        TRpStream* stream = list.Stream();
        stream->Seek(17, TRpStream::Origin::Beginning);
        EXPECT_EQ(TRpPageList::DetectPageListHeaderSize(*stream), static_cast<std::int32_t>(c.headerSize));
        EXPECT_EQ(stream->Position(), 17);
    }
}

// Changes to a good three-page file (header of 128 bytes, small recorded pages) and what
// loading them must say.
struct Damage {
    const char* name;
    bool compressed;
    std::function<void(std::string& file)> apply;
    const char* error;
};

std::size_t RecordStart(const std::string& file, int n)
{
    std::size_t start = 128;
    for (int i = 1; i < n; ++i)
        start = GetU32(file, start + 4);
    return start;
}

std::vector<Damage> Damages()
{
    const char* damaged = kDamagedReportFile;
    return {
        {"cut inside the last record", false, [](std::string& f) { f.resize(f.size() - 5); }, damaged},
        {"cut after the second record", false, [](std::string& f) { f.resize(RecordStart(f, 3)); }, damaged},
        {"cut inside the header", false, [](std::string& f) { f.resize(100); }, damaged},
        {"no bytes at all", false, [](std::string& f) { f.clear(); }, damaged},
        {"count of a million", false, [](std::string& f) { PutU32(f, 8, 1'000'000); }, damaged},
        {"count of four", false, [](std::string& f) { PutU32(f, 8, 4); }, damaged},
        {"count of two", false, [](std::string& f) { PutU32(f, 8, 2); }, damaged},
        {"negative count", false, [](std::string& f) { PutU32(f, 8, 0xFFFFFFFFu); }, damaged},
        {"link looping back", false,
         [](std::string& f) { PutU32(f, RecordStart(f, 2) + 4, static_cast<std::uint32_t>(RecordStart(f, 2))); },
         damaged},
        {"link going backwards", false, [](std::string& f) { PutU32(f, RecordStart(f, 3) + 4, 140); }, damaged},
        {"link leaving the file", false,
         [](std::string& f) { PutU32(f, RecordStart(f, 2) + 4, static_cast<std::uint32_t>(f.size() + 1)); }, damaged},
        {"wrong back link", false,
         [](std::string& f) { PutU32(f, RecordStart(f, 3) - 4, static_cast<std::uint32_t>(RecordStart(f, 2) + 1)); },
         damaged},
        {"pages out of order", false, [](std::string& f) { PutU32(f, RecordStart(f, 2), 3); }, damaged},
        {"negative compressed count", true, [](std::string& f) { PutU32(f, 136, 0x80000000u); }, damaged},
        {"compressed count past its code", true,
         [](std::string& f) {
             const std::size_t coded = RecordStart(f, 2) - 128 - 16;
             PutU32(f, 136, static_cast<std::uint32_t>(coded * 8 + 1));
         },
         damaged},
        {"compressed count the code cannot fill", true,
         [](std::string& f) {
             const std::size_t last = RecordStart(f, 3);
             PutU32(f, last + 8, static_cast<std::uint32_t>((f.size() - last - 16) * 8));
         },
         damaged},
        {"last page a metafile", false,
         [](std::string& f) {
             std::vector<std::string> pages = MakePages(2, 100);
             pages.push_back(MetafilePage());
             f = ReportFile(f.substr(0, 128), pages, false);
         },
         kForeignPages},
        {"first page not ours", false, [](std::string& f) { f[136] = 'X'; }, kForeignPages},
        {"last page of a later page format", false,
         [](std::string& f) { f[RecordStart(f, 3) + 12] = static_cast<char>(kPageMajorVersion + 1); }, kForeignPages},
        {"last page using a picture it does not hold", false,
         [](std::string& f) {
             std::vector<std::string> pages = MakePages(3, 100);
             const std::size_t use = RecordOffset(pages[2], PageTag::PictureUse);
             PutU32(pages[2], use + 22, 1'000);
             f = ReportFile(f.substr(0, 128), pages, false);
         },
         damaged},
        {"first page refused by the page reader", false, [](std::string& f) { f[148] ^= 1; }, damaged},
        {"last page refused by the page reader", true,
         [](std::string& f) {
             std::vector<std::string> pages = MakePages(3, 100);
             pages[2].resize(pages[2].size() - 1);
             f = ReportFile(f.substr(0, 128), pages, true);
         },
         damaged},
    };
}

std::string HeaderBytes(std::int32_t count, bool compressed)
{
    const auto bytes = TRpPageList::BuildHeader(count, compressed, 45'000.5);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST_F(PageListFiles, DamagedAndForeignFilesAreRefusedAndTheDocumentKept)
{
    const std::vector<std::string> shown = MakePages(2, 500);
    TRpPageList list;
    Record(list, shown, false);
    for (const Damage& d : Damages()) {
        SCOPED_TRACE(d.name);
        std::string file = ReportFile(HeaderBytes(3, d.compressed), MakePages(3, 100), d.compressed);
        d.apply(file);
        const fs::path path = Save("damaged.rpp", file);
        std::string error;
        EXPECT_FALSE(list.LoadFromFile(path, error));
        // A page the reader refuses says why after the text.
        EXPECT_EQ(error.substr(0, std::strlen(d.error)), d.error) << error;
        if (error != d.error) {
            EXPECT_NE(error.find("(page "), std::string::npos) << error;
        }
        ExpectPages(list, shown, {2, 1});
    }
    // Nothing to read, a folder, a named pipe (whose opening must not wait for a writer).
    ASSERT_EQ(::mkfifo((Root() / "pipe.rpp").c_str(), 0666), 0);
    for (const char* name : {"missing.rpp", "", "pipe.rpp"}) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_FALSE(list.LoadFromFile(Root() / name, error));
        EXPECT_NE(error.find(name), std::string::npos) << error;
        ExpectPages(list, shown, {1, 2});
    }
}

TEST_F(PageListFiles, RandomBytesAreRefused)
{
    std::mt19937 random(77);
    for (std::size_t size : {1u, 12u, 96u, 127u, 128u, 140u, 1'000u, 100'000u}) {
        for (int round = 0; round < 5; ++round) {
            SCOPED_TRACE(size);
            std::string file(size, '\0');
            for (char& c : file)
                c = static_cast<char>(random());
            TRpPageList list;
            std::string error;
            EXPECT_FALSE(list.LoadFromFile(Save("random.rpp", file), error));
            EXPECT_EQ(error, kDamagedReportFile);
            EXPECT_EQ(list.PageCount(), 0);
        }
    }
}

TEST_F(PageListFiles, ADamagedPageInTheMiddleIsMissingAlone)
{
    const std::vector<std::string> pages = MakePages(3, 400);
    std::string file = ReportFile(HeaderBytes(3, true), pages, true);
    PutU32(file, RecordStart(file, 2) + 8, 0xFFFFFFF0u);
    TRpPageList list;
    std::string error;
    ASSERT_TRUE(list.LoadFromFile(Save("middle.rpp", file), error)) << error;
    EXPECT_EQ(list.GetPage(2).error, kDamagedReportFile);
    EXPECT_TRUE(list.GetPageBytes(3).bytes == pages[2]);
    EXPECT_TRUE(list.GetPage(1).page);
}

TEST_F(PageListFiles, SavingOverTheLoadedFileKeepsItsBytes)
{
    const std::vector<std::string> pages = MakePages(4, 20'000);
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        const std::string bytes = ReportFile(HeaderBytes(4, compressed), pages, compressed);
        const fs::path path = Save("same.rpp", bytes);
        TRpPageList list;
        std::string error;
        ASSERT_TRUE(list.LoadFromFile(path, error)) << error;
        const utility::WriteResult saved = list.SaveToFile(path);
        ASSERT_TRUE(saved.ok()) << saved.error;
        EXPECT_EQ(ReadFile(path), bytes);
        ExpectPages(list, pages, {4, 1});
        ASSERT_TRUE(list.SaveToFile(path).ok());
        EXPECT_EQ(ReadFile(path), bytes);
    }
}

TEST_F(PageListFiles, AFailedSaveLeavesTheOldFile)
{
    const std::string old = "the user's own file";
    const fs::path target = Save("old.rpp", old);
    TRpPageList list;
    Record(list, MakePages(3, 30'000), false);

    // A folder nobody may create files in (root included), a folder that is a file.
    for (const fs::path& unwritable : {fs::path("/proc/kartovan-report.rpp"), target / "inside.rpp"}) {
        SCOPED_TRACE(unwritable);
        const utility::WriteResult saved = list.SaveToFile(unwritable);
        EXPECT_FALSE(saved.ok());
        EXPECT_FALSE(saved.error.empty());
        EXPECT_FALSE(fs::exists(unwritable));
    }
    {
        // The disk fills part-way.
        testsupport::FileSizeLimit limit(40'000);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(list.SaveToFile(target).ok());
    }
    // A loaded file cut short behind the program's back no longer gives its whole document.
    const fs::path loadedPath = Save("loaded.rpp", ReportFile(HeaderBytes(2, false), MakePages(2, 30'000), false));
    TRpPageList loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadFromFile(loadedPath, error)) << error;
    fs::resize_file(loadedPath, 20'000);
    const utility::WriteResult cut = loaded.SaveToFile(target);
    EXPECT_FALSE(cut.ok());
    EXPECT_FALSE(cut.error.empty());

    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(testsupport::Entries(Root()), (std::vector<std::string>{"loaded.rpp", "old.rpp"}));
}

}  // namespace
}  // namespace report::output
