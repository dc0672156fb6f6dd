#include "bench/cairo_anchor.h"

#include "report/output/codec/lzw.h"
#include "tests/support/pdf_check.h"
#include "utility/cp1250.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <utility>

namespace bench {
namespace {

using report::output::TPDFItemKind;
using report::output::TPDFItemRec;

void Colour(QRgb rgb, double& r, double& g, double& b)
{
    r = qRed(rgb) / 255.0;
    g = qGreen(rgb) / 255.0;
    b = qBlue(rgb) / 255.0;
}

}  // namespace

void ItemRecorder::AddItem(TPDFItemRec item)
{
    TPDFItemRec copy = item;
    TRpPDFDocumentFilter::AddItem(std::move(item));
    // The page the item went to, after a break has begun it.
    kept_.push_back({std::move(copy), static_cast<double>(PageWidth()), static_cast<double>(PageHeight())});
}

AnchorContent ItemRecorder::Content() const
{
    AnchorContent content;
    std::map<std::tuple<std::string, bool, bool>, std::size_t> fonts;
    std::map<std::string, std::size_t> images;
    const auto page = [&](const Kept& kept) -> AnchorContent::Page& {
        if (content.pages.empty())
            content.pages.push_back({kept.pageWidth, kept.pageHeight, {}});
        return content.pages.back();
    };
    for (const Kept& kept : kept_) {
        const TPDFItemRec& item = kept.item;
        switch (item.Kind) {
        case TPDFItemKind::PageBreak:
            content.pages.push_back({kept.pageWidth, kept.pageHeight, {}});
            break;
        case TPDFItemKind::Text: {
            AnchorContent::Text text;
            text.x = static_cast<double>(item.X);
            text.y = static_cast<double>(item.Y);
            text.size = item.FontSize;
            Colour(item.FillColor, text.r, text.g, text.b);
            const auto key = std::make_tuple(item.FontName, item.Bold, item.Italic);
            auto [found, added] = fonts.try_emplace(key, content.fonts.size());
            if (added)
                content.fonts.push_back({utility::Cp1250ToUtf8(item.FontName), item.Bold, item.Italic});
            text.font = found->second;
            text.utf8 = utility::Cp1250ToUtf8(item.Text);
            page(kept).items.push_back({AnchorContent::Item::Kind::Text, content.texts.size()});
            content.texts.push_back(std::move(text));
            break;
        }
        case TPDFItemKind::Shape: {
            AnchorContent::Shape shape;
            shape.code = item.ShapeCode;
            shape.filled = item.Filled;
            shape.x = static_cast<double>(item.X);
            shape.y = static_cast<double>(item.Y);
            shape.width = static_cast<double>(item.Width);
            shape.height = static_cast<double>(item.Height);
            shape.penWidth = static_cast<double>(item.PenWidth);
            Colour(item.Filled ? item.FillColor : item.PenColor, shape.r, shape.g, shape.b);
            page(kept).items.push_back({AnchorContent::Item::Kind::Shape, content.shapes.size()});
            content.shapes.push_back(shape);
            break;
        }
        case TPDFItemKind::Picture: {
            auto [found, added] = images.try_emplace(item.ImageData, content.images.size());
            if (added) {
                AnchorContent::Image image;
                image.width = item.PixelWidth;
                image.height = item.PixelHeight;
                report::output::LZWDecode(testsupport::Ascii85Decoded(item.ImageData), image.rgb);
                if (image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3)
                    throw std::runtime_error("a picture's pixel data does not match its size");
                content.images.push_back(std::move(image));
            }
            AnchorContent::Picture picture;
            picture.width = static_cast<double>(item.Width * item.ImageScaleX);
            picture.height = static_cast<double>(item.Height * item.ImageScaleY);
            picture.x = static_cast<double>(item.X);
            picture.y = static_cast<double>(item.Y) - picture.height;  // item.Y is the bottom edge
            picture.image = found->second;
            page(kept).items.push_back({AnchorContent::Item::Kind::Picture, content.pictures.size()});
            content.pictures.push_back(picture);
            break;
        }
        case TPDFItemKind::None:
            break;
        }
    }
    return content;
}

double DrawWithCairo(const AnchorContent& content, const std::filesystem::path& file)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const double firstWidth = content.pages.empty() ? 595 : content.pages.front().width;
    const double firstHeight = content.pages.empty() ? 842 : content.pages.front().height;
    cairo_surface_t* surface = cairo_pdf_surface_create(file.c_str(), firstWidth, firstHeight);
    cairo_t* cr = cairo_create(surface);

