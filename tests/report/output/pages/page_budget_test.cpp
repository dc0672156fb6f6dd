// Pictures of pages within bounds: a page's pictures are counted from their sizes against its
// budget before anything is decoded, decoded when first drawn within the memory its document
// shares, and a page read once is shared by everything that draws it.
#include "report/output/canvas/trace_canvas.h"
#include "report/output/codec/deflate.h"
#include "report/output/pages/page_format.h"
#include "report/output/pages/page_list.h"
#include "tests/report/output/pages/page_fixtures.h"
#include "tests/support/file_fixture.h"
#include "tests/support/hostile_documents.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace report::output {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::PageBuilder;

Bytes Pixels(std::uint32_t width, std::uint32_t height, std::uint32_t argb)
{
    Bytes b;
    for (std::uint32_t i = 0; i < width * height; ++i)
        for (int k = 0; k < 4; ++k)
            b.push_back(static_cast<std::uint8_t>(argb >> (8 * k)));
    return b;
}

// A page of the second version storing pictures of 10 x 10 (400 bytes decoded), 20 x 5 (400,
// deflated) and 1 x 1 (4); `uses` names the ones drawn, in order.
Bytes ThreePicturePage(std::initializer_list<std::uint32_t> uses)
{
    PageBuilder page(100, 100, 2);
    page.Stored(10, 10, 0, Pixels(10, 10, 0xFF112233))
        .Stored(20, 5, 1, Deflate(Pixels(20, 5, 0x80445566)))
        .Stored(1, 1, 0, Pixels(1, 1, 0xFF778899));
    int at = 0;
    for (const std::uint32_t number : uses) {
        page.Use(at, at, at + 10, at + 10, number);
        ++at;
    }
    return page.Done();
}

// A page of the first version with two pictures of 10 x 10, each stored where it is drawn.
Bytes FirstVersionPage()
{
    PageBuilder page(100, 100, 1);
    for (int i = 0; i < 2; ++i)
        page.Record(PageTag::Picture)
            .I32(0)
            .I32(0)
            .I32(10)
            .I32(10)
            .U32(10)
            .U32(10)
            .U32(40)
            .Raw(Pixels(10, 10, 0xFF000000));
    return page.Done();
}

