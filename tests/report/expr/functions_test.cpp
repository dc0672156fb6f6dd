#include "report/expr/ev_library.h"
#include "report/expr/expr_unit.h"
#include "tests/support/expr_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace enginetest {

using namespace testsupport;
namespace {

using namespace report::expr;

class FunctionsTest : public ExprTest {};

TEST_F(FunctionsTest, LogicalAndInformation)
{
    Expect({
        {"TRUE", "B:True"},
        {"true()", "B:True"},
        {"FALSE", "B:False"},
        {"TRUE(1)", "E:Too many arguments"},
        {"FALSE(1,2)", "E:Too many arguments"},
        {"IF(1, 2, 3)", "E:Wrong arguments for IF"},
        {"IF(TRUE, 'a', 1/0)", "S:a"},
        {"IF(FALSE, 'a', 1/0)", "E:Cannot divide by 0"},
        {"IF(1<2, 10, 20)", "I:10"},
        {"IF(TRUE, 1)", "E:Wrong arguments for IF"},
        {"IF(IF(FALSE,TRUE,FALSE), 'x', 'y')", "S:y"},
        {"TYPEOF(1)", "S:INTEGER"},
        {"TYPEOF(1.5)", "S:FLOAT"},
        {"TYPEOF('x')", "S:STRING"},
        {"TYPEOF(1=1)", "S:BOOLEAN"},
        {"TYPEOF(1/0)", "S:ERROR"},
        {"TYPEOF(1,2)", "E:Wrong arguments for TypeOf"},
        {"TYPEOF", "E:Wrong arguments for TypeOf"},
    });
}

TEST_F(FunctionsTest, MathFunctions)
{
    Expect({
        {"INT(-2.7)", "I:-2"},
        {"INT(2.7)", "I:2"},
        {"INT(5)", "I:5"},
        {"INT('5')", "E:Wrong arguments for INT"},
        {"INT(3000000000.5)", "E:Wrong arguments for INT"},
        {"INT(2147483647.9)", "I:2147483647"},
        {"FRAC(-2.75)", "F:-0.75"},
        {"FRAC(3)", "F:0"},
        {"FRAC('a')", "E:"},
        {"SQRT(-1)", "E:Invalid argument to SQRT function"},
        {"SQRT(16)", "F:4"},
        {"SQRT(2.25)", "F:1.5"},
        {"SQRT('x')", "E:Invalid argument to SQRT function"},
        {"DIV(7, 2)", "I:3"},
        {"DIV(-7, 2)", "I:-3"},
        {"DIV(7.5, 2)", "I:4"},
        {"DIV(6.5, 2)", "I:3"},
        {"DIV(1, 0.4)", "E:Division by Zero"},
        {"DIV(1, 0)", "E:Division by Zero"},
        {"DIV(1)", "E:Wrong arguments for DIV"},
        {"DIV('a', 1)", "E:Wrong arguments for DIV"},
        {"DIV(0-2147483647-1, 0-1)", "E:Wrong arguments for DIV"},
        {"DIV(5000000000, 2)", "E:Wrong arguments for DIV"},
    });
}

TEST_F(FunctionsTest, TextFunctions)
{
    Expect({
        {"STR(TRUE)", "S:True"},
        {"STR(1/3)", "S:0,333333333333333"},
        {"STR(0-42)", "S:-42"},
        {"STR(1E20)", "S:1E20"},
        {"STR('a')", "E:Conversion error"},
        {"STR(1/0)", "E:Conversion error"},
        {"STR(1,2)", "E:Conversion error"},
        {"COPY('abcdef', 0, 3)", "S:abc"},
        {"COPY('abcdef', 5, 10)", "S:ef"},
        {"COPY('abcdef', 2, 2)", "S:bc"},
        {"COPY('abcdef', 7, 1)", "S:"},
        {"COPY('abcdef', 1, 0)", "S:"},
        {"COPY('abcdef', 1, 2147483647)", "S:abcdef"},
        {"COPY('abcdef', 1.5, 2)", "E:"},
        {"COPY('abcdef', 1)", "E:"},
        {"PRETTY('aBC dEF')", "S:Abc def"},
        {"PRETTY('żÓŁW')", "S:Żółw"},
        {"PRETTY('')", "S:"},
        {"UPPER('zażółć')", "S:ZAŻÓŁĆ"},
        {"LOWER('ZAŻÓŁĆ Ab')", "S:zażółć ab"},
        {"UPPER(1)", "E:"},
        {"UPPER(1/0)", "E:Cannot divide by 0"},
        {"UPPER()", "E:Missing argument for UPPER"},
        {"LOWER('a','b')", "E:Missing argument for LOWER"},
        {"PRETTY", "E:Missing argument for PRETTY"},
        {"FORMATNUMERIC('0.00', 2.675)", "S:2,67"},
        {"FORMATNUMERIC('#,##0', 1234567)", "S:1 234 567"},
        {"FORMATNUMERIC('0.00', 'x')", "E:"},
        {"FORMATNUMERIC(1, 2)", "E:"},
    });
}

TEST_F(FunctionsTest, TimeAndDateComeFromTheClock)
{
    Expect({
        {"TIME", "S:13:05:07"},
        {"DATE", "S:2024-05-01"},
        {"DATE + ' ' + TIME", "S:2024-05-01 13:05:07"},
        {"TIME(1)", "E:"},
        {"DATE(1)", "E:"},
    });
}

TEST_F(FunctionsTest, NestedCallsAndArguments)
{
    Expect({
        {"UPPER(COPY('abc,def', 3, 3))", "S:C,D"},
        {"IF(TYPEOF(1)='INTEGER', STR(DIV(9,2)), '')", "S:4"},
        {"STR(INT(7/2)) + ';' + STR(FRAC(7/2))", "S:3;0,5"},
        {"if(true,upper('x'),'y')", "S:X"},
    });
}

TEST_F(FunctionsTest, TheLibraryHoldsTheTwentyOneFunctionsInOrder)
{
    struct Entry {
        const char* name;
        const char* description;
        const char* spec;
    };
    const Entry expected[] = {
        {"IF", "IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>", "5BVV"},
        {"STR", "STR(<X>)|Convert a numeric <X> to a string", "7N"},
        {"UPPER", "UPPER(<X>)|Converts a string to upper case letters", "7S"},
        {"LOWER", "LOWER(<X>)|Converts a string to lower case letters", "7S"},
        {"PRETTY", "PRETTY(<X>)|Makes the first character upper case and the rest lower case", "7S"},
        {"TIME", "TIME|Return current time as a string", "1"},
        {"DATE", "DATE|Return current date as a string", "1"},
        {"COPY", "COPY(<X>, <St>,<Len>)|Returns a substring of string X", "7SNN"},
        {"SUM", "SUM(<X>)|Sums the numeric <X>", "3N"},
        {"COUNT", "COUNT|Increments for each iteration", "3"},
        {"MAX", "MAX(<X>)|Returns the highest <X>", "3V"},
        {"MIN", "MIN(<X>)|Returns the lowest <X>", "3V"},
        {"AVERAGE", "AVERAGE(<X>)|Returns the average of numeric <X>", "3N"},
        {"TRUE", "TRUE|boolean value", "5"},
        {"FALSE", "FALSE|boolean value", "5"},
        {"INT", "INT(<X>)|Returns the integer part of <X>", "2N"},
        {"FRAC", "FRAC(<X>)|Returns the fractional part of <X>", "2N"},
        {"SQRT", "SQRT(<X>)|Returns square root of <X>", "2N"},
        {"DIV", "DIV(<X>, <Y>) | Integer division of <X> by <Y>", "2NN"},
        {"TYPEOF", "TYPEOF(<Exp>)|Returns the data type of <Exp>", "6N"},
        {"FORMATNUMERIC", "FORMATNUMERIC(<F>,<N>)|Formats numeric <N> using the mask in <F>", "7SN"},
    };
    const TRpLibrary* library = FunctionLibrary();
    ASSERT_NE(library, nullptr);
    ASSERT_EQ(library->Count(), 21);
    const std::string vendor = library->GetEntry(0)->Vendor;
    EXPECT_FALSE(vendor.empty());
    for (int i = 0; i < 21; ++i) {
        const TRpLibraryEntry* entry = library->GetEntry(i);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->Name, expected[i].name);
        EXPECT_EQ(entry->Description, expected[i].description);
        EXPECT_EQ(entry->ArgumentSpec, expected[i].spec);
        EXPECT_EQ(entry->Vendor, vendor);
        EXPECT_EQ(library->IndexOf(expected[i].name), i);
    }
    EXPECT_EQ(library->GetEntry(21), nullptr);
    EXPECT_EQ(library->GetEntry(-1), nullptr);
    EXPECT_EQ(library->IndexOf("formatNumeric"), 20);
    EXPECT_EQ(library->IndexOf("NOPE"), -1);
}