    // One image surface per distinct picture, as the writer codes each distinct picture once.
    std::vector<cairo_surface_t*> images;
    for (const AnchorContent::Image& image : content.images) {
        cairo_surface_t* pixels = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
        unsigned char* data = cairo_image_surface_get_data(pixels);
        const int stride = cairo_image_surface_get_stride(pixels);
        for (int y = 0; y < image.height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            const char* from = image.rgb.data() + static_cast<std::size_t>(y) * image.width * 3;
            for (int x = 0; x < image.width; ++x) {
                const auto r = static_cast<unsigned char>(from[3 * x]);
                const auto g = static_cast<unsigned char>(from[3 * x + 1]);
                const auto b = static_cast<unsigned char>(from[3 * x + 2]);
                row[x] = (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
            }
        }
        cairo_surface_mark_dirty(pixels);
        images.push_back(pixels);
    }

    std::size_t font = content.fonts.size();
    double size = 0;
    for (std::size_t p = 0; p < content.pages.size(); ++p) {
        const AnchorContent::Page& page = content.pages[p];
        if (p > 0) {
            cairo_show_page(cr);
            cairo_pdf_surface_set_size(surface, page.width, page.height);
        }
        for (const AnchorContent::Item& item : page.items) {
            switch (item.kind) {
            case AnchorContent::Item::Kind::Text: {
                const AnchorContent::Text& text = content.texts[item.index];
                if (text.font != font) {
                    const AnchorContent::Font& f = content.fonts[text.font];
                    cairo_select_font_face(cr, f.family.c_str(),
                                           f.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                           f.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
                    font = text.font;
                    size = 0;
                }
                if (text.size != size) {
                    cairo_set_font_size(cr, text.size);
                    size = text.size;
                }
                cairo_set_source_rgb(cr, text.r, text.g, text.b);
                cairo_move_to(cr, text.x, text.y);
                cairo_show_text(cr, text.utf8.c_str());
                break;
            }
            case AnchorContent::Item::Kind::Shape: {
                const AnchorContent::Shape& s = content.shapes[item.index];
                cairo_set_source_rgb(cr, s.r, s.g, s.b);
                cairo_set_line_width(cr, s.penWidth);
                // The activity list has rectangles and lines only; an ellipse would be a box here.
                if (s.code == 0 || s.code == 1) {
                    cairo_rectangle(cr, s.x, s.y, s.width, s.height);
                    if (s.filled)
                        cairo_fill(cr);
                    else
                        cairo_stroke(cr);
                } else {
                    // The line through the middle: the activity list has no other.
                    const double middle = s.y + s.height / 2;
                    cairo_move_to(cr, s.x, middle);
                    cairo_line_to(cr, s.x + s.width, middle);
                    cairo_stroke(cr);
                }
                break;
            }
            case AnchorContent::Item::Kind::Picture: {
                const AnchorContent::Picture& picture = content.pictures[item.index];
                const AnchorContent::Image& image = content.images[picture.image];
                cairo_save(cr);
                cairo_translate(cr, picture.x, picture.y);
                cairo_scale(cr, picture.width / image.width, picture.height / image.height);
                cairo_set_source_surface(cr, images[picture.image], 0, 0);
                cairo_paint(cr);
                cairo_restore(cr);
                break;
            }
            }
        }
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    for (cairo_surface_t* image : images)
        cairo_surface_destroy(image);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(cairo_status_to_string(status));
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace bench
