#include "report/output/printer/rp_printer.h"

#include "report/output/canvas/measure.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/rounding.h"
#include "report/output/printer/progress_form.h"
#include "utility/rp_error.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <cmath>
#include <span>

namespace report::output {

// Marks a call during which the report may hand this object back (message 1028 ends in
// Release): the object is freed when the outermost such call returns, never under it.
class TRpPrinter::CallGuard {
public:
    explicit CallGuard(TRpPrinter& printer) : printer_(printer) { ++printer_.handOverDepth_; }
    ~CallGuard()
    {
        if (--printer_.handOverDepth_ == 0 && printer_.releasePending_)
            delete &printer_;
    }
    CallGuard(const CallGuard&) = delete;
    CallGuard& operator=(const CallGuard&) = delete;

private:
    TRpPrinter& printer_;
};

TRpPrinter::TRpPrinter(ReportWindow* parentReport)
    : parentReport_(parentReport), pageList_(std::make_unique<TRpPageList>())
{
    SystemPrinter& shared = SharedPrinter();
    if (parentReport) {
        settings_.SetUseStandardPrinter(parentReport->PrinterSettings().UseStandardprinter);
        settings_.SetMemoryLimit(parentReport->PrinterSettings().MemoryLimit);
    }
    if (settings_.UseStandardPrinter()) {
        printer_ = &shared;
    } else {
        ownPrinter_ = std::make_unique<SystemPrinter>(shared.Service());
        printer_ = ownPrinter_.get();
    }
    printersPresent_ = !printer_->Printers().isEmpty();
    if (printersPresent_) {
        // The shared printer's choice first, so that the settings read are those of the printer
        // that will print.
        const int chosen = shared.Index();
        if (ownPrinter_ && chosen >= 0 && chosen < ownPrinter_->Printers().size())
            ownPrinter_->SetIndex(chosen);
        settings_.SetPrinter(printer_);
        FollowSharedOutput();
        QCoreApplication::processEvents();
    }
    offsetY_ = settings_.OffsetY();
    offsetX_ = settings_.OffsetX();
}

TRpPrinter::~TRpPrinter()
{
    if (status_ == TRpPrinterStatus::rpsBusy)
        Cancel();
    Reset();
    if (ClientWindow* client = GetClientWindow())
        client->DetachPrinter(*this);
}

void TRpPrinter::Release(std::unique_ptr<TRpPrinter> printer)
{
    if (!printer)
        return;
    if (printer->handOverDepth_ > 0) {
        printer->releasePending_ = true;
        static_cast<void>(printer.release());  // freed by the CallGuard of the call under way
    }
}

// ---- Document cycle ----

bool TRpPrinter::InRange() const
{
    if (firstPage_ > 0 && pageCount_ < firstPage_)
        return false;
    if (lastPage_ >= 1 && pageCount_ > lastPage_)
        return false;
    return true;
}

void TRpPrinter::BeginDoc()
{
    // Refused before anything changes: a busy document keeps its open page.
    if (status_ != TRpPrinterStatus::rpsReady)
        throw ERpError("RpPrinter not ready");
    finishedPages_ = 0;
    cancelled_ = false;
    if (destination_ == TRpPrinterDestination::rpdPrinter)
        settings_.ApplyPrinterSettings();
    offsetY_ = GetOffsetY();
    offsetX_ = GetOffsetX();
    pageNumber_ = 0;
    pageCount_ = 0;
    status_ = TRpPrinterStatus::rpsBusy;
    if (destination_ == TRpPrinterDestination::rpdRecord) {
        pageList_->SetStream(std::make_unique<TRpStream>(settings_.MemoryLimit()));
        xFactor_ = yFactor_ = kRecordFactor;
    } else {
        yFactor_ = settings_.DpiY() / 254.0L;
        xFactor_ = settings_.DpiX() / 254.0L;
        if (yFactor_ < 0.1L)
            yFactor_ = kRecordFactor;
        if (xFactor_ < 0.1L)
            xFactor_ = kRecordFactor;
    }
}

void TRpPrinter::NewPage()
{
    if (status_ != TRpPrinterStatus::rpsBusy)
        throw ERpError("Illegal call to NewPage");
    if (pageNumber_ > 0) {
        const bool printed = printerCanvas_ != nullptr;
        std::string error = ClosePage(true);
        if (printed && error.empty() && pageCount_ != lastPage_) {
            try {
                printer_->NewPage();
            } catch (const ERpError& e) {
                error = e.what();
            }
        }
        SetFinishedPages(finishedPages_ + 1);
        if (!error.empty())
            throw ERpError(error);
    }
    ++pageCount_;
    ++pageNumber_;
    OpenPage();
}

void TRpPrinter::OpenPage()
{
    if (destination_ == TRpPrinterDestination::rpdPrinter && InRange())
        OpenPrinterPage();
    else
        OpenRecordingPage();
}

void TRpPrinter::OpenRecordingPage()
{
    xFactor_ = yFactor_ = kRecordFactor;
    recorder_ = std::make_unique<PageRecorder>(PageHeaderFor(GetPageWidth(), GetPageLength()));
    canvas_ = recorder_.get();
}

void TRpPrinter::OpenPrinterPage()
{
    if (!printer_->Printing()) {
        printer_->SetTitle(title_);
        printer_->BeginDoc();
    }
    const DeviceCaps& caps = printer_->JobCaps();
    printerCanvas_ = std::make_unique<PainterCanvas>(*printer_->Painter(), caps.dpiY);
    canvas_ = printerCanvas_.get();
    xFactor_ = caps.dpiX / 254.0L;
    yFactor_ = caps.dpiY / 254.0L;
    if (yFactor_ < 0.1L)
        yFactor_ = 1.0L;
}

std::string TRpPrinter::ClosePage(bool keepRecording)
{
    std::string error;
    if (destination_ == TRpPrinterDestination::rpdRecord && recorder_ && keepRecording) {
        const std::vector<std::uint8_t> bytes = recorder_->Bytes();
        const std::string_view page(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (!pageList_->AddRecordedPage(page))
            error = pageList_->Error();
    }
    DropCanvases();
    return error;
}

void TRpPrinter::DropCanvases()
{
    canvas_ = nullptr;
    printerCanvas_.reset();
    recorder_.reset();
}

void TRpPrinter::EndDoc()
{
    if (status_ != TRpPrinterStatus::rpsBusy)
        return;
    std::string error;
    if (destination_ == TRpPrinterDestination::rpdPrinter) {
        DropCanvases();
        if (printer_->Printing()) {
            try {
                printer_->EndDoc();
            } catch (const ERpError& e) {
                error = e.what();
            }
        }
    } else if (pageCount_ > 0) {
        error = ClosePage(true);
    }
    status_ = TRpPrinterStatus::rpsFinished;
    SetFinishedPages(finishedPages_ + 1);
    QCoreApplication::processEvents();
    if (destination_ == TRpPrinterDestination::rpdRecord) {
        if (!pageList_->WriteHeader() && error.empty())
            error = pageList_->Error();
    } else if (afterPrint_) {
        afterPrint_(*this);
    }
    if (!error.empty())
        throw ERpError(error);
}

void TRpPrinter::AbortDoc()
{
    if (destination_ == TRpPrinterDestination::rpdPrinter) {
        DropCanvases();
        printer_->Abort();
    } else if (status_ == TRpPrinterStatus::rpsBusy) {
        // Called while cleaning up after a failure: nothing here may throw.
        const bool exporting = parentReport_ && parentReport_->Exporting();
        if (recorder_)
            static_cast<void>(ClosePage(!exporting));
        // The header still counts the pages of page 1's time: a saved file would load one page.
        static_cast<void>(pageList_->WriteHeader());
    }
    status_ = TRpPrinterStatus::rpsFinished;
}

void TRpPrinter::Reset()
{
    if (status_ == TRpPrinterStatus::rpsBusy)
        Cancel();
    DropCanvases();
    if (printer_->Printing())
        printer_->Abort();
    pageList_->SetStream(nullptr);
    pageList_->ResetPageCount();
    status_ = TRpPrinterStatus::rpsReady;
}

void TRpPrinter::SetCompression(bool compress) { pageList_->SetCompressed(compress); }

// ---- Geometry ----

int TRpPrinter::DeviceX(long double x) const { return RoundHalfEvenInt((x - offsetX_) * xFactor_); }

int TRpPrinter::DeviceY(long double y) const { return RoundHalfEvenInt((y - offsetY_) * yFactor_); }

int TRpPrinter::DeviceWidth(long double width) const { return RoundHalfEvenInt(width * xFactor_); }

int TRpPrinter::DeviceHeight(long double height) const { return RoundHalfEvenInt(height * yFactor_); }

ExportDevice TRpPrinter::DeviceForExport() const
{
    return ExportDevice{xFactor_, yFactor_, offsetX_, offsetY_, DefaultPrinterResolution};
}

int TRpPrinter::GetPageWidth() const { return GetOrientation() == 0 ? GetPaperWidth() : GetPaperLength(); }

int TRpPrinter::GetPageLength() const { return GetOrientation() == 0 ? GetPaperLength() : GetPaperWidth(); }

int TRpPrinter::GetOffsetX() const
{
    return destination_ == TRpPrinterDestination::rpdPrinter ? settings_.OffsetX() : 0;
}

int TRpPrinter::GetOffsetY() const
{
    return destination_ == TRpPrinterDestination::rpdPrinter ? settings_.OffsetY() : 0;
}

// ---- Setters ----

void TRpPrinter::ApplySettings(const TRpPrinterSettings& chosen)
{
    settings_.Apply(chosen);
    firstPage_ = chosen.FirstPage;
    lastPage_ = chosen.LastPage;
}

TRpPrinterSettings TRpPrinter::AppliedSettings() const
{
    TRpPrinterSettings chosen = settings_.Chosen();
    chosen.FirstPage = firstPage_;
    chosen.LastPage = lastPage_;
    return chosen;
}

void TRpPrinter::SetPrinterIndex(int index)
{
    printer_->Refresh();
    if (!printersPresent_ || settings_.UseStandardPrinter())
        return;
    if (index != -1 && printer_->Index() != index) {
        printer_->SetIndex(index);
        ResetPrinterDevMode(*printer_);
        settings_.ReadPrinterSettings();
    }
    FollowSharedOutput();
}

void TRpPrinter::FollowSharedOutput()
{
    // A file chosen in the printer dialog is the shared printer's; an own printer on the same
    // printer prints there too, and on any other printer prints on paper.
    if (!ownPrinter_)
        return;
    SystemPrinter& shared = SharedPrinter();
    const bool samePrinter = ownPrinter_->Name() == shared.Name();
    ownPrinter_->SetOutputFileName(samePrinter ? shared.OutputFileName() : QString());
}

void TRpPrinter::SetCurrentPage(int n)
{
    if (pageNumber_ >= 1 && pageNumber_ <= pageCount_)
        pageNumber_ = n;
}

// ---- Progress and windows ----

ClientWindow* TRpPrinter::GetClientWindow() const { return clientObject_ ? clientWindow_ : nullptr; }

void TRpPrinter::SetClientWindow(ClientWindow* window)
{
    disconnect(progressConnection_);
    disconnect(finishedPagesConnection_);
    clientWindow_ = window;
    clientObject_ = window ? window->WindowObject() : nullptr;
    if (!clientObject_)
        return;
    // Queued like posted messages; a window that is gone receives nothing.
    progressConnection_ = connect(
        this, &TRpPrinter::ProgressPosted, clientObject_, [window](int percent) { window->ProgressMessage(percent); },
        Qt::QueuedConnection);
    finishedPagesConnection_ = connect(
        this, &TRpPrinter::FinishedPagesPosted, clientObject_,
        [window](int count) { window->FinishedPagesMessage(count); }, Qt::QueuedConnection);
}

void TRpPrinter::SetProgress(int percent)
{
    progress_ = percent;
    if (GetClientWindow())
        emit ProgressPosted(percent);
}

void TRpPrinter::SetFinishedPages(int count)
{
    finishedPages_ = count;
    if (GetClientWindow())
        emit FinishedPagesPosted(count);
}

// ---- Preview ----

void TRpPrinter::Preview()
{
    CallGuard guard(*this);
    if (onPreview_) {
        onPreview_(*this);
        return;
    }
    const std::unique_ptr<PreviewInterface> previews = MakePreviewInterface();
    previewForm_ = previews->Show(*this);
}

void TRpPrinter::PreviewModal()
{
    CallGuard guard(*this);
    if (onPreview_) {
        onPreview_(*this);
        return;
    }
    const std::unique_ptr<PreviewInterface> previews = MakePreviewInterface();
    static_cast<void>(previews->ShowModal(*this));
}

void TRpPrinter::SetPreviewActive(bool active)
{
    if (previewActive_ && !active) {
        if (status_ == TRpPrinterStatus::rpsBusy)
            Cancel();
        if (afterPreview_)
            afterPreview_(*this);
    }
    previewActive_ = active;
}

void TRpPrinter::ClosePreview()
{
    CallGuard guard(*this);
    SetPreviewActive(false);
    if (reportWindow_ && !reportWindow_->Destroying())
        reportWindow_->ClosePreviewMessage(*this);
}

// ---- Recorded pages ----

std::optional<Page> TRpPrinter::GetRecordedPage(int n)
{
    const std::shared_ptr<const Page> page = RecordedPage(n);
    if (!page)
        return std::nullopt;
    return *page;
}

std::shared_ptr<const Page> TRpPrinter::RecordedPage(int n)
{
    if (status_ == TRpPrinterStatus::rpsReady || n < 1 || n > pageCount_)
        return nullptr;
    return pageList_->SharedPage(n);
}

void TRpPrinter::PrintRecordedPages()
{
    if (reportWindow_ && !reprintRecorded_ && !settings_.PrintMetaFile() && status_ == TRpPrinterStatus::rpsFinished) {
        const QPointer<ReportWindow> report = reportWindow_;
        QMetaObject::invokeMethod(
            report,
            [report] {
                if (report)
                    report->PrintToPrinterMessage();
            },
            Qt::QueuedConnection);
        return;
    }
    if (status_ != TRpPrinterStatus::rpsFinished || !printersPresent_)
        return;
    // A cancel belongs to the run that was cancelled: the pages it kept still print.
    cancelled_ = false;
    // A range beyond the document prints what there is of it.
    const int first = std::max(firstPage_ > 0 ? firstPage_ : 1, 1);
    const int last = std::min(lastPage_ > 0 ? lastPage_ : pageCount_, pageCount_);

    // The window lives for this print only; the client window before it gets the messages again.
    std::unique_ptr<TRpProgressForm> progress;
    ClientWindow* const client = GetClientWindow();
    // Messages are pumped while printing: the window before may be gone by the end.
    const QPointer<QObject> clientAlive = client ? client->WindowObject() : nullptr;
    const auto restoreClient = [&] { SetClientWindow(clientAlive ? client : nullptr); };
    if (parentReport_ && parentReport_->ShowProgress()) {
        progress = std::make_unique<TRpProgressForm>(this);
        progress->show();
        SetClientWindow(progress.get());
    }
    printer_->SetTitle(title_);
    if (printer_->Printing())
        printer_->Abort();
    settings_.ApplyPrinterSettings();
    try {
        PrintPages(first, last, progress != nullptr);
    } catch (...) {
        restoreClient();
        try {
            if (printer_->Printing())
                printer_->EndDoc();
        } catch (const ERpError&) {
            // The first failure is the one to report.
        }
        throw;
    }
    restoreClient();
    progress.reset();
    if (parentReport_)
        parentReport_->AfterPrint();
    if (printer_->Printing())
        printer_->EndDoc();
}

MeasureDevice& TRpPrinter::PageFonts()
{
    if (!pageFonts_)
        pageFonts_ = std::make_unique<MeasureDevice>(kMeasureDpi);
    return *pageFonts_;
}

void TRpPrinter::PrintPages(int first, int last, bool showProgress)
{
    const long double fx = settings_.DpiX() / 254.0L;
    const long double fy = settings_.DpiY() / 254.0L;
    const int offsetX = settings_.OffsetX();
    const int offsetY = settings_.OffsetY();
    bool opened = false;
    // One set of fonts for the whole job: each page's canvas would make them all again.
    std::optional<MeasureDevice> fonts;
    for (int p = first; p <= last; ++p) {
        QCoreApplication::processEvents();
        if (showProgress) {
            SetProgress(RoundHalfEvenInt(static_cast<long double>(p - first + 1) / (last - first + 1) * 100));
        }
        SetCurrentPage(p);
        const std::shared_ptr<const Page> page = RecordedPage(p);
        if (!page)
            continue;  // an unreadable page is left out, not printed blank
        if (opened)
            printer_->NewPage();
        else
            printer_->BeginDoc();
        opened = true;
        QRect target;
        if (parentReport_) {
            const long double width = parentReport_->PageWidth();
            const long double length = parentReport_->PageLength();
            target = GdiRect(-RoundHalfEvenInt(offsetX * fx), -RoundHalfEvenInt(offsetY * fy),
                             RoundHalfEvenInt((width - offsetX) * fx), RoundHalfEvenInt((length - offsetY) * fy));
        } else {
            const DeviceCaps& caps = printer_->JobCaps();
            target = QRect(0, 0, caps.physicalWidth - caps.offsetX, caps.physicalHeight - caps.offsetY);
        }
        {
            const int dpi = printer_->JobCaps().dpiY;
            if (!fonts || fonts->Dpi() != dpi)
                fonts.emplace(dpi);
            PainterCanvas canvas(*printer_->Painter(), dpi, &*fonts);
            ReplayPage(*page, canvas, target);
        }
        if (cancelled_) {
            printer_->Abort();
            break;
        }
    }
}

bool TRpPrinter::LoadRecordedDocument(const std::filesystem::path& fileName, std::string& error)
{
    // Loaded aside: a file that fails leaves the document on show as it was.
    auto loaded = std::make_unique<TRpPageList>();
    if (!loaded->LoadFromFile(fileName, error))
        return false;
    if (status_ != TRpPrinterStatus::rpsReady)
        Reset();
    pageList_ = std::move(loaded);
    pageCount_ = pageList_->PageCount();
    xFactor_ = yFactor_ = kRecordFactor;
    // Page 1 as the loading read it, kept by the page list for the preview.
    if (const std::shared_ptr<const Page> first = pageCount_ >= 1 ? pageList_->SharedPage(1) : nullptr)
        ChoosePaperOf(*first);
    status_ = TRpPrinterStatus::rpsFinished;
    reprintRecorded_ = true;
    reportFileLoaded_ = true;
    return true;
}

void TRpPrinter::ChoosePaperOf(const Page& page)
{
    // Whole millimetres of the page's own size (the header keeps 0.1 mm).
    int w = page.header.widthTenths / 10;
    int h = page.header.lengthTenths / 10;
    if (h < w) {
        settings_.SetOrientation(1);
        std::swap(w, h);
    } else {
        settings_.SetOrientation(0);
    }
    int best = 32000;
    for (int i = 1; i <= 26; ++i) {
        const TRpPaperSize size = *PaperSizeFromOrdinal(i);
        const PaperDimensions mm = PaperDimensionsOf(size);
        const int d = std::abs(static_cast<int>(mm.widthMm) - w) + std::abs(static_cast<int>(mm.heightMm) - h);
        if (d < best) {
            best = d;
            settings_.SetPaperSize(size);
        }
    }
}

bool TRpPrinter::SaveRecordedDocument(const std::filesystem::path& fileName, std::string& error)
{
    if (status_ != TRpPrinterStatus::rpsFinished) {
        error = "There is no finished report to save";
        return false;
    }
    const utility::WriteResult result = pageList_->SaveToFile(fileName);
    error = result.error;
    return result.ok();
}

int SubstringPos(std::string_view sub, std::string_view s)
{
    if (sub.empty())
        return 0;
    const std::size_t at = s.find(sub);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

}  // namespace report::output
