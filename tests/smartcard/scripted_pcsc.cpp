#include "tests/smartcard/scripted_pcsc.h"

#include <algorithm>
#include <cstring>

namespace fakepcsc {
namespace {

Fake g_fake;

constexpr SCARDCONTEXT kContextBase = 0x100;
constexpr SCARDHANDLE kCardHandle = 0x7001;

// The next injected result of `function`, if any.
bool Injected(const char* function, LONG& result)
{
    g_fake.log.push_back(function);
    auto it = g_fake.failures.find(function);
    if (it == g_fake.failures.end() || it->second.empty())
        return false;
    result = it->second.front();
    it->second.pop_front();
    return result != kPass;
}

bool ValidContext(SCARDCONTEXT context)
{
    return g_fake.serviceRunning && context >= kContextBase && g_fake.openContexts > 0;
}

DWORD Actual(const Reader& r) { return r.flags | (r.events << 16); }

LONG Establish(DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context)
{
    LONG injected;
    if (Injected("SCardEstablishContext", injected))
        return injected;
    if (!g_fake.serviceRunning)
        return SCARD_E_NO_SERVICE;
    if (scope > SCARD_SCOPE_SYSTEM)
        return SCARD_E_INVALID_VALUE;
    *context = kContextBase + g_fake.openContexts++;
    return SCARD_S_SUCCESS;
}

LONG Release(SCARDCONTEXT context)
{
    LONG injected;
    if (Injected("SCardReleaseContext", injected))
        return injected;
    if (context < kContextBase || g_fake.openContexts == 0)
        return SCARD_E_INVALID_HANDLE;
    --g_fake.openContexts;
    return SCARD_S_SUCCESS;
}

LONG CopyList(const std::string& list, LPSTR out, LPDWORD length)
{
    const DWORD size = static_cast<DWORD>(list.size());
    if (out && *length < size) {
        *length = size;
        return SCARD_E_INSUFFICIENT_BUFFER;
    }
    if (out)
        std::memcpy(out, list.data(), size);
    *length = size;
    return SCARD_S_SUCCESS;
}

LONG ListReaders(SCARDCONTEXT context, LPCSTR, LPSTR readers, LPDWORD length)
{
    LONG injected;
    if (Injected("SCardListReaders", injected)) {
        if (readers)
            std::memcpy(readers, "Ghost Reader", std::min<DWORD>(*length, 12));
        return injected;
    }
    if (!ValidContext(context))
        return g_fake.serviceRunning ? SCARD_E_INVALID_HANDLE : SCARD_E_NO_SERVICE;
    if (g_fake.readers.empty())
        return SCARD_E_NO_READERS_AVAILABLE;
    std::string list;
    for (const Reader& r : g_fake.readers)
        list += r.name + '\0';
    list += '\0';
    return CopyList(list, readers, length);
}

LONG ListGroups(SCARDCONTEXT context, LPSTR groups, LPDWORD length)
{
    LONG injected;
    if (Injected("SCardListReaderGroups", injected))
        return injected;
    if (!ValidContext(context))
        return SCARD_E_INVALID_HANDLE;
    return CopyList(g_fake.groups, groups, length);
}

LONG StatusChange(SCARDCONTEXT context, DWORD timeout, SCARD_READERSTATE* states, DWORD count)
{
    g_fake.statusTimeouts.push_back(timeout);
    LONG injected;
    if (Injected("SCardGetStatusChange", injected)) {
        for (DWORD i = 0; i < count; ++i) {
            states[i].dwEventState = SCARD_STATE_PRESENT | SCARD_STATE_CHANGED;
            states[i].cbAtr = 2;
            states[i].rgbAtr[0] = 0x3B;
        }
        return injected;
    }
    if (!g_fake.serviceRunning)
        return SCARD_E_NO_SERVICE;
    if (!ValidContext(context))
        return SCARD_E_INVALID_HANDLE;
    bool changed = false;
    for (DWORD i = 0; i < count; ++i) {
        SCARD_READERSTATE& s = states[i];
        const Reader* r = g_fake.Find(s.szReader ? s.szReader : "");
        const DWORD actual = r ? Actual(*r) : SCARD_STATE_UNKNOWN;
        if ((s.dwCurrentState & ~static_cast<DWORD>(SCARD_STATE_CHANGED)) == actual) {
            s.dwEventState = actual;
            continue;
        }
        changed = true;
        s.dwEventState = actual | SCARD_STATE_CHANGED;
        s.cbAtr = r ? static_cast<DWORD>(r->atr.size()) : 0;
        if (r && !r->atr.empty())
            std::memcpy(s.rgbAtr, r->atr.data(), r->atr.size());
    }
    return changed ? SCARD_S_SUCCESS : SCARD_E_TIMEOUT;
}

LONG Connect(SCARDCONTEXT context, LPCSTR name, DWORD share, DWORD protocols, LPSCARDHANDLE card, LPDWORD active)
{
    g_fake.log.push_back("connect " + std::string(name) + " share " + std::to_string(share) + " protocols " +
                         std::to_string(protocols));
    LONG injected;
    if (Injected("SCardConnect", injected))
        return injected;
    if (!ValidContext(context))
        return SCARD_E_INVALID_HANDLE;
    Reader* r = g_fake.Find(name);
    if (!r)
        return SCARD_E_UNKNOWN_READER;
    if (share != SCARD_SHARE_DIRECT && !(r->flags & SCARD_STATE_PRESENT))
        return SCARD_E_NO_SMARTCARD;
    if (share != SCARD_SHARE_DIRECT && !(protocols & g_fake.grantedProtocol))
        return SCARD_E_PROTO_MISMATCH;
    r->flags |= share == SCARD_SHARE_EXCLUSIVE ? SCARD_STATE_EXCLUSIVE : SCARD_STATE_INUSE;
    ++r->events;
    g_fake.card = kCardHandle;
    g_fake.cardReader = r->name;
    g_fake.cardEvents = r->events;
    *card = kCardHandle;
    *active = share == SCARD_SHARE_DIRECT ? SCARD_PROTOCOL_UNDEFINED : g_fake.grantedProtocol;
    return SCARD_S_SUCCESS;
}

LONG Reconnect(SCARDHANDLE card, DWORD, DWORD, DWORD, LPDWORD active)
{
    LONG injected;
    if (Injected("SCardReconnect", injected)) {
        *active = 0x55;
        return injected;
    }
    if (card != g_fake.card || card == 0)
        return SCARD_E_INVALID_HANDLE;
    *active = g_fake.grantedProtocol;
    return SCARD_S_SUCCESS;
}

LONG Disconnect(SCARDHANDLE card, DWORD)
{
    LONG injected;
    if (Injected("SCardDisconnect", injected))
        return injected;
    if (card != g_fake.card || card == 0)
        return SCARD_E_INVALID_HANDLE;
    if (Reader* r = g_fake.Find(g_fake.cardReader)) {
        r->flags &= ~static_cast<DWORD>(SCARD_STATE_EXCLUSIVE | SCARD_STATE_INUSE);
        ++r->events;
    }
    g_fake.card = 0;
    return SCARD_S_SUCCESS;
}

// The card in the connected reader has not changed since the connect.
LONG CardStillThere(SCARDHANDLE card)
{
    if (card != g_fake.card || card == 0)
        return SCARD_E_INVALID_HANDLE;
    const Reader* r = g_fake.Find(g_fake.cardReader);
    return r && (r->flags & SCARD_STATE_PRESENT) ? SCARD_S_SUCCESS : SCARD_W_REMOVED_CARD;
}

LONG Transmit(SCARDHANDLE card, const SCARD_IO_REQUEST* pci, LPCBYTE send, DWORD sendLength, SCARD_IO_REQUEST*,
              LPBYTE receive, LPDWORD receiveLength)
{
    g_fake.lastSendPci = pci ? *pci : SCARD_IO_REQUEST{};
    g_fake.lastCommand.assign(send, send + sendLength);
    LONG injected;
    if (Injected("SCardTransmit", injected)) {
        if (*receiveLength >= 2) {
            receive[0] = 0x6A;
            receive[1] = 0x82;
            *receiveLength = 2;
        }
        return injected;
    }
    if (const LONG state = CardStillThere(card); state != SCARD_S_SUCCESS)
        return state;
    if (g_fake.answer.size() > *receiveLength)
        return SCARD_E_INSUFFICIENT_BUFFER;
    std::copy(g_fake.answer.begin(), g_fake.answer.end(), receive);
    *receiveLength = static_cast<DWORD>(g_fake.answer.size());
    return SCARD_S_SUCCESS;
}

LONG GetAttrib(SCARDHANDLE card, DWORD, LPBYTE attr, LPDWORD length)
{
    LONG injected;
    if (Injected("SCardGetAttrib", injected))
        return injected;
    if (const LONG state = CardStillThere(card); state != SCARD_S_SUCCESS)
        return state;
    const DWORD n = std::min<DWORD>(static_cast<DWORD>(g_fake.attribute.size()), *length);
    std::copy_n(g_fake.attribute.begin(), n, attr);
    *length = g_fake.claimedAttributeLength ? g_fake.claimedAttributeLength : n;
    return SCARD_S_SUCCESS;
}

LONG SetAttrib(SCARDHANDLE card, DWORD, LPCBYTE attr, DWORD length)
{
    LONG injected;
    if (Injected("SCardSetAttrib", injected))
        return injected;
    g_fake.attribute.assign(attr, attr + length);
    return CardStillThere(card);
}

LONG BeginTransaction(SCARDHANDLE card)
{
    LONG injected;
    return Injected("SCardBeginTransaction", injected) ? injected : CardStillThere(card);
}

LONG EndTransaction(SCARDHANDLE card, DWORD)
{
    LONG injected;
    return Injected("SCardEndTransaction", injected) ? injected : CardStillThere(card);
}

LONG Cancel(SCARDCONTEXT context)
{
    LONG injected;
    if (Injected("SCardCancel", injected))
        return injected;
    return ValidContext(context) ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}

const char* Stringify(LONG code)
{
    return code == SCARD_E_NO_READERS_AVAILABLE ? "Cannot find a smart card reader." : "Unknown error.";
}

}  // namespace

Reader* Fake::Find(const std::string& name)
{
    const auto it = std::find_if(readers.begin(), readers.end(), [&](const Reader& r) { return r.name == name; });
    return it == readers.end() ? nullptr : &*it;
}

void Fake::Attach(const std::string& name) { readers.push_back(Reader{name, SCARD_STATE_EMPTY, {}, 0}); }

void Fake::Detach(const std::string& name)
{
    std::erase_if(readers, [&](const Reader& r) { return r.name == name; });
}

void Fake::Insert(const std::string& name, std::vector<BYTE> atr)
{
    if (Reader* r = Find(name)) {
        r->flags = SCARD_STATE_PRESENT;
        r->atr = std::move(atr);
        ++r->events;
    }
}

void Fake::Remove(const std::string& name)
{
    if (Reader* r = Find(name)) {
        r->flags = SCARD_STATE_EMPTY;
        r->atr.clear();
        ++r->events;
    }
}

int Fake::Count(const std::string& prefix) const
{
    return static_cast<int>(
        std::count_if(log.begin(), log.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }));
}

Fake& Current() { return g_fake; }

smartcard::TSCardApi Table()
{
    smartcard::TSCardApi t;
    t.SCardEstablishContext = Establish;
    t.SCardReleaseContext = Release;
    t.SCardListReaders = ListReaders;
    t.SCardListReaderGroups = ListGroups;
    t.SCardGetStatusChange = StatusChange;
    t.SCardConnect = Connect;
    t.SCardReconnect = Reconnect;
    t.SCardDisconnect = Disconnect;
    t.SCardTransmit = Transmit;
    t.SCardGetAttrib = GetAttrib;
    t.SCardSetAttrib = SetAttrib;
    t.SCardBeginTransaction = BeginTransaction;
    t.SCardEndTransaction = EndTransaction;
    t.SCardCancel = Cancel;
    t.pcsc_stringify_error = Stringify;
    return t;
}

TFakeScope::TFakeScope() : api_(Table()) { g_fake = Fake{}; }

TFakeScope::~TFakeScope() { g_fake = Fake{}; }

}  // namespace fakepcsc
