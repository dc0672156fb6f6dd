// The card component: one reader of its own resource manager, watched once a second, a
// card connected when it is inserted and disconnected when it is taken out, and command and
// answer APDUs exchanged as buffers or hex text. User-interface thread only.
#pragma once

#include "smartcard/atr.h"
#include "smartcard/buffers.h"
#include "smartcard/reader_state.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QTimer;

namespace smartcard {

class TResourceManager;
class TSmartcardReader;
class TAPDUDemoCard;

// Sender, reader name (empty without a reader), dominant state (rsNoReader without a reader).
using TReaderEvent = std::function<void(TAPDUDemoCard& sender, const std::string& reader, TReaderStates state)>;
// As TReaderEvent; the handler may clear shouldConnect (true on entry) to keep the card unconnected.
using TAutoResetEvent =
    std::function<void(TAPDUDemoCard& sender, const std::string& reader, TReaderStates state, bool& shouldConnect)>;

class TAPDUDemoCard : public QObject {
public:
    static constexpr int kAnswerCapacity = 256;
    static constexpr int kWatchInterval = 1000;  // ms

    // Creates the resource manager (system scope, readers listed) and starts the watch timer.
    explicit TAPDUDemoCard(QObject* owner = nullptr);
    ~TAPDUDemoCard() override;
    TAPDUDemoCard(const TAPDUDemoCard&) = delete;
    TAPDUDemoCard& operator=(const TAPDUDemoCard&) = delete;

    // Properties.
    bool AutoReset() const { return autoReset_; }
    void SetAutoReset(bool on) { autoReset_ = on; }
    TProtocol ProtocolOnReset() const { return protocolOnReset_; }
    void SetProtocolOnReset(TProtocol protocol) { protocolOnReset_ = protocol; }
    TShareMode ShareModeOnReset() const { return shareModeOnReset_; }
    void SetShareModeOnReset(TShareMode mode) { shareModeOnReset_ = mode; }
    TDisposition DispositionOnReset() const { return dispositionOnReset_; }
    void SetDispositionOnReset(TDisposition disposition) { dispositionOnReset_ = disposition; }
    TDisposition DispositionOnAutoDisconnect() const { return dispositionOnAutoDisconnect_; }
    void SetDispositionOnAutoDisconnect(TDisposition disposition) { dispositionOnAutoDisconnect_ = disposition; }

    // Events; each optional.
    TAutoResetEvent OnAutoReset;
    TReaderEvent OnCardSwallowed, OnCardAbsent, OnConnected, OnNotConnected, OnDisconnected, OnBeginTransaction,
        OnEndTransaction, OnReaderNameChange, OnReaderStateChange;

    // Connects to the card of the selected reader with ShareModeOnReset and ProtocolOnReset,
    // or reconnects (resetting the card) when connected already. ESCardError kMessageOnly
    // "Reader not selected!" without a reader; PC/SC failures raise ESCardError.
    void Connect();
    // Sends the command and takes the answer: 0 when sent (IsError decides 2). A failed
    // exchange always raises and leaves the answer empty and SW1, SW2, SW at 0.
    int Execute();
    // Text of SW1 SW2 of the last answer.
    std::string StatusText() const;
    virtual bool IsError() const { return false; }
    void BeginTransaction();
    void EndTransaction();
    // Ends open transactions and disconnects; Connected() is false afterwards, even when it raises.
    void Disconnect(TDisposition disposition);
    // Disconnect that never raises.
    void DisconnectQuietly(TDisposition disposition) noexcept;
    // Connects with explicit parameters (disconnecting first when connected).
    void ConnectWith(TShareMode shareMode, TProtocol protocol);
    // The command buffer to the card, the answer buffer back (at most kAnswerCapacity bytes).
    // std::runtime_error "Reader not selected!" / "Not connected to a card!"; PC/SC
    // failures raise ESCardError.
    void Transmit();
    // Reads the reader's state without waiting and takes its ATR; with processChanges the
    // state changes are acted on too. False when nothing was read (no reader, no change).
    bool RefreshState(bool processChanges);
    // The reader selection window with the current reader preselected; the reader chosen
    // there (none after Cancel) is selected. True when a reader is selected afterwards.
    bool ChooseReaderDialog();
    // Copies up to `count` answer bytes from `index` (none past the answer); returns how many.
    int GetAnswerBytes(unsigned char* dest, int index, int count) const;
    // Copies `count` ATR bytes from `index`; nothing (0) when the range is not inside the ATR.
    int GetAtrBytes(unsigned char* dest, int index, int count) const;
    // `count` bytes into the command from position 5 + index; index 0 also sets Lc (byte 4).
    // Nothing for a negative index or count; std::length_error when Lc would exceed 255.
    void SetCommandData(const unsigned char* data, int index, int count);
    void SetCommand(const std::vector<unsigned char>& bytes);
    // The first `count` (0 to 4) bytes of `value`, lowest first, into the command from position 4.
    void SetCommandDataHex(std::uint32_t value, int count);
    // Hex text into the command from `index`, at most `count` bytes (no limit when negative).
    void SetCommandHexAt(int index, int count, std::string_view hex);
    void SetHeader(unsigned char cla, unsigned char ins, unsigned char p1, unsigned char p2);
    // Lists the readers and selects the first by sorted name, when there is one. Without a
    // resource-manager context it raises ESCardError with the code that kept the context
    // away (TResourceManager::CheckContext) and lists nothing.
    void UseFirstReader();
    // The only reader when there is exactly one, else the reader selection window.
    bool ChooseReader();
    static std::string StateText(TReaderStates state);
    // The whole command := the bytes of the hex text; std::invalid_argument
    // "Invalid hex block:'<text>'" for text that is not hex (the command is empty then).
    void SetCommandHex(std::string_view hex);
    // The whole answer (data, SW1, SW2) as upper-case hex pairs joined by one blank.
    std::string AnswerHex() const;
    std::string AtrHex() const { return atr_.Hex(); }
    int AtrLength() const { return atr_.Length(); }
    bool IsCardPresent() const;
    const std::string& ReaderName() const { return readerName_; }
    // The reader name, "(None)" when empty.
    std::string ReaderNameOrNone() const;
    // Selects a reader (an empty name selects none); a new name first disconnects with
    // diLeave. ESCardError SCARD_E_UNKNOWN_READER for a name the system does not know.
    void SetReaderName(const std::string& name);
    TReaderStates DominantState() const;
    bool InTransaction() const { return transactionDepth_ > 0; }

