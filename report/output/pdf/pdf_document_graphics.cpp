// Shapes and pictures of the PDF document: an exported control becomes shape or picture items,
// and each item becomes graphics lines of its page, drawn before the page's text.
#include "report/output/pdf/pdf_document.h"

#include "report/output/pdf/pdf_picture_box.h"
#include "report/output/pdf/pdf_shapes.h"

#include <variant>

namespace report::output {

void TRpPDFDocumentFilter::ExportControl(const ExportedControl& control, long double x, long double y)
{
    // The page first: it settles the scale factors the items are measured with.
    if (!pageOpen_)
        StartPage();
    if (const auto* shape = std::get_if<ExportShape>(&control)) {
        for (TPDFItemRec& item : ShapeItems(*shape, x, y, scaleX_, scaleY_))
            AddItem(std::move(item));
        return;
    }
    const auto& picture = std::get<ExportPicture>(control);
    const auto resolution = [this] {
        if (printerResolution_ <= 0)
            printerResolution_ = DefaultPrinterResolution();
        return printerResolution_;
    };
    if (const std::optional<PictureBox> box = MakePictureBox(picture, x, y, resolution))
        AddItem(PictureItem(*box, scaleX_, scaleY_));
}

void TRpPDFDocumentFilter::WriteShapeItem(const TPDFItemRec& item)
{
    for (const std::string& line : ShapeLines(item))
        AddGraphicLine(line);
}

void TRpPDFDocumentFilter::WritePictureItem(const TPDFItemRec& item)
{
    for (const std::string& line : PictureLines(item))
        AddGraphicLine(line);
}

}  // namespace report::output
