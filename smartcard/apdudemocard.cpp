// The card component's reader, state watching and connection.
#include "smartcard/apdudemocard.h"

#include "smartcard/choose_reader.h"
#include "smartcard/resource_manager.h"
#include "smartcard/scard_error.h"
#include "smartcard/smartcard_reader.h"
#include "utility/dialogi.h"

#include <QPointer>
#include <QScopeGuard>
#include <QTimer>

namespace smartcard {
namespace {

// A reader whose state keeps changing while it is handled must not hold the tick forever;
// what is left waits for the next tick.
constexpr int kMaxProcessingRounds = 8;

}  // namespace

TAPDUDemoCard::TAPDUDemoCard(QObject* owner) : QObject(owner), watchTimer_(std::make_unique<QTimer>())
{
    watchTimer_->setInterval(kWatchInterval);
    QObject::connect(watchTimer_.get(), &QTimer::timeout, this, [this] { WatchTimerTick(); });
    answer_.SetCapacity(-kAnswerCapacity);
    SetReaderName(std::string());
    CreateManager();
    watchTimer_->start();
}

TAPDUDemoCard::~TAPDUDemoCard()
{
    watchTimer_.reset();
    reader_ = nullptr;
    if (!manager_)
        return;
    // The manager's readers disconnect (leaving the card) as they go.
    manager_->RemoveListener(this);
    manager_.reset();
}

void TAPDUDemoCard::CreateManager()
{
    if (manager_)
        return;
    manager_ = std::make_unique<TResourceManager>();
    manager_->SetFriendlyConnect(true);
    // The manager frees its reader objects when its context goes: never keep a pointer to one.
    manager_->AddListener(this, [this](TResourceManager&, int) {
        reader_ = nullptr;
        connected_ = false;
        pending_ = {};
    });
    manager_->SelectAvailable();
    manager_->SetScope(dsSystem);
}

void TAPDUDemoCard::Fire(const TReaderEvent& event)
{
    if (event)
        event(*this, reader_ ? readerName_ : std::string(), DominantState());
}

void TAPDUDemoCard::SetReaderName(const std::string& name)
{
    const bool changed = name != readerName_;
    if (changed) {
        // The old reader is let go: a card it just got must not be connected on the way out.
        const bool wasProcessing = processing_;
        processing_ = true;
        const auto restore = qScopeGuard([&] {
            processing_ = wasProcessing;
            pending_ = {};
        });
        Disconnect(diLeave);
    }
    readerName_ = name;
    reader_ = nullptr;
    if (!name.empty() && manager_)
        reader_ = &manager_->GetReader(name);
    if (reader_)
        reader_->ResetState();
    readerAssigned_ = reader_ != nullptr;
    // Without a reader this empties the ATR; with one, every current state bit is new now.
    RefreshReaderState();
    if (changed && OnReaderNameChange) {
        Fire(OnReaderNameChange);
        if (!reader_)
            Fire(OnReaderStateChange);
    }
    // Also for the same name again: a card inserted since the last tick is connected now
    // (and one connected already is reset), so a reader check never leaves a card unconnected.
    ProcessStateChanges();
}

void TAPDUDemoCard::UseFirstReader()
{
    if (!manager_)
        return;
    // No service means no reader: say why, rather than list over a null context.
    manager_->CheckContext();
    manager_->ListReaders();
    manager_->SelectAll();
    if (manager_->SelectedCount() > 0)
        SetReaderName(manager_->SelectedName(0));
}

bool TAPDUDemoCard::ChooseReader()
{
    manager_->ListReaders();
    manager_->SelectAll();
    if (manager_->SelectedCount() == 1) {
        UseFirstReader();
        return reader_ != nullptr;
    }
    return ChooseReaderDialog();
}

bool TAPDUDemoCard::ChooseReaderDialog()
{
    SetReaderName(ChooseReaderInWindow(readerName_));
    return reader_ != nullptr;
}

std::string TAPDUDemoCard::ReaderNameOrNone() const
{
    return readerName_.empty() ? std::string("(None)") : readerName_;
}

TReaderStates TAPDUDemoCard::DominantState() const
{
    return reader_ ? DominantReaderState(reader_->CurrentState()) : rsNoReader;
}

bool TAPDUDemoCard::IsCardPresent() const
{
    if (!reader_)
        return false;
    switch (DominantState()) {
    case rsCardPresent:
    case rsExclusive:
    case rsShared:
    case rsUnpowered:
    case rsMute:
        return true;
    default:
        return false;
    }
}

std::string TAPDUDemoCard::StateText(TReaderStates state) { return ReaderStateText(ReaderStateToSet(state)); }

bool TAPDUDemoCard::RefreshReaderState()
{
    if (!reader_) {
        atr_ = TAtr();
        return false;
    }
    const bool read = reader_->Refresh(0);
    // Kept until acted on: a refresh that does not act must not swallow an insertion.
    pending_ = pending_ | reader_->NewlySet();
    atr_.Assign(reader_->Atr());
    return read;
}

bool TAPDUDemoCard::RefreshState(bool processChanges)
{
    const bool read = RefreshReaderState();
    return processChanges ? ProcessStateChanges() : read;
}

bool TAPDUDemoCard::ProcessStateChanges()
{
    // Connect and Disconnect refresh and ask for processing again: the loop below takes
    // what they found, so handlers never run nested.
    if (!reader_ || processing_)
        return true;
    processing_ = true;
    const auto done = qScopeGuard([this] { processing_ = false; });
    for (int round = 0; round < kMaxProcessingRounds && reader_; ++round) {
        const TReaderState bits = pending_;
        pending_ = {};
        if (bits.Empty())
            break;
        HandleStateChanges(bits);
    }
    return true;
}

void TAPDUDemoCard::HandleStateChanges(TReaderState bits)
{
    Fire(OnReaderStateChange);
    // Bits gathered over several refreshes may hold a removal and an insertion: the card
    // that went comes first, and a card that came and went again is not connected.
    const bool removed = bits.Has(rsEmpty);
    const bool inserted = bits.Has(rsCardPresent) && (!removed || (reader_ && reader_->CardPresent()));
    if (removed)
        CardRemoved();
    if (inserted && reader_)
        CardInserted();
}

void TAPDUDemoCard::CardInserted()
{
    Fire(OnCardSwallowed);
    if (!autoReset_)
        return;
    bool shouldConnect = true;
    if (OnAutoReset)
        OnAutoReset(*this, reader_ ? readerName_ : std::string(), DominantState(), shouldConnect);
    if (shouldConnect)
        Connect();
}

void TAPDUDemoCard::CardRemoved()
{
    if (autoReset_)
        DisconnectQuietly(dispositionOnReset_);
    RefreshReaderState();
    Fire(OnCardAbsent);
}

void TAPDUDemoCard::WatchTimerTick()
{
    watchTimer_->stop();
    const QPointer<TAPDUDemoCard> self(this);
    // A timer slot: nothing may reach the event loop, and watching goes on.
    try {
        if (reader_) {
            RefreshReaderState();
            ProcessStateChanges();
        }
        lastTickFailure_.clear();
    } catch (const std::exception& e) {
        ReportTickFailure(e.what());
    } catch (...) {
        ReportTickFailure("Unknown error");
    }
    // The error box runs the event loop: the component may be gone after it.
    if (self)
        watchTimer_->start();
}

void TAPDUDemoCard::ReportTickFailure(const std::string& message)
{
    // The same failure once a second is shown once.
    if (message == lastTickFailure_)
        return;
    lastTickFailure_ = message;
    utility::ErrorBox(message);
}

void TAPDUDemoCard::Connect()
{
    if (!reader_) {
        connected_ = false;
        throw ESCardError(kMessageOnly, "Reader not selected!");
    }
    if (reader_->IsConnected()) {
        EndOpenTransactions();
        reader_->Reconnect(shareModeOnReset_, protocolOnReset_, diReset);
        connected_ = reader_->IsConnected();
        RefreshReaderState();
        ProcessStateChanges();
        if (!connected_)
            Fire(OnNotConnected);
        return;
    }
    if (!reader_->CardPresent())
        return;
    try {
        reader_->Connect(shareModeOnReset_, protocolOnReset_);
    } catch (...) {
        connected_ = reader_->IsConnected();
        throw;
    }
    connected_ = reader_->IsConnected();
    RefreshReaderState();
    ProcessStateChanges();
    if (connected_)
        Fire(OnConnected);
}

void TAPDUDemoCard::ConnectWith(TShareMode shareMode, TProtocol protocol)
{
    if (!reader_) {
        Fire(OnNotConnected);
        ProcessStateChanges();
        return;
    }
    if (connected_)
        DisconnectQuietly(dispositionOnAutoDisconnect_);
    if (!reader_) {
        Fire(OnNotConnected);
        return;
    }
    const auto finish = [this] {
        connected_ = reader_ && reader_->IsConnected();
        activeProtocol_ = connected_ ? reader_->Protocol() : prNone;
        activeShareMode_ = connected_ ? reader_->ShareMode() : smNone;
        Fire(connected_ ? OnConnected : OnNotConnected);
    };
    try {
        reader_->Connect(shareMode, protocol);
        RefreshReaderState();
    } catch (...) {
        finish();
        throw;
    }
    finish();
    ProcessStateChanges();
}

void TAPDUDemoCard::Disconnect(TDisposition disposition)
{
    const auto always = qScopeGuard([this] { connected_ = false; });
    if (!reader_)
        return;
    EndOpenTransactions();
    if (reader_->IsConnected())
        (void)reader_->Disconnect(disposition);
    connected_ = false;
    RefreshReaderState();
    ProcessStateChanges();
    Fire(OnDisconnected);
}

void TAPDUDemoCard::DisconnectQuietly(TDisposition disposition) noexcept
{
    try {
        Disconnect(disposition);
    } catch (...) {
        connected_ = false;
    }
}

void TAPDUDemoCard::BeginTransaction()
{
    if (!reader_) {
        transactionDepth_ = 0;
        return;
    }
    reader_->BeginTransaction();
    RefreshReaderState();
    ProcessStateChanges();
    ++transactionDepth_;
    Fire(OnBeginTransaction);
}

void TAPDUDemoCard::EndTransaction()
{
    if (transactionDepth_ <= 0)
        return;
    if (!reader_) {
        --transactionDepth_;
        return;
    }
    reader_->EndTransaction(diLeave);
    --transactionDepth_;
    RefreshReaderState();
    ProcessStateChanges();
    Fire(OnEndTransaction);
}

void TAPDUDemoCard::EndOpenTransactions() noexcept
{
    while (transactionDepth_ > 0) {
        try {
            EndTransaction();
        } catch (...) {
            // A card that is gone has no transaction left to end.
            transactionDepth_ = 0;
        }
    }
}

}  // namespace smartcard
