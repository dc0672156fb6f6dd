#include "report/output/canvas/rounding.h"
#include "report/output/pages/page_format.h"

#include <algorithm>

namespace report::output {

PageRecorder::PageRecorder(const PageHeader& header) : measure_(header.dpiY) { page_.header = header; }

void PageRecorder::UsePen()
{
    if (recordedPen_ != GetPen()) {
        recordedPen_ = GetPen();
        page_.records.emplace_back(page_record::SetPen{GetPen()});
    }
}

void PageRecorder::UseBrush()
{
    if (recordedBrush_ != GetBrush()) {
        recordedBrush_ = GetBrush();
        page_.records.emplace_back(page_record::SetBrush{GetBrush()});
    }
}

void PageRecorder::UseFont()
{
    FontSpec font = GetFont();
    // A page keeps whole points: a scaled font is recorded at its nearest size.
    if (GetFontScale() != 1)
        font.points = ClampCoordinate(RoundHalfEven(font.points * GetFontScale()));
    if (recordedFont_ != font) {
        recordedFont_ = font;
        page_.records.emplace_back(page_record::SetFont{std::move(font)});
    }
}

void PageRecorder::FillRect(const QRect& rect)
{
    UseBrush();
    page_.records.emplace_back(page_record::Fill{rect});
}

void PageRecorder::Rectangle(const QRect& rect)
{
    UsePen();
    UseBrush();
    page_.records.emplace_back(page_record::Rectangle{rect});
}

void PageRecorder::RoundRect(const QRect& rect, int cornerWidth, int cornerHeight)
{
    UsePen();
    UseBrush();
    page_.records.emplace_back(page_record::RoundRect{rect, cornerWidth, cornerHeight});
}

void PageRecorder::Ellipse(const QRect& rect)
{
    UsePen();
    UseBrush();
    page_.records.emplace_back(page_record::Ellipse{rect});
}

void PageRecorder::Line(int x0, int y0, int x1, int y1)
{
    UsePen();
    page_.records.emplace_back(page_record::Line{x0, y0, x1, y1});
}

void PageRecorder::TextOut(int x, int y, std::string_view text)
{
    UseFont();
    page_.records.emplace_back(page_record::Text{x, y, GetTextAlign(), GetBackground(), std::string(text)});
}

void PageRecorder::DrawPicture(const QRect& rect, const QImage& picture)
{
    // A report draws the same few pictures on every row: the same QImage is known by its key
    // without a look at its pixels, a copy by its pixels.
    std::optional<std::size_t> number = pictures_.ByKey(picture);
    if (!number) {
        QImage image = picture;
        // The reader refuses larger pictures; the rectangle keeps the drawn size.
        if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide)
            image = image.scaled(std::min(image.width(), kMaxPictureSide), std::min(image.height(), kMaxPictureSide));
        if (!image.isNull() && image.format() != QImage::Format_ARGB32)
            image = image.convertToFormat(QImage::Format_ARGB32);
        number = pictures_.Keep(image);
        pictures_.Remember(picture, *number);
    }
    page_.records.emplace_back(page_record::Picture{rect, pictures_[*number]});
}

void PageRecorder::SetClipRect(const QRect& rect) { page_.records.emplace_back(page_record::Clip{rect}); }

void PageRecorder::RemoveClip() { page_.records.emplace_back(page_record::NoClip{}); }

int PageRecorder::TextWidth(std::string_view text) { return measure_.TextWidth(GetFont(), text, GetFontScale()); }

int PageRecorder::TextHeight(std::string_view) { return measure_.TextHeight(GetFont(), GetFontScale()); }

}  // namespace report::output
