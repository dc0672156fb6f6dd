// How the printer dialog's properties set up Qt's print dialog, and how the printer it leaves
// behind reads back.
#include "report/output/printer/print_dialog_mapping.h"

#include <gtest/gtest.h>

namespace report::output {
namespace {

using O = TPrintDialogOption;
using Q = QAbstractPrintDialog;

// Options Qt's dialog always gets: collation and the page set-up.
const Q::PrintDialogOptions kAlways = Q::PrintCollateCopies | Q::PrintShowPageSize;

TEST(PrintDialogMappingTest, OptionsAloneAndCombined)
{
    struct Row {
        const char* name;
        TPrintDialogOptions options;
        Q::PrintDialogOptions expected;
    };
    const Row rows[] = {
        {"none", {}, kAlways},
        {"print to file", {O::poPrintToFile}, kAlways | Q::PrintToFile},
        {"page numbers", {O::poPageNums}, kAlways | Q::PrintPageRange},
        {"selection", {O::poSelection}, kAlways | Q::PrintSelection},
        {"warning", {O::poWarning}, kAlways},
        {"help", {O::poHelp}, kAlways},
        {"print to file disabled", {O::poDisablePrintToFile}, kAlways},
        {"print to file, but disabled", {O::poPrintToFile, O::poDisablePrintToFile}, kAlways},
        {"page numbers and selection",
         {O::poPageNums, O::poSelection},
         kAlways | Q::PrintPageRange | Q::PrintSelection},
        {"the printer set-up's own", {O::poPageNums, O::poWarning}, kAlways | Q::PrintPageRange},
        {"all",
         {O::poPrintToFile, O::poPageNums, O::poSelection, O::poWarning, O::poHelp},
         kAlways | Q::PrintToFile | Q::PrintPageRange | Q::PrintSelection},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PrintDialogRequest request;
        request.options = row.options;
        const PrintDialogSetup setup = SetupFor(request);
        EXPECT_EQ(setup.options, row.expected);
        EXPECT_FALSE(setup.options.testFlag(Q::PrintCurrentPage));
    }
}

TEST(PrintDialogMappingTest, RangeOpensOnlyOnAChoiceTheDialogOffers)
{
    struct Row {
        TPrintRange range;
        TPrintDialogOptions options;
        Q::PrintRange expected;
    };
    const Row rows[] = {
        {TPrintRange::prAllPages, {O::poPageNums, O::poSelection}, Q::AllPages},
        {TPrintRange::prSelection, {O::poSelection}, Q::Selection},
        {TPrintRange::prPageNums, {O::poPageNums}, Q::PageRange},
        {TPrintRange::prSelection, {O::poPageNums}, Q::AllPages},
        {TPrintRange::prPageNums, {O::poSelection}, Q::AllPages},
        {TPrintRange::prPageNums, {}, Q::AllPages},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.range));
        PrintDialogRequest request;
        request.options = row.options;
        request.printRange = row.range;
        EXPECT_EQ(SetupFor(request).printRange, row.expected);
    }
}

