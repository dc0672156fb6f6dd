// The PDF writer of the report library: an export filter that turns each item of a report run
// into lines of PDF page description at once, keeps them per page, and writes one PDF 1.3 file
// with its cross-reference table when the run finishes. Nothing reaches the file before Finish,
// so a run that fails or is cancelled leaves an existing file of that name untouched.
#pragma once

#include "report/output/export/abstract_export_filter.h"
#include "report/output/pdf/pdf_font_metrics.h"

#include <QRgb>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report::output {

// Writes a PDF file front to back, keeping the running byte offset and the offset at which
// each object begins, for the cross-reference table.
class PdfFileWriter {
public:
    explicit PdfFileWriter(ExportStream& stream) : stream_(stream) {}

    // The bytes and CR LF.
    void Line(std::string_view bytes);
    void Raw(std::string_view bytes);
    // The next object begins here.
    void Mark() { marks_.push_back(offset_); }
    [[nodiscard]] std::uint64_t Offset() const { return offset_; }
    [[nodiscard]] const std::vector<std::uint64_t>& Marks() const { return marks_; }

private:
    ExportStream& stream_;
    std::uint64_t offset_ = 0;
    std::vector<std::uint64_t> marks_;
};

// A picture the writer has drawn and coded (pdf_picture_box.h).
struct CodedPicture;

enum class TPDFItemKind : std::uint8_t { None = 0, Text = 1, PageBreak = 2, Shape = 3, Picture = 4 };

// One drawing item on its way to the page's lines. Positions and extents in points; Y from the
// page's top edge until WriteItem turns it round.
struct TPDFItemRec {
    TPDFItemKind Kind = TPDFItemKind::None;
    long double X = 0;
    long double Y = 0;
    std::string FontName;  // text: face name, code page 1250
    std::string Text;      // text: the line, code page 1250
    std::uint8_t Charset = 0;
    int FontSize = 0;  // points
    bool Bold = false;
    bool Italic = false;
    bool Filled = false;  // shape: filled rather than outlined
    long double Width = 0;
    long double Height = 0;
    long double PenWidth = 0;
    long double ImageScaleX = 0;
    long double ImageScaleY = 0;
    std::string ImageData;     // picture: coded pixel data
    std::string ImageFilters;  // picture: PDF filter names of ImageData
    std::uint8_t ShapeCode = 0;
    int PixelWidth = 0;
    int PixelHeight = 0;
    QRgb PenColor = qRgb(0, 0, 0);
    QRgb FillColor = qRgb(0, 0, 0);  // also the text colour
    long double Angle = 0;           // text rotation, degrees
};

class TRpPDFDocumentFilter : public TRpPAbstractExportFilter {
public:
    // Writes into `fileName`; an empty name writes into memory (Bytes()).
    explicit TRpPDFDocumentFilter(std::filesystem::path fileName = {});
    ~TRpPDFDocumentFilter() override;

    [[nodiscard]] std::string GetDescription() const override;
    [[nodiscard]] std::string GetExtension() const override;
    [[nodiscard]] std::string GetFilterName() const override;
    [[nodiscard]] bool GetStreaming() const override;
    [[nodiscard]] bool IsPDFDocumentFilter() const override { return true; }

    // Opens the output (ERpError when the file cannot be created) and takes the scale of the
    // device; the paper and the font are not used.
    void Start(std::int32_t paperWidth, std::int32_t paperLength, const FontSpec& font,
               const ExportDevice& device) override;
    // The first call only marks the first page; each later one breaks to a new page.
    void NewPage() override;
    void EndPage() override;
    // A shape or picture whose box has its top left at (x, y) in device pixels, as shape or
    // picture items of the open page (a page is begun when none is open).
    void ExportControl(const ExportedControl& control, long double x, long double y) override;
    // Writes the whole file; ERpError when writing fails, and an existing file stays as it was.
    // Does nothing unless the filter was started and not finished yet.
    void Finish() override;
    void CloseStream() override;
    // One line of text as an item. (x, y) in tenths of a millimetre is the top of the line and
    // its left edge, right edge or centre by `alignment`; the baseline lies the font's ascent
    // below. The text takes the font's colour; `color`, the control's background, is not used.
    // ERpError when the font's metrics cannot be had.
    void TextOutput(long double x, long double y, const FontSpec& font, QRgb color, HorizontalAlign alignment,
                    std::string_view text) override;

