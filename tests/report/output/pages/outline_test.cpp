// The outline's entries: captions kept to their length, the first entry of an identifier found,
// and whoever shows the outline told of every change.
#include "report/output/pages/outline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace report::output {
namespace {

TRpOutlineEntry Entry(const char* caption, std::int32_t level, std::int32_t id = 0, std::int32_t page = 0)
{
    TRpOutlineEntry entry;
    entry.caption = caption;
    entry.level = level;
    entry.id = id;
    entry.page = page;
    return entry;
}

TEST(TRpOutlineTest, CaptionsAreCutTo51Characters)
{
    TRpOutline outline;
    outline.Add(Entry(std::string(51, 'x').c_str(), 1));
    outline.Add(Entry(std::string(60, 'y').c_str(), 2));
    ASSERT_EQ(outline.Entries().size(), 2u);
    EXPECT_EQ(outline.Entries()[0].caption, std::string(51, 'x'));
    EXPECT_EQ(outline.Entries()[1].caption, std::string(51, 'y'));
    EXPECT_EQ(outline.Entries()[1].level, 2);
}

TEST(TRpOutlineTest, FindGivesTheFirstEntryWithTheIdentifier)
{
    TRpOutline outline;
    TRpOutlineEntry first = Entry("A", 1, 7, 3);
    first.left = 10;
    first.top = 20;
    first.right = 110;
    first.bottom = 70;
    outline.Add(first);
    outline.Add(Entry("B", 1, 7, 9));
    QRect rect;
    std::int32_t page = -1;
    EXPECT_TRUE(outline.Find(7, rect, page));
    EXPECT_EQ(page, 3);
    EXPECT_EQ(rect, QRect(10, 20, 100, 50));
    EXPECT_FALSE(outline.Find(8, rect, page));
    EXPECT_EQ(page, 0);
    EXPECT_TRUE(rect.isNull());
}

TEST(TRpOutlineTest, EveryChangeIsToldWithTheEntriesAsTheyNowAre)
{
    TRpOutline outline;
    outline.Add(Entry("before", 1));
    std::vector<std::size_t> told;
    outline.SetOnChange([&](const TRpOutline& changed) {
        EXPECT_EQ(&changed, &outline);
        told.push_back(changed.Entries().size());
    });
    outline.Add(Entry("A", 1));
    outline.Add(Entry("B", 2));
    outline.Clear();
    EXPECT_EQ(told, (std::vector<std::size_t>{2, 3, 0}));
    // Replaced by nobody: the next change goes untold.
    outline.SetOnChange({});
    outline.Add(Entry("C", 1));
    EXPECT_EQ(told.size(), 3u);
}

}  // namespace
}  // namespace report::output