TEST(PrintDialogMappingTest, PagesCollationAndFile)
{
    using Pair = std::optional<std::pair<int, int>>;
    struct Row {
        const char* name;
        int from, to, min, max;
        Pair minMax;
        Pair fromTo;
    };
    const Row rows[] = {
        {"the report's range", 2, 3, 1, 5, std::pair(1, 5), std::pair(2, 3)},
        {"the set-up's limits before a recording", 0, 0, 0, 9999, std::pair(1, 9999), std::nullopt},
        {"one page", 1, 1, 1, 1, std::pair(1, 1), std::pair(1, 1)},
        {"nothing given", 0, 0, 0, 0, std::nullopt, std::nullopt},
        {"reversed", 4, 2, 6, 3, std::nullopt, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PrintDialogRequest request;
        request.fromPage = row.from;
        request.toPage = row.to;
        request.minPage = row.min;
        request.maxPage = row.max;
        const PrintDialogSetup setup = SetupFor(request);
        EXPECT_EQ(setup.minMax, row.minMax);
        EXPECT_EQ(setup.fromTo, row.fromTo);
    }

    struct FileRow {
        TPrintDialogOptions options;
        bool printToFile;
        int collate;
        bool expectFile;
        bool expectCollate;
    };
    const FileRow fileRows[] = {
        {{O::poPrintToFile}, true, 0, true, false},
        {{O::poPrintToFile}, false, 1, false, true},
        {{}, true, 2, false, true},
        {{O::poPrintToFile, O::poDisablePrintToFile}, true, 0, false, false},
    };
    for (const FileRow& row : fileRows) {
        PrintDialogRequest request;
        request.options = row.options;
        request.printToFile = row.printToFile;
        request.collate = row.collate;
        const PrintDialogSetup setup = SetupFor(request);
        EXPECT_EQ(setup.printToFile, row.expectFile) << row.printToFile << " " << row.collate;
        EXPECT_EQ(setup.checkCollate, row.expectCollate) << row.printToFile << " " << row.collate;
    }
}

PrinterChoice A4Choice()
{
    PrinterChoice choice;
    choice.printerName = "Office";
    choice.pageSize = QPageSize(QPageSize::A4);
    choice.resolution = 600;
    return choice;
}

TEST(PrintDialogMappingTest, DuplexColourOrientationAndRange)
{
    struct DuplexRow {
        QPrinter::DuplexMode mode;
        int code;
        bool duplex;
    };
    const DuplexRow duplexRows[] = {
        {QPrinter::DuplexNone, 1, false},
        {QPrinter::DuplexLongSide, 2, true},
        {QPrinter::DuplexAuto, 2, true},
        {QPrinter::DuplexShortSide, 3, true},
    };
    for (const DuplexRow& row : duplexRows) {
        PrinterChoice choice = A4Choice();
        choice.duplex = row.mode;
        const PrintDialogAnswer answer = AnswerOf(choice);
        EXPECT_EQ(answer.duplexCode, row.code) << row.mode;
        EXPECT_EQ(answer.duplex, row.duplex) << row.mode;
    }

    struct ColourRow {
        QPrinter::ColorMode mode;
        int option;
    };
    for (const ColourRow& row : {ColourRow{QPrinter::GrayScale, 1}, ColourRow{QPrinter::Color, 2}}) {
        PrinterChoice choice = A4Choice();
        choice.colorMode = row.mode;
        EXPECT_EQ(AnswerOf(choice).colorOption, row.option) << row.mode;
    }

    struct OrientationRow {
        QPageLayout::Orientation orientation;
        int code;
    };
    for (const OrientationRow& row :
         {OrientationRow{QPageLayout::Portrait, 1}, OrientationRow{QPageLayout::Landscape, 2}}) {
        PrinterChoice choice = A4Choice();
        choice.orientation = row.orientation;
        EXPECT_EQ(AnswerOf(choice).orientation, row.code) << row.orientation;
    }

    struct RangeRow {
        QPrinter::PrintRange range;
        TPrintRange expected;
    };
    const RangeRow rangeRows[] = {
        {QPrinter::AllPages, TPrintRange::prAllPages},
        {QPrinter::Selection, TPrintRange::prSelection},
        {QPrinter::PageRange, TPrintRange::prPageNums},
        {QPrinter::CurrentPage, TPrintRange::prAllPages},
    };
    for (const RangeRow& row : rangeRows) {
        PrinterChoice choice = A4Choice();
        choice.printRange = row.range;
        EXPECT_EQ(AnswerOf(choice).printRange, row.expected) << row.range;
    }
}

TEST(PrintDialogMappingTest, PaperReadsAsOurCodeWithItsSize)
{
    struct Row {
        const char* name;
        QPageSize size;
        int code;
        long double width;
        long double length;
    };
    const Row rows[] = {
        {"A4", QPageSize(QPageSize::A4), 9, 2100, 2970},
        {"Letter", QPageSize(QPageSize::Letter), 1, 2159, 2794},
        {"A3", QPageSize(QPageSize::A3), 8, 2970, 4200},
        {"a custom size", QPageSize(QSizeF(100, 150), QPageSize::Millimeter, QString(), QPageSize::ExactMatch), 256,
         1000, 1500},
        {"a paper with a printer code beyond our table (A6)", QPageSize(QPageSize::A6), 256, 1050, 1480},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PrinterChoice choice = A4Choice();
        choice.pageSize = row.size;
        const PrintDialogAnswer answer = AnswerOf(choice);
        EXPECT_EQ(answer.paperSize, row.code);
        EXPECT_EQ(answer.paperWidth, row.width);
        EXPECT_EQ(answer.paperLength, row.length);
    }
}

TEST(PrintDialogMappingTest, PrinterFileCopiesAndTheRest)
{
    PrinterChoice choice = A4Choice();
    choice.printRange = QPrinter::PageRange;
    choice.fromPage = 2;
    choice.toPage = 7;
    choice.copies = 3;
    choice.collate = true;
    choice.resolution = 1200;
    choice.declaredFields = 0x8903;
    PrintDialogAnswer answer = AnswerOf(choice);
    EXPECT_EQ(answer.printerName, "Office");
    EXPECT_FALSE(answer.printToFile);
    EXPECT_TRUE(answer.outputFileName.isEmpty());
    EXPECT_EQ(answer.printRange, TPrintRange::prPageNums);
    EXPECT_EQ(answer.fromPage, 2);
    EXPECT_EQ(answer.toPage, 7);
    EXPECT_EQ(answer.copies, 3);
    EXPECT_EQ(answer.collate, 1);
    EXPECT_EQ(answer.printQuality, 1200);
    EXPECT_EQ(answer.devModeFields, 0x8903u);

    choice.collate = false;
    choice.printerName.clear();
    choice.outputFileName = "/home/kierowca/wydruk.pdf";
    answer = AnswerOf(choice);
    EXPECT_EQ(answer.collate, 0);
    EXPECT_TRUE(answer.printToFile);
    EXPECT_EQ(answer.outputFileName, "/home/kierowca/wydruk.pdf");
    EXPECT_TRUE(answer.printerName.isEmpty());
}

}  // namespace
}  // namespace report::output
