#include "report/expr/ev_environment.h"
#include "report/expr/expr_unit.h"
#include "tests/support/expr_fixture.h"
#include "tests/support/memory_table.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace enginetest {

using namespace testsupport;
namespace {

using namespace report::expr;
using report::ERpError;

class EnvironmentTest : public ExprTest {
protected:
    // Evaluates a text against `env` the way an expression control does.
    std::string Eval(TRpEvEnvironment& env, const std::string& expression)
    {
        TRpEvaluator evaluator;
        evaluator.SetEnvironment(&env);
        return Describe(evaluator.Calculate(utility::Pl(expression)));
    }

    // The environment a report makes for its run.
    void MakeReportFunctions()
    {
        functions_.AddFunction("PageNumber", "0");
        functions_.AddFunction("COLUMNNUMBER", "0");
        functions_.AddFunction("REPORTTITLE", "''");
    }

    TRpEvEnvironment functions_;
};

TEST_F(EnvironmentTest, AnEntryThatReachesItselfIsARecursiveCall)
{
    functions_.AddFunction("X", "X+1");
    functions_.AddFunction("A", "B");
    functions_.AddFunction("B", "[A]*2");
    functions_.Prepare();
    EXPECT_EQ(Describe(functions_.GetValue("X")), "E:Recursive calls not allowed");
    EXPECT_EQ(Describe(functions_.GetValue("A")), "E:Recursive calls not allowed");
    EXPECT_EQ(Eval(functions_, "X"), "E:Recursive calls not allowed");
    // The busy flag is down again: a second evaluation meets the same error, not a stuck entry.
    EXPECT_EQ(Describe(functions_.GetValue("X")), "E:Recursive calls not allowed");
    functions_.Unprepare();
}

TEST_F(EnvironmentTest, AnEntryThatRaisesIsNotLeftBusy)
{
    functions_.AddFunction("BIG", "1E300*1E300");
    functions_.AddFunction("HALF", "BIG/2");
    functions_.Prepare();
    EXPECT_THROW((void)functions_.GetValue("HALF"), ERpError);
    EXPECT_THROW((void)functions_.GetValue("BIG"), ERpError);
    EXPECT_THROW((void)functions_.GetValue("HALF"), ERpError);
    functions_.Unprepare();
    // Unprepared entries raise as an unprepared evaluator does.
    EXPECT_THROW((void)functions_.GetValue("BIG"), ERpError);
    EXPECT_THROW((void)functions_.GetValue("BIG"), ERpError);
}

TEST_F(EnvironmentTest, EntriesResolveAfterFieldsAndBeforeTheGlobalEnvironment)
{
    MakeReportFunctions();
    functions_.AddFunction("APPNAME", "'report'");
    functions_.AddFunction("CUSTNO", "-1");
    functions_.AddFunction("DOUBLE", "CUSTNO*2");
    MemoryTable table("Table1", {{"CUSTNO", TRpFieldKind::Integer}});
    table.AddRow({std::int32_t{21}});
    TRpDataSetList list = {&table};
    functions_.SetDatasets(&list);
    functions_.Prepare();

    TRpEvaluator evaluator;
    evaluator.SetEnvironment(&functions_);
    evaluator.SetDatasets(&list);
    const std::vector<ExprCase> cases = {
        {"pagenumber", "I:0"},
        {"[PageNumber]+1", "I:1"},
        {"APPNAME", "S:report"},
        {"CUSTNO", "I:21"},
        {"DOUBLE", "I:42"},
        {"AppStartDate", "S:2024-05-01"},
        {"[appstarttime]", "S:13:05:07"},
        {"NOWHERE", "E:Unknown function : NOWHERE"},
        {"[nowhere]", "E:Unknown function : nowhere"},
        {"NOWHERE(1)", "E:Unknown function : NOWHERE"},
    };
    ExpectEach(cases, [&](const char* expression) { return Describe(evaluator.Calculate(expression)); });
    functions_.Unprepare();
}

TEST_F(EnvironmentTest, TheReportKeepsItsConstantsCurrent)
{
    MakeReportFunctions();
    functions_.Prepare();
    TRpEvElement* page = functions_.EntryElement("PAGENUMBER");
    TRpEvElement* title = functions_.EntryElement("reporttitle");
    ASSERT_NE(page, nullptr);
    ASSERT_NE(title, nullptr);
    TRpEvaluator footer;
    footer.SetEnvironment(&functions_);
    footer.Prepare(utility::Pl("'Strona '+STR(PAGENUMBER)+' z '+REPORTTITLE"));
    TRpEvEnvironment::SetIntegerConstant(page, 7);
    TRpEvEnvironment::SetStringConstant(title, utility::Pl("Jan Nowak 2024-05-01"));
    EXPECT_EQ(Describe(footer.Value()), "S:Strona 7 z Jan Nowak 2024-05-01");

    // Each setter changes only the element kind it is for.
    TRpEvEnvironment::SetStringConstant(page, "x");
    TRpEvEnvironment::SetIntegerConstant(title, 3);
    TRpEvEnvironment::SetResultConstant(title, TRpEvResult::Integer(9));
    EXPECT_EQ(Describe(functions_.GetValue("PAGENUMBER")), "I:7");
    EXPECT_EQ(Describe(functions_.GetValue("REPORTTITLE")), "S:Jan Nowak 2024-05-01");
    TRpEvEnvironment::SetResultConstant(title, TRpEvResult::String("T"));
    TRpEvEnvironment::SetResultConstant(page, TRpEvResult::Float(2.5));
    EXPECT_EQ(Describe(footer.Value()), "S:Strona 2,5 z T");
    TRpEvEnvironment::SetIntegerConstant(nullptr, 1);
    footer.Unprepare();
    functions_.Unprepare();
    EXPECT_EQ(functions_.EntryElement("PAGENUMBER"), nullptr);
    EXPECT_EQ(functions_.EntryElement("MISSING"), nullptr);
}

TEST_F(EnvironmentTest, PrepareIsCounted)
{
    MakeReportFunctions();
    EXPECT_FALSE(functions_.Prepared());
    functions_.Prepare();
    TRpEvElement* first = functions_.EntryElement("PAGENUMBER");
    functions_.Prepare();
    EXPECT_EQ(functions_.EntryElement("PAGENUMBER"), first);  // nested prepares only count
    functions_.Unprepare();
    EXPECT_TRUE(functions_.Prepared());
    EXPECT_NE(functions_.EntryElement("PAGENUMBER"), nullptr);
    functions_.Unprepare();
    EXPECT_FALSE(functions_.Prepared());
    EXPECT_EQ(functions_.EntryElement("PAGENUMBER"), nullptr);
    functions_.Unprepare();  // below zero it does not go
    functions_.Prepare();
    EXPECT_TRUE(functions_.Prepared());
    functions_.Unprepare();
    EXPECT_FALSE(functions_.Prepared());
}

TEST_F(EnvironmentTest, AddingToAPreparedEnvironmentIsUsableAtOnce)
{
    functions_.AddFunction("A", "1");
    functions_.Prepare();
    functions_.AddFunction("B", "A+1");
    functions_.AddFunction("a", "100");  // already there: keeps its expression
    EXPECT_EQ(Describe(functions_.GetValue("B")), "I:2");
    EXPECT_EQ(Describe(functions_.GetValue("A")), "I:1");
    EXPECT_EQ(functions_.Count(), 2);
    EXPECT_EQ(functions_.Name(1), "B");
    functions_.Unprepare();
}

TEST_F(EnvironmentTest, DeletingIsRefusedWhilePrepared)
{
    functions_.AddFunction("A", "5");
    functions_.Prepare();
    EXPECT_FALSE(functions_.DeleteFunction("A"));
    EXPECT_EQ(Describe(functions_.GetValue("A")), "I:5");
    functions_.Unprepare();
    EXPECT_TRUE(functions_.DeleteFunction("a"));
    EXPECT_FALSE(functions_.DeleteFunction("A"));
    EXPECT_EQ(functions_.Count(), 0);
    EXPECT_EQ(Describe(functions_.GetValue("A")), "E:");
}

TEST_F(EnvironmentTest, RenamingKeepsNamesUnique)
{
    functions_.AddFunction("A", "5");
    functions_.AddFunction("B", "6");
    const struct {
        int line;
        const char* name;
        bool done;
        const char* first;
        const char* second;
    } cases[] = {
        {0, "b", false, "A", "B"},  // another line's name: lookups would find only the first
        {0, "", false, "A", "B"},           {0, "   ", false, "A", "B"},
        {2, "C", false, "A", "B"},                                     // no such line
        {-1, "C", false, "A", "B"},         {0, "a", true, "A", "B"},  // its own name again
        {0, " total ", true, "TOTAL", "B"}, {1, "Suma", true, "TOTAL", "SUMA"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(functions_.RenameFunction(c.line, c.name), c.done) << c.name;
        EXPECT_EQ(functions_.Name(0), c.first) << c.name;
        EXPECT_EQ(functions_.Name(1), c.second) << c.name;
    }
    // The entry went with its name.
    functions_.Prepare();
    EXPECT_EQ(Describe(functions_.GetValue("total")), "I:5");
    EXPECT_EQ(Describe(functions_.GetValue("A")), "E:");
    functions_.Unprepare();
}

TEST_F(EnvironmentTest, ReplacingAnExpressionIsRefusedWhilePrepared)
{
    functions_.AddFunction("A", "5");
    functions_.Prepare();
    EXPECT_FALSE(functions_.ReplaceExpression(0, "7"));
    EXPECT_EQ(functions_.Entry(0)->Expression(), "5");
    EXPECT_EQ(Describe(functions_.GetValue("A")), "I:5");
    functions_.Unprepare();
    EXPECT_TRUE(functions_.ReplaceExpression(0, "7"));
    EXPECT_FALSE(functions_.ReplaceExpression(1, "8"));
    EXPECT_EQ(functions_.Entry(0)->Expression(), "7");
    functions_.Prepare();
    EXPECT_EQ(Eval(functions_, "A+1"), "I:8");
    functions_.Unprepare();
}

TEST_F(EnvironmentTest, AQueueOutlivingItsEntryFindsItGone)
{
    functions_.AddFunction("A", "5");
    functions_.Prepare();
    TRpEvaluator evaluator;
    evaluator.SetEnvironment(&functions_);
    evaluator.Prepare("A*2");
    EXPECT_EQ(Describe(evaluator.Value()), "I:10");
    functions_.Unprepare();
    ASSERT_TRUE(functions_.DeleteFunction("A"));
    EXPECT_EQ(Describe(evaluator.Value()), "E:Unknown function : A");
}

TEST_F(EnvironmentTest, StoredNamesAndData)
{
    const utility::StringList names = {"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE", "RPSTRINGSBAND1", "rploopband1"};
    const utility::StringList data = {"0", "0", "''", "''", "0", "'extra'"};
    ASSERT_TRUE(functions_.SetNames(names));
    EXPECT_EQ(functions_.Data(), (utility::StringList{"", "", "", "", ""}));
    functions_.ReadData(data);
    EXPECT_EQ(functions_.Names(),
              (utility::StringList{"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE", "RPSTRINGSBAND1", "RPLOOPBAND1"}));
    EXPECT_EQ(functions_.Data(), (utility::StringList{"0", "0", "''", "''", "0"}));
    // Lines that have an entry keep it.
    functions_.ReadData({"7"});
    EXPECT_EQ(functions_.Data()[0], "0");
    functions_.Prepare();
    EXPECT_EQ(Eval(functions_, "RPLOOPBAND1+1"), "I:1");
    EXPECT_FALSE(functions_.SetNames({"X"}));
    functions_.Unprepare();
    ASSERT_TRUE(functions_.SetNames({"X", "Y"}));
    EXPECT_EQ(Describe(functions_.GetValue("X")), "E:");
    EXPECT_EQ(Eval(functions_, "X"), "E:Unknown function : X");
    functions_.ReadData({"'x'"});
    functions_.Prepare();
    EXPECT_EQ(Describe(functions_.GetValue("X")), "S:x");
    functions_.ReadData({"", "2"});  // a prepared environment prepares what it reads
    EXPECT_EQ(Describe(functions_.GetValue("Y")), "I:2");
    functions_.Unprepare();
}

TEST_F(EnvironmentTest, ResetReachesEntriesOnlyThroughThemselves)
{
    functions_.AddFunction("ROWS", "COUNT");
    functions_.Prepare();
    TRpEvEmbeddedFunction* rows = functions_.Entry(0);
    ASSERT_NE(rows, nullptr);
    (void)rows->Evaluator().UpdateAggregates();
    (void)rows->Evaluator().UpdateAggregates();
    TRpEvaluator evaluator;
    evaluator.SetEnvironment(&functions_);
    evaluator.Prepare("ROWS");
    evaluator.Reset();  // resets the wrapper only
    EXPECT_EQ(Describe(evaluator.Value()), "I:2");
    rows->Reset();
    EXPECT_EQ(Describe(evaluator.Value()), "I:0");
    evaluator.Unprepare();
    functions_.Unprepare();
}

TEST_F(EnvironmentTest, TheGlobalEnvironmentHoldsTheStartOfTheProgram)
{
    TRpEvEnvironment* global = GlobalEnvironment();
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(global->Names(), (utility::StringList{"APPSTARTTIME", "APPSTARTDATE", "APPNAME"}));
    EXPECT_EQ(global->Data()[0], "'13:05:07'");
    EXPECT_EQ(global->Data()[1], "'2024-05-01'");
    EXPECT_EQ(global->Data()[2], "'" + utility::QStringToCp1250(QCoreApplication::applicationName()) + "'");
    EXPECT_EQ(Calc("AppName"), "S:" + QCoreApplication::applicationName().toStdString());

    // Its entries, once prepared, stay prepared: the unprepares of other environments' entries
    // do not count it down.
    EXPECT_EQ(Calc("AppStartTime"), "S:13:05:07");
    EXPECT_TRUE(global->Prepared());
    MakeReportFunctions();
    for (int run = 0; run < 3; ++run) {
        functions_.Prepare();
        EXPECT_EQ(Eval(functions_, "PAGENUMBER"), "I:0");
        functions_.Unprepare();
    }
    EXPECT_NE(global->EntryElement("APPNAME"), nullptr);
}

TEST_F(EnvironmentTest, TheApplicationNameIsTakenAtStartUp)
{
    const QString before = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Próba"));
    InitializeExpressionUnit();
    QCoreApplication::setApplicationName(QStringLiteral("Inna"));
    EXPECT_EQ(Calc("APPNAME"), "S:Próba");
    QCoreApplication::setApplicationName(before);
}

TEST_F(EnvironmentTest, CloseDownNeverCallsIntoTheFreedUnit)
{
    auto evaluator = std::make_unique<TRpEvaluator>();
    evaluator->Prepare("AppName + STR(SUM(1))");
    functions_.AddFunction("N", "APPNAME");
    functions_.Prepare();
    FinalizeExpressionUnit();
    EXPECT_EQ(GlobalEnvironment(), nullptr);
    EXPECT_EQ(FunctionLibrary(), nullptr);
    // The global entry has gone with the unit.
    EXPECT_EQ(Describe(evaluator->Value()), "E:Unknown function : APPNAME");
    EXPECT_EQ(Describe(functions_.GetValue("N")), "E:Unknown function : APPNAME");
    evaluator.reset();
    functions_.Unprepare();
    // Without the unit nothing resolves but the text itself.
    TRpEvaluator late;
    EXPECT_EQ(Describe(late.Calculate("1+2")), "I:3");
    EXPECT_EQ(Describe(late.Calculate("TRUE")), "E:Unknown function : TRUE");
    // A unit started again counts afresh.
    InitializeExpressionUnit();
    EXPECT_EQ(Calc("TRUE"), "B:True");
}

}  // namespace
}  // namespace enginetest
