// Shapes and pictures of the PDF document: an exported control becomes shape or picture items,
// and each item becomes graphics lines of its page, drawn before the page's text.
#include "report/output/pdf/pdf_document.h"
#include "report/output/pdf/pdf_picture.h"
#include "report/output/pdf/pdf_picture_box.h"
#include "report/output/pdf/pdf_shapes.h"

#include <QColorSpace>

#include <algorithm>
#include <variant>

namespace report::output {

void TRpPDFDocumentFilter::ExportControl(const ExportedControl& control, long double x, long double y)
{
    // A page is begun by its first control, whether it draws anything or not.
    if (!pageOpen_)
        StartPage();
    if (const auto* shape = std::get_if<ExportShape>(&control)) {
        for (TPDFItemRec& item : ShapeItems(*shape, x, y, scaleX_, scaleY_))
            AddItem(std::move(item));
        return;
    }
    if (std::optional<TPDFItemRec> item = PictureItemOf(std::get<ExportPicture>(control), x, y))
        AddItem(std::move(*item));
}

std::optional<TPDFItemRec> TRpPDFDocumentFilter::PictureItemOf(const ExportPicture& picture, long double x,
                                                               long double y)
{
    // Nothing of the drawing depends on where the box is: the same picture in a box of the same
    // size gives the same bitmap, offsets and scale, so it is drawn and coded once.
    ExportPicture key = picture;
    key.rect.moveTo(0, 0);
    // Equal pixels are drawn alike unless the pictures differ in what QImage's comparison
    // leaves out.
    const auto same = [&](const CodedPicture& coded) {
        return coded.picture == key && coded.picture.pixels.devicePixelRatio() == key.pixels.devicePixelRatio() &&
               coded.picture.pixels.colorSpace() == key.pixels.colorSpace();
    };
    auto found = std::find_if(pictures_.begin(), pictures_.end(), same);
    if (found == pictures_.end()) {
        const auto resolution = [this] {
            if (printerResolution_ <= 0)
                printerResolution_ = Device().PictureResolution ? Device().PictureResolution() : kMeasureDpi;
            return printerResolution_;
        };
        std::optional<PictureBox> box = MakePictureBox(picture, 0, 0, resolution);
        if (!box)
            return std::nullopt;
        // A report whose pictures all differ keeps only the latest few.
        constexpr std::size_t kKeptPictures = 32;
        if (pictures_.size() >= kKeptPictures)
            pictures_.pop_back();
        CodedPicture coded{std::move(key), std::move(*box), {}, {}};
        BitmapToImageData(coded.box.bitmap, coded.imageData, coded.imageFilters);
        pictures_.insert(pictures_.begin(), std::move(coded));
    } else if (found != pictures_.begin()) {
        std::rotate(pictures_.begin(), found, found + 1);
    }
    const CodedPicture& coded = pictures_.front();
    PictureBox box = coded.box;
    // As MakePictureBox places a box at (x, y): the offsets it found are added to x and y.
    box.x = x + coded.box.x;
    box.y = y + coded.box.y;
    TPDFItemRec item = PlacedPictureItem(box, scaleX_, scaleY_);
    item.ImageData = coded.imageData;
    item.ImageFilters = coded.imageFilters;
    return item;
}

void TRpPDFDocumentFilter::WriteShapeItem(const TPDFItemRec& item)
{
    if (!pageOpen_)
        StartPage();
    AppendShapeLines(item, pages_.back().graphics);
}

void TRpPDFDocumentFilter::WritePictureItem(const TPDFItemRec& item)
{
    if (!pageOpen_)
        StartPage();
    AppendPictureLines(item, pages_.back().graphics);
}

}  // namespace report::output
