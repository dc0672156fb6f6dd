#include "smartcard/smartcard_reader.h"

#include "smartcard/resource_manager.h"
#include "smartcard/scard_calls.h"
#include "smartcard/scard_error.h"

#include <algorithm>
#include <stdexcept>

namespace smartcard {
namespace {

const SCARD_IO_REQUEST kT0Pci{SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST kT1Pci{SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};

DWORD AsDword(LONG value) { return static_cast<DWORD>(value); }

}  // namespace

TSmartcardReader::TSmartcardReader(TResourceManager& manager, std::string name)
    : context_(manager.Context()), manager_(manager), name_(std::move(name))
{
    record_.szReader = name_.c_str();
    (void)Refresh(0);
}

TSmartcardReader::~TSmartcardReader()
{
    if (!IsConnected())
        return;
    try {
        (void)Disconnect(diLeave);
    } catch (const std::exception&) {
        // The handle is gone either way; nothing to report from a destructor.
    }
}

void TSmartcardReader::RequireConnected() const
{
    if (!IsConnected())
        throw ESCardError(kNotConnectedToCard);
}

void TSmartcardReader::GetAttrib(DWORD id, TReaderAttribute& attr)
{
    attr.length = 0;
    attr.checked = false;
    attr.data[0] = 0;
    RequireConnected();
    DWORD length = TReaderAttribute::kMaxLength;
    const LONG result = smartcard::SCardGetAttrib(card_, id, attr.data, &length);
    if (result != SCARD_S_SUCCESS && result != SCARD_E_UNSUPPORTED_FEATURE)
        CheckSCard(result);
    attr.checked = result == SCARD_S_SUCCESS;
    attr.length = attr.checked ? std::min(length, TReaderAttribute::kMaxLength) : 0;
    attr.data[attr.length] = 0;
}

void TSmartcardReader::SetAttrib(DWORD id, const TReaderAttribute& attr)
{
    RequireConnected();
    if (!attr.checked)
        throw std::runtime_error("Attribute not checked");
    CheckSCard(smartcard::SCardSetAttrib(card_, id, attr.data, std::min(attr.length, TReaderAttribute::kMaxLength)));
}

void TSmartcardReader::SetState(TReaderState set)
{
    previous_ = current_;
    current_ = set;
    newlySet_ = current_.Minus(previous_);
}

void TSmartcardReader::BeginTransaction()
{
    RequireConnected();
    CheckSCard(smartcard::SCardBeginTransaction(card_));
}

void TSmartcardReader::EndTransaction(TDisposition disposition)
{
    RequireConnected();
    CheckSCard(smartcard::SCardEndTransaction(card_, AsDword(DispositionToSCard(disposition))));
}

bool TSmartcardReader::ConnectDirect()
{
    try {
        Connect(smDirect, prUndefined);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TSmartcardReader::Connect(TShareMode shareMode, TProtocol protocol)
{
    (void)Disconnect(diLeave);
    SCARDHANDLE card = 0;
    DWORD active = SCARD_PROTOCOL_UNDEFINED;
    CheckSCard(smartcard::SCardConnect(context_, name_.c_str(), AsDword(ShareModeToSCard(shareMode)),
                                       AsDword(ProtocolToSCard(protocol)), &card, &active));
    card_ = card;
    protocol_ = SCardToProtocol(active);
    shareMode_ = shareMode;
}

void TSmartcardReader::Reconnect(TShareMode shareMode, TProtocol protocol, TDisposition initialization)
{
    if (!IsConnected())
        return;
    DWORD active = SCARD_PROTOCOL_UNDEFINED;
    const LONG result =
        smartcard::SCardReconnect(card_, AsDword(ShareModeToSCard(shareMode)), AsDword(ProtocolToSCard(protocol)),
                                  AsDword(DispositionToSCard(initialization)), &active);
    if (!manager_.FriendlyConnect())
        CheckSCard(result);
    // A failed reconnect did not set the protocol; keep what is in use.
    if (result == SCARD_S_SUCCESS) {
        protocol_ = SCardToProtocol(active);
        shareMode_ = shareMode;
    }
}

bool TSmartcardReader::Disconnect(TDisposition disposition)
{
    const bool wasConnected = IsConnected();
    if (!wasConnected)
        return false;
    const LONG result = smartcard::SCardDisconnect(card_, AsDword(DispositionToSCard(disposition)));
    // A failed disconnect still leaves no usable handle.
    card_ = 0;
    shareMode_ = smNone;
    protocol_ = prNone;
    if (!manager_.FriendlyConnect())
        CheckSCard(result);
    return wasConnected;
}

void TSmartcardReader::ResetState()
{
    record_.dwEventState = 0;
    current_ = previous_ = newlySet_ = TReaderState{rsUnaware};
}

bool TSmartcardReader::Refresh(DWORD timeout)
{
    const TReaderState kept = current_;
    record_.dwCurrentState = record_.dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
    // PC/SC writes into a copy: a failed call must not leave a half-filled record behind.
    SCARD_READERSTATE polled = record_;
    const LONG result = smartcard::SCardGetStatusChange(context_, timeout, &polled, 1);
    if (result == SCARD_E_INVALID_HANDLE)
        throw ESCardError(kMessageOnly, kNotConnectedText);
    if (result != SCARD_S_SUCCESS && result != SCARD_E_TIMEOUT)
        CheckSCard(result);
    if (result == SCARD_E_TIMEOUT) {
        SetState(kept);
        return false;
    }
    UpdateFromReaderState(polled);
    return true;
}

void TSmartcardReader::UpdateFromReaderState(const SCARD_READERSTATE& record)
{
    record_ = record;
    record_.szReader = name_.c_str();
    record_.cbAtr = static_cast<DWORD>(RecordAtrLength(record));
    atr_.SetBytes(record_.rgbAtr, static_cast<int>(record_.cbAtr));
    record_.dwCurrentState = record_.dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
    SetState(SCardStateToReaderState(record_.dwCurrentState));
}

void TSmartcardReader::Transmit()
{
    RequireConnected();
    const SCARD_IO_REQUEST* pci = nullptr;
    if (protocol_ == prT0)
        pci = &kT0Pci;
    else if (protocol_ == prT1)
        pci = &kT1Pci;
    else
        throw ESCardError(SCARD_E_PROTO_MISMATCH);
    const DWORD capacity = static_cast<DWORD>(receive_.Capacity());
    DWORD length = capacity;
    const LONG result = smartcard::SCardTransmit(card_, pci, send_.Data(), static_cast<DWORD>(send_.Length()), nullptr,
                                                 receive_.Data(), &length);
    // No answer survives a failed transmit, and none is taken beyond the buffer.
    receive_.SetLength(result == SCARD_S_SUCCESS ? static_cast<int>(std::min(length, capacity)) : 0);
    CheckSCard(result);
}

}  // namespace smartcard
