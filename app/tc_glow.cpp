// The program's main window.
#include "app/tc_glow.h"

#include "app/import_devices.h"
#include "app/link_button.h"
#include "app/maker.h"
#include "app/o_prog.h"
#include "app/oknoreklamowe.h"
#include "app/startup.h"
#include "app/tc_druk.h"
#include "app/tc_glow_pictures.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/dos_ext.h"
#include "utility/paths.h"
#include "utility/programfolder.h"
#include "utility/win_ext.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

#include <exception>

namespace app {
namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 490;
constexpr int kPanel4Width = 216;
constexpr int kPictureWidth = 96;  // Image1
const QColor kFormColour(128, 129, 123);
const QColor kSummaryColour(79, 79, 79);

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// "MS Sans Serif" does not exist here; a sans-serif of the same pixel size stands in for it.
QFont WindowFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont ArialBold(int pixelSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QFrame* MakePanel(const char* name, QWidget* parent, const QRect& geometry)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

QLabel* MakeLabel(const char* name, QWidget* parent, const QRect& geometry, const QString& hint = {})
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setToolTip(hint);
    if (!hint.isEmpty())
        label->setAccessibleDescription(hint);
    return label;
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

QPlainTextEdit* MakeMemo(const char* name, QWidget* parent, const QRect& geometry)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setGeometry(geometry);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

void ShellOpen(const QString& target) { QDesktopServices::openUrl(QUrl(target)); }

}  // namespace

template <class Sender, class Signal>
void Tf_tcGlow::Guard(Sender* sender, Signal signal, void (Tf_tcGlow::*handler)())
{
    connect(sender, signal, this, [this, handler] { RunGuarded(handler); });
}

void WriteProgramFolderKey()
{
    // Other programs look the program up here; a failed write changes nothing for us.
    (void)utility::RegWritePath(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, "katKTExe", true,
                                utility::ExecutableFolder());
}

Tf_tcGlow::Tf_tcGlow(QStringList commandLine, QWidget* parent)
    : QMainWindow(parent), commandLine_(std::move(commandLine))
{
    setObjectName(QStringLiteral("f_tcGlow"));
    setFont(WindowFont(11));
    // A fixed tool-window sized client without maximize; the client is the central widget.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    BuildMenu();
    BuildUpperBand(client);
    BuildSummary(client);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);
    Timer1->setSingleShot(true);
    Guard(Timer1, &QTimer::timeout, &Tf_tcGlow::Timer1Timer);
    FormCreate();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

Tf_tcGlow::~Tf_tcGlow() { FormDestroy(); }

void Tf_tcGlow::BuildMenu()
{
    QMenuBar* MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [this](QWidget* owner, const char* name, const char* caption, void (Tf_tcGlow::*handler)()) {
        auto* action = new QAction(U(caption), owner);
        action->setObjectName(QString::fromLatin1(name));
        owner->addAction(action);
        Guard(action, &QAction::triggered, handler);
        return action;
    };
    auto menu = [this, MainMenu1](const char* name, const char* caption) {
        auto* sub = new QMenu(U(caption), this);
        sub->setObjectName(QString::fromLatin1(name));
        sub->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item"));
        MainMenu1->addMenu(sub);
        return sub;
    };
    PobierzzOPTAC1 = item(MainMenu1, "PobierzzOPTAC1", "Pobierz z OPTAC, DIGIDOWN", &Tf_tcGlow::PobierzzOPTAC1Click);
    Plik1 = menu("Plik1", "Plik");
    Otwrz1 = item(Plik1, "Otwrz1", "Otwórz", &Tf_tcGlow::Otwrz1Click);
    Zapiszdanejako1 = item(Plik1, "Zapiszdanejako1", "Zmień nazwę", &Tf_tcGlow::Zapiszdanejako1Click);
    Otwrzkatalog1 = item(MainMenu1, "Otwrzkatalog1", "Otwórz katalog DDD", &Tf_tcGlow::Otwrzkatalog1Click);
    Inne1 = menu("Inne1", "Inne");
    Oprogramie1 = item(Inne1, "Oprogramie1", "O programie", &Tf_tcGlow::Oprogramie1Click);
    Ourzdzeniu1 = item(Inne1, "Ourzdzeniu1", "O urządzeniu", &Tf_tcGlow::Ourzdzeniu1Click);
    KatalogZOLT1 = item(Inne1, "KatalogZOLT1", "Otwórz katalog ZOLT", &Tf_tcGlow::KatalogZOLT1Click);
    Reklama1 = item(Inne1, "Reklama1", "Reklama", &Tf_tcGlow::Reklama1Click);
    Przetw1 = item(Inne1, "Przetw1", "Przetwórz kat na KK1", &Tf_tcGlow::Przetw1Click);
    Koniec1 = item(MainMenu1, "Koniec1", "Zamknij", &Tf_tcGlow::Koniec1Click);
}

void Tf_tcGlow::BuildUpperBand(QWidget* client)
{
    Panel2 = MakePanel("Panel2", client, QRect(0, 0, kClientWidth, 187));
    // The maker's names, covered by Panel5 once it is shown.
    const QColor white(255, 255, 255);
    Label8 = new LinkButton(U(kMakerCompany), white, false, Panel2);
    Label9 = new LinkButton(U(kMakerOwner), white, false, Panel2);
    Label7 = MakeMemo("Label7", Panel2, QRect());
    Label7->setFocusPolicy(Qt::NoFocus);
    QPalette memoColours = Label7->palette();
    memoColours.setColor(QPalette::Base, Qt::white);
    memoColours.setColor(QPalette::Text, Qt::black);
    Label7->setPalette(memoColours);
    Panel5 = MakePanel("Panel5", Panel2, QRect());
    Panel5->hide();

    Image3scr3310 = new LinkButton(DrawReaderPicture(153, 135), Panel5);
    Panel4 = MakePanel("Panel4", Panel5, QRect());
    BuildReaderPanel();
    Image1 = new LinkButton(DrawShopPicture(kPictureWidth, 135), Panel5);
    Label5 = new LinkButton(U(kMakerCompany), white, true, Panel5);
    Label10 = new LinkButton(U(kMakerOwner), white, true, Panel5);

    struct Link {
        LinkButton* button;
        const char* name;
        QRect geometry;
        const char* hint;
        void (Tf_tcGlow::*handler)();
    };
    const Link links[] = {
        {Label8, "Label8", QRect(8, 8, 240, 16), kMakerWebSite, &Tf_tcGlow::Label8Click},
        {Label9, "Label9", QRect(8, 26, 240, 16), kMakerWebSite, &Tf_tcGlow::Label8Click},
        {Label5, "Label5", QRect(0, 48, 0, 16), kMakerWebSite, &Tf_tcGlow::Label8Click},
        {Label10, "Label10", QRect(0, 68, 0, 16), kMakerWebSite, &Tf_tcGlow::Label8Click},
        {Image3scr3310, "Image3scr3310", QRect(), kMakerShopWebSite, &Tf_tcGlow::Image3scr3310Click},
        {Image1, "Image1", QRect(), kMakerShopWebSite, &Tf_tcGlow::Image1Click},
    };
    for (const Link& link : links) {
        link.button->setObjectName(QString::fromLatin1(link.name));
        link.button->setGeometry(link.geometry);
        link.button->setToolTip(U(link.hint));
        if (link.button->text().isEmpty())
            link.button->setAccessibleName(U(link.hint));
        Guard(link.button, &QPushButton::clicked, link.handler);
    }
    for (LinkButton* label : {Label5, Label10})
        label->resize(label->sizeHint().width(), label->height());
}

void Tf_tcGlow::BuildReaderPanel()
{
    const int inner = kPanel4Width - 2;
    Panel6 = MakePanel("Panel6", Panel4, QRect(1, 1, inner, 32));
    Panel6->setFrameStyle(QFrame::NoFrame);
    BitBtnSprawdz = MakeButton("BitBtnSprawdz", U("Sprawdź czytnik"), Panel6, QRect((inner - 145) / 2, 4, 145, 25));
    Guard(BitBtnSprawdz, &QPushButton::clicked, &Tf_tcGlow::BitBtnSprawdzClick);

    Panel7 = MakePanel("Panel7", Panel4, QRect());
    Panel7->setFrameStyle(QFrame::NoFrame);
    Label35 = MakeLabel("Label35", Panel7, QRect(4, 1, inner - 8, 14));
    ButWczytaj = MakeButton("ButWczytaj", U("Wczytaj dane z karty"), Panel7, QRect((inner - 145) / 2, 16, 145, 25));
    ButWczytaj->setEnabled(false);
    Guard(ButWczytaj, &QPushButton::clicked, &Tf_tcGlow::ButWczytajClick);
    Label4 = MakeLabel("Label4", Panel7, QRect(4, 42, inner - 8, 14));
    for (QLabel* line : {Label35, Label4}) {
        line->setAlignment(Qt::AlignCenter);
        SetTextColour(line, Qt::white);
    }
    Memo1 = MakeMemo("Memo1", Panel4, QRect());
}

void Tf_tcGlow::BuildSummary(QWidget* client)
{
    Panel1 = MakePanel("Panel1", client, QRect(0, 187, kClientWidth, 321));
    Image2 = MakeLabel("Image2", Panel1, QRect(58, 0, 553, 321));
    Image2->setPixmap(DrawCardPicture());
    Panel3 = MakePanel("Panel3", Panel1, QRect(1, 1, 58, 319));
    Memo1pisanie = MakeMemo("Memo1pisanie", Panel3, QRect(4, 4, 50, 60));
    Memo1pisanie->hide();

    static const char* const hints[9] = {"Nazwisko",
                                         "Imię (imiona)",
                                         "Data urodzenia",
                                         "Data początku okresu ważności karty",
                                         "Data ważności karty",
                                         "Podmiot wydający kartę",
                                         "Numer PESEL",
                                         "Numer prawa jazdy",
                                         "Numer karty"};
    for (int i = 0; i < 9; ++i) {
        const std::string name = "Label" + std::to_string(i + 1) + "k";
        LabelK[i] = MakeLabel(name.c_str(), Panel1, QRect(226, 40 + 20 * i, 380, 16), U(hints[i]));
        LabelK[i]->setFont(WindowFont(11, true));
    }
    Label2 = MakeLabel("Label2", Panel1, QRect(88, 183, 136, 16), U("Pierwsza czynność w karcie"));
    Label6 = MakeLabel("Label6", Panel1, QRect(88, 199, 136, 16), U("Ostatnia czynność w karcie"));
    for (QLabel* label : LabelK)
        SetTextColour(label, kSummaryColour);
    SetTextColour(Label2, kSummaryColour);
    SetTextColour(Label6, kSummaryColour);

    const QString country = U("Kraj wydający kartę kierowcy");
    Label11symbKraju = MakeLabel("Label11symbKraju", Panel1, QRect(119, 267, 57, 33), country);
    Label11symbKraju->setFont(ArialBold(27));
    SetTextColour(Label11symbKraju, QColor(110, 82, 49));
    Label11krajGora = MakeLabel("Label11krajGora", Panel1, QRect(121, 35, 57, 33), country);
    Label11krajGora->setFont(ArialBold(29));
    SetTextColour(Label11krajGora, Qt::white);
    for (QLabel* sign : {Label11symbKraju, Label11krajGora}) {
        sign->setAlignment(Qt::AlignCenter);
        sign->setText(QStringLiteral("PL"));
    }

    LabelpodgladWydr = new LinkButton(U("Podgląd i wydruk listy czynności"), kSummaryColour, true, Panel1);
    LabelpodgladWydr->setObjectName(QStringLiteral("LabelpodgladWydr"));
    LabelpodgladWydr->move(226, 219);
    LabelpodgladWydr->resize(LabelpodgladWydr->sizeHint());
    LabelpodgladWydr->setFont(WindowFont(11));
    LabelpodgladWydr->hide();
    Guard(LabelpodgladWydr, &QPushButton::clicked, &Tf_tcGlow::LabelpodgladWydrClick);

    BitBtnDruk1 = MakeButton("BitBtnDruk1", U("Podgląd i wydruk"), Panel1, QRect(416, 262, 116, 40));
    BitBtnDruk1->setIcon(QIcon(DrawPrinterGlyph()));
    BitBtnDruk1->setIconSize(QSize(24, 24));
    BitBtnDruk1->setToolTip(U("Wydruk list czyności, miejsc i pojazdów zapisanych w karcie kierowcy"));
    BitBtnDruk1->hide();
    Guard(BitBtnDruk1, &QPushButton::clicked, &Tf_tcGlow::BitBtnDruk1Click);
}

QFileDialog* Tf_tcGlow::MakeOpenDialog(const char* name, const char* title, const char* suffix)
{
    // Name filters match letter case here, so each extension is listed in both cases.
    const QStringList filters = {QStringLiteral("*.* (*)"), QStringLiteral("*.DDD (*.DDD *.ddd)"),
                                 QStringLiteral("*.KF (*.KF *.kf)"), QStringLiteral("*.ZOLT (*.ZOLT *.zolt)"),
                                 QStringLiteral("*.KKD (*.KKD *.kkd)")};
    auto* open = new QFileDialog(this, U(title));
    open->setObjectName(QString::fromLatin1(name));
    open->setFileMode(QFileDialog::ExistingFile);
    open->setAcceptMode(QFileDialog::AcceptOpen);
    open->setNameFilters(filters);
    open->setDefaultSuffix(QString::fromLatin1(suffix));
    return open;
}

QFileDialog* Tf_tcGlow::OpenKF()
{
    if (openKF_ == nullptr)
        openKF_ = MakeOpenDialog("OpenKF", "Otwórz plik do pokazania", "DDD");
    return openKF_;
}

QFileDialog* Tf_tcGlow::OpenDialogKKD()
{
    if (openDialogKKD_ == nullptr)
        openDialogKKD_ = MakeOpenDialog("OpenDialogKKD", "Pliki KKD dla kontroli", "KKD");
    return openDialogKKD_;
}

}  // namespace app

