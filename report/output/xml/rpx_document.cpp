#include "report/output/xml/rpx_document.h"

#include "report/output/canvas/measure.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/rounding.h"
#include "utility/cp1250.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace report::output {
namespace {

// Pixels per millimetre of the picture sizes, as the document format fixes it.
constexpr long double kPictureFactor = 3.7795L;
constexpr int kMaxPenWidth = 1000;

const QString kItem = QStringLiteral("Item");

double Number(const TRpDocnode& node, const char* attribute)
{
    bool ok = false;
    const double value = node.Attribute(QLatin1String(attribute)).trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

int Integer(const TRpDocnode& node, const char* attribute)
{
    return static_cast<int>(std::clamp(Number(node, attribute), -1e9, 1e9));
}

QString Lower(const TRpDocnode& node, const char* attribute)
{
    return node.Attribute(QLatin1String(attribute)).toLower();
}

// A header length: a number above 0 and up to the limit, or an error.
bool PageLength(const TRpDocnode& header, const char* attribute, const char* missing, double& length, QString& error)
{
    if (!header.HasAttribute(QLatin1String(attribute)) ||
        header.Attribute(QLatin1String(attribute)).trimmed().isEmpty()) {
        error = QString::fromLatin1(missing);
        return false;
    }
    bool ok = false;
    const QString text = header.Attribute(QLatin1String(attribute)).trimmed();
    length = text.toDouble(&ok);
    if (!ok || !std::isfinite(length) || length <= 0 || length > kMaxRpxPageMm) {
        error = QStringLiteral("The page size %1 = \"%2\" is not a length from 0 to %3 mm")
                    .arg(QLatin1String(attribute), text)
                    .arg(kMaxRpxPageMm);
        return false;
    }
    return true;
}

// Draws the items of one page; the positions of a page in millimetres become pixels here.
class PageDrawer {
public:
    PageDrawer(Canvas& canvas, double zoom, const QString& search, bool matchCase, bool images,
               TRpXImageCache& pictures, const QSize& pageSize, bool shown)
        : canvas_(canvas), zoom_(zoom / 100.0L), factor_(canvas.Dpi() / 25.4L), search_(search),
          sensitivity_(matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive), images_(images), pictures_(pictures),
          pageSize_(pageSize), shown_(shown)
    {}

    void Draw(const TRpDocnode& item, std::vector<TPageItem>& items)
    {
        const QString type = item.Attribute(QStringLiteral("Type"));
        const QRect box = GdiRect(Pixels(Number(item, "X")), Pixels(Number(item, "Y")),
                                  Pixels(Number(item, "X") + Number(item, "Width")),
                                  Pixels(Number(item, "Y") + Number(item, "Height")));
        if (type == QLatin1String("text"))
            Text(item, box);
        else if (type == QLatin1String("graphic"))
            Graphic(item, box);
        else if (type == QLatin1String("image"))
            Image(item, box);
        if (item.HasAttribute(QStringLiteral("CID")))
            items.push_back({box, Integer(item, "DBR"), item.Attribute(QStringLiteral("CID")), item.Text,
                             type == QLatin1String("band")});
    }

private:
    int Pixels(long double mm) const { return ClampCoordinate(RoundHalfEven(mm * zoom_ * factor_)); }

    void Text(const TRpDocnode& item, const QRect& box)
    {
        FontSpec font;
        font.face = utility::QStringToCp1250(item.Attribute(QStringLiteral("Font"), QStringLiteral("Arial")));
        font.points = std::clamp(RoundHalfEvenInt(Number(item, "Height") * zoom_), 1, kMaxFontPixels);
        font.color = RpxColor(item.Attribute(QStringLiteral("Color")));
        font.bold = Lower(item, "FW") == QLatin1String("bold");
        const QString decoration = Lower(item, "Dec");
        font.italic = decoration == QLatin1String("italic");
        font.underline = decoration.contains(QLatin1String("underline"));
        font.strikeOut = decoration.contains(QLatin1String("strike"));
        font.orientation = Integer(item, "FR") % 3600;
        canvas_.SetFont(font);
        canvas_.SetTextAlign(TextAlign{});
        canvas_.SetBackground(Background{false, qRgb(255, 255, 255)});
        const std::string text = utility::QStringToCp1250(item.Text);
        if (!search_.isEmpty() && item.Text.contains(search_, sensitivity_)) {
            canvas_.SetPen(Pen{qRgb(255, 0, 0), PenStyle::Solid, 1});
            canvas_.SetBrush(Brush{qRgb(255, 255, 255), BrushStyle::Clear});
            canvas_.Rectangle(GdiRect(box.left(), box.top(), box.left() + canvas_.TextWidth(text),
                                      box.top() + canvas_.TextHeight("M")));
        }
        canvas_.TextOut(box.left(), box.top(), text);
    }

    void Graphic(const TRpDocnode& item, const QRect& box)
    {
        const int width = std::clamp(RoundHalfEvenInt(Number(item, "LW") * zoom_ * factor_), 1, kMaxPenWidth);
        const Pen pen{RpxColor(item.Attribute(QStringLiteral("Color"))), PenStyle::Solid, width};
        const Brush brush{RpxColor(item.Attribute(QStringLiteral("BC"))), BrushStyle::Solid};
        const bool fill = Lower(item, "FT") == QLatin1String("fill");
        const Edges e = EdgesOf(box);
        canvas_.SetPen(fill ? Pen{pen.color, PenStyle::Clear, 1} : pen);
        canvas_.SetBrush(fill ? brush : Brush{brush.color, BrushStyle::Clear});
        switch (Integer(item, "SP")) {
        case 0:
            canvas_.Rectangle(box);
            break;
        case 1:
            canvas_.Ellipse(box);
            break;
        case 2:
            canvas_.SetPen(pen);
            canvas_.Line(e.left, e.top, e.right, e.top);
            break;
        case 3:
            canvas_.SetPen(pen);
            canvas_.Line(e.left, e.top, e.left, e.bottom);
            break;
        case 7:
            canvas_.SetPen(pen);
            canvas_.Line(e.right, e.top, e.left, e.bottom);
            break;
        case 8:
            canvas_.SetPen(pen);
            canvas_.Line(e.left, e.top, e.right, e.bottom);
            break;
        default:
            break;
        }
    }

    void Image(const TRpDocnode& item, const QRect& box)
    {
        if (!images_) {
            canvas_.SetPen(Pen{qRgb(0, 0, 0), PenStyle::Solid, 1});
            canvas_.SetBrush(Brush{qRgb(0xC0, 0xC0, 0xC0), BrushStyle::Solid});
            canvas_.Rectangle(box);
            return;
        }
        // A picture grows right and down from its corner: one that begins beyond the page
        // cannot be seen, and is not decoded.
        if (box.left() >= pageSize_.width() || box.top() >= pageSize_.height())
            return;
        const QImage picture =
            pictures_.Picture(item, Lower(item, "Cmp") == QLatin1String("lzw"), pageImageBytes_, shown_);
        if (picture.isNull()) {
            canvas_.SetBackground(Background{false, qRgb(255, 255, 255)});
            canvas_.SetTextAlign(TextAlign{});
            canvas_.TextOut(box.left(), box.top(), "Image not available");
            return;
        }
        // Drawn at its own resolution (96 pixels per inch when it names none) and the zoom.
        const long double dpi = picture.dotsPerMeterX() > 0 ? picture.dotsPerMeterX() * 0.0254L : 96.0L;
        const long double scale = zoom_ * canvas_.Dpi() / dpi;
        canvas_.DrawPicture(GdiRect(box.left(), box.top(),
                                    ClampCoordinate(box.left() + RoundHalfEven(picture.width() * scale)),
                                    ClampCoordinate(box.top() + RoundHalfEven(picture.height() * scale))),
                            picture);
    }

    Canvas& canvas_;
    long double zoom_;
    long double factor_;
    QString search_;
    Qt::CaseSensitivity sensitivity_;
    bool images_;
    TRpXImageCache& pictures_;
    QSize pageSize_;
    bool shown_;
    std::size_t pageImageBytes_ = 0;
};

}  // namespace

QRgb RpxColor(const QString& value)
{
    if (value.size() < 6)
        return qRgb(255, 255, 255);
    bool ok = false;
    const uint rgb = value.right(6).toUInt(&ok, 16);
    return ok ? qRgb(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                     static_cast<int>(rgb & 0xFF))
              : qRgb(255, 255, 255);
}

std::unique_ptr<TRpXDocument> TRpXDocument::FromText(const QString& text, QString& error)
{
    std::unique_ptr<TRpXDocument> document(new TRpXDocument);
    document->root_ = ReadRpxText(text);
    if (!document->root_) {
        error = QStringLiteral("This is no XML report document");
        return nullptr;
    }
    if (!document->ReadHeader(error))
        return nullptr;
    document->CollectPages();
    return document;
}

std::unique_ptr<TRpXDocument> TRpXDocument::FromFile(const std::filesystem::path& fileName, QString& error)
{
    QFile file(QString::fromStdU16String(fileName.u16string()));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return nullptr;
    }
    QString text;
    if (!DecodeRpxBytes(file.readAll(), text, error))
        return nullptr;
    return FromText(text, error);
}

