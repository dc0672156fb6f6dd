#include "tests/support/card_model_pcsc.h"

#include "tests/support/vpcd_client.h"

#include <gtest/gtest.h>

#include <reader.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace testsupport {

namespace {

FakePcsc* g_current = nullptr;

// The protocol the ATR offers: the one named by TD1, T=0 when there is no TD1.
DWORD OfferedProtocol(const Bytes& atr)
{
    if (atr.size() < 2 || !(atr[1] & 0x80))
        return SCARD_PROTOCOL_T0;
    const std::size_t td1 =
        2 + static_cast<std::size_t>(((atr[1] >> 4) & 1) + ((atr[1] >> 5) & 1) + ((atr[1] >> 6) & 1));
    if (td1 >= atr.size())
        return SCARD_PROTOCOL_T0;
    return (atr[td1] & 0x0F) == 1 ? SCARD_PROTOCOL_T1 : SCARD_PROTOCOL_T0;
}

// pcsc-lite's rule for every buffer it fills: no buffer asks for the length, a short one fails.
LONG FillBuffer(const std::uint8_t* data, std::size_t size, LPBYTE to, LPDWORD length)
{
    if (!length)
        return SCARD_E_INVALID_PARAMETER;
    const DWORD capacity = *length;
    *length = static_cast<DWORD>(size);
    if (!to)
        return SCARD_S_SUCCESS;
    if (capacity < size)
        return SCARD_E_INSUFFICIENT_BUFFER;
    std::memcpy(to, data, size);
    return SCARD_S_SUCCESS;
}

}  // namespace

FakePcsc::FakePcsc()
{
    readers_.push_back(Reader{kRigReader});
    readers_.push_back(Reader{kRigSecondReader});
}

FakePcsc::~FakePcsc()
{
    installed_.reset();
    if (g_current == this)
        g_current = nullptr;
}

smartcard::TSCardApi FakePcsc::Table()
{
    g_current = this;
    smartcard::TSCardApi t;
    t.SCardEstablishContext = &EstablishContext;
    t.SCardReleaseContext = &ReleaseContext;
    t.SCardCancel = &Cancel;
    t.SCardListReaders = &ListReaders;
    t.SCardListReaderGroups = &ListReaderGroups;
    t.SCardGetStatusChange = &GetStatusChange;
    t.SCardConnect = &Connect;
    t.SCardReconnect = &Reconnect;
    t.SCardDisconnect = &Disconnect;
    t.SCardBeginTransaction = &BeginTransaction;
    t.SCardEndTransaction = &EndTransaction;
    t.SCardTransmit = &Transmit;
    t.SCardGetAttrib = &GetAttrib;
    t.SCardSetAttrib = &SetAttrib;
    return t;
}

void FakePcsc::Install()
{
    installed_.reset();
    installed_.emplace(Table());
}

void FakePcsc::Insert(CardModel& card, const std::string& reader)
{
    Reader* r = FindReader(reader.c_str());
    if (!r)
        throw std::invalid_argument("no reader " + reader);
    r->card = &card;
    r->deadCardReported = false;
    r->powered = false;
    ++r->events;
}

void FakePcsc::Remove(const std::string& reader)
{
    Reader* r = FindReader(reader.c_str());
    if (r && r->card) {
        r->card = nullptr;
        ++r->events;
    }
}

FakePcsc& FakePcsc::Current(const char* call)
{
    if (!g_current)
        throw std::logic_error("no fake PC/SC service answers");
    g_current->calls_.emplace_back(call);
    return *g_current;
}

FakePcsc::Reader* FakePcsc::FindReader(const char* name)
{
    if (!name)
        return nullptr;
    const auto it = std::ranges::find(readers_, std::string(name), &Reader::name);
    return it == readers_.end() ? nullptr : &*it;
}

FakePcsc::Handle* FakePcsc::FindHandle(SCARDHANDLE handle)
{
    const auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : &it->second;
}