    // Begins a page of the report's current size (closing an open one first); without a report
    // the page takes the size of the one before.
    void StartPage();
    // Ends the text object of the open page and settles its byte counts.
    void ClosePage();
    void AddTextLine(std::string_view line);
    void AddGraphicLine(std::string_view line);
    // Adds one item to the open page, beginning a page when none is open. ERpError for an item
    // without a kind. Virtual so that a writer of another kind can be handed the same items.
    virtual void AddItem(TPDFItemRec item);

    // Where the widths and the other metrics of the fonts come from; the system's fonts unless
    // replaced before the first text.
    std::unique_ptr<PdfFontMetrics> FontMetrics;

    // The date and time written as the document's creation date (day number, local time).
    std::function<double()> Clock;
    // Document information, code page 1250.
    std::string Subject;
    std::string Creator = "RerirEdavuzi";
    std::string Title;
    std::string Author;

    // What a filter without a file name wrote.
    [[nodiscard]] const std::string& Bytes() const;
    [[nodiscard]] int PageCount() const { return static_cast<int>(pages_.size()); }
    // A page has been begun and not closed yet.
    [[nodiscard]] bool PageOpen() const { return pageOpen_; }
    [[nodiscard]] long double PageWidth() const { return pageWidth_; }
    [[nodiscard]] long double PageHeight() const { return pageHeight_; }
    // Points per device pixel of the device handed to Start.
    [[nodiscard]] long double ScaleX() const { return scaleX_; }
    [[nodiscard]] long double ScaleY() const { return scaleY_; }

private:
    // One page's lines, each followed by its CR LF, as they go into the file: their byte counts
    // are the texts' sizes.
    struct PageLines {
        std::string text;
        std::string graphics;
        long double width = 0;
        long double height = 0;
    };

    // Turns one item into lines of the open page.
    void WriteItem(TPDFItemRec& item);
    void WriteDocument();
    // The lines of a text, shape or picture item, and the two objects of font `index`.
    void WriteTextItem(const TPDFItemRec& item);
    void WriteShapeItem(const TPDFItemRec& item);
    void WritePictureItem(const TPDFItemRec& item);
    void WriteFontObjects(PdfFileWriter& out, const std::string& fontKey, int index);
    // The picture item of `picture` with its box's top left at (x, y), coded once per distinct
    // picture; nullopt when nothing is to be drawn.
    [[nodiscard]] std::optional<TPDFItemRec> PictureItemOf(const ExportPicture& picture, long double x, long double y);

    // One key per distinct font, in order of first use; a key's index is its font number.
    std::vector<std::string> FontKeys;
    // The number of a font key, compared without regard to letter case; a new key is appended.
    int FontIndex(const std::string& key);
    // The metrics of a face in a style, taken once per run.
    const TTFontrec& MetricsOf(std::string_view face, bool bold, bool italic);
    // Font numbers by upper-case key, and metrics by upper-case face and styles.
    std::map<std::string, int> fontNumbers_;
    std::map<std::string, TTFontrec> metrics_;
    // The last answers of FontIndex and MetricsOf, and the last colour, font and matrix texts:
    // a report's lines come in long runs of one font and colour.
    struct LastFont {
        std::string face;
        bool bold = false;
        bool italic = false;
        int charset = -1;
        int index = -1;
        const TTFontrec* metrics = nullptr;
    };
    LastFont lastTextFont_;
    LastFont lastMetrics_;
    QRgb lastColour_ = 0;
    std::string lastColourLine_;
    int lastFontLineIndex_ = -1;
    int lastFontLineSize_ = 0;
    std::string lastFontLine_;
    long double lastAngle_ = 0;
    std::string lastMatrix_;
    // The line being built.
    std::string line_;
    // Pictures drawn and coded so far, most recently used first.
    std::vector<CodedPicture> pictures_;

    void WriteHead(PdfFileWriter& out) const;
    void WritePageTree(PdfFileWriter& out) const;
    void WritePages(PdfFileWriter& out) const;
    void WriteInformation(PdfFileWriter& out) const;
    static void WriteCrossReference(PdfFileWriter& out);

    std::vector<PageLines> pages_;
    bool pageOpen_ = false;
    bool firstNewPage_ = true;
    long double pageWidth_ = 595;
    long double pageHeight_ = 840;
    // Points per pixel at the recording resolution, until the device handed to Start says
    // otherwise.
    long double scaleX_ = 0.75L;
    long double scaleY_ = 0.75L;
    // The device's picture resolution in dots per inch, asked once per run and only when a
    // picture needs it; 0 until then.
    int printerResolution_ = 0;
};

}  // namespace report::output
