#include "report/output/printer/printer_settings.h"

#include "tests/support/fake_printer_service.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

namespace report::output {

using namespace testsupport;
namespace {

using testsupport::FakePrinter;
using testsupport::FakePrinterService;

class PrinterSettingsTest : public ::testing::Test {
protected:
    // Adds `printer` as "Office" and attaches the settings to a printer object that selects it.
    void Attach(FakePrinter printer)
    {
        service_.Add("Office", std::move(printer));
        settings_.SetPrinter(&printer_);
    }
    // What the settings send when applied.
    DevMode Applied()
    {
        settings_.ApplyPrinterSettings();
        return *printer_.GetDevMode();
    }

    FakePrinterService service_;
    SystemPrinter printer_{service_};
    TPrinterSettings settings_;
};

TEST_F(PrinterSettingsTest, FreshSettingsHoldTheStartingValues)
{
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::A4);
    EXPECT_EQ(settings_.MemoryLimit(), 250000);
    EXPECT_EQ(settings_.ReadForIndex(), -1);
    EXPECT_EQ(settings_.Printer(), nullptr);

    const TRpPrinterSettings persistent;
    EXPECT_EQ(persistent.Copies, 1);
    EXPECT_EQ(persistent.OutputBin, TRpBin::Auto);
    EXPECT_EQ(persistent.PrinterIndex, -1);
    EXPECT_EQ(persistent.MemoryLimit, 250000);
    EXPECT_EQ(persistent.PrintQuality, 0);
    EXPECT_EQ(persistent.FirstPage, 0);
    EXPECT_FALSE(persistent.PrintMetaFile);
}

TEST_F(PrinterSettingsTest, ReadsTheDeclaredFields)
{
    FakePrinter printer = FakePrinterService::A4Printer();
    printer.dpiX = 600;
    printer.dpiY = 300;
    printer.offsetX = 50;  // 21.17 tenths
    printer.offsetY = 25;  // 21.17 tenths
    printer.devMode.fields |= kDmDefaultSource | kDmDuplex | kDmColor;
    printer.devMode.copies = 3;
    printer.devMode.defaultSource = 14;
    printer.devMode.duplex = 2;
    printer.devMode.color = 2;
    printer.devMode.collate = 1;
    printer.devMode.printQuality = 600;
    Attach(printer);

    EXPECT_EQ(settings_.ReadForIndex(), 0);
    EXPECT_EQ(settings_.DeviceName(), "Office");
    EXPECT_EQ(settings_.DpiX(), 600);
    EXPECT_EQ(settings_.DpiY(), 300);
    EXPECT_EQ(settings_.OffsetX(), 21);
    EXPECT_EQ(settings_.OffsetY(), 21);
    EXPECT_EQ(settings_.Copies(), 3);
    EXPECT_EQ(settings_.OutputBin(), TRpBin::Cassette);
    EXPECT_TRUE(settings_.Duplex());
    EXPECT_EQ(settings_.ExtendedDuplex(), 2);
    EXPECT_EQ(settings_.ColorOption(), 2);
    EXPECT_EQ(settings_.Collate(), 1);
    EXPECT_EQ(settings_.PrintQuality(), 600);
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::A4);
    EXPECT_EQ(settings_.GetPaperLength(), 2970);
}

TEST_F(PrinterSettingsTest, ReadingFallsBackWhereTheRecordIsSilent)
{
    struct Row {
        const char* name;
        std::uint32_t extraFields;
        int defaultSource;
        int paperSize;
        TRpBin bin;
        TRpPaperSize paper;
    };
    const Row rows[] = {
        {"bin 14 is the first of its code", kDmDefaultSource, 14, 9, TRpBin::Cassette, TRpPaperSize::A4},
        {"bin 15 is no bin", kDmDefaultSource, 15, 9, TRpBin::First, TRpPaperSize::A4},
        {"bin undeclared", 0, 4, 9, TRpBin::First, TRpPaperSize::A4},
        {"paper 256", kDmDefaultSource, 7, 256, TRpBin::Auto, TRpPaperSize::Custom},
        {"paper 300 is no paper", 0, 0, 300, TRpBin::First, TRpPaperSize::Default},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakePrinterService service;
        FakePrinter fake = FakePrinterService::A4Printer();
        fake.devMode.fields |= row.extraFields;
        fake.devMode.defaultSource = row.defaultSource;
        fake.devMode.paperSize = row.paperSize;
        fake.devMode.paperWidth = 1000;
        fake.devMode.paperLength = 1500;
        service.Add("P", fake);
        SystemPrinter printer(service);
        TPrinterSettings settings;
        settings.SetPrinter(&printer);
        EXPECT_EQ(settings.OutputBin(), row.bin);
        EXPECT_EQ(settings.PaperSize(), row.paper);
    }
}