namespace app {

void Tf_tcGlow::RunGuarded(void (Tf_tcGlow::*handler)())
{
    // No exception may cross the event loop: show it and carry on.
    try {
        (this->*handler)();
    } catch (const std::exception& e) {
        utility::ErrorBox(utility::Utf8ToCp1250(e.what()));
    } catch (...) {
        utility::ErrorBox(utility::Pl("Nieoczekiwany błąd programu."));
    }
}

void Tf_tcGlow::Realign()
{
    // Top to bottom as the panels are aligned: Panel2 at the top with the status line at its
    // bottom and Panel5 filling the rest; Panel1 below Panel2.
    const int band = Panel2->height();
    Label7->setGeometry(1, band - 1 - 31, kClientWidth - 2, 31);
    Panel5->setGeometry(1, 1, kClientWidth - 2, band - 2 - 31);
    const int inner = Panel5->height() - 2;
    Image3scr3310->setGeometry(1, 1, 153, inner);
    Panel4->setGeometry(1 + 153, 1, kPanel4Width, inner);
    Image1->setGeometry(Panel5->width() - 1 - kPictureWidth, 1, kPictureWidth, inner);
    Panel7->setGeometry(1, Panel4->height() - 1 - 57, kPanel4Width - 2, 57);
    Memo1->setGeometry(1, 1 + Panel6->height(), kPanel4Width - 2, Panel7->y() - 1 - Panel6->height());
    Panel1->move(0, band);
    PlaceMakerLabels();
}

void Tf_tcGlow::PlaceMakerLabels()
{
    for (LinkButton* label : {Label5, Label10})
        label->move(Image1->x() - label->width() - 6, label->y());
}

void Tf_tcGlow::ClearSummaryTexts()
{
    Label4->clear();
    Memo1->clear();
    Label35->clear();
    for (QLabel* label : LabelK)
        label->clear();
    Label2->clear();
    Label6->clear();
    // The country signs are card details too: an earlier card's sign must not stay.
    Label11symbKraju->clear();
    Label11krajGora->clear();
}

void Tf_tcGlow::SetPrintVisible(bool visible)
{
    BitBtnDruk1->setVisible(visible);
    LabelpodgladWydr->setVisible(!BitBtnDruk1->isHidden());
}

void Tf_tcGlow::FormCreate()
{
    DddFolder = utility::RegReadPath(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, "katDDD", false);
    if (DddFolder.empty()) {
        DddFolder = utility::ProgramFolder() / "DDD";
        (void)utility::RegWritePath(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, "katDDD", true,
                                    utility::NormalizePath(DddFolder, true));
    }
    // A folder that cannot be made is reported when a card file is saved into it.
    (void)utility::ForceDirectoriesReport(DddFolder, false);
    CurrentFileName.clear();
    Label7->clear();
    Panel2->resize(kClientWidth, 170);
    Panel5->show();
    setWindowTitle(U("Kartovan DDD - Odczyt karty kierowcy wer.:") + QString::fromLatin1(kProgramVersion));
    centralWidget()->setFixedSize(kClientWidth, kClientHeight);
    for (QWidget* w : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(Panel2), static_cast<QWidget*>(Panel3),
                       static_cast<QWidget*>(Panel5), centralWidget()})
        SetBackground(w, kFormColour);
    for (QWidget* w : {Panel4, Panel6, Panel7})
        SetBackground(w, kFormColour);
    Realign();
    ClearSummaryTexts();
    SetPrintVisible(false);
    ZoltFolder = tacho::GetZoltFolder();
    RpPDFFilter1.CompressionOn = false;
    report::output::TRpPDFFilter::SetFontHandling(report::output::TFontHandling::fhSubstitute);
}

