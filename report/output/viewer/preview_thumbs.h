// The preview window's thumbnails: one row per page, the page number as text and the page,
// painted small with its frame and shadow, as icon. Pictures are painted when a row is shown.
#pragma once

#include <QAbstractListModel>
#include <QCache>
#include <QImage>
#include <QListView>
#include <QPointer>
#include <QSize>

#include <functional>

namespace report::output {

class TRpPrinter;

struct TRpThumbMetrics {
    int textHeight = 0;   // height of "P" in the grid's font
    int columnWidth = 0;  // grid width - 4
    int width = 0;        // column width - 20
    int height = 0;       // the page's proportions over `width`, less the text height
    int left = 0;         // the picture's place in its cell
    int top = 0;
};
// The thumbnail sizes for a grid `gridWidth` pixels wide showing pages of `pageTenths`
// (0.1 mm, as the page is turned). Pictures are at least 8 pixels a side.
[[nodiscard]] TRpThumbMetrics ComputeThumbMetrics(int gridWidth, int textHeight, QSize pageTenths);

class TRpThumbModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Page `page` painted into a picture of `size`; a null image when there is no such page.
    using PagePainter = std::function<QImage(int page, QSize size)>;

    explicit TRpThumbModel(QObject* parent = nullptr);

    void SetPagePainter(PagePainter painter);
    // Rows beyond the document's pages have a number and no picture.
    void SetRowCount(int rows);
    void SetPictureSize(QSize size);
    [[nodiscard]] QSize PictureSize() const { return pictureSize_; }
    // Forgets the painted pictures (the document changed): every row is painted again.
    void Invalidate();
    // Page `page` painted as a thumbnail; a null image when the page cannot be had.
    [[nodiscard]] QImage Thumbnail(int page) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

private:
    PagePainter painter_;
    int rows_ = 0;
    QSize pictureSize_{60, 85};
    mutable QCache<int, QImage> pictures_;
};

// Pages of a printer object as thumbnails, frame and shadow included; nothing once the printer
// object is gone.
[[nodiscard]] TRpThumbModel::PagePainter RecordedPageThumbnails(TRpPrinter& printer);

// The list the thumbnails are shown in; tells its owner when its width changes.
class TRpThumbGrid : public QListView {
    Q_OBJECT
public:
    explicit TRpThumbGrid(QWidget* parent = nullptr);

    std::function<void()> OnResize;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace report::output