TEST_F(PrinterSettingsTest, UndeclaredCopiesAndDuplexAreNeitherReadNorSent)
{
    FakePrinter printer = FakePrinterService::A4Printer();
    printer.devMode.fields &= ~kDmCopies;
    printer.devMode.copies = 7;
    printer.devMode.duplex = 3;
    Attach(printer);
    EXPECT_EQ(settings_.Copies(), 1);
    EXPECT_FALSE(settings_.Duplex());
    EXPECT_EQ(settings_.ExtendedDuplex(), 0);

    settings_.SetCopies(4);
    settings_.SetDuplex(true);
    EXPECT_EQ(settings_.Copies(), 1);
    EXPECT_FALSE(settings_.Duplex());
    settings_.SetExtendedDuplex(2);
    const DevMode sent = Applied();
    EXPECT_FALSE(sent.fields & kDmDuplex);
    EXPECT_EQ(sent.duplex, 3);  // the driver's value, untouched
    EXPECT_TRUE(sent.fields & kDmCopies);
    EXPECT_EQ(sent.copies, 1);
}

TEST_F(PrinterSettingsTest, AppliesTheWantedValues)
{
    struct Row {
        const char* name;
        bool duplex;
        int extendedDuplex;
        TRpBin bin;
        bool useCustomBin;
        int orientation;
        int sentDuplex;
        int sentBin;
        int sentOrientation;
    };
    const Row rows[] = {
        {"duplex on sends short edge", true, 0, TRpBin::Upper, false, 0, 3, 1, 1},
        {"duplex off sends one-sided", false, 0, TRpBin::Auto, false, 1, 1, 7, 2},
        {"extended duplex wins", true, 2, TRpBin::Last, false, 0, 2, 14, 1},
        {"custom bin code wins", false, 0, TRpBin::Last, true, 0, 1, 260, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakePrinterService service;
        FakePrinter fake = FakePrinterService::A4Printer();
        fake.devMode.fields |= kDmDuplex | kDmDefaultSource | kDmColor;
        fake.devMode.duplex = 1;
        service.Add("P", fake);
        SystemPrinter printer(service);
        TPrinterSettings settings;
        settings.SetPrinter(&printer);
        settings.SetDuplex(row.duplex);
        settings.SetExtendedDuplex(row.extendedDuplex);
        settings.SetOutputBin(row.bin);
        settings.SetUseCustomBinCode(row.useCustomBin);
        settings.SetCustomBinCode(260);
        settings.SetOrientation(row.orientation);
        settings.SetCopies(2);
        settings.SetCollate(1);
        settings.SetColorOption(1);
        settings.ApplyPrinterSettings();
        const DevMode sent = *printer.GetDevMode();
        EXPECT_EQ(sent.duplex, row.sentDuplex);
        EXPECT_EQ(sent.defaultSource, row.sentBin);
        EXPECT_EQ(sent.orientation, row.sentOrientation);
        EXPECT_EQ(sent.copies, 2);
        EXPECT_EQ(sent.collate, 1);
        EXPECT_EQ(sent.color, 1);
        EXPECT_EQ(sent.paperSize, 9);
        EXPECT_EQ(sent.paperWidth, 2100);
        EXPECT_EQ(sent.paperLength, 2970);
        const std::uint32_t declared =
            kDmPaperWidth | kDmPaperLength | kDmCopies | kDmDefaultSource | kDmOrientation | kDmDuplex | kDmPaperSize;
        EXPECT_EQ(sent.fields & declared, declared);
    }
}

TEST_F(PrinterSettingsTest, CollateAndColourAreSentOnlyWhereDeclared)
{
    FakePrinter printer = FakePrinterService::A4Printer();
    printer.devMode.fields &= ~kDmCollate;
    printer.devMode.collate = 0;
    printer.devMode.color = 2;
    Attach(printer);
    settings_.SetCollate(1);
    settings_.SetColorOption(1);
    const DevMode sent = Applied();
    EXPECT_EQ(sent.collate, 0);
    EXPECT_EQ(sent.color, 2);
    EXPECT_FALSE(sent.fields & (kDmCollate | kDmColor));
}

TEST_F(PrinterSettingsTest, PapersFollowTheListedCodes)
{
    Attach(FakePrinterService::A4Printer());  // lists 9 and 1
    for (int ordinal = 0; ordinal < kPaperSizeCount; ++ordinal) {
        const TRpPaperSize size = *PaperSizeFromOrdinal(ordinal);
        const bool listed = size == TRpPaperSize::A4 || size == TRpPaperSize::Letter || size == TRpPaperSize::Custom;
        EXPECT_EQ(settings_.PaperSupported(size), listed) << ordinal;
    }
    settings_.SetPaperSize(TRpPaperSize::A5);
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::A4);
    settings_.SetPaperSize(TRpPaperSize::Letter);
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::Letter);
    EXPECT_EQ(settings_.GetPaperWidth(), 2159);
    settings_.SetPaperSize(TRpPaperSize::Custom);
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::Custom);
    settings_.SetPaperSize(TRpPaperSize::Default);
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::Default);
}

