// The sponsor window: a picture fetched from the maker's web site, shown as a link.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <filesystem>
#include <string>
#include <string_view>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTimer;

namespace app {

// Replaces the maker's web site address as the source of the sponsor files (tests).
inline constexpr const char* kSponsorSiteVariable = "KARTOVAN_SPONSOR_SITE";
inline constexpr const char* kSponsorDescriptionName = "obr.inf";
inline constexpr const char* kSponsorFolderOnSite = "/reklama/";
// Answers longer than these are refused.
inline constexpr qint64 kMaxDescriptionBytes = 64 * 1024;
inline constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;
inline constexpr int kSponsorTimeoutMs = 15000;

// The site of the sponsor files: the variable's value when it is set, else the maker's site.
QUrl SponsorSite();
// A plain name of letters, digits, "_" and "-" ending in ".bmp" or ".jpg" (any case).
bool IsAcceptablePictureName(std::string_view name);
// Only absolute http and https links with a host may be opened.
bool IsOpenableLink(const QUrl& link);

class Tf_oknoReklamowe : public QDialog {
    Q_OBJECT
public:
    // `programFolder` keeps obr.inf and the picture between runs; `site` is where they are
    // fetched from (its path is replaced by the sponsor folder's).
    Tf_oknoReklamowe(const std::filesystem::path& programFolder, const QUrl& site, QWidget* parent = nullptr);
    ~Tf_oknoReklamowe() override;

    // What a click on the picture opens: the shop's address unless the description names
    // an acceptable link.
    const QUrl& Link() const { return link_; }
    // True once the timer's work is over (picture shown or the fixed text kept).
    bool IsFinished() const { return finished_; }

    QPushButton* Image1 = nullptr;
    QLabel* Memo1a = nullptr;
    QWidget* Panel1 = nullptr;
    QTimer* Timer1 = nullptr;

    void Image1Click();

signals:
    void Finished();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void Timer1Timer();
    void DescriptionArrived(bool downloaded);
    void PictureArrived(bool downloaded);
    bool ShowPicture();
    void Finish();
    void Place();
    QUrl SiteFile(const std::string& name) const;

    std::filesystem::path folder_;
    QUrl site_;
    QUrl link_;
    std::filesystem::path picture_;
    QNetworkAccessManager* network_ = nullptr;
    QPointer<QNetworkReply> reply_;
    bool busy_ = false;
    bool finished_ = false;
};

// Creates the sponsor window over the program's folder and SponsorSite(), shows it modally
// and frees it.
void ShowAdWindow(QWidget* parent = nullptr);

}  // namespace app