const CardModel* FakePcsc::CardIn(const Reader& reader)
{
    if (!reader.card || CardModel::Alive(reader.card))
        return reader.card;
    if (!reader.deadCardReported) {
        reader.deadCardReported = true;
        ADD_FAILURE() << "the card model in \"" << reader.name
                      << "\" was destroyed while still in the reader: take it out first";
    }
    return nullptr;
}

bool FakePcsc::Present(const Reader& reader)
{
    const CardModel* card = CardIn(reader);
    return card && !card->Removed();
}

// A card that removed itself (fault injection) counts as one more event.
DWORD FakePcsc::Events(const Reader& reader)
{
    const CardModel* card = CardIn(reader);
    return reader.events + (card && card->Removed() ? 1 : 0);
}

bool FakePcsc::CardGone(const Handle& handle) const
{
    const Reader& reader = readers_[handle.reader];
    return !Present(reader) || Events(reader) != handle.events;
}

DWORD FakePcsc::ReaderFlags(const Reader& reader) const
{
    if (!Present(reader))
        return SCARD_STATE_EMPTY;
    if (reader.exclusiveHandles > 0)
        return SCARD_STATE_PRESENT | SCARD_STATE_EXCLUSIVE;
    return reader.sharedHandles > 0 ? SCARD_STATE_PRESENT | SCARD_STATE_INUSE : SCARD_STATE_PRESENT;
}

void FakePcsc::Release(const Handle& handle)
{
    Reader& reader = readers_[handle.reader];
    if (handle.share == SCARD_SHARE_EXCLUSIVE)
        --reader.exclusiveHandles;
    else if (handle.share == SCARD_SHARE_SHARED)
        --reader.sharedHandles;
}

LONG FakePcsc::EstablishContext(DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context)
{
    FakePcsc& f = Current("SCardEstablishContext");
    if (!context)
        return SCARD_E_INVALID_PARAMETER;
    if (scope > SCARD_SCOPE_GLOBAL)
        return SCARD_E_INVALID_VALUE;
    *context = f.nextContext_++;
    f.contexts_.insert(*context);
    return SCARD_S_SUCCESS;
}

LONG FakePcsc::ReleaseContext(SCARDCONTEXT context)
{
    FakePcsc& f = Current("SCardReleaseContext");
    return f.contexts_.erase(context) == 1 ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}

LONG FakePcsc::Cancel(SCARDCONTEXT context)
{
    FakePcsc& f = Current("SCardCancel");
    return f.contexts_.contains(context) ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}

LONG FakePcsc::ListReaders(SCARDCONTEXT context, LPCSTR, LPSTR readers, LPDWORD length)
{
    FakePcsc& f = Current("SCardListReaders");
    if (!f.contexts_.contains(context))
        return SCARD_E_INVALID_HANDLE;
    std::string list;
    for (const Reader& r : f.readers_)
        list.append(r.name).push_back('\0');
    list.push_back('\0');
    return FillBuffer(reinterpret_cast<const std::uint8_t*>(list.data()), list.size(),
                      reinterpret_cast<LPBYTE>(readers), length);
}

LONG FakePcsc::ListReaderGroups(SCARDCONTEXT context, LPSTR groups, LPDWORD length)
{
    FakePcsc& f = Current("SCardListReaderGroups");
    if (!f.contexts_.contains(context))
        return SCARD_E_INVALID_HANDLE;
    static const char kGroups[] = "SCard$DefaultReaders\0";  // and the literal's own NUL
    return FillBuffer(reinterpret_cast<const std::uint8_t*>(kGroups), sizeof kGroups, reinterpret_cast<LPBYTE>(groups),
                      length);
}