TEST_F(PrinterSettingsTest, PaperSizesSentAndMeasured)
{
    FakePrinter printer = FakePrinterService::A4Printer();
    printer.dpiX = printer.dpiY = 254;  // one pixel a tenth of a millimetre
    Attach(printer);

    EXPECT_EQ(settings_.GetPaperLength(), 2970);
    settings_.SetPaperSize(TRpPaperSize::Default);
    EXPECT_EQ(settings_.GetPaperWidth(), 2100);  // the printer's page, read at 254 dpi
    EXPECT_EQ(settings_.GetPaperLength(), 2970);
    DevMode sent = Applied();
    EXPECT_EQ(sent.paperSize, 9);  // Default sends no paper of its own

    settings_.SetPaperSize(TRpPaperSize::Custom);
    settings_.SetPaperWidth(1000);
    settings_.SetPaperLength(1500);
    EXPECT_EQ(settings_.GetPaperWidth(), 1000);
    sent = Applied();
    EXPECT_EQ(sent.paperSize, 256);
    EXPECT_EQ(sent.paperWidth, 1000);
    EXPECT_EQ(sent.paperLength, 1500);

    settings_.SetPaperSize(TRpPaperSize::Letter);
    settings_.SetUseCustomPaperCode(true);
    settings_.SetCustomPaperCode(120);
    sent = Applied();
    EXPECT_EQ(sent.paperSize, 120);
    EXPECT_EQ(sent.paperWidth, 2159);
}

TEST_F(PrinterSettingsTest, ReadsOncePerPrinter)
{
    Attach(FakePrinterService::A4Printer());
    FakePrinter second = FakePrinterService::A4Printer();
    second.dpiX = second.dpiY = 300;
    service_.Add("Plotter", second);
    printer_.Refresh();
    ASSERT_EQ(printer_.Index(), 0);  // "Office" sorts first

    settings_.SetPaperSize(TRpPaperSize::Letter);
    const int calls = service_.capabilityCalls + service_.paperCodeCalls;
    settings_.ReadPrinterSettings();
    EXPECT_EQ(service_.capabilityCalls + service_.paperCodeCalls, calls);
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::Letter);

    printer_.SetIndex(1);
    settings_.ReadPrinterSettings();
    EXPECT_GT(service_.capabilityCalls + service_.paperCodeCalls, calls);
    EXPECT_EQ(settings_.ReadForIndex(), 1);
    EXPECT_EQ(settings_.DeviceName(), "Plotter");
    EXPECT_EQ(settings_.DpiX(), 300);
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::A4);

    // A printer that sorts first moves "Plotter" on; the one now at its place is read anew.
    FakePrinter first = FakePrinterService::A4Printer();
    first.dpiX = first.dpiY = 150;
    service_.Add("Archive", first);
    printer_.Refresh();
    printer_.SetIndex(1);
    ASSERT_EQ(printer_.Name(), "Office");
    settings_.ReadPrinterSettings();
    EXPECT_EQ(settings_.DeviceName(), "Office");
    EXPECT_EQ(settings_.DpiX(), 60);
}

