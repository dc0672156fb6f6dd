// One reader known to a resource manager: its PC/SC state record and state sets, the ATR
// of the card in it and, while connected, the card handle. Failures raise ESCardError.
#pragma once

#include "smartcard/atr.h"
#include "smartcard/buffers.h"
#include "smartcard/reader_state.h"

#include <winscard.h>

#include <string>

namespace smartcard {

class TResourceManager;

// Attribute value for GetAttrib / SetAttrib: up to 161 bytes, NUL-terminated after `length`.
struct TReaderAttribute {
    static constexpr DWORD kMaxLength = 161;
    DWORD length = 0;
    unsigned char data[kMaxLength + 1] = {};
    bool checked = false;  // the last GetAttrib succeeded
};

class TSmartcardReader {
public:
    // Takes the manager's context and reads the reader's state (time-out 0).
    TSmartcardReader(TResourceManager& manager, std::string name);
    // Disconnects (leaving the card) when connected.
    ~TSmartcardReader();
    TSmartcardReader(const TSmartcardReader&) = delete;
    TSmartcardReader& operator=(const TSmartcardReader&) = delete;

    const std::string& Name() const { return name_; }
    const char* NamePChar() const { return name_.c_str(); }

    // kNotConnectedToCard when not connected; SCARD_E_UNSUPPORTED_FEATURE leaves the
    // attribute unchecked and empty, any other failure raises.
    void GetAttrib(DWORD id, TReaderAttribute& attr);
    // kNotConnectedToCard; std::runtime_error "Attribute not checked".
    void SetAttrib(DWORD id, const TReaderAttribute& attr);
    // previous := current; current := set; newly set := current minus previous.
    void SetState(TReaderState set);
    void BeginTransaction();
    void EndTransaction(TDisposition disposition);
    // Connect(smDirect, prUndefined); false instead of an exception.
    bool ConnectDirect();
    // Disconnects first; then connects with the share mode and protocols asked for.
    void Connect(TShareMode shareMode, TProtocol protocol);
    // Only when connected. With the manager's FriendlyConnect a failure is ignored.
    void Reconnect(TShareMode shareMode, TProtocol protocol, TDisposition initialization);
    // Whether it was connected. The handle is dropped even when PC/SC reports a failure
    // (raised unless FriendlyConnect).
    bool Disconnect(TDisposition disposition);
    bool IsConnected() const { return card_ != 0; }
    // Forgets the last state: the next refresh reports every current bit as newly set.
    void ResetState();
    bool CardPresent() const { return current_.Has(rsCardPresent); }
    // Reads the reader's state, waiting up to `timeout` ms for a change; false on a time-out.
    // The state record changes only when PC/SC filled it.
    bool Refresh(DWORD timeout);
    // Takes a state record PC/SC filled for this reader.
    void UpdateFromReaderState(const SCARD_READERSTATE& record);
    // The send buffer to the card; the answer lands in the receive buffer (at most its
    // capacity; empty after a failure). kNotConnectedToCard; SCARD_E_PROTO_MISMATCH for a
    // protocol other than T=0 and T=1.
    void Transmit();

    SCARDHANDLE Handle() const { return card_; }
    TProtocol Protocol() const { return protocol_; }
    TShareMode ShareMode() const { return shareMode_; }
    const TAtr& Atr() const { return atr_; }
    TReaderState CurrentState() const { return current_; }
    TReaderState PreviousState() const { return previous_; }
    TReaderState NewlySet() const { return newlySet_; }
    const SCARD_READERSTATE& Record() const { return record_; }
    TBuffer& SendBuffer() { return send_; }
    TBuffer& ReceiveBuffer() { return receive_; }

private:
    void RequireConnected() const;

    SCARDHANDLE card_ = 0;
    SCARDCONTEXT context_ = 0;
    TResourceManager& manager_;
    std::string name_;
    TProtocol protocol_ = prNone;
    TShareMode shareMode_ = smNone;
    TAtr atr_;
    TReaderState current_;
    TReaderState previous_;
    TReaderState newlySet_;
    SCARD_READERSTATE record_{};
    TBuffer send_;
    TBuffer receive_;
};

// Text of a state-refresh or poll that found the context gone.
inline constexpr const char* kNotConnectedText = "Resource manager not connected. Use scope property!";

}  // namespace smartcard
