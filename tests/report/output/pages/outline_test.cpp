#include "report/output/pages/outline.h"

#include "report/output/pages/page_list.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

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

// "caption(child, child)" for each top node, in order.
QString Shape(const QTreeWidgetItem* item)
{
    QString text = item->text(0);
    if (item->childCount() > 0) {
        QStringList children;
        for (int i = 0; i < item->childCount(); ++i)
            children << Shape(item->child(i));
        text += QLatin1Char('(') + children.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return text;
}

QString Shape(const QTreeWidget& tree)
{
    QStringList tops;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        tops << Shape(tree.topLevelItem(i));
    return tops.join(QStringLiteral("; "));
}

TEST(TRpOutlineTest, EntriesHangUnderTheLastEntryOfTheLevelAbove)
{
    struct Row {
        std::vector<std::pair<const char*, int>> entries;
        const char* shape;
    };
    const Row rows[] = {
        {{{"A", 1}, {"B", 2}, {"C", 2}, {"D", 3}, {"E", 1}, {"F", 2}}, "A(B, C(D)); E(F)"},
        // A level whose parent level was never used starts a top node.
        {{{"A", 3}, {"B", 1}}, "A; B"},
        // Levels from a file are kept within 1..32.
        {{{"A", 0}, {"B", -5}, {"C", 2}}, "A; B(C)"},
        {{{"A", 31}, {"B", 32}, {"C", 33}, {"D", 1000000}}, "A(B, C, D)"},
        {{}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shape);
        TRpOutline outline;
        QTreeWidget tree;
        outline.SetTreeView(&tree);
        for (const auto& [caption, level] : row.entries)
            outline.Add(Entry(caption, level));
        EXPECT_EQ(Shape(tree), QString::fromLatin1(row.shape));
    }
}

TEST(TRpOutlineTest, AViewGivenLaterIsFilledAndAClearEmptiesIt)
{
    TRpOutline outline;
    outline.Add(Entry("\xA3\xF3" "d\x9F", 1));  // "Łódź" in code page 1250
    outline.Add(Entry(std::string(60, 'x').c_str(), 2));
    QTreeWidget tree;
    outline.SetTreeView(&tree);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QString::fromUtf8("Łódź"));
    EXPECT_EQ(tree.topLevelItem(0)->child(0)->text(0), QString(51, QLatin1Char('x')));
    outline.Clear();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_TRUE(outline.Entries().empty());
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

TEST(TRpOutlineTest, ATreeViewThatIsGoneIsLeftAlone)
{
    TRpOutline outline;
    {
        QTreeWidget tree;
        outline.SetTreeView(&tree);
    }
    outline.Add(Entry("A", 1));
    outline.Clear();
    EXPECT_EQ(outline.TreeView(), nullptr);
}

}  // namespace
}  // namespace report::output
