// The anchor of the PDF run: cairo's PDF surface drawing the texts, rectangles, lines and icons
// of our PDF at the same places, in the same fonts and sizes. The content is taken from our own
// writer: a PDF run through ItemRecorder keeps every item the writer adds.
#pragma once

#include "report/output/pdf/pdf_document.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

// What the anchor draws, in points from the page's top left corner.
struct AnchorContent {
    struct Text {
        double x = 0, y = 0;  // the baseline's start
        double size = 0;
        double r = 0, g = 0, b = 0;
        std::size_t font = 0;  // into fonts
        std::string utf8;
    };
    struct Shape {
        int code = 0;  // the writer's shape code: 0 rectangle, 1 ellipse, 2.. lines
        bool filled = false;
        double x = 0, y = 0, width = 0, height = 0, penWidth = 0;
        double r = 0, g = 0, b = 0;
    };
    struct Picture {
        double x = 0, y = 0, width = 0, height = 0;  // the box it fills
        std::size_t image = 0;                       // into images
    };
    struct Font {
        std::string family;
        bool bold = false;
        bool italic = false;
    };
    struct Image {
        int width = 0, height = 0;
        std::string rgb;  // the writer's pixel data, decoded
    };
    // One entry per drawing item, in the writer's order; a page's items follow its size.
    struct Item {
        enum class Kind { Text, Shape, Picture } kind;
        std::size_t index;
    };
    struct Page {
        double width = 0, height = 0;
        std::vector<Item> items;
    };
    std::vector<Page> pages;
    std::vector<Text> texts;
    std::vector<Shape> shapes;
    std::vector<Picture> pictures;
    std::vector<Font> fonts;
    std::vector<Image> images;
};

// A PDF writer that also keeps what it was given, page by page.
class ItemRecorder final : public report::output::TRpPDFDocumentFilter {
public:
    using TRpPDFDocumentFilter::TRpPDFDocumentFilter;
    void AddItem(report::output::TPDFItemRec item) override;
    // The items kept, ready to draw; throws std::runtime_error for pixel data it cannot read.
    [[nodiscard]] AnchorContent Content() const;

private:
    struct Kept {
        report::output::TPDFItemRec item;
        double pageWidth;
        double pageHeight;
    };
    std::vector<Kept> kept_;
};

// Draws `content` into a cairo PDF file at `file`; the milliseconds it took, from the surface's
// creation to the file written and closed.
[[nodiscard]] double DrawWithCairo(const AnchorContent& content, const std::filesystem::path& file);

}  // namespace bench