TEST_F(PrinterSettingsTest, HooksSeeTheRecordAndMayStopIt)
{
    int gets = 0;
    settings_.SetOnGetSettings([&](TPrinterSettings& sender, bool& cancel, DevMode& devMode) {
        EXPECT_EQ(&sender, &settings_);
        ++gets;
        devMode.copies = 9;  // read from the changed record
        cancel = false;
    });
    Attach(FakePrinterService::A4Printer());
    EXPECT_EQ(gets, 1);
    EXPECT_EQ(settings_.Copies(), 9);

    bool cancelApply = true;
    settings_.SetOnApplySettings([&](TPrinterSettings&, bool& cancel, DevMode& devMode) {
        devMode.copies = 5;
        cancel = cancelApply;
    });
    settings_.ApplyPrinterSettings();
    EXPECT_EQ(printer_.GetDevMode()->copies, 1);
    cancelApply = false;
    settings_.ApplyPrinterSettings();
    EXPECT_EQ(printer_.GetDevMode()->copies, 5);
}

TEST_F(PrinterSettingsTest, ACancelledReadReadsNothing)
{
    settings_.SetOnGetSettings([](TPrinterSettings&, bool& cancel, DevMode&) { cancel = true; });
    FakePrinter printer = FakePrinterService::A4Printer();
    printer.devMode.copies = 4;
    Attach(printer);
    EXPECT_EQ(settings_.ReadForIndex(), -1);
    EXPECT_EQ(settings_.Copies(), 0);
    EXPECT_EQ(service_.capabilityCalls, 0);
}

TEST_F(PrinterSettingsTest, WithoutAPrinterEveryPaperAndOrientationIsTaken)
{
    settings_.SetPrinter(&printer_);  // the service lists no printer
    EXPECT_FALSE(settings_.HasDevice());
    settings_.ApplyPrinterSettings();  // nothing to write into

    settings_.SetOrientation(1);
    EXPECT_EQ(settings_.Orientation(), 1);
    settings_.SetPaperSize(TRpPaperSize::A5);
    EXPECT_EQ(settings_.PaperSize(), TRpPaperSize::A5);
    EXPECT_EQ(settings_.GetPaperWidth(), 1480);
    settings_.SetPaperSize(TRpPaperSize::Default);
    EXPECT_EQ(settings_.GetPaperWidth(), 2100);
    EXPECT_EQ(settings_.GetPaperLength(), 2970);
    EXPECT_EQ(DefaultPrinterPaperSize(printer_), TRpPaperSize::Default);

    TPrinterSettings detached;
    detached.SetPaperSize(TRpPaperSize::Legal);
    EXPECT_EQ(detached.PaperSize(), TRpPaperSize::Legal);
}

TEST_F(PrinterSettingsTest, OrientationNeedsTheFieldWhenAPrinterIsThere)
{
    FakePrinter printer = FakePrinterService::A4Printer();
    printer.devMode.fields &= ~kDmOrientation;
    Attach(printer);
    settings_.SetOrientation(1);
    EXPECT_EQ(settings_.Orientation(), 0);
}

