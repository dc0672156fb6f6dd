#include "report/output/pdf/pdf_document.h"

#include "report/output/canvas/rounding.h"
#include "report/output/export/report_interfaces.h"
#include "report/output/pdf/pdf_picture_box.h"
#include "utility/datetime.h"
#include "utility/rp_error.h"

#include <utility>

namespace report::output {
namespace {

constexpr long double kPointsPerMillimetre = 72.0L / 25.4L;

}  // namespace

void PdfFileWriter::Line(std::string_view bytes)
{
    Raw(bytes);
    Raw("\r\n");
}

void PdfFileWriter::Raw(std::string_view bytes)
{
    stream_.Write(bytes);
    offset_ += bytes.size();
}

TRpPDFDocumentFilter::TRpPDFDocumentFilter(std::filesystem::path fileName)
    : TRpPAbstractExportFilter(std::move(fileName)), Clock(utility::Now)
{}

TRpPDFDocumentFilter::~TRpPDFDocumentFilter() = default;

std::string TRpPDFDocumentFilter::GetDescription() const { return "PDF document filter"; }

std::string TRpPDFDocumentFilter::GetExtension() const { return "PDF"; }

std::string TRpPDFDocumentFilter::GetFilterName() const { return "PDF document"; }

bool TRpPDFDocumentFilter::GetStreaming() const { return false; }

void TRpPDFDocumentFilter::Start(std::int32_t paperWidth, std::int32_t paperLength, const FontSpec& font,
                                 const ExportDevice& device)
{
    // The output first: a filter whose file cannot be created is not active.
    CreateStream(FileName);
    TRpPAbstractExportFilter::Start(paperWidth, paperLength, font, device);
    // Device pixels per 0.1 mm into points per device pixel.
    if (device.XFactor > 0)
        scaleX_ = kPointsPerMillimetre / (device.XFactor * 10);
    if (device.YFactor > 0)
        scaleY_ = kPointsPerMillimetre / (device.YFactor * 10);
    printerResolution_ = 0;
}

void TRpPDFDocumentFilter::NewPage()
{
    if (firstNewPage_) {
        firstNewPage_ = false;
        return;
    }
    TPDFItemRec pageBreak;
    pageBreak.Kind = TPDFItemKind::PageBreak;
    AddItem(std::move(pageBreak));
}

void TRpPDFDocumentFilter::EndPage() {}

void TRpPDFDocumentFilter::Finish()
{
    if (!Active || !Stream)
        return;
    if (!pageOpen_)
        StartPage();
    WriteDocument();
    TRpPAbstractExportFilter::Finish();
}

void TRpPDFDocumentFilter::CloseStream()
{
    // A memory stream stays, so that what was written can still be read.
    if (Stream && Stream->IsFile())
        TRpPAbstractExportFilter::CloseStream();
}

const std::string& TRpPDFDocumentFilter::Bytes() const
{
    static const std::string kNone;
    return Stream && !Stream->IsFile() ? Stream->Bytes() : kNone;
}

void TRpPDFDocumentFilter::StartPage()
{
    if (pageOpen_)
        ClosePage();
    if (Report) {
        pageWidth_ = static_cast<long double>(RoundHalfEven(Report->PageWidth())) * 0.1L * kPointsPerMillimetre;
        pageHeight_ = static_cast<long double>(RoundHalfEven(Report->PageLength())) * 0.1L * kPointsPerMillimetre;
    }
    PageLines page;
    page.width = pageWidth_;
    page.height = pageHeight_;
    pages_.push_back(std::move(page));
    pageOpen_ = true;
}

void TRpPDFDocumentFilter::ClosePage()
{
    if (!pageOpen_)
        return;
    AddTextLine("ET");
    pageOpen_ = false;
}

void TRpPDFDocumentFilter::AddTextLine(std::string_view line)
{
    if (!pageOpen_)
        StartPage();
    std::string& text = pages_.back().text;
    text += line;
    text += "\r\n";
}

void TRpPDFDocumentFilter::AddGraphicLine(std::string_view line)
{
    if (!pageOpen_)
        StartPage();
    std::string& graphics = pages_.back().graphics;
    graphics += line;
    graphics += "\r\n";
}

void TRpPDFDocumentFilter::AddItem(TPDFItemRec item)
{
    if (!pageOpen_)
        StartPage();
    WriteItem(item);
}

void TRpPDFDocumentFilter::WriteItem(TPDFItemRec& item)
{
    if (item.Kind == TPDFItemKind::None)
        throw ERpError("Internal error: IT_INVALID");
    // Items come measured from the page's top edge, margin included; PDF measures upward from
    // the bottom edge.
    item.Y = pageHeight_ - item.Y;
    switch (item.Kind) {
    case TPDFItemKind::PageBreak:
        ClosePage();
        StartPage();
        break;
    case TPDFItemKind::Text:
        WriteTextItem(item);
        break;
    case TPDFItemKind::Shape:
        WriteShapeItem(item);
        break;
    case TPDFItemKind::Picture:
        WritePictureItem(item);
        break;
    default:
        break;
    }
}

}  // namespace report::output