void Tf_tcGlow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tf_tcGlow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void Tf_tcGlow::FormShow()
{
    PlaceMakerLabels();
    Timer1->start();
    Label7->clear();
    Label7->appendPlainText(U("Katalog z danymi z kart kierowców (plikami DDD): ") + utility::PathToQString(DddFolder));
}

void Tf_tcGlow::FormResize()
{
    PlaceMakerLabels();
    if (Image3scr3310->isVisible())
        Image3scr3310->parentWidget()->repaint();
}

void Tf_tcGlow::FormDestroy()
{
    // Only our own report title is taken back; what the user copied since stays.
    utility::ClearClipboardTextIfOurs();
}

void Tf_tcGlow::Timer1Timer()
{
    Timer1->stop();
    if (CurrentFileName.empty() && commandLine_.size() > 1)
        CurrentFileName = utility::PathFromQString(commandLine_.at(1));
    if (!CurrentFileName.empty())
        OpenCardFile(CurrentFileName);
}

void Tf_tcGlow::BitBtnDruk1Click()
{
    if (BitBtnDruk1->isHidden())
        return;
    setEnabled(false);
    // The window comes back enabled however the preview ends.
    const auto reenable = qScopeGuard([this] { setEnabled(true); });
    PreviewCardReport();
}

void Tf_tcGlow::LabelpodgladWydrClick() { BitBtnDruk1Click(); }

