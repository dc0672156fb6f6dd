#include "report/expr/evaluator.h"

#include "report/expr/ev_elements.h"
#include "report/expr/ev_environment.h"
#include "report/expr/ev_functions.h"
#include "report/expr/expr_unit.h"
#include "tests/support/expr_fixture.h"
#include "tests/support/memory_table.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

namespace enginetest {

using namespace testsupport;
namespace {

using namespace report::expr;
using report::ERpError;

class EvaluatorTest : public ExprTest {};

TEST_F(EvaluatorTest, ArithmeticKeepsLeftToRightOrderAndWrapsIntegers)
{
    Expect({
        {"", "S: "},
        {"10-2-3", "I:5"},
        {"10-2+3", "I:11"},
        {"-5+2", "I:-3"},
        {"2*(-3)", "I:-6"},
        {"3 and 5", "I:1"},
        {"3 AND 5", "I:1"},
        {"1 or 2", "I:3"},
        {"2147483647+1", "I:-2147483648"},
        {"0-2147483647-1", "I:-2147483648"},
        {"65536*65536", "I:0"},
        {"100/10/2", "F:5"},
        {"2*3/4", "F:1.5"},
        {"7/2", "F:3.5"},
        {"2147483648", "F:2147483648"},
        {"1E5", "F:1e+05"},
        {"1.5", "F:1.5"},
        {"0012", "I:12"},
        {"1-2-3-4", "I:-8"},
        {"8/2/2/2", "F:1"},
        {"2+3*4", "I:14"},
        {"(2+3)*4", "I:20"},
        {"1.5*2", "F:3"},
        {"1+2.5", "F:3.5"},
        {"  7  ", "I:7"},
        {"+4", "I:4"},
        {"-(2-5)", "I:3"},
    });
}

TEST_F(EvaluatorTest, AndBindsAsTimesDoesAndOrAsPlus)
{
    Expect({
        {"FALSE and TRUE or TRUE", "B:True"},
        {"TRUE or TRUE and FALSE", "B:True"},
        {"FALSE and FALSE or TRUE and TRUE", "B:True"},
        // On integers they work bit by bit: (6 and 3) or 8, (6 and 3) + 1, (2 * 3) or 1.
        {"6 and 3 or 8", "I:10"},
        {"6 and 3 + 1", "I:3"},
        {"2 * 3 or 1", "I:7"},
        // After a minus or a division the rest of the chain has its operators exchanged, but
        // or and and keep theirs: 1-(2 or 3), 8/(2 and 3).
        {"1-2 or 3", "I:-2"},
        {"8/2 and 3", "F:4"},
    });
}

TEST_F(EvaluatorTest, NumbersThatDoNotConvert)
{
    Expect({
        {"2*-3", "E:Illegal character in numeric contant \"2*\""},
        {"1=1=1", "E:Illegal character in numeric contant \"1=1\""},
        {"1 or", "E:Illegal character in numeric contant \"1 or\""},
        {"12a", "E:Illegal character in numeric contant \"12a\""},
        {"1E+5", "E:Illegal character in numeric contant \"1E\""},
        {"1.2.3", "E:Illegal character in numeric contant \"1.2.3\""},
        {"1,5", "E:Illegal character in numeric contant \"1,5\""},
        {"1E400", "E:Illegal character in numeric contant \"1E400\""},
    });
    // The numeric text in the message is cut to 255 characters.
    const std::string longNumber = "1" + std::string(300, 'x');
    EXPECT_EQ(Calc(longNumber), "E:Illegal character in numeric contant \"" + longNumber.substr(0, 255) + "\"");
}

TEST_F(EvaluatorTest, StringsAndComparisons)
{
    Expect({
        {"'ab'+'cd'", "S:abcd"},     {"1+'a'", "S:1a"},           {"TRUE+1", "S:True1"},
        {"1.5+'a'", "S:1,5a"},       {"'a''b'", "S:a''b"},        {"'", "S:"},
        {"'a+b'", "S:a+b"},          {"'it''s'+'x'", "S:it''sx"}, {"'abc'<'abd'", "B:True"},
        {"'B'<'a'", "B:True"},       {"'ą'>'z'", "B:True"},       {"'ab'<'abc'", "B:True"},
        {"'abc'<='abc'", "B:True"},  {"'abc'<>'abc'", "B:False"}, {"'a'>='b'", "B:False"},
        {"TRUE = TRUE", "B:True"},   {"TRUE <> FALSE", "B:True"}, {"TRUE and FALSE", "B:False"},
        {"TRUE or FALSE", "B:True"}, {"not TRUE", "B:False"},     {"NOT FALSE", "B:True"},
        {"1<2", "B:True"},           {"2<=1", "B:False"},         {"1.5>1", "B:True"},
        {"3>=3", "B:True"},          {"1=1.0", "B:True"},         {"1<>1", "B:False"},
        {"1+1=2", "B:True"},
    });
}

TEST_F(EvaluatorTest, OperatorsThatDoNotApply)
{
    Expect({
        {"7/0", "E:Cannot divide by 0"},
        {"7.5/0", "E:Cannot divide by 0"},
        {"2 - -3", "E:Error in expression :  "},
        {"1.5 or 2", "E:Operator OR is not compatible with numeric expressions"},
        {"1.5 and 2", "E:Operator AND is not compatible with numeric expressions"},
        {"'a' or 'b'", "E:Operator OR is not compatible with string expressions"},
        {"TRUE > FALSE", "E:Operator > is not compatible with boolean expressions"},
        {"TRUE <= FALSE", "E:Operator <= is not compatible with boolean expressions"},
        {"TRUE + FALSE", "E:Cannot add boolean expressions"},
        {"'a' - 'b'", "E:Cannot subtract string expressions"},
        {"'a' * 'b'", "E:Cannot multiply string expressions"},
        {"'a' / 'b'", "E:Cannot divide string expressions"},
        {"TRUE / FALSE", "E:Cannot divide boolean expressions"},
        // Errors pass through operators, the left one first.
        {"(1/0)+'x'", "E:Cannot divide by 0"},
        {"FOO(1)+(1/0)", "E:Unknown function : FOO"},
    });
}

TEST_F(EvaluatorTest, ParseErrors)
{
    Expect({
        {"'abc", "E:Missing '"},
        {"(1+2", "E:Missing )"},
        {"(", "E:Missing )"},
        {"[Name", "E:Missing ]"},
        {"[", "E:Missing ]"},
        {"FOO(1)", "E:Unknown function : FOO"},
        {"foo", "E:Unknown function : FOO"},
        {"[foo]", "E:Unknown function : foo"},
        {"foo(", "E:Unknown function : "},
        {"not 1", "E:Invalid use of NOT"},
        {"NOTE", "E:Invalid use of NOT"},
        {"not", "E:Invalid use of NOT"},
        {"TRUE(1)", "E:Too many arguments"},
        {"COUNT(1)", "E:COUNT - Too many arguments"},
        {"#", "E:Error in expression : #"},
        {"1+ ", "E:Error in expression :  "},
        {"1+§", "E:Error in expression : §"},
    });
}

TEST_F(EvaluatorTest, EmptyOperandsGiveErrorsNotCrashes)
{
    for (const char* text : {"+", "-", "()", "IF(TRUE,,1)", "*", "1*", "(())", "[]", "IF(,)", "'a'=", "=1", "1+()"}) {
        const std::string result = Calc(text);
        EXPECT_EQ(result.substr(0, 2), "E:") << text << " gave " << result;
    }
}

TEST_F(EvaluatorTest, FloatOverflowRaises)
{
    TRpEvaluator evaluator;
    for (const char* text : {"1E300*1E300", "1E308+1E308", "0-1E308-1E308", "1E308*10", "1E308/0.01"}) {
        EXPECT_THROW((void)evaluator.Calculate(text), ERpError) << text;
        EXPECT_FALSE(evaluator.Prepared()) << text;
    }
    EXPECT_EQ(Calc("1E300*0.5"), "F:5e+299");
}

TEST_F(EvaluatorTest, ValueOfAnUnpreparedEvaluatorRaises)
{
    TRpEvaluator evaluator;
    try {
        (void)evaluator.Value();
        FAIL() << "no exception";
    } catch (const ERpError& e) {
        EXPECT_STREQ(e.what(), "Evaluator not prepared");
    }
    evaluator.Prepare("1+1");
    EXPECT_EQ(Describe(evaluator.Value()), "I:2");
    EXPECT_EQ(Describe(evaluator.Value()), "I:2");  // any number of times
    evaluator.Unprepare();
    EXPECT_THROW((void)evaluator.Value(), ERpError);
    evaluator.Unprepare();  // twice is harmless
}

TEST_F(EvaluatorTest, PrepareAgainReplacesTheQueue)
{
    TRpEvaluator evaluator;
    evaluator.Prepare("1");
    evaluator.Prepare("'x'");
    EXPECT_EQ(Describe(evaluator.Value()), "S:x");
    EXPECT_NE(dynamic_cast<TRpEvElementString*>(evaluator.FirstElement()), nullptr);
}

TEST_F(EvaluatorTest, AQueueThatEndsEarlyIsAnError)
{
    TRpFiFo queue;
    queue.Put(std::make_unique<TRpEvElementOperator>(opPlus));
    queue.Put(std::make_unique<TRpEvElementConstant>(TRpEvResult::Integer(1)));
    TRpEvResult result = TRpEvResult::Integer(9);
    queue.Get()->Value(queue, result);
    EXPECT_EQ(Describe(result), "E:");

    TRpFiFo calls;
    calls.Put(std::make_unique<TRpEvTrue>());  // no argument end follows
    calls.Get()->Value(calls, result);
    EXPECT_EQ(Describe(result), "E:");
    EXPECT_EQ(calls.Get(), nullptr);
}

// `count` copies of `term` joined by `op`.
std::string Chain(const std::string& term, const std::string& op, int count)
{
    std::string text = term;
    for (int i = 1; i < count; ++i)
        text += op + term;
    return text;
}

// `inner` wrapped `count` times in `open` ... `close`.
std::string Nest(const std::string& open, const std::string& inner, const std::string& close, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += open;
    text += inner;
    for (int i = 0; i < count; ++i)
        text += close;
    return text;
}

TEST_F(EvaluatorTest, LongChainsOfOperatorsEvaluateLeftToRight)
{
    constexpr int kTerms = 20000;
    // 1-2+3-4+... left to right, worked out here term by term.
    std::string alternating = "1";
    int alternatingSum = 1;
    for (int i = 2; i <= kTerms; ++i) {
        const int term = i % 7;
        alternating.push_back(i % 2 == 0 ? '-' : '+');
        alternating.push_back(static_cast<char>('0' + term));
        alternatingSum += i % 2 == 0 ? -term : term;
    }
    struct ChainCase {
        std::string term, op;
        int count;
        const char* expected;
    };
    // As many terms as fit within the length limit.
    const ChainCase chains[] = {
        {"1", "+", kTerms, "I:20000"},     {"1", "-", kTerms, "I:-19998"},     {"1", "*", kTerms, "I:1"},
        {"1", "/", kTerms, "F:1"},         {"2*3", "+", 10000, "I:60000"},     {"(1+1)", "+", 10000, "I:20000"},
        {"TRUE", " and ", 7000, "B:True"}, {"FALSE", " or ", 7000, "B:False"}, {"'a'", "+", 15000, nullptr},
        {"1", ",", kTerms, nullptr},
    };
    for (const ChainCase& c : chains) {
        SCOPED_TRACE(c.term + c.op);
        const std::string text = Chain(c.term, c.op, c.count);
        ASSERT_LE(text.size(), kMaxExpressionLength);
        if (c.expected) {
            EXPECT_EQ(Calc(text), c.expected);
        }
    }
    EXPECT_EQ(Calc(Chain("1", "+", kTerms) + "=20000"), "B:True");
    EXPECT_EQ(Calc(Chain("'a'", "+", 15000)), "S:" + std::string(15000, 'a'));
    EXPECT_EQ(Calc("INT(" + Chain("1", "+", kTerms) + ")*2"), "I:40000");
    EXPECT_EQ(Calc("TYPEOF(" + Chain("1", ",", kTerms) + ")"), "E:Wrong arguments for TypeOf");
    EXPECT_EQ(Calc(alternating), "I:" + std::to_string(alternatingSum));
    // An error in the chain is the chain's value.
    EXPECT_EQ(Calc(Chain("1", "+", kTerms / 2) + "+1/0+" + Chain("1", "+", kTerms / 2)), "E:Cannot divide by 0");
}

TEST_F(EvaluatorTest, TextsNestedTooDeeplyOrTooLongAreErrorsNotCrashes)
{
    const std::string tooDeep = "E:Expression nested too deeply (more than 256 levels)";
    const std::string tooLong = "E:Expression too long (more than 65536 characters)";
    struct Nesting {
        std::string open, inner, close;
        int levels;         // nesting levels one wrapping makes
        std::string value;  // at the limit
    };
    const Nesting nestings[] = {
        {"(", "1", ")", 1, "I:1"},         {"-(", "1", ")", 2, "I:1"},          {"+(", "1", ")", 2, "I:1"},
        {"not ", "TRUE", "", 1, "B:True"}, {"not (", "TRUE", ")", 2, "B:True"}, {"IF(TRUE,", "1", ",0)", 1, "I:1"},
        {"INT(", "1", ")", 1, "I:1"},
    };
    for (const Nesting& n : nestings) {
        SCOPED_TRACE(n.open + n.inner + n.close);
        const int atLimit = kMaxExpressionDepth / n.levels;
        EXPECT_EQ(Calc(Nest(n.open, n.inner, n.close, atLimit)), n.value);
        EXPECT_EQ(Calc(Nest(n.open, n.inner, n.close, atLimit + 1)), tooDeep);
        const std::string deep = Nest(n.open, n.inner, n.close, 20000);
        EXPECT_EQ(Calc(deep), deep.size() > kMaxExpressionLength ? tooLong : tooDeep);
    }
    // Within a chain, inside quotes and brackets: a parenthesis there is no nesting.
    EXPECT_EQ(Calc("1+" + Nest("(", "1", ")", kMaxExpressionDepth + 1) + "+1"), tooDeep);
    EXPECT_EQ(Calc("'" + std::string(20000, '(') + "'"), "S:" + std::string(20000, '('));
    EXPECT_EQ(Calc("[" + std::string(20000, '(') + "]"), "E:Unknown function : " + std::string(20000, '('));
    // Unbalanced ones, also far beyond the limit.
    for (const std::string& text : {std::string(20000, '('), std::string(20000, ')'), "-" + std::string(20000, '('),
                                    Chain("not", " ", 10000), Chain("-", " ", 20000)})
        EXPECT_EQ(Calc(text).substr(0, 2), "E:") << text.substr(0, 20);
    // The length limit counts the whole text, blanks included.
    EXPECT_EQ(Calc(std::string(kMaxExpressionLength - 1, ' ') + "1"), "I:1");
    EXPECT_EQ(Calc(std::string(kMaxExpressionLength, ' ') + "1"), tooLong);

    TRpEvaluator evaluator;
    evaluator.Prepare(Nest("(", "1", ")", 20000));
    EXPECT_TRUE(evaluator.Prepared());
    EXPECT_NE(dynamic_cast<TRpEvElementError*>(evaluator.FirstElement()), nullptr);
    evaluator.Prepare("1+1");  // the evaluator is usable again afterwards
    EXPECT_EQ(Describe(evaluator.Value()), "I:2");
}

TEST(EvaluatorText, SwapOperatorsOnlyAtTheTopLevel)
{
    EXPECT_EQ(SwapOperators("2+3-4", '+', '-'), "2-3+4");
    EXPECT_EQ(SwapOperators("2+(3-4)", '+', '-'), "2-(3-4)");
    EXPECT_EQ(SwapOperators("'a+b'-1", '+', '-'), "'a+b'+1");
    EXPECT_EQ(SwapOperators("[A-B]+1", '+', '-'), "[A-B]-1");
    EXPECT_EQ(SwapOperators("2*3/4", '*', '/'), "2/3*4");
}

TEST(EvaluatorText, ArgumentSeparatorsAtTheTopLevel)
{
    EXPECT_EQ(FindArgumentSeparator("a,b"), 1u);
    EXPECT_EQ(FindArgumentSeparator("f(a,b),c"), 6u);
    EXPECT_EQ(FindArgumentSeparator("'a,b',c"), 5u);
    EXPECT_EQ(FindArgumentSeparator("[a,b],c"), 5u);
    EXPECT_EQ(FindArgumentSeparator("a,"), std::string::npos);  // the last character is not examined
    EXPECT_EQ(FindArgumentSeparator(""), std::string::npos);
}

class FieldTest : public EvaluatorTest {
protected:
    FieldTest()
        : table_("Table1", {{"CUSTNO", TRpFieldKind::Integer},
                            {"Company", TRpFieldKind::String},
                            {"Amount", TRpFieldKind::Currency},
                            {"Paid", TRpFieldKind::Boolean},
                            {"Since", TRpFieldKind::Date},
                            {"Photo", TRpFieldKind::Blob},
                            {"SUB-TOTAL", TRpFieldKind::Integer},
                            {"TRUE", TRpFieldKind::Integer}}),
          other_("Other", {{"CUSTNO", TRpFieldKind::Integer}, {"Extra", TRpFieldKind::Float}})
    {
        table_.AddRow({std::int32_t{1221}, utility::Pl("Kowalski i Syn"), 12.5, true, std::string("2024-05-01"),
                       std::string(), std::int32_t{40}, std::int32_t{77}});
        other_.AddRow({std::int32_t{5}, 0.25});
        list_ = {&table_, &other_};
    }