bool TRpXDocument::ReadHeader(QString& error)
{
    const TRpDocnode* header = root_->Child(QStringLiteral("Header"));
    if (!header) {
        error = QStringLiteral("page width missing");
        return false;
    }
    const TRpDocnode& h = *header;
    if (!PageLength(h, "Pagewidth", "page width missing", pageWidth_, error) ||
        !PageLength(h, "Pageheight", "page height missing", pageHeight_, error))
        return false;
    paperName_ = h.Attribute(QStringLiteral("PaperName"), QStringLiteral("Unknown"));
    const TRpDocnode* orientation = h.Child(QStringLiteral("Orientation"));
    if (!orientation)
        orientation = root_->Child(QStringLiteral("Orientation"));
    orientation_ = orientation && orientation->Text.trimmed() != QLatin1String("portrait") ? 1 : 0;
    return true;
}

void TRpXDocument::CollectPages()
{
    // Depth first without recursion: a document may nest as deep as it likes.
    std::vector<const TRpDocnode*> pending{root_.get()};
    while (!pending.empty()) {
        const TRpDocnode* node = pending.back();
        pending.pop_back();
        if (node->Name == QLatin1String("Page")) {
            pages_.push_back(node);
            continue;
        }
        for (auto child = node->Children.rbegin(); child != node->Children.rend(); ++child)
            pending.push_back(child->get());
    }
}

