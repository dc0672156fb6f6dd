#include "report/output/xml/rpx_viewer.h"

#include "report/output/canvas/measure.h"
#include "report/output/canvas/rounding.h"
#include "report/output/pages/page_paint.h"
#include "report/output/viewer/preview_thumbs.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>

namespace report::output {
namespace {

constexpr double kPixelsPerMm = 3.7795;
// A zoom never falls to nothing, however small the window.
constexpr double kMinZoom = 5;
constexpr int kHorizontalIncrement = 52;
constexpr int kVerticalIncrement = 43;

XMLPreviewInterfaceFactory& XmlFactory()
{
    static XMLPreviewInterfaceFactory factory;
    return factory;
}

}  // namespace

// ---- TRpXSearchDlg ----

TRpXSearchDlg::TRpXSearchDlg(QWidget* parent) : TSearchDlg(parent)
{
    setObjectName(QStringLiteral("TRpXSearchDlg"));
    setWindowTitle(tr("RPX Text Search"));
    Label1->setText(tr("Search for :"));
    CheckBox1->setText(tr("Match Case"));
}

// ---- TRpXPageImage ----

TRpXPageImage::TRpXPageImage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PageImage"));
    setMouseTracking(true);
}

void TRpXPageImage::SetPicture(QImage picture, std::vector<TPageItem> items)
{
    picture_ = std::move(picture);
    items_ = std::move(items);
    hovered_ = nullptr;
    resize(picture_.isNull() ? QSize(1, 1) : picture_.size());
    update();
}

const TPageItem* TRpXPageImage::ItemAt(const QPoint& at, bool bands) const
{
    for (const bool band : {false, true}) {
        if (band && !bands)
            break;
        for (const TPageItem& item : items_)
            if (item.band == band && item.rect.contains(at))
                return &item;
    }
    return nullptr;
}

void TRpXPageImage::paintEvent(QPaintEvent* event)
{
    static_cast<void>(event);
    QPainter painter(this);
    if (!picture_.isNull())
        painter.drawImage(0, 0, picture_);
}

void TRpXPageImage::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const TPageItem* item = ItemAt(event->position().toPoint(), false);
    if (item == hovered_)
        return;
    hovered_ = item;
    if (OnHover)
        OnHover(item);
}

void TRpXPageImage::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (const TPageItem* item = ItemAt(event->position().toPoint(), true); item && OnClick)
        OnClick(*item);
}

// ---- TRpXStandardViewer ----

TRpXStandardViewer::TRpXStandardViewer() : TRpPreviewFrame({100, 120, 150, 150}, new QScrollArea)
{
    setObjectName(QStringLiteral("TRpXStandardViewer"));
    setWindowTitle(tr("Report Preview : "));
    pageArea_->setObjectName(QStringLiteral("ScrollBox"));
    pageArea_->setAlignment(Qt::AlignCenter);
    image_ = new TRpXPageImage;
    pageArea_->setWidget(image_);
    pageArea_->horizontalScrollBar()->setSingleStep(kHorizontalIncrement);
    pageArea_->verticalScrollBar()->setSingleStep(kVerticalIncrement);
    Command("CancelButton")->setVisible(false);
    Command("Zoom100")->setChecked(true);

    OnCommand("ZoomFit", [this] { ZoomToFitClick(); });
    OnCommand("ZoomToWidth", [this] { ZoomToWidthClick(); });
    OnCommand("Zoom100", [this] { ZoomTo100Click(); });
    OnCommand("GotoPageButton", [this] { GotoPageButtonClick(); });
    OnCommand("FindButton", [this] { FindButtonClick(); });
    OnCommand("copybutton", [this] { copybuttonClick(); });
    OnCommand("Print", [this] { PrintClick(); });
    OnCommand("SaveReport", [this] { SaveClick(); });
    OnCommand("PrintSetup", [this] { PrintSetupClick(); });
    OnCommand("LoadReport", [this] { LoadClick(); });
    connect(SearchResultBox, &QListWidget::itemClicked, this, [this] { Guarded([&] { SearchResultBoxClick(); }); });
    connect(SearchResultBox, &QListWidget::itemActivated, this, [this] { Guarded([&] { SearchResultBoxClick(); }); });
    ThumbGrid->OnResize = [this] { UpdateThumbs(); };

    image_->OnHover = [this](const TPageItem* item) {
        StatusPanel(3).setText(item ? item->text : QString());
        if (item)
            Fire(TPrevEventType::etMouseOver, item->id, item->text, item->number + 1);
        else
            Fire(TPrevEventType::etMouseOut);
    };
    image_->OnClick = [this](const TPageItem& item) {
        Fire(item.band ? TPrevEventType::etBandClick : TPrevEventType::etControlClick, item.id, item.text,
             item.number + 1);
    };
    thumbModel_->SetPagePainter([this](int page, QSize size) -> QImage {
        if (!document_ || page < 1 || page > document_->PageCount())
            return {};
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        PaintPage(nullptr, painter, picture.rect(), true);
        const int across = std::max(1, document_->PictureSize(100).width());
        const QImage drawn = document_->PagePicture(page, 100.0 * std::max(1, size.width() - 4) / across, nullptr,
                                                    QString(), false, thumbnailImages_);
        if (!drawn.isNull())
            painter.drawImage(QRect(1, 1, size.width() - 4, size.height() - 4), drawn);
        return picture;
    });
    UpdateStatusBar();
}

