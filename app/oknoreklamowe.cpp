#include "app/oknoreklamowe.h"

#include "app/link_button.h"
#include "app/maker.h"
#include "app/url_download.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/jpegfile.h"
#include "utility/paths.h"
#include "utility/programfolder.h"
#include "utility/stringi.h"

#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cctype>

namespace app {

Q_LOGGING_CATEGORY(lcSponsor, "kartovan.app.sponsor")

namespace {

constexpr int kClientWidth = 534;
constexpr int kClientHeight = 295;
constexpr int kPanelHeight = 40;
constexpr std::size_t kMaxNameLength = 255;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

bool EndsWithNoCase(std::string_view text, std::string_view end)
{
    if (text.size() < end.size())
        return false;
    return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char lower, char c) { return lower == std::tolower(static_cast<unsigned char>(c)); });
}

bool IsBmpName(std::string_view name) { return EndsWithNoCase(name, ".bmp"); }

// Line 1 the picture's name, line 2 the link; false for a file that cannot be read or has
// fewer than two lines.
bool ReadDescription(const std::filesystem::path& path, std::string& name, std::string& link)
{
    QFile file(utility::PathToQString(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(kMaxDescriptionBytes);
    const utility::StringList lines = utility::SplitToList("\n", "", std::string_view(bytes.constData(), bytes.size()));
    if (lines.size() < 2)
        return false;
    name = utility::TrimBoth(utility::RemoveChar(lines[0], '\r'));
    link = utility::TrimBoth(utility::RemoveChar(lines[1], '\r'));
    return true;
}

QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }

void Paint(QWidget& widget, const QColor& background)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, background);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace

QUrl SponsorSite()
{
    const QByteArray value = qgetenv(kSponsorSiteVariable);
    return QUrl(value.isEmpty() ? U(kMakerWebSite) : QString::fromUtf8(value));
}

bool IsAcceptablePictureName(std::string_view name)
{
    if (name.size() > kMaxNameLength || !(IsBmpName(name) || EndsWithNoCase(name, ".jpg")))
        return false;
    const std::string_view stem = name.substr(0, name.size() - 4);
    return !stem.empty() && std::all_of(stem.begin(), stem.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x80 && (std::isalnum(u) || c == '_' || c == '-');
    });
}

bool IsOpenableLink(const QUrl& link)
{
    const QString scheme = link.scheme().toLower();
    return link.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !link.host().isEmpty();
}

Tf_oknoReklamowe::Tf_oknoReklamowe(const std::filesystem::path& programFolder, const QUrl& site, QWidget* parent)
    : QDialog(parent), folder_(programFolder), site_(site)
{
    setObjectName(QStringLiteral("f_oknoReklamowe"));
    setWindowTitle(U("Reklama ") + U(kMakerWebSite));
    Paint(*this, Rgb(255, 128, 0));

    Memo1a = new QLabel(this);
    Memo1a->setObjectName(QStringLiteral("Memo1a"));
    Memo1a->setWordWrap(true);
    Memo1a->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(29);
    Memo1a->setFont(font);
    Memo1a->setStyleSheet(QStringLiteral("color: white;"));

    Image1 = new LinkButton(QPixmap(), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    connect(Image1, &QPushButton::clicked, this, [this] { Image1Click(); });

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Paint(*Panel1, Rgb(0, 157, 157));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    network_ = new QNetworkAccessManager(this);
    FormCreate();
}

Tf_oknoReklamowe::~Tf_oknoReklamowe()
{
    AbortDownload(reply_);
    if (busy_)
        utility::ShowDefaultCursor();
}

void Tf_oknoReklamowe::FormCreate()
{
    Image1->hide();
    Memo1a->setText(U("Zapraszamy na stronę producenta\n") + U(kMakerWebSite));
    link_ = QUrl(U(kMakerShopWebSite));
    setFixedSize(kClientWidth, kClientHeight);
}

void Tf_oknoReklamowe::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void Tf_oknoReklamowe::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Place();
}

void Tf_oknoReklamowe::Place()
{
    Panel1->setGeometry(0, height() - kPanelHeight, width(), kPanelHeight);
    Memo1a->setGeometry(0, 0, width(), height() - kPanelHeight);
}

void Tf_oknoReklamowe::FormShow() { Timer1->start(); }

QUrl Tf_oknoReklamowe::SiteFile(const std::string& name) const
{
    QUrl url = site_;
    url.setPath(QString::fromLatin1(kSponsorFolderOnSite) +
                QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

void Tf_oknoReklamowe::Timer1Timer()
{
    Timer1->stop();
    if (busy_)
        return;
    busy_ = true;
    finished_ = false;
    utility::ShowHourglass();
    const DownloadLimits limits{kMaxDescriptionBytes, kSponsorTimeoutMs};
    reply_ = DownloadToFile(*network_, SiteFile(kSponsorDescriptionName), folder_ / kSponsorDescriptionName, limits,
                            [this](bool downloaded) { DescriptionArrived(downloaded); });
}

void Tf_oknoReklamowe::DescriptionArrived(bool downloaded)
{
    reply_ = nullptr;
    std::string name;
    std::string link;
    // Without a fresh description an old copy serves, with the picture already here.
    if (!ReadDescription(folder_ / kSponsorDescriptionName, name, link)) {
        Finish();
        return;
    }
    if (!IsAcceptablePictureName(name)) {
        qCWarning(lcSponsor) << "refused picture name" << QString::fromLatin1(name.c_str());
        Finish();
        return;
    }
    const QUrl url(utility::Cp1250ToQString(link), QUrl::StrictMode);
    if (IsOpenableLink(url))
        link_ = url;
    else
        qCWarning(lcSponsor) << "refused link" << utility::Cp1250ToQString(link);
    picture_ = folder_ / name;
    if (!downloaded) {
        PictureArrived(true);
        return;
    }
    const DownloadLimits limits{kMaxPictureBytes, kSponsorTimeoutMs};
    reply_ = DownloadToFile(*network_, SiteFile(name), picture_, limits, [this](bool ok) { PictureArrived(ok); });
}

void Tf_oknoReklamowe::PictureArrived(bool downloaded)
{
    reply_ = nullptr;
    if (downloaded)
        ShowPicture();
    Finish();
}

bool Tf_oknoReklamowe::ShowPicture()
{
    QImage image;
    const bool loaded = IsBmpName(picture_.filename().string()) ? image.load(utility::PathToQString(picture_), "BMP")
                                                                : utility::LoadJpegFile(image, picture_);
    if (!loaded || image.isNull())
        return false;
    const QPixmap pixmap = QPixmap::fromImage(image);
    Memo1a->hide();
    setFixedSize(pixmap.width(), pixmap.height() + kPanelHeight);
    Image1->setIcon(QIcon(pixmap));
    Image1->setIconSize(pixmap.size());
    Image1->setGeometry(0, 0, pixmap.width(), pixmap.height());
    Image1->setToolTip(link_.toString());
    Image1->show();
    return true;
}

void Tf_oknoReklamowe::Finish()
{
    repaint();
    if (busy_)
        utility::ShowDefaultCursor();
    busy_ = false;
    finished_ = true;
    emit Finished();
}

void Tf_oknoReklamowe::Image1Click()
{
    if (IsOpenableLink(link_))
        QDesktopServices::openUrl(link_);
}

void ShowAdWindow(QWidget* parent)
{
    Tf_oknoReklamowe window(utility::ProgramFolder(), SponsorSite(), parent);
    window.exec();
}

}  // namespace app