QSize TRpXDocument::PictureSize(double zoom) const
{
    const auto side = [zoom](double mm) {
        return RoundHalfEvenInt(static_cast<long double>(RoundHalfEvenInt(mm * kPictureFactor)) * zoom / 100.0L);
    };
    return {side(pageWidth_), side(pageHeight_)};
}

std::vector<TPageItem> TRpXDocument::DrawPage(int n, double zoom, Canvas& canvas, const QString& search, bool matchCase,
                                              bool images) const
{
    std::vector<TPageItem> items;
    const QString number = QString::number(n);
    const auto page = std::find_if(pages_.begin(), pages_.end(), [&](const TRpDocnode* p) {
        return p->Attribute(QStringLiteral("Number")).trimmed() == number;
    });
    if (page == pages_.end())
        return items;
    PageDrawer drawer(canvas, zoom, search, matchCase, images, *images_, PictureSize(zoom), n == shownPage_);
    for (const int layer : {2, 1, 0}) {
        for (const std::unique_ptr<TRpDocnode>& item : (*page)->Children)
            if (item->Name == kItem && Integer(*item, "LY") == layer)
                drawer.Draw(*item, items);
    }
    return items;
}

QImage TRpXDocument::PagePicture(int n, double zoom, std::vector<TPageItem>* items, const QString& search,
                                 bool matchCase, bool images) const
{
    const QSize size = PictureSize(zoom);
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxRpxPictureSide ||
        size.height() > kMaxRpxPictureSide || static_cast<qint64>(size.width()) * size.height() > kMaxRpxPicturePixels)
        return {};
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    // 96 pixels per inch whatever the screen has: the picture's own resolution sets the scale.
    const int dotsPerMeter = RoundHalfEvenInt(kMeasureDpi / 0.0254L);
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    PainterCanvas canvas(painter, kMeasureDpi, fonts_.get());
    std::vector<TPageItem> drawn = DrawPage(n, zoom, canvas, search, matchCase, images);
    if (items)
        *items = std::move(drawn);
    return picture;
}

void TRpXDocument::SetShownPage(int n)
{
    if (n != shownPage_)
        images_->NewShownPage();
    shownPage_ = n;
}

std::vector<TRpXIndexEntry> TRpXDocument::SearchIndex() const
{
    std::vector<TRpXIndexEntry> index;
    for (const TRpDocnode* page : pages_) {
        const int number = Integer(*page, "Number");
        for (const std::unique_ptr<TRpDocnode>& item : page->Children)
            if (item->Name == kItem && item->Attribute(QStringLiteral("Type")) == QLatin1String("text"))
                index.push_back({item->Text, number, Number(*item, "X"), Number(*item, "Y")});
    }
    return index;
}

}  // namespace report::output