TEST_F(FunctionsTest, EachUseOfAFunctionIsANewElement)
{
    const TRpLibrary* library = FunctionLibrary();
    const auto a = library->GetFunction("sum");
    const auto b = library->GetFunction("SUM");
    EXPECT_NE(a.get(), b.get());
    EXPECT_TRUE(a->IsAggreg);
    const auto unknown = library->GetFunction("Nope");
    TRpFiFo queue;
    TRpEvResult result;
    unknown->Value(queue, result);
    EXPECT_EQ(Describe(result), "E:Unknown function : Nope");
}

TEST_F(FunctionsTest, ASecondEntryOfANameIsFoundSecond)
{
    TRpLibrary library;
    library.Add(TRpLibraryEntry{"A|first", "7",
                                [] { return std::unique_ptr<TRpEvElement>(std::make_unique<TRpEvElementString>("1")); },
                                "A", "x"});
    library.Add(TRpLibraryEntry{"A|second", "7",
                                [] { return std::unique_ptr<TRpEvElement>(std::make_unique<TRpEvElementString>("2")); },
                                "A", "x"});
    EXPECT_EQ(library.Count(), 2);
    TRpFiFo queue;
    TRpEvResult result;
    library.GetFunction("a")->Value(queue, result);
    EXPECT_EQ(Describe(result), "S:1");
}

}  // namespace
}  // namespace enginetest