LONG FakePcsc::GetStatusChange(SCARDCONTEXT context, DWORD, SCARD_READERSTATE* states, DWORD count)
{
    FakePcsc& f = Current("SCardGetStatusChange");
    if (!f.contexts_.contains(context))
        return SCARD_E_INVALID_HANDLE;
    if (count > 0 && !states)
        return SCARD_E_INVALID_PARAMETER;
    bool changed = false;
    for (DWORD i = 0; i < count; ++i) {
        SCARD_READERSTATE& s = states[i];
        if (s.dwCurrentState & SCARD_STATE_IGNORE)
            continue;
        const Reader* r = f.FindReader(s.szReader);
        if (!r) {
            s.dwEventState = SCARD_STATE_UNKNOWN | SCARD_STATE_CHANGED | SCARD_STATE_IGNORE;
            return SCARD_E_UNKNOWN_READER;
        }
        const DWORD flags = f.ReaderFlags(*r);
        const DWORD event = Events(*r) << 16 | flags;
        const DWORD watched = SCARD_STATE_EMPTY | SCARD_STATE_PRESENT | SCARD_STATE_EXCLUSIVE | SCARD_STATE_INUSE;
        const bool differs = s.dwCurrentState == SCARD_STATE_UNAWARE || (s.dwCurrentState >> 16) != Events(*r) ||
                             (s.dwCurrentState & watched) != flags;
        s.dwEventState = differs ? event | SCARD_STATE_CHANGED : event;
        const Bytes atr = Present(*r) ? r->card->Atr() : Bytes{};
        s.cbAtr = static_cast<DWORD>(std::min<std::size_t>(atr.size(), sizeof s.rgbAtr));
        std::copy_n(atr.begin(), s.cbAtr, s.rgbAtr);
        changed = changed || differs;
    }
    return changed ? SCARD_S_SUCCESS : SCARD_E_TIMEOUT;
}

LONG FakePcsc::Connect(SCARDCONTEXT context, LPCSTR reader, DWORD share, DWORD protocols, LPSCARDHANDLE card,
                       LPDWORD active)
{
    FakePcsc& f = Current("SCardConnect");
    if (!f.contexts_.contains(context))
        return SCARD_E_INVALID_HANDLE;
    if (!reader || !card || !active)
        return SCARD_E_INVALID_PARAMETER;
    Reader* r = f.FindReader(reader);
    if (!r)
        return SCARD_E_UNKNOWN_READER;
    if (share != SCARD_SHARE_SHARED && share != SCARD_SHARE_EXCLUSIVE && share != SCARD_SHARE_DIRECT)
        return SCARD_E_INVALID_VALUE;
    Handle handle{static_cast<std::size_t>(r - f.readers_.data()), 0, share, Events(*r)};
    if (share != SCARD_SHARE_DIRECT) {
        if (!(protocols & (SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1 | SCARD_PROTOCOL_RAW)))
            return SCARD_E_INVALID_VALUE;
        if (!Present(*r))
            return SCARD_E_NO_SMARTCARD;
        if (r->exclusiveHandles > 0 || (share == SCARD_SHARE_EXCLUSIVE && r->sharedHandles > 0))
            return SCARD_E_SHARING_VIOLATION;
        handle.protocol = OfferedProtocol(r->card->Atr());
        if (!(protocols & handle.protocol))
            return SCARD_E_PROTO_MISMATCH;
        if (!r->powered) {
            r->card->Reset();
            r->powered = true;
        }
        if (share == SCARD_SHARE_EXCLUSIVE)
            ++r->exclusiveHandles;
        else
            ++r->sharedHandles;
    }
    *card = f.nextHandle_++;
    *active = handle.protocol;
    f.handles_[*card] = handle;
    return SCARD_S_SUCCESS;
}

LONG FakePcsc::Reconnect(SCARDHANDLE card, DWORD share, DWORD protocols, DWORD initialization, LPDWORD active)
{
    FakePcsc& f = Current("SCardReconnect");
    Handle* h = f.FindHandle(card);
    if (!h)
        return SCARD_E_INVALID_HANDLE;
    if (!active)
        return SCARD_E_INVALID_PARAMETER;
    if (f.CardGone(*h))
        return SCARD_E_NO_SMARTCARD;
    Reader& r = f.readers_[h->reader];
    const DWORD offered = OfferedProtocol(r.card->Atr());
    if (!(protocols & offered))
        return SCARD_E_PROTO_MISMATCH;
    if (share != SCARD_SHARE_SHARED && share != SCARD_SHARE_EXCLUSIVE)
        return SCARD_E_INVALID_VALUE;
    if (share == SCARD_SHARE_EXCLUSIVE && h->share != SCARD_SHARE_EXCLUSIVE &&
        (r.exclusiveHandles > 0 || r.sharedHandles > 1))
        return SCARD_E_SHARING_VIOLATION;
    if (initialization == SCARD_RESET_CARD || initialization == SCARD_UNPOWER_CARD)
        r.card->Reset();
    f.Release(*h);
    h->share = share;
    h->protocol = offered;
    ++(share == SCARD_SHARE_EXCLUSIVE ? r.exclusiveHandles : r.sharedHandles);
    *active = offered;
    return SCARD_S_SUCCESS;
}