int TRpXStandardViewer::PageCount() const { return document_ ? document_->PageCount() : 0; }

void TRpXStandardViewer::AttachDocument(std::unique_ptr<TRpXDocument> document, const QString& title)
{
    document_ = std::move(document);
    title_ = title;
    page_ = 1;
    searchText_.clear();
    index_ = document_ && showSearch_ ? document_->SearchIndex() : std::vector<TRpXIndexEntry>{};
    SearchResultBox->clear();
    SearchResultBox->setEnabled(false);
    SearchTextLabel->clear();
    setWindowTitle(tr("Report Preview : ") + title_);
    thumbModel_->Invalidate();
    SetThumbRows(PageCount());
    UpdateThumbs();
    if (fit_ == Fit::Page)
        ZoomToFitClick();
    else if (fit_ == Fit::Width)
        ZoomToWidthClick();
    else
        Redraw();
    GoToPage(1);
}

bool TRpXStandardViewer::OpenFile(const std::filesystem::path& fileName)
{
    QString error;
    std::unique_ptr<TRpXDocument> document = TRpXDocument::FromFile(fileName, error);
    if (!document) {
        utility::ErrorBox(utility::QStringToCp1250(error));
        return false;
    }
    AttachDocument(std::move(document), QString::fromStdU16String(fileName.u16string()));
    return true;
}

void TRpXStandardViewer::SetShowThumbs(bool show)
{
    showThumbs_ = show;
    Tabs->setTabVisible(Tabs->indexOf(TabThumbs), show);
    Tabs->setVisible(showThumbs_ || showSearch_);
}

void TRpXStandardViewer::SetShowSearch(bool show)
{
    showSearch_ = show;
    Tabs->setTabVisible(Tabs->indexOf(TabSearchResult), show);
    Command("FindButton")->setVisible(show);
    Tabs->setVisible(showThumbs_ || showSearch_);
}

void TRpXStandardViewer::SetButtonsVisible(bool print, bool printSetup, bool save, bool load)
{
    Command("Print")->setVisible(print);
    Command("PrintSetup")->setVisible(printSetup);
    Command("SaveReport")->setVisible(save);
    Command("LoadReport")->setVisible(load);
}

// ---- Zoom and paging ----

void TRpXStandardViewer::SetZoom(double zoom)
{
    zoom_ = std::max(kMinZoom, zoom);
    Redraw();
}

void TRpXStandardViewer::ZoomToFitClick()
{
    fit_ = Fit::Page;
    if (document_)
        SetZoom((pageArea_->height() - 30) * 100.0 / (document_->PageHeight() * kPixelsPerMm));
}

void TRpXStandardViewer::ZoomToWidthClick()
{
    fit_ = Fit::Width;
    if (document_)
        SetZoom((pageArea_->width() - 25) * 100.0 / (document_->PageWidth() * kPixelsPerMm));
}

void TRpXStandardViewer::ZoomTo100Click()
{
    fit_ = Fit::None;
    SetZoom(100);
}