TEST_F(PrinterSettingsTest, DefaultPrinterPaperSizeTakesTheDefaultPrintersPaper)
{
    struct Row {
        const char* name;
        bool declared;
        int code;
        TRpPaperSize expected;
    };
    const Row rows[] = {
        {"Letter", true, 1, TRpPaperSize::Letter},
        {"custom", true, 256, TRpPaperSize::Custom},
        {"unknown code", true, 120, TRpPaperSize::Default},
        {"undeclared", false, 11, TRpPaperSize::Default},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakePrinterService service;
        FakePrinter fake = FakePrinterService::A4Printer();
        service.Add("A", FakePrinterService::A4Printer());
        if (!row.declared)
            fake.devMode.fields &= ~kDmPaperSize;
        fake.devMode.paperSize = row.code;
        service.Add("B", fake);
        service.SetDefault("B");
        SystemPrinter printer(service);
        EXPECT_EQ(DefaultPrinterPaperSize(printer), row.expected);
    }
}

TEST_F(PrinterSettingsTest, ResettingGoesBackToTheDriversSettings)
{
    Attach(FakePrinterService::A4Printer());
    settings_.SetCopies(3);
    settings_.ApplyPrinterSettings();
    EXPECT_EQ(printer_.GetDevMode()->copies, 3);
    ResetPrinterDevMode(printer_);
    EXPECT_EQ(printer_.GetDevMode()->copies, 1);
}

TEST(SystemPrinterTest, KeepsItsPrinterByName)
{
    FakePrinterService service;
    service.Add("B", FakePrinterService::A4Printer());
    service.Add("C", FakePrinterService::A4Printer());
    service.SetDefault("C");
    SystemPrinter printer(service);
    EXPECT_EQ(printer.Index(), 1);
    EXPECT_EQ(printer.Name(), "C");

    service.Add("A", FakePrinterService::A4Printer());
    printer.Refresh();
    EXPECT_EQ(printer.Index(), 2);
    EXPECT_EQ(printer.Name(), "C");

    service.Remove("C");
    service.SetDefault("");
    printer.Refresh();
    EXPECT_EQ(printer.Name(), "A");
    EXPECT_THROW(printer.SetIndex(2), ERpError);
    EXPECT_THROW(printer.SetIndex(-2), ERpError);
    printer.SetIndex(1);
    EXPECT_EQ(printer.Name(), "B");

    FakePrinterService empty;
    SystemPrinter none(empty);
    EXPECT_EQ(none.Index(), -1);
    EXPECT_FALSE(none.GetDevMode());
    EXPECT_THROW(none.SetIndex(-1), ERpError);
    EXPECT_THROW(none.BeginDoc(), ERpError);
}

TEST(SystemPrinterTest, PrintsDocumentsPageByPage)
{
    FakePrinterService service;
    service.Add("P", FakePrinterService::A4Printer());
    SystemPrinter printer(service);
    printer.SetTitle("Lista");
    EXPECT_THROW(printer.NewPage(), ERpError);
    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    EXPECT_EQ(printer.JobCaps().physicalWidth, 496);  // A4 at 60 dpi
    EXPECT_THROW(printer.BeginDoc(), ERpError);
    printer.NewPage();
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(printer.Painter(), nullptr);
    ASSERT_EQ(service.jobs.size(), 1u);
    EXPECT_EQ(service.jobs[0]->title, "Lista");
    EXPECT_EQ(service.jobs[0]->pages.size(), 2u);
    EXPECT_TRUE(service.jobs[0]->finished);

    printer.BeginDoc();
    printer.Abort();
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(service.jobs[1]->aborted);
}