LONG FakePcsc::Disconnect(SCARDHANDLE card, DWORD disposition)
{
    FakePcsc& f = Current("SCardDisconnect");
    Handle* h = f.FindHandle(card);
    if (!h)
        return SCARD_E_INVALID_HANDLE;
    if (disposition > SCARD_EJECT_CARD)
        return SCARD_E_INVALID_VALUE;
    Reader& r = f.readers_[h->reader];
    if (!f.CardGone(*h) && (disposition == SCARD_RESET_CARD || disposition == SCARD_UNPOWER_CARD))
        r.card->Reset();
    f.Release(*h);
    f.handles_.erase(card);
    return SCARD_S_SUCCESS;
}

LONG FakePcsc::BeginTransaction(SCARDHANDLE card)
{
    FakePcsc& f = Current("SCardBeginTransaction");
    const Handle* h = f.FindHandle(card);
    if (!h)
        return SCARD_E_INVALID_HANDLE;
    return f.CardGone(*h) ? SCARD_W_REMOVED_CARD : SCARD_S_SUCCESS;
}

LONG FakePcsc::EndTransaction(SCARDHANDLE card, DWORD disposition)
{
    FakePcsc& f = Current("SCardEndTransaction");
    const Handle* h = f.FindHandle(card);
    if (!h)
        return SCARD_E_INVALID_HANDLE;
    if (disposition > SCARD_EJECT_CARD)
        return SCARD_E_INVALID_VALUE;
    return f.CardGone(*h) ? SCARD_W_REMOVED_CARD : SCARD_S_SUCCESS;
}

LONG FakePcsc::Transmit(SCARDHANDLE card, const SCARD_IO_REQUEST* sendPci, LPCBYTE send, DWORD sendLength,
                        SCARD_IO_REQUEST*, LPBYTE receive, LPDWORD receiveLength)
{
    FakePcsc& f = Current("SCardTransmit");
    const Handle* h = f.FindHandle(card);
    if (!h)
        return SCARD_E_INVALID_HANDLE;
    if (!sendPci || !send || !receive || !receiveLength)
        return SCARD_E_INVALID_PARAMETER;
    if (f.CardGone(*h))
        return SCARD_W_REMOVED_CARD;
    if (sendPci->dwProtocol != h->protocol)
        return SCARD_E_PROTO_MISMATCH;
    const Bytes answer = f.readers_[h->reader].card->Transmit(std::span(send, sendLength));
    if (answer.empty())
        return SCARD_W_REMOVED_CARD;
    return FillBuffer(answer.data(), answer.size(), receive, receiveLength);
}

LONG FakePcsc::GetAttrib(SCARDHANDLE card, DWORD id, LPBYTE attribute, LPDWORD length)
{
    FakePcsc& f = Current("SCardGetAttrib");
    const Handle* h = f.FindHandle(card);
    if (!h)
        return SCARD_E_INVALID_HANDLE;
    if (f.CardGone(*h))
        return SCARD_W_REMOVED_CARD;
    if (id != SCARD_ATTR_ATR_STRING)
        return SCARD_E_UNSUPPORTED_FEATURE;
    const Bytes atr = f.readers_[h->reader].card->Atr();
    return FillBuffer(atr.data(), atr.size(), attribute, length);
}

LONG FakePcsc::SetAttrib(SCARDHANDLE card, DWORD, LPCBYTE, DWORD)
{
    FakePcsc& f = Current("SCardSetAttrib");
    return f.FindHandle(card) ? SCARD_E_UNSUPPORTED_FEATURE : SCARD_E_INVALID_HANDLE;
}

}  // namespace testsupport