TEST(PictureBudget, APageIsReadWhenThePicturesItDrawsFitItsBudget)
{
    struct Row {
        const char* name;
        std::function<Bytes()> page;
        std::uint64_t budget;
        const char* error;    // empty: read
        std::uint64_t bytes;  // counted when read
    };
    constexpr std::uint64_t kMib = 1024 * 1024;
    const Row rows[] = {
        {"two pictures at their sum",
         [] {
             return ThreePicturePage({0, 1});
         },
         800, "", 800},
        {"two pictures a byte over",
         [] {
             return ThreePicturePage({0, 1});
         },
         799, "(tag 14) draws pictures of", 0},
        {"one picture drawn fifty times counts once",
         [] {
             return ThreePicturePage({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                      1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
         },
         400, "", 400},
        {"pictures stored and not drawn cost nothing", [] { return ThreePicturePage({2}); }, 4, "", 4},
        {"no picture drawn", [] { return ThreePicturePage({}); }, 0, "", 0},
        {"first version pictures count each", FirstVersionPage, 799, "(tag 10) draws pictures of", 0},
        {"first version pictures within", FirstVersionPage, 800, "", 800},
        {"a 16384 x 16384 picture in a megabyte", [] { return testsupport::PictureBombPage(16384, 1); },
         kMaxPagePictureBytes, "draws pictures of 1024 MiB decoded, more than the 256 MiB a page may hold", 0},
        {"a picture at the page's budget", [] { return testsupport::PictureBombPage(8192, 1); }, kMaxPagePictureBytes,
         "", 256 * kMib},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto memory = std::make_shared<PictureMemory>();
        const ReadPageResult r = ReadPage(row.page(), {row.budget, memory});
        ASSERT_EQ(r.page.has_value(), *row.error == '\0') << r.error;
        if (r.page)
            EXPECT_EQ(r.page->pictureBytes, row.bytes);
        else
            EXPECT_NE(r.error.find(row.error), std::string::npos) << r.error;
        // Reading decodes nothing.
        EXPECT_EQ(memory->Used(), 0u);
    }
}

TEST(PictureBudget, StoredPicturesAreDecodedOnceWhenFirstDrawn)
{
    const auto memory = std::make_shared<PictureMemory>();
    {
        const ReadPageResult r = ReadPage(ThreePicturePage({1, 0, 1}), {kMaxPagePictureBytes, memory});
        ASSERT_TRUE(r.page.has_value()) << r.error;
        const auto& first = std::get<page_record::Picture>(r.page->records[0]).picture;
        const auto& again = std::get<page_record::Picture>(r.page->records[2]).picture;
        EXPECT_TRUE(first.Shares(again));
        EXPECT_EQ(first.Size(), QSize(20, 5));
        EXPECT_EQ(memory->Used(), 0u);
        EXPECT_EQ(first.Image().pixel(19, 4), 0x80445566u);
        EXPECT_EQ(memory->Used(), 400u);
        // Drawn again, and the other picture drawn: only that one is decoded.
        TraceCanvas trace;
        ReplayPage(*r.page, trace, QRect(0, 0, 100, 100));
        EXPECT_EQ(memory->Used(), 800u);
        EXPECT_EQ(again.Image(), first.Image());
    }
    // Freed with the page.
    EXPECT_EQ(memory->Used(), 0u);
}

TEST(PictureBudget, PicturesPastTheDocumentsMemoryAreDrawnAsNothingUntilItIsFree)
{
    const auto memory = std::make_shared<PictureMemory>(400);
    auto shown = std::make_unique<ReadPageResult>(ReadPage(ThreePicturePage({0}), {kMaxPagePictureBytes, memory}));
    const ReadPageResult other = ReadPage(ThreePicturePage({1, 2}), {kMaxPagePictureBytes, memory});
    ASSERT_TRUE(shown->page && other.page);
    const auto picture = [](const ReadPageResult& r, std::size_t n) {
        return std::get<page_record::Picture>(r.page->records[n]).picture.Image();
    };
    EXPECT_FALSE(picture(*shown, 0).isNull());
    EXPECT_TRUE(picture(other, 0).isNull());
    EXPECT_TRUE(picture(other, 1).isNull());
    EXPECT_EQ(memory->Used(), 400u);
    shown.reset();
    EXPECT_EQ(memory->Used(), 0u);
    EXPECT_EQ(picture(other, 0).pixel(0, 0), 0x80445566u);
    EXPECT_TRUE(picture(other, 1).isNull());  // 404 bytes would pass the 400
    EXPECT_EQ(memory->Used(), 400u);
}

// A page list of `count` pages, each with a picture of its own.
void RecordPages(TRpPageList& list, int count)
{
    list.SetStream(std::make_unique<TRpStream>());
    for (int n = 1; n <= count; ++n)
        ASSERT_TRUE(list.AddRecordedPage(testing::MakePage(n, 900)));
    ASSERT_TRUE(list.WriteHeader());
}

TEST(PageSharing, APageIsReadOnceAndSharedWhileAnythingHoldsIt)
{
    TRpPageList list;
    RecordPages(list, 12);
    const std::shared_ptr<const Page> first = list.SharedPage(1);
    ASSERT_TRUE(first);
    EXPECT_EQ(list.SharedPage(1), first);
    // Read past the pages kept: page 1 is still held here, and still the one handed out.
    for (int n = 2; n <= 12; ++n)
        ASSERT_TRUE(list.SharedPage(n));
    EXPECT_EQ(list.SharedPage(1), first);
    // Page 2, let go of and no longer kept, is read again.
    const std::weak_ptr<const Page> second = list.SharedPage(2);
    for (int n = 3; n <= 12; ++n)
        static_cast<void>(list.SharedPage(n));
    EXPECT_TRUE(second.expired());
    EXPECT_TRUE(list.SharedPage(2));
    EXPECT_FALSE(list.SharedPage(13));
    // Pictures decoded on one page, by whoever draws it, are decoded once.
    TraceCanvas trace;
    ReplayPage(*first, trace, QRect(0, 0, 794, 1123));
    const std::uint64_t used = list.Pictures().Used();
    EXPECT_GT(used, 0u);
    ReplayPage(*list.SharedPage(1), trace, QRect(0, 0, 79, 112));
    EXPECT_EQ(list.Pictures().Used(), used);
}

class PageSharingFiles : public testsupport::TempFolder {};

TEST_F(PageSharingFiles, LoadingKeepsThePagesItReadAndRefusesAPagePastItsBudget)
{
    const auto file = Root() / "three.rpp";
    const std::vector<std::string> pages = testing::MakePages(3, 900);
    std::string bytes = testing::ReportFile(
        std::string(reinterpret_cast<const char*>(TRpPageList::BuildHeader(3, false, 0).data()), kPageListHeaderSize),
        pages, false);
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    TRpPageList list;
    std::string error;
    ASSERT_TRUE(list.LoadFromFile(file, error)) << error;
    // The file's pages are damaged behind the list's back: the first and the last page come from
    // the loading, the middle one is read now.
    for (std::size_t at = kPageListHeaderSize; at + 4 <= bytes.size(); ++at) {
        if (bytes.compare(at, 4, "KVPG") == 0)
            bytes[at] = 'X';
    }
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(list.SharedPage(1));
    EXPECT_TRUE(list.SharedPage(3));
    EXPECT_FALSE(list.SharedPage(2, &error));
    EXPECT_EQ(error, kForeignPages);

    ASSERT_TRUE(testsupport::WriteReportFile(testsupport::PictureBombPage(16384, 4), file));
    EXPECT_FALSE(list.LoadFromFile(file, error));
    EXPECT_EQ(error.rfind(std::string(kDamagedReportFile) + " (page 1: Record at byte ", 0), 0u) << error;
    EXPECT_NE(error.find("draws pictures of 1024 MiB decoded, more than the 256 MiB a page may hold"),
              std::string::npos)
        << error;
    // The document loaded before stays.
    EXPECT_EQ(list.PageCount(), 3);
    EXPECT_TRUE(list.SharedPage(1));
}

}  // namespace
}  // namespace report::output