void Tf_tcGlow::Koniec1Click() { close(); }

void Tf_tcGlow::Ourzdzeniu1Click()
{
    utility::InfoBox(utility::Pl("Urządzenie OPTAC służy do pobierania danych z kart kierowców oraz z tachografu w "
                                 "pojeździe.\r\nProducentem jest firma Stoneridge Electronics Ltd Registered in "
                                 "Scotland\r\ni \"OPTAC\" jest jej znakiem towarowym"));
}

void Tf_tcGlow::PobierzzOPTAC1Click()
{
    if (ImportFromDownloadDevice(DddFolder))
        Otwrz1Click();
}

void Tf_tcGlow::Oprogramie1Click()
{
    ShowAboutBox(utility::Pl(kApplicationTitle), kProgramVersion, AboutText(), false, this);
}

void Tf_tcGlow::Reklama1Click() { ShowAdWindow(this); }

void Tf_tcGlow::Label8Click() { ShellOpen(U(kMakerWebSite)); }

void Tf_tcGlow::Image3scr3310Click() { ShellOpen(U(kMakerShopWebSite)); }

void Tf_tcGlow::Image1Click() { ShellOpen(U(kMakerShopWebSite)); }

void Tf_tcGlow::Label1Click() { QDesktopServices::openUrl(QUrl::fromLocalFile(utility::PathToQString(DddFolder))); }

void Tf_tcGlow::Przetw1Click() { ConvertFolderToKk1(); }

void Tf_tcGlow::PreviewCardReport() { app::PreviewCardReport(); }

}  // namespace app
