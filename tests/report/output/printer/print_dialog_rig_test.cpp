// The printer dialog against the printing rig: the system's print dialog lists the rig's queues
// and is driven as a user would.
#include "report/output/printer/print_dialog.h"
#include "report/output/printer/printer_service.h"
#include "report/output/printer/rp_printer.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/print_rig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace report::output {

using namespace testsupport;
namespace {

using testsupport::OnModalDialog;
using testsupport::PrintRig;
using O = TPrintDialogOption;

const QString kPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd";

bool Lpadmin(const QStringList& arguments)
{
    QProcess process;
    process.start("timeout", QStringList{"60", "lpadmin"} + arguments);
    return process.waitForFinished(70000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A second queue on the rig, printing like the first, for as long as the object lives.
class ExtraQueue {
public:
    ExtraQueue(const QString& name, const QString& like) : name_(name)
    {
        added_ = Lpadmin({"-p", name, "-v", "cups-pdf:/" + like, "-P", kPdfPpd, "-E"});
    }
    ~ExtraQueue()
    {
        if (added_)
            static_cast<void>(Lpadmin({"-x", name_}));
    }
    ExtraQueue(const ExtraQueue&) = delete;
    ExtraQueue& operator=(const ExtraQueue&) = delete;
    [[nodiscard]] bool Added() const { return added_; }

private:
    QString name_;
    bool added_ = false;
};

template <typename T>
T* Child(QDialog& dialog, const char* name)
{
    T* found = dialog.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void Confirm(QDialog& dialog)
{
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    buttons->button(QDialogButtonBox::Ok)->click();
}

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

// The dialog's entry for printing to a file: an entry that names no queue.
bool OffersAFile(const QComboBox& box)
{
    const QStringList queues = QPrinterInfo::availablePrinterNames();
    for (const QString& item : Items(box)) {
        if (!item.isEmpty() && !queues.contains(item))
            return true;
    }
    return false;
}

class PrintDialogRigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!rig_.Ready())
            GTEST_FAIL() << "the printing rig is not up (KARTOVAN_PRINT_RIG_DIR)";
        SelectShared(rig_.Queue());
    }
    void TearDown() override { SelectShared(rig_.Queue()); }

    static void SelectShared(const QString& name)
    {
        SystemPrinter& shared = SharedPrinter();
        shared.Refresh();
        const qsizetype index = shared.Printers().indexOf(name);
        ASSERT_GE(index, 0) << name.toStdString();
        shared.SetIndex(static_cast<int>(index));
    }

    PrintRig rig_;
};

TEST_F(PrintDialogRigTest, OpensOnTheReportsRangeAndAnswersWhatWasChosen)
{
    struct Row {
        const char* name;
        bool pickAllPages;
        TPrintRange range;
        int from;
        int to;
    };
    const Row rows[] = {
        {"the range as offered", false, TPrintRange::prPageNums, 2, 3},
        {"all pages picked", true, TPrintRange::prAllPages, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TRpPrintDialog dialog;
        dialog.SetOptions({O::poPageNums, O::poWarning});
        dialog.SetPrintRange(TPrintRange::prPageNums);
        dialog.SetFromPage(2);
        dialog.SetToPage(3);
        dialog.SetMinPage(1);
        dialog.SetMaxPage(5);
        OnModalDialog([&](QDialog& shown) {
            EXPECT_TRUE(Items(*Child<QComboBox>(shown, "printers")).contains(rig_.Queue()));
            EXPECT_TRUE(Child<QAbstractButton>(shown, "printRange")->isChecked());
            auto* from = Child<QSpinBox>(shown, "from");
            auto* to = Child<QSpinBox>(shown, "to");
            EXPECT_EQ(from->value(), 2);
            EXPECT_EQ(to->value(), 3);
            EXPECT_EQ(from->minimum(), 1);
            EXPECT_EQ(to->maximum(), 5);
            if (row.pickAllPages)
                Child<QAbstractButton>(shown, "printAll")->click();
            Confirm(shown);
        });
        ASSERT_TRUE(dialog.Execute());
        EXPECT_EQ(dialog.PrintRange(), row.range);
        EXPECT_EQ(dialog.FromPage(), row.from);
        EXPECT_EQ(dialog.ToPage(), row.to);
    }
}

TEST_F(PrintDialogRigTest, OffersPrintingToAFileOnlyWithItsOption)
{
    struct Row {
        const char* name;
        TPrintDialogOptions options;
        bool offered;
    };
    const Row rows[] = {
        {"without poPrintToFile", {O::poPageNums}, false},
        {"with poPrintToFile", {O::poPageNums, O::poPrintToFile}, true},
        {"with poPrintToFile and poDisablePrintToFile", {O::poPrintToFile, O::poDisablePrintToFile}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TRpPrintDialog dialog;
        dialog.SetOptions(row.options);
        OnModalDialog([&](QDialog& shown) {
            EXPECT_EQ(OffersAFile(*Child<QComboBox>(shown, "printers")), row.offered);
            EXPECT_EQ(!Child<QLineEdit>(shown, "filename")->isHidden(), row.offered);
            shown.reject();
        });
        EXPECT_FALSE(dialog.Execute());
    }
}

TEST_F(PrintDialogRigTest, HandsTheChosenQueueWholeToTheSharedPrinter)
{
    // CUPS takes queue names of up to 127 characters.
    const QString longName = "kartovan-" + QString(91, QChar('q'));
    ASSERT_EQ(longName.size(), 100);
    const ExtraQueue extra(longName, rig_.Queue());
    ASSERT_TRUE(extra.Added());
    struct Row {
        QString start;
        QString pick;
    };
    const Row rows[] = {{rig_.Queue(), longName}, {longName, rig_.Queue()}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pick.toStdString());
        SelectShared(row.start);
        TRpPrintDialog dialog;
        dialog.SetOptions({O::poPageNums, O::poWarning});
        OnModalDialog([&](QDialog& shown) {
            auto* printers = Child<QComboBox>(shown, "printers");
            EXPECT_EQ(printers->currentText(), row.start);
            const int index = printers->findText(row.pick);
            ASSERT_GE(index, 0);
            printers->setCurrentIndex(index);
            Confirm(shown);
        });
        ASSERT_TRUE(dialog.Execute());
        EXPECT_EQ(SharedPrinter().Name(), row.pick);
        EXPECT_FALSE(dialog.PrintToFile());
        EXPECT_TRUE(SharedPrinter().OutputFileName().isEmpty());
    }
}

TEST_F(PrintDialogRigTest, ReadsBackCopiesColourAndPaper)
{
    TRpPrintDialog dialog;
    dialog.SetOptions({O::poPageNums});
    dialog.SetCopies(2);
    OnModalDialog([&](QDialog& shown) {
        auto* copies = Child<QSpinBox>(shown, "copies");
        EXPECT_EQ(copies->value(), 2);
        copies->setValue(3);
        Child<QAbstractButton>(shown, "collate")->setChecked(false);
        Confirm(shown);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Copies(), 3);
    EXPECT_EQ(dialog.Collate(), 0);
    EXPECT_EQ(dialog.ColorOption(), 2);  // cups-pdf prints in colour
    EXPECT_EQ(dialog.PaperSize(), 9);
    EXPECT_EQ(dialog.Paperwidth(), 2100);
    EXPECT_EQ(dialog.Paperlength(), 2970);
    EXPECT_EQ(dialog.Orientation(), 1);
    EXPECT_EQ(dialog.DuplexCode(), 1);
    EXPECT_FALSE(dialog.Duplex());
    EXPECT_GT(dialog.PrintQuality(), 0);
    const std::uint32_t declared = kDmOrientation | kDmPaperSize | kDmCopies | kDmCollate;
    EXPECT_EQ(dialog.DevModeFields() & declared, declared);
    const std::optional<DevMode> devMode = SharedPrinter().GetDevMode();
    ASSERT_TRUE(devMode);
    EXPECT_EQ(devMode->copies, 3);
    EXPECT_EQ(devMode->collate, 0);
    EXPECT_EQ(devMode->paperSize, 9);
}

TEST_F(PrintDialogRigTest, CancellingChangesNothing)
{
    const ExtraQueue extra("kartovan-other", rig_.Queue());
    ASSERT_TRUE(extra.Added());
    SharedPrinter().SetOutputFileName("/tmp/kartovan-earlier.pdf");
    const std::optional<DevMode> before = SharedPrinter().GetDevMode();
    ASSERT_TRUE(before);

    TRpPrintDialog dialog;
    dialog.SetOptions({O::poPageNums, O::poPrintToFile});
    dialog.SetPrintRange(TPrintRange::prPageNums);
    dialog.SetFromPage(2);
    dialog.SetToPage(4);
    dialog.SetMinPage(1);
    dialog.SetMaxPage(9);
    dialog.SetCopies(2);
    dialog.SetCollate(1);
    dialog.SetPrintQuality(300);
    dialog.SetColorOption(2);
    dialog.SetOutputBin(7);
    dialog.SetPaperSize(8);
    dialog.SetPaperwidth(2970);
    dialog.SetPaperlength(4200);
    dialog.SetOrientation(2);
    dialog.SetDuplexCode(3);
    dialog.SetDuplex(true);
    OnModalDialog([&](QDialog& shown) {
        auto* printers = Child<QComboBox>(shown, "printers");
        printers->setCurrentIndex(printers->findText("kartovan-other"));
        Child<QSpinBox>(shown, "copies")->setValue(5);
        Child<QAbstractButton>(shown, "printAll")->click();
        Child<QAbstractButton>(shown, "grayscale")->click();
        shown.reject();
    });
    EXPECT_FALSE(dialog.Execute());

    EXPECT_EQ(SharedPrinter().Name(), rig_.Queue());
    EXPECT_EQ(SharedPrinter().OutputFileName(), "/tmp/kartovan-earlier.pdf");
    const std::optional<DevMode> after = SharedPrinter().GetDevMode();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->copies, 2);
    EXPECT_EQ(after->color, before->color);
    EXPECT_EQ(after->paperSize, before->paperSize);
    EXPECT_EQ(dialog.PrintRange(), TPrintRange::prPageNums);
    EXPECT_EQ(dialog.FromPage(), 2);
    EXPECT_EQ(dialog.ToPage(), 4);
    EXPECT_EQ(dialog.MinPage(), 1);
    EXPECT_EQ(dialog.MaxPage(), 9);
    EXPECT_EQ(dialog.Copies(), 2);
    EXPECT_EQ(dialog.Collate(), 1);
    EXPECT_EQ(dialog.PrintQuality(), 300);
    EXPECT_EQ(dialog.ColorOption(), 2);
    EXPECT_EQ(dialog.OutputBin(), 7);
    EXPECT_EQ(dialog.PaperSize(), 8);
    EXPECT_EQ(dialog.Paperwidth(), 2970);
    EXPECT_EQ(dialog.Paperlength(), 4200);
    EXPECT_EQ(dialog.Orientation(), 2);
    EXPECT_EQ(dialog.DuplexCode(), 3);
    EXPECT_TRUE(dialog.Duplex());
    EXPECT_FALSE(dialog.PrintToFile());
    EXPECT_EQ(dialog.DevModeFields(), 0u);
}

TEST_F(PrintDialogRigTest, IsPlacedAThirdDownAndTellsWhenItShowsAndCloses)
{
    TRpPrintDialog dialog;
    int shows = 0;
    int closes = 0;
    dialog.SetOnShow([&](TRpCommonDialog& sender) {
        EXPECT_EQ(&sender, &dialog);
        ++shows;
    });
    dialog.SetOnClose([&](TRpCommonDialog&) { ++closes; });
    OnModalDialog([&](QDialog& shown) {
        const QRect screen = shown.screen()->geometry();
        const QRect frame = shown.frameGeometry();
        const QPoint expected(screen.left() + (screen.width() - frame.width()) / 2,
                              screen.top() + (screen.height() - frame.height()) / 3);
        EXPECT_EQ(frame.topLeft(), expected);
        EXPECT_EQ(shows, 1);
        EXPECT_EQ(closes, 0);
        shown.reject();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(closes, 1);
}

TEST_F(PrintDialogRigTest, AFileChosenInTheDialogTakesTheNextPrint)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath("wydruk.pdf");
    TRpPrintDialog dialog;
    dialog.SetOptions({O::poPageNums, O::poPrintToFile});
    OnModalDialog([&](QDialog& shown) {
        auto* printers = Child<QComboBox>(shown, "printers");
        printers->setCurrentIndex(printers->count() - 1);  // the file, after the queues
        Child<QLineEdit>(shown, "filename")->setText(file);
        Confirm(shown);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(dialog.PrintToFile());
    EXPECT_EQ(SharedPrinter().Name(), rig_.Queue());
    EXPECT_EQ(SharedPrinter().OutputFileName(), file);

    TRpPrinter printer;
    printer.SetDestination(TRpPrinterDestination::rpdPrinter);
    printer.BeginDoc();
    printer.NewPage();
    printer.NewPage();
    printer.EndDoc();
    const std::optional<testsupport::PdfInfo> info = testsupport::ReadPdfInfo(file);
    ASSERT_TRUE(info) << file.toStdString();
    EXPECT_EQ(info->pages, 2);

    // Asked to print to a file again, the dialog opens on that file.
    TRpPrintDialog again;
    again.SetOptions({O::poPrintToFile});
    again.SetPrintToFile(true);
    OnModalDialog([&](QDialog& shown) {
        auto* printers = Child<QComboBox>(shown, "printers");
        EXPECT_EQ(printers->currentIndex(), printers->count() - 1);
        EXPECT_EQ(Child<QLineEdit>(shown, "filename")->text(), file);
        shown.reject();
    });
    EXPECT_FALSE(again.Execute());
    SharedPrinter().SetOutputFileName({});
}

}  // namespace
}  // namespace report::output
