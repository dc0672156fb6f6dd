#include "report/editors/editor_texts.h"

#include "report/expr/ev_environment.h"
#include "report/expr/ev_library.h"
#include "report/expr/expr_unit.h"
#include "tests/support/expr_fixture.h"
#include "tests/support/memory_table.h"
#include "utility/cp1250.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstring>

namespace report::editors {
namespace {

using testsupport::ExprTest;

TEST(EditorTexts, LineBreaksBecomeOneBlankEach)
{
    const struct {
        const char* text;
        const char* joined;
    } cases[] = {
        {"TRUE\r\nand FALSE", "TRUE and FALSE"},
        {"1+\n2", "1+ 2"},
        {"1+\r2", "1+ 2"},
        {"a\r\n\r\nb", "a  b"},
        {"\n\r", "  "},
        {"x\r", "x "},
        {"no break", "no break"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineBreaksToBlanks(c.text), c.joined) << c.text;
}

TEST(EditorTexts, SizesInThePolishFormat)
{
    EXPECT_EQ(SizeToText(81.75625L), "81,75625");
    EXPECT_EQ(SizeToText(4.23333L), "4,23333");
    EXPECT_EQ(SizeToText(12), "12");

    const struct {
        const char* text;
        bool valid;
        long double value;
    } cases[] = {
        {"81,75", true, 81.75L}, {" 12 ", true, 12}, {"0,5", true, 0.5L}, {",5", true, 0.5L},  {"3,", true, 3},
        {"abc", false, 0},       {"", false, 0},     {"  ", false, 0},    {",", false, 0},     {"1,2,3", false, 0},
        {"81.75", false, 0},     {"-5", false, 0},   {"1E3", false, 0},   {"1 000", false, 0},
    };
    for (const auto& c : cases) {
        const std::optional<long double> value = ParseSizeText(c.text);
        EXPECT_EQ(value.has_value(), c.valid) << '"' << c.text << '"';
        if (value && c.valid) {
            EXPECT_DOUBLE_EQ(static_cast<double>(*value), static_cast<double>(c.value)) << c.text;
        }
    }
}

TEST_F(ExprTest, ValidationTexts)
{
    const struct {
        const char* expression;
        const char* box;
    } cases[] = {
        {"1+1", "There are no errors. The result is : 2"},
        {"1/0", "ERROR: Cannot divide by 0"},
        {"''", "There are no errors. The result is : "},
        {"7/2", "There are no errors. The result is : 3,5"},
        {"1=1", "There are no errors. The result is : True"},
        {"'ab'+'cd'", "There are no errors. The result is : abcd"},
        {"FOO(1)", "ERROR: Unknown function : FOO"},
    };
    const expr::TRpDataSetList none;
    for (const auto& c : cases)
        EXPECT_EQ(ValidateExpression(c.expression, none, nullptr), c.box) << c.expression;
    // A line break taken away as the builder's OK and Validate do it.
    EXPECT_EQ(ValidateExpression(LineBreaksToBlanks("TRUE\r\nand FALSE"), none, nullptr),
              "There are no errors. The result is : False");
    // An error result with an empty message is still an error.
    EXPECT_EQ(ValidationText(expr::TRpEvResult::Error()), "ERROR: ");
    // Whatever is typed, checking it gives a message: nested too deeply, too long.
    EXPECT_EQ(ValidateExpression(std::string(20000, '(') + "1" + std::string(20000, ')'), none, nullptr),
              "ERROR: Expression nested too deeply (more than 256 levels)");
    std::string unary;
    for (int i = 0; i < 20000; ++i)
        unary += "-(";
    EXPECT_EQ(ValidateExpression(unary + "1" + std::string(20000, ')'), none, nullptr),
              "ERROR: Expression nested too deeply (more than 256 levels)");
    EXPECT_EQ(ValidateExpression(std::string(100000, '1'), none, nullptr),
              "ERROR: Expression too long (more than 65536 characters)");
}

TEST_F(ExprTest, ValidationUsesTheGlobalAndTheBuilderEnvironments)
{
    const expr::TRpDataSetList none;
    const std::string appName = utility::QStringToCp1250(QCoreApplication::applicationName());
    EXPECT_EQ(ValidateExpression("AppName", none, nullptr), "There are no errors. The result is : " + appName);

    expr::TRpEvEnvironment local;
    local.AddFunction("Twice", "2*Base");
    local.AddFunction("Base", "21");
    EXPECT_EQ(ValidateExpression("Twice", none, &local), "There are no errors. The result is : 42");
    EXPECT_EQ(ValidateExpression("Twice", none, nullptr), "ERROR: Unknown function : TWICE");
    // Both environments are unprepared again afterwards.
    EXPECT_FALSE(local.Prepared());
    EXPECT_TRUE(local.ReplaceExpression(1, "1"));
    // An environment already in use stays in use.
    local.Prepare();
    EXPECT_EQ(ValidateExpression("Twice", none, &local), "There are no errors. The result is : 2");
    EXPECT_TRUE(local.Prepared());
    local.Unprepare();
    EXPECT_FALSE(local.Prepared());
}

TEST_F(ExprTest, ValidationReadsTheOfferedDataSets)
{
    testsupport::MemoryTable table("Table1",
                                   {{"CUSTNO", expr::TRpFieldKind::Integer}, {"NAME", expr::TRpFieldKind::String}});
    table.AddRow({std::int32_t{1221}, std::string("Kowalski")});
    const expr::TRpDataSetList sets{&table};
    EXPECT_EQ(ValidateExpression("Table1.CUSTNO+1", sets, nullptr), "There are no errors. The result is : 1222");
    EXPECT_EQ(ValidateExpression("Table1.CUSTNO", {}, nullptr), "ERROR: Unknown function : TABLE1.CUSTNO");

    const std::vector<TRpOfferedDataSet> offered = ListDataSets(&sets);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].name, "Table1");
    EXPECT_EQ(offered[0].dataSet, &table);
    EXPECT_EQ(FieldNames(table), (std::vector<std::string>{"CUSTNO", "NAME"}));
    const expr::TRpDataSetList withNull{nullptr, &table};
    EXPECT_EQ(ListDataSets(&withNull).size(), 1u);
    EXPECT_TRUE(ListDataSets(nullptr).empty());
}

TEST_F(ExprTest, ValidationReportsARaisedErrorAndUnpreparesAnyway)
{
    expr::TRpEvEnvironment local;
    local.AddFunction("Huge", "1.5E300");
    const std::string box = ValidateExpression("1.7976931348623157E308*10.0", {}, &local);
    EXPECT_EQ(box.rfind("ERROR: ", 0), 0u) << box;
    EXPECT_FALSE(local.Prepared());
}

TEST_F(ExprTest, FunctionCategories)
{
    const expr::TRpLibrary& library = *expr::FunctionLibrary();
    auto names = [&](int category) {
        std::vector<std::string> out;
        for (int line : FunctionsInCategory(library, category))
            out.push_back(library.GetEntry(line)->Name);
        return out;
    };
    const std::vector<std::string>& categories = FunctionCategories();
    ASSERT_EQ(categories.size(), 8u);
    EXPECT_EQ(categories[3], "Statistical");
    EXPECT_EQ(categories[4], "Database");
    EXPECT_EQ(names(3), (std::vector<std::string>{"SUM", "COUNT", "MAX", "MIN", "AVERAGE"}));
    EXPECT_TRUE(names(4).empty());
    EXPECT_EQ(names(1), (std::vector<std::string>{"TIME", "DATE"}));
    EXPECT_EQ(names(5), (std::vector<std::string>{"IF", "TRUE", "FALSE"}));
    const std::vector<std::string> all = names(0);
    ASSERT_EQ(all.size(), 21u);
    for (int i = 0; i < 21; ++i)
        EXPECT_EQ(all[static_cast<std::size_t>(i)], library.GetEntry(i)->Name);
}

TEST_F(ExprTest, FunctionDescriptionsAndParameters)
{
    const expr::TRpLibrary& library = *expr::FunctionLibrary();
    const expr::TRpLibraryEntry& div = *library.GetEntry(library.IndexOf("DIV"));
    EXPECT_EQ(SplitDescription(div),
              std::make_pair(std::string("DIV(<X>, <Y>) "), std::string(" Integer division of <X> by <Y>")));
    const expr::TRpLibraryEntry& entryIf = *library.GetEntry(library.IndexOf("IF"));
    EXPECT_EQ(SplitDescription(entryIf).first, "IF(<Exp>, <X>, <Y>)");
    EXPECT_EQ(ArgumentLetters(entryIf), "BVV");
    EXPECT_EQ(ArgumentLetters(*library.GetEntry(library.IndexOf("TIME"))), "");
    expr::TRpLibraryEntry bare;
    bare.Description = "no bar";
    EXPECT_EQ(SplitDescription(bare), std::make_pair(std::string("no bar"), std::string()));

    const struct {
        char letter;
        int number;
        const char* label;
    } labels[] = {
        {'N', 1, "Argument 1 - numeric value"},
        {'B', 2, "Argument 2 - logical value"},
        {'S', 3, "Argument 3 - text Value"},
        {'V', 12, "Argument 12 - value"},
    };
    for (const auto& c : labels)
        EXPECT_EQ(ArgumentLabel(c.letter, c.number), c.label);
    EXPECT_EQ(ParameterHeading(2, "COPY"), "Enter 2. parameter for COPY");
    EXPECT_EQ(FunctionCall("IF", {"a", "b", "c"}), "IF(a,b,c)");
    EXPECT_EQ(FunctionCall("STR", {""}), "STR()");
}

}  // namespace
}  // namespace report::editors