    bool Connected() const { return connected_; }
    unsigned char SW1() const { return sw1_; }
    unsigned char SW2() const { return sw2_; }
    int SW() const { return sw_; }
    TProtocol ActiveProtocol() const { return activeProtocol_; }
    TShareMode ActiveShareMode() const { return activeShareMode_; }
    const TCommandAPDUBuffer& Command() const { return command_; }
    const TAnswerAPDUBuffer& Answer() const { return answer_; }
    const TAtr& Atr() const { return atr_; }
    TResourceManager& Manager() { return *manager_; }
    // The selected reader (owned by the manager); null without one.
    TSmartcardReader* Reader() const { return reader_; }
    QTimer& WatchTimer() { return *watchTimer_; }

    // One tick of the watch timer: refresh the selected reader and act on what changed. A
    // failure is shown in an error box once (until a tick works again) and never escapes.
    void WatchTimerTick();
    // Acts on the state bits newly set since the last call: connects an inserted card and
    // disconnects a removed one (with AutoReset). Always true.
    bool ProcessStateChanges();
    // RefreshState without acting on changes; the newly set bits are kept for ProcessStateChanges.
    bool RefreshReaderState();

private:
    void CreateManager();
    void Fire(const TReaderEvent& event);
    void HandleStateChanges(TReaderState bits);
    void CardInserted();
    void CardRemoved();
    // Ends every open transaction; a failure (the card is gone) just closes them.
    void EndOpenTransactions() noexcept;
    void ReportTickFailure(const std::string& message);

    std::unique_ptr<TResourceManager> manager_;
    TAtr atr_;
    TAnswerAPDUBuffer answer_;
    TCommandAPDUBuffer command_;
    TSmartcardReader* reader_ = nullptr;
    std::unique_ptr<QTimer> watchTimer_;
    unsigned char sw1_ = 0;
    unsigned char sw2_ = 0;
    int sw_ = 0;
    int transactionDepth_ = 0;
    std::string readerName_;
    bool connected_ = false;
    bool readerAssigned_ = false;
    TProtocol activeProtocol_ = prNone;
    TShareMode activeShareMode_ = smNone;
    bool autoReset_ = true;
    TProtocol protocolOnReset_ = prDefault;
    TShareMode shareModeOnReset_ = smExclusive;
    TDisposition dispositionOnReset_ = diReset;
    TDisposition dispositionOnAutoDisconnect_ = diLeave;
    // State bits newly set by refreshes and not acted on yet.
    TReaderState pending_;
    bool processing_ = false;
    // The failure the watch timer last showed; empty after a tick that worked.
    std::string lastTickFailure_;
};

}  // namespace smartcard
