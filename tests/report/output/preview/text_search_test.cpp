#include "report/output/preview/text_search.h"

#include "utility/cp1250.h"

#include <QObject>

#include <gtest/gtest.h>

namespace report::output {
namespace {

Page PageOf(std::initializer_list<const char*> utf8Lines)
{
    PageRecorder recorder(PageHeaderFor(2100, 2970));
    int y = 10;
    for (const char* line : utf8Lines) {
        recorder.TextOut(10, y, utility::Pl(line));
        y += 20;
    }
    return recorder.GetPage();
}

TEST(FindTextInMetafileTest, ComparesLettersAsUnicode)
{
    struct Row {
        const char* line;
        const char* text;
        bool matchCase;
        bool found;
    };
    const Row rows[] = {
        {"xx ABC yy", "abc", false, true},
        {"xx ABC yy", "abc", true, false},
        {"xx ABC yy", "ABC", true, true},
        {"Miasto ŁÓDŹ", "łódź", false, true},
        {"Miasto ŁÓDŹ", "łódź", true, false},
        {"Miasto ŁÓDŹ", "ŁÓDŹ", true, true},
        {"żółw", "ŻÓŁW", false, true},
        // Letters that share a low byte with another are still other letters.
        {"ł", "B", false, false},
        {"ł", "b", false, false},
        {"Kraków", "krakow", false, false},
        {"jazda 04:32", "04:3", false, true},
        {"jazda", "", false, false},
        {"", "a", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.line) + " / " + row.text);
        EXPECT_EQ(FindTextInMetafile(QString::fromUtf8(row.text), PageOf({row.line}), row.matchCase), row.found);
    }
}

TEST(FindTextInMetafileTest, LooksAtEveryTextOfThePageButNotAcrossThem)
{
    const Page page = PageOf({"first line", "second line", "third"});
    EXPECT_TRUE(FindTextInMetafile(QStringLiteral("THIRD"), page, false));
    EXPECT_TRUE(FindTextInMetafile(QStringLiteral("second"), page, true));
    EXPECT_FALSE(FindTextInMetafile(QStringLiteral("line second"), page, false));
    EXPECT_FALSE(FindTextInMetafile(QStringLiteral("first"), Page{PageHeaderFor(2100, 2970), {}}, false));
}

TEST(ListDataSetsTest, TheProgramHasNoDataSets)
{
    QObject form;
    QObject child(&form);
    child.setObjectName(QStringLiteral("Table1"));
    EXPECT_TRUE(ListDataSets(&form, false).empty());
    EXPECT_TRUE(ListDataSets(&form, true).empty());
    EXPECT_TRUE(ListDataSets(nullptr, true).empty());
}

}  // namespace
}  // namespace report::output
