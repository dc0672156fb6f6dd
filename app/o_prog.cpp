#include "app/o_prog.h"

#include "app/link_button.h"
#include "app/maker.h"
#include "utility/cp1250.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QUrl>

#include <algorithm>
#include <cstdlib>

namespace app {

namespace {

constexpr int kClientWidth = 569;
constexpr int kPanel2Height = 165;
constexpr int kMemoVisibleLines = 4;
constexpr int kValueLeft = 134;
constexpr int kCaptionGap = 6;

// Contact lines besides the names and links, UTF-8.
constexpr const char* kMakerPostalAddress = "ul. Przykładowa 1, 00-001 Warszawa";
constexpr const char* kMakerFax = "fax: +48 22 000 00 00";
constexpr const char* kMakerMobile = "tel. kom.: +48 600 000 000";

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QString Display(const std::string& cp1250)
{
    return utility::Cp1250ToQString(cp1250).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A driver card in the maker's colours.
QPixmap ProgramPicture()
{
    QPixmap picture(65, 57);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0, 157, 157));
    painter.setPen(QColor(0, 90, 90));
    painter.drawRoundedRect(QRectF(2, 8, 61, 41), 5, 5);
    painter.setBrush(QColor(230, 190, 60));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(9, 20, 14, 12), 2, 2);
    painter.setBrush(QColor(255, 128, 0));
    painter.drawRect(QRectF(30, 20, 27, 4));
    painter.drawRect(QRectF(30, 28, 20, 4));
    return picture;
}

void SetBold(QWidget& widget)
{
    QFont font = widget.font();
    font.setBold(true);
    widget.setFont(font);
}

}  // namespace

std::string AboutText()
{
    return utility::Pl("Program pobierający i prezentujący dane z kart kierowców.\r\n"
                       "Do dalszego udostępniania danych niezbędny jest program \"Trivandel\".\r\n"
                       "W sprawie pozostałych elementów systemu (czytnik, oprogramowanie analizujące dane) "
                       "zapraszamy do kontaktu z producentem na stronie ") +
           utility::Pl(kMakerWebSite) + "\r\n\r\n" + utility::Pl("Transport i spedycja - tylko z nami!");
}

Tf_o_prog1::Tf_o_prog1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("f_o_prog1"));
    setWindowTitle(QStringLiteral("O programie"));

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 8, 65, 57);
    Image1->setScaledContents(true);
    Image1->setPixmap(ProgramPicture());

    Label9 = AddLabel(Panel2, "Label9", QStringLiteral("Nazwa:"), 84, 10);
    Label12 = AddLabel(Panel2, "Label12", QStringLiteral("Wersja:"), 84, 44);
    Label10 = AddLabel(Panel2, "Label10", QStringLiteral("Producent:"), 84, 62);
    // The values start right of the widest caption, whatever font the desktop gives.
    int left = kValueLeft;
    for (const QLabel* caption : {Label9, Label12, Label10})
        left = std::max(left, caption->geometry().right() + 1 + kCaptionGap);
    l_nazwa = new QPlainTextEdit(Panel2);
    l_nazwa->setObjectName(QStringLiteral("l_nazwa"));
    l_nazwa->setGeometry(left, 6, std::min(431, kClientWidth - 4 - left), 34);
    l_nazwa->setReadOnly(true);
    l_nazwa->setFrameShape(QFrame::NoFrame);
    l_nazwa->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetBold(*l_nazwa);
    l_wer = AddLabel(Panel2, "l_wer", QString(), left, 44);
    SetBold(*l_wer);
    BuildContactLines(left);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    Memo1->setFont(font);
    setFixedSize(kClientWidth, 292);
}

void Tf_o_prog1::BuildContactLines(int left)
{
    const QString lines[] = {U(kMakerOwner), U(kMakerCompany), U(kMakerPostalAddress), U(kMakerFax), U(kMakerMobile)};
    int top = 62;
    int number = 13;
    for (const QString& line : lines) {
        AddLabel(Panel2, ("Label" + std::to_string(number++)).c_str(), line, left, top);
        top += 14;
    }
    Label18 = new LinkButton(U(kMakerEmail), QColor(0, 0, 255), true, Panel2);
    Label18->setObjectName(QStringLiteral("Label18"));
    Label18->setToolTip(U("Kliknięcie uruchania domyślny program pocztowy z zaadresowanym listem"));
    Label18->move(left, top);
    connect(Label18, &QPushButton::clicked, this, [this] { Label18Click(); });
    Label19 = new LinkButton(U(kMakerWebSite), QColor(0, 0, 255), true, Panel2);
    Label19->setObjectName(QStringLiteral("Label19"));
    Label19->setToolTip(U("Kliknięcie uruchamia domyślną przeglądarkę internetową z naszą witryną"));
    Label19->move(left, top + 14);
    connect(Label19, &QPushButton::clicked, this, [this] { Label19Click(); });
}

void Tf_o_prog1::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void Tf_o_prog1::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Panel2->setGeometry(0, 0, width(), kPanel2Height);
    Memo1->setGeometry(0, kPanel2Height, width(), std::max(0, height() - kPanel2Height));
}

void Tf_o_prog1::FormShow()
{
    const bool memoShown = !Memo1->isHidden();
    const int lines = Memo1->toPlainText().count(QLatin1Char('\n')) + 1;
    Memo1->setVerticalScrollBarPolicy(lines > kMemoVisibleLines ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    const int lineHeight = std::abs(Memo1->font().pixelSize()) - 1;
    setFixedSize(kClientWidth, kPanel2Height + (memoShown ? kMemoVisibleLines * lineHeight : 0));
}

void Tf_o_prog1::Label18Click()
{
    const QByteArray subject = QUrl::toPercentEncoding(QStringLiteral("Z programu ") + l_nazwa->toPlainText());
    const QByteArray body = QUrl::toPercentEncoding(QStringLiteral("\r\nwer.=") + l_wer->text());
    const QByteArray link = "mailto:" + QByteArray(kMakerEmail) + "?subject=" + subject + "&body=" + body;
    QDesktopServices::openUrl(QUrl::fromEncoded(link, QUrl::StrictMode));
}

void Tf_o_prog1::Label19Click() { QDesktopServices::openUrl(QUrl(U(kMakerShopWebSite))); }

void ShowAboutBox(const std::string& name, const std::string& version, const std::string& text, bool authorFlag,
                  QWidget* parent)
{
    Tf_o_prog1 window(parent);
    window.l_nazwa->setPlainText(Display(name));
    if (version.empty())
        window.Label12->hide();
    else
        window.l_wer->setText(Display(version));
    window.l_wer->adjustSize();
    window.l_wer->setVisible(!window.Label12->isHidden());
    window.Label9->setVisible(!name.empty());
    if (authorFlag)
        window.Label10->setText(QStringLiteral("Autor:"));
    window.Label10->adjustSize();
    window.Memo1->setPlainText(Display(text));
    window.Memo1->setVisible(!text.empty());
    window.exec();
}

}  // namespace app
