#include "report/output/viewer/preview_thumbs.h"

#include "report/output/canvas/rounding.h"
#include "report/output/pages/page_paint.h"
#include "report/output/printer/rp_printer.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace report::output {
namespace {

constexpr int kMinPicture = 8;
// Painted pictures kept at once: a few screens' worth of rows.
constexpr int kKeptPictures = 64;

}  // namespace

TRpThumbMetrics ComputeThumbMetrics(int gridWidth, int textHeight, QSize pageTenths)
{
    TRpThumbMetrics m;
    m.textHeight = textHeight;
    m.columnWidth = gridWidth - 4;
    m.width = std::max(kMinPicture, m.columnWidth - 20);
    const long double across = std::max(1, pageTenths.width());
    m.height = std::max(
        kMinPicture, RoundHalfEvenInt(pageTenths.height() * static_cast<long double>(m.width) / across - textHeight));
    m.left = RoundHalfEvenInt((m.columnWidth - m.width) / 2.0L);
    m.top = 0;
    return m;
}

TRpThumbModel::TRpThumbModel(QObject* parent) : QAbstractListModel(parent), pictures_(kKeptPictures) {}

void TRpThumbModel::SetPagePainter(PagePainter painter)
{
    painter_ = std::move(painter);
    Invalidate();
}

void TRpThumbModel::SetRowCount(int rows)
{
    rows = std::max(0, rows);
    if (rows > rows_) {
        beginInsertRows(QModelIndex(), rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows(QModelIndex(), rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
}

void TRpThumbModel::SetPictureSize(QSize size)
{
    if (size == pictureSize_)
        return;
    pictureSize_ = size;
    Invalidate();
}

void TRpThumbModel::Invalidate()
{
    pictures_.clear();
    if (rows_ > 0)
        emit dataChanged(index(0), index(rows_ - 1), {Qt::DecorationRole});
}

QImage TRpThumbModel::Thumbnail(int page) const { return painter_ ? painter_(page, pictureSize_) : QImage(); }

TRpThumbModel::PagePainter RecordedPageThumbnails(TRpPrinter& printer)
{
    return [printer = QPointer<TRpPrinter>(&printer)](int page, QSize size) -> QImage {
        if (!printer)
            return {};
        const std::shared_ptr<const Page> recorded = printer->RecordedPage(page);
        if (!recorded)
            return {};
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        PaintPage(recorded.get(), painter, picture.rect(), true, &printer->PageFonts());
        return picture;
    };
}

int TRpThumbModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant TRpThumbModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_)
        return {};
    const int page = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return QString::number(page);
    case Qt::AccessibleTextRole:
        return tr("Page %1").arg(page);
    case Qt::DecorationRole: {
        if (const QImage* kept = pictures_.object(page))
            return *kept;
        QImage picture = Thumbnail(page);
        if (picture.isNull())
            return {};
        pictures_.insert(page, new QImage(picture));
        return picture;
    }
    default:
        return {};
    }
}

TRpThumbGrid::TRpThumbGrid(QWidget* parent) : QListView(parent)
{
    setObjectName(QStringLiteral("ThumbGrid"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::TopToBottom);
    setWrapping(false);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TRpThumbGrid::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    if (OnResize && event->size().width() != event->oldSize().width())
        OnResize();
}

}  // namespace report::output