    std::string Field(const std::string& expression)
    {
        TRpEvaluator evaluator;
        evaluator.SetDatasets(&list_);
        return Describe(evaluator.Calculate(utility::Pl(expression)));
    }

    MemoryTable table_;
    MemoryTable other_;
    TRpDataSetList list_;
};

TEST_F(FieldTest, NamesReadFieldsOfTheDataSets)
{
    ExpectEach(
        {
            {"custno", "I:1221"},
            {"[custno]", "I:1221"},
            {"[TABLE1.CUSTNO]", "I:1221"},
            {"Table1.custno", "I:1221"},
            {"[Other.CUSTNO]", "I:5"},
            {"[Other.Company]", "E:Unknown function : Other.Company"},
            {"COMPANY", "S:Kowalski i Syn"},
            {"Amount*2", "F:25"},
            {"Extra", "F:0.25"},
            {"Paid", "B:True"},
            {"Since", "S:2024-05-01"},
            {"Photo", "E:Field Photo is of unknown type"},
            {"custno+1", "I:1222"},
            {"100-[SUB-TOTAL]", "I:60"},  // the minus in the name survives the right side of a minus
            {"TRUE", "B:True"},           // built-in functions come first
            {"[TRUE]", "I:77"},
            {"IF(Paid, COMPANY, 'nie')", "S:Kowalski i Syn"},
        },
        [this](const char* expression) { return Field(expression); });
}

TEST_F(FieldTest, FieldsAreReadAtEveryEvaluation)
{
    table_.AddRow({std::int32_t{7}});
    TRpEvaluator evaluator;
    evaluator.SetDatasets(&list_);
    evaluator.Prepare("CUSTNO*2");
    EXPECT_EQ(Describe(evaluator.Value()), "I:2442");
    table_.SetRow(1);
    EXPECT_EQ(Describe(evaluator.Value()), "I:14");
}

TEST_F(FieldTest, DefaultFieldsAreFetchedAgainByTheirIndex)
{
    MemoryTable table("Query", {{"A", TRpFieldKind::Integer}, {"B", TRpFieldKind::String}}, true);
    table.AddRow({std::int32_t{3}, std::string("b")});
    TRpDataSetList list = {&table};
    TRpEvaluator evaluator;
    evaluator.SetDatasets(&list);
    evaluator.Prepare("B+STR(A)");
    table.Reopen();  // frees the field objects the queue was prepared with
    EXPECT_EQ(Describe(evaluator.Value()), "S:b3");
}

TEST_F(FieldTest, DatasetsAreOwnedOnlyWhenMadeByTheEvaluator)
{
    TRpEvaluator evaluator;
    TRpDataSetList* owned = evaluator.Datasets();
    ASSERT_NE(owned, nullptr);
    EXPECT_TRUE(owned->empty());
    EXPECT_EQ(evaluator.Datasets(), owned);
    evaluator.SetDatasets(&list_);
    EXPECT_EQ(evaluator.Datasets(), &list_);
    evaluator.SetDatasets(nullptr);
    EXPECT_EQ(Describe(evaluator.Calculate("custno")), "E:Unknown function : CUSTNO");
}

}  // namespace
}  // namespace enginetest
