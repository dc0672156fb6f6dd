#include "smartcard/smartcardform.h"

#include "smartcard/apdudemocard.h"

#include <QCoreApplication>

#include <memory>

namespace smartcard {
namespace {

// Holds the one card form. One still held when the process ends after the application
// object is left alone: a widget cannot be destroyed without the application.
struct TFormHolder {
    std::unique_ptr<Tf_smartCard> form;
    ~TFormHolder()
    {
        if (!QCoreApplication::instance())
            (void)form.release();
    }
};

TFormHolder& Holder()
{
    static TFormHolder holder;
    return holder;
}

}  // namespace

Tf_smartCard::Tf_smartCard(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("f_smartCard"));
    setWindowTitle(QStringLiteral("f_smartCard"));
    setGeometry(309, 124, 352, 231);
    QFont formFont = font();
    formFont.setFamily(QStringLiteral("MS Sans Serif"));
    formFont.setPointSize(8);
    setFont(formFont);

    APDUDemoCard1 = new TAPDUDemoCard(this);
    APDUDemoCard1->setObjectName(QStringLiteral("APDUDemoCard1"));
    APDUDemoCard1->SetProtocolOnReset(prT0);
    using namespace std::placeholders;
    APDUDemoCard1->OnAutoReset = std::bind(&Tf_smartCard::APDUDemoCard1AutoReset, this, _1, _2, _3, _4);
    APDUDemoCard1->OnConnected = std::bind(&Tf_smartCard::APDUDemoCard1Connected, this, _1, _2, _3);
    APDUDemoCard1->OnNotConnected = std::bind(&Tf_smartCard::APDUDemoCard1NotConnected, this, _1, _2, _3);
    APDUDemoCard1->OnDisconnected = std::bind(&Tf_smartCard::APDUDemoCard1Disconnected, this, _1, _2, _3);
    APDUDemoCard1->OnReaderStateChange = std::bind(&Tf_smartCard::APDUDemoCard1ReaderStateChange, this, _1, _2, _3);
}

Tf_smartCard::~Tf_smartCard() = default;

void Tf_smartCard::APDUDemoCard1AutoReset(TAPDUDemoCard&, const std::string&, TReaderStates, bool& shouldConnect)
{
    shouldConnect = true;
}

void Tf_smartCard::APDUDemoCard1Connected(TAPDUDemoCard&, const std::string&, TReaderStates) {}
void Tf_smartCard::APDUDemoCard1NotConnected(TAPDUDemoCard&, const std::string&, TReaderStates) {}
void Tf_smartCard::APDUDemoCard1Disconnected(TAPDUDemoCard&, const std::string&, TReaderStates) {}
void Tf_smartCard::APDUDemoCard1ReaderStateChange(TAPDUDemoCard&, const std::string&, TReaderStates) {}

Tf_smartCard* f_smartCard() { return Holder().form.get(); }

Tf_smartCard& CreateSmartCardForm()
{
    TFormHolder& holder = Holder();
    if (!holder.form) {
        holder.form = std::make_unique<Tf_smartCard>();
        // The form goes before the application object does.
        if (QCoreApplication* application = QCoreApplication::instance())
            QObject::connect(application, &QCoreApplication::aboutToQuit, holder.form.get(),
                             [] { FreeSmartCardForm(); });
    }
    return *holder.form;
}

void FreeSmartCardForm() { Holder().form.reset(); }

}  // namespace smartcard