// Every choice the report keeps reaches the settings in one call, and comes back as it went;
// the declared-only ones stay the printer's where it does not declare them.
TEST_F(PrinterSettingsTest, ApplyTakesTheChoicesWholeAndChosenGivesThemBack)
{
    TRpPrinterSettings wanted;
    wanted.Copies = 3;
    wanted.OutputBin = TRpBin::Lower;
    wanted.Duplex = true;
    wanted.UseStandardprinter = true;
    wanted.PrintMetaFile = true;
    wanted.UseCustomBinCode = true;
    wanted.CustomBinCode = 261;
    wanted.UseCustomPaperCode = true;
    wanted.CustomPaperCode = 300;
    wanted.PrintQuality = 600;
    wanted.Collate = 1;
    wanted.ColorOption = 2;
    wanted.ExtendedDuplex = 2;
    wanted.MemoryLimit = 1000;
    for (const bool declared : {true, false}) {
        SCOPED_TRACE(declared ? "declared" : "not declared");
        FakePrinterService service;
        FakePrinter fake = FakePrinterService::A4Printer();
        if (declared)
            fake.devMode.fields |= kDmDuplex | kDmDefaultSource;
        else
            fake.devMode.fields &= ~kDmCopies;
        service.Add("P", fake);
        SystemPrinter printer(service);
        TPrinterSettings settings;
        settings.SetPrinter(&printer);
        const TRpPrinterSettings before = settings.Chosen();
        settings.Apply(wanted);
        const TRpPrinterSettings got = settings.Chosen();
        EXPECT_EQ(got.Copies, declared ? 3 : before.Copies);
        EXPECT_EQ(got.OutputBin, declared ? TRpBin::Lower : before.OutputBin);
        EXPECT_EQ(got.Duplex, declared);
        EXPECT_TRUE(got.UseStandardprinter);
        EXPECT_TRUE(got.PrintMetaFile);
        EXPECT_TRUE(got.UseCustomBinCode);
        EXPECT_EQ(got.CustomBinCode, 261);
        EXPECT_TRUE(got.UseCustomPaperCode);
        EXPECT_EQ(got.CustomPaperCode, 300);
        EXPECT_EQ(got.PrintQuality, 600);
        EXPECT_EQ(got.Collate, 1);
        EXPECT_EQ(got.ColorOption, 2);
        EXPECT_EQ(got.ExtendedDuplex, 2);
        // The memory limit stays the printer object's own.
        EXPECT_EQ(got.MemoryLimit, 250000);
    }
}

// A set-up's bin from the raw codes on is the printer's own code; below them one of the report's
// bins, a negative one the first. The answer's other choices are taken; the rest stays.
TEST(PrinterSetupTest, TakesTheAnswerAndSplitsTheBinAtTheRawCodes)
{
    struct Row {
        int chosenBin;
        bool useCustomBin;
        int customBin;
        TRpBin bin;
    };
    const Row rows[] = {
        {kFirstRawBin, true, kFirstRawBin, TRpBin::Cassette},
        {260, true, 260, TRpBin::Cassette},
        {kFirstRawBin - 1, false, 5, TRpBin::Cassette},
        {2, false, 5, TRpBin::Lower},
        {-4, false, 5, TRpBin::First},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.chosenBin);
        TRpPrinterSettings settings;
        settings.OutputBin = TRpBin::Cassette;
        settings.CustomBinCode = 5;
        settings.PrinterIndex = 4;
        settings.PrintMetaFile = true;
        settings.CustomPaperCode = 9;
        TRpPrinterSettings chosen;
        chosen.CustomBinCode = row.chosenBin;
        chosen.Collate = 1;
        chosen.ColorOption = 2;
        chosen.PrintQuality = 300;
        chosen.Copies = 5;
        chosen.Duplex = true;
        chosen.ExtendedDuplex = 3;
        chosen.FirstPage = 2;
        chosen.LastPage = 7;
        chosen.PrinterIndex = 1;
        chosen.CustomPaperCode = 70;
        TakePrinterSetup(settings, chosen);
        EXPECT_EQ(settings.UseCustomBinCode, row.useCustomBin);
        EXPECT_EQ(settings.CustomBinCode, row.customBin);
        EXPECT_EQ(settings.OutputBin, row.bin);
        EXPECT_EQ(settings.Collate, 1);
        EXPECT_EQ(settings.ColorOption, 2);
        EXPECT_EQ(settings.PrintQuality, 300);
        EXPECT_EQ(settings.Copies, 5);
        EXPECT_TRUE(settings.Duplex);
        EXPECT_EQ(settings.ExtendedDuplex, 3);
        EXPECT_EQ(settings.FirstPage, 2);
        EXPECT_EQ(settings.LastPage, 7);
        EXPECT_EQ(settings.PrinterIndex, 4);
        EXPECT_TRUE(settings.PrintMetaFile);
        EXPECT_EQ(settings.CustomPaperCode, 9);
    }
}

}  // namespace
}  // namespace report::output
