// The outline of a document shown as a tree: where entries hang, and how the tree follows the
// outline while it exists.
#include "report/output/preview/outline_tree.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace report::output {
namespace {

TRpOutlineEntry Entry(const char* caption, std::int32_t level)
{
    TRpOutlineEntry entry;
    entry.caption = caption;
    entry.level = level;
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

TEST(OutlineTreeTest, EntriesHangUnderTheLastEntryOfTheLevelAbove)
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
        ShowOutline(outline, &tree);
        for (const auto& [caption, level] : row.entries)
            outline.Add(Entry(caption, level));
        EXPECT_EQ(Shape(tree), QString::fromLatin1(row.shape));
    }
}

TEST(OutlineTreeTest, AViewGivenLaterIsFilledAndAClearEmptiesIt)
{
    TRpOutline outline;
    outline.Add(Entry("\xA3\xF3"
                      "d\x9F",
                      1));  // "Łódź" in code page 1250
    outline.Add(Entry(std::string(60, 'x').c_str(), 2));
    QTreeWidget tree;
    ShowOutline(outline, &tree);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QString::fromUtf8("Łódź"));
    EXPECT_EQ(tree.topLevelItem(0)->child(0)->text(0), QString(51, QLatin1Char('x')));
    outline.Clear();
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_TRUE(outline.Entries().empty());
}

TEST(OutlineTreeTest, ATreeFollowsUntilItIsGoneOrAnotherIsShown)
{
    TRpOutline outline;
    {
        QTreeWidget gone;
        ShowOutline(outline, &gone);
    }
    // A tree that is gone is left alone.
    outline.Add(Entry("A", 1));
    outline.Clear();
    outline.Add(Entry("B", 1));

    QTreeWidget first;
    ShowOutline(outline, &first);
    EXPECT_EQ(Shape(first), QStringLiteral("B"));
    QTreeWidget second;
    ShowOutline(outline, &second);
    outline.Add(Entry("C", 2));
    EXPECT_EQ(Shape(first), QStringLiteral("B"));
    EXPECT_EQ(Shape(second), QStringLiteral("B(C)"));
    // Shown nowhere: the tree keeps what it showed.
    ShowOutline(outline, nullptr);
    outline.Clear();
    EXPECT_EQ(Shape(second), QStringLiteral("B(C)"));
}

}  // namespace
}  // namespace report::output