void TRpXStandardViewer::resizeEvent(QResizeEvent* event)
{
    TRpPreviewFrame::resizeEvent(event);
    if (fit_ == Fit::Page)
        ZoomToFitClick();
    else if (fit_ == Fit::Width)
        ZoomToWidthClick();
}

void TRpXStandardViewer::ShowPage(int n)
{
    if (n < 1 || n > PageCount())
        return;
    page_ = n;
    Redraw();
    pageArea_->horizontalScrollBar()->setValue(0);
    pageArea_->verticalScrollBar()->setValue(0);
}

void TRpXStandardViewer::Redraw()
{
    if (!document_) {
        image_->SetPicture(QImage(), {});
        UpdateStatusBar();
        return;
    }
    std::vector<TPageItem> items;
    document_->SetShownPage(page_);
    QImage picture = document_->PagePicture(page_, zoom_, &items, searchText_, matchCase_);
    if (picture.isNull()) {
        StatusPanel(3).setText(tr("The page is too large to be shown at this zoom"));
        items.clear();
    }
    image_->SetPicture(std::move(picture), std::move(items));
    UpdateStatusBar();
}

void TRpXStandardViewer::UpdateStatusBar()
{
    StatusPanel(0).setText(tr("Zoom: ") + QString::number(zoom_, 'f', 0).leftJustified(4) + tr(" %"));
    StatusPanel(1).setText(tr("Page: %1 of %2").arg(page_).arg(PageCount()));
    StatusPanel(2).setText(title_);
}

void TRpXStandardViewer::UpdateThumbs()
{
    const QSize tenths =
        document_ ? QSize(RoundHalfEvenInt(document_->PageWidth() * 10), RoundHalfEvenInt(document_->PageHeight() * 10))
                  : QSize(2100, 2970);
    const TRpThumbMetrics metrics =
        ComputeThumbMetrics(ThumbGrid->viewport()->width(), ThumbGrid->fontMetrics().height(), tenths);
    const QSize picture(metrics.width, metrics.height);
    ThumbGrid->setIconSize(picture);
    thumbModel_->SetPictureSize(picture);
}

void TRpXStandardViewer::GotoPageButtonClick()
{
    QInputDialog box(this);
    box.setObjectName(QStringLiteral("GotoPageBox"));
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(tr("Select Page"));
    box.setLabelText(tr("Go to page >>"));
    box.setTextValue(QString::number(page_));
    if (box.exec() != QDialog::Accepted)
        return;
    bool number = false;
    const int page = box.textValue().trimmed().toInt(&number);
    GoToPage(number && page >= 1 && page <= PageCount() ? page : 1);
}

// ---- Search ----

void TRpXStandardViewer::FindButtonClick()
{
    if (!document_)
        return;
    TRpXSearchDlg dialog(this);
    dialog.exec();
    if (dialog.Cancelled())
        return;
    searchText_ = dialog.Text();
    matchCase_ = dialog.MatchCase();
    SearchTextLabel->setText(searchText_);
    SearchResultBox->clear();
    SearchResultBox->setEnabled(true);
    const Qt::CaseSensitivity sensitivity = matchCase_ ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (std::size_t i = 0; i < index_.size(); ++i) {
        if (searchText_.isEmpty() || !index_[i].text.contains(searchText_, sensitivity))
            continue;
        auto* line = new QListWidgetItem(index_[i].text, SearchResultBox);
        line->setData(Qt::UserRole, static_cast<int>(i));
    }
    if (SearchResultBox->count() == 0) {
        SearchResultBox->addItem(tr("No matching text"));
        SearchResultBox->setEnabled(false);
        Redraw();
        return;
    }
    SearchResultBox->setCurrentRow(0);
    ShowHit(0);
}

void TRpXStandardViewer::SearchResultBoxClick()
{
    const int row = SearchResultBox->currentRow();
    if (row >= 0 && SearchResultBox->isEnabled())
        ShowHit(row);
}

void TRpXStandardViewer::ShowHit(int line)
{
    const QListWidgetItem* item = SearchResultBox->item(line);
    if (!item)
        return;
    const std::size_t at = static_cast<std::size_t>(item->data(Qt::UserRole).toInt());
    if (at >= index_.size())
        return;
    const TRpXIndexEntry& hit = index_[at];
    if (hit.page != page_)
        GoToPage(hit.page);
    else
        Redraw();
    // Towards the item: its place on the page, with some room above and to the left.
    const double factor = zoom_ / 100.0 * kMeasureDpi / 25.4;
    pageArea_->horizontalScrollBar()->setValue(std::max(0, static_cast<int>(hit.x * factor) - 50));
    pageArea_->verticalScrollBar()->setValue(std::max(0, static_cast<int>(hit.y * factor) - 50));
}

// ---- Buttons for the owner, copy, load, close ----

void TRpXStandardViewer::Fire(TPrevEventType type, const QString& name, const QString& text, int number)
{
    if (OnPrevXEvent)
        OnPrevXEvent(this, type, name, text, number);
}

void TRpXStandardViewer::PrintClick() { Fire(TPrevEventType::etPrintButton); }

void TRpXStandardViewer::SaveClick() { Fire(TPrevEventType::etSaveButton); }

void TRpXStandardViewer::PrintSetupClick() { Fire(TPrevEventType::etPrintSetup); }

void TRpXStandardViewer::copybuttonClick()
{
    if (!image_->Picture().isNull())
        QGuiApplication::clipboard()->setImage(image_->Picture());
}

void TRpXStandardViewer::LoadClick()
{
    QFileDialog dialog(this, tr("Load report"));
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // File masks are case-sensitive here: both cases of each.
    dialog.setNameFilters({tr("XML and RPX files (*.xml *.XML *.rpx *.RPX)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    static_cast<void>(OpenFile(std::filesystem::path(dialog.selectedFiles().constFirst().toStdU16String())));
}

void TRpXStandardViewer::closeEvent(QCloseEvent* event)
{
    if (thumbModel_->rowCount() > 0) {
        thumbSyncing_ = true;
        ThumbGrid->setCurrentIndex(thumbModel_->index(0));
        thumbSyncing_ = false;
    }
    utility::ShowDefaultCursor();
    TRpPreviewFrame::closeEvent(event);
}

// ---- Factories ----

QWidget* TRpXMLPreviewInterface::Show() { return nullptr; }

void TRpXMLPreviewInterface::ShowModal() {}

QImage TRpXMLPreviewInterface::PageImage() { return {}; }

void TRpXMLPreviewInterface::AttachDocument(std::unique_ptr<TRpXDocument> document, const QString& title)
{
    static_cast<void>(document);
    static_cast<void>(title);
}

TRpXMLStandardPreviewInterface::~TRpXMLStandardPreviewInterface()
{
    if (!viewer_)
        return;
    // A viewer on show lives on without its owner; one never shown would stay hidden for ever.
    if (viewer_->isVisible())
        viewer_->OnPrevXEvent = nullptr;
    else
        delete viewer_.data();
}

TRpXStandardViewer& TRpXMLStandardPreviewInterface::Viewer()
{
    if (!viewer_) {
        viewer_ = new TRpXStandardViewer;
        viewer_->OnPrevXEvent = [this](QObject* sender, TPrevEventType type, const QString& name, const QString& text,
                                       int number) {
            if (OnPrevXEvent)
                OnPrevXEvent(sender, type, name, text, number);
        };
    }
    return *viewer_;
}

QWidget* TRpXMLStandardPreviewInterface::Show()
{
    TRpXStandardViewer& viewer = Viewer();
    viewer.show();
    return &viewer;
}

void TRpXMLStandardPreviewInterface::ShowModal() { Viewer().exec(); }

QImage TRpXMLStandardPreviewInterface::PageImage() { return viewer_ ? viewer_->PageImage() : QImage(); }

void TRpXMLStandardPreviewInterface::AttachDocument(std::unique_ptr<TRpXDocument> document, const QString& title)
{
    Viewer().AttachDocument(std::move(document), title);
}

void SetXMLPreviewInterfaceClass(XMLPreviewInterfaceFactory factory) { XmlFactory() = std::move(factory); }

std::unique_ptr<TRpXMLPreviewInterface> MakeXMLPreviewInterface()
{
    if (XmlFactory()) {
        if (std::unique_ptr<TRpXMLPreviewInterface> made = XmlFactory()())
            return made;
    }
    return std::make_unique<TRpXMLPreviewInterface>();
}

}  // namespace report::output
