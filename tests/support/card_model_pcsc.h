// An in-process PC/SC service backed by card models: a function table the card layer takes in
// place of libpcsclite. It answers as pcsc-lite does (codes, buffer rules, protocol from the ATR,
// event counter in the top 16 bits of a reader state) but never blocks: SCardGetStatusChange
// with nothing changed answers SCARD_E_TIMEOUT at once, whatever the time-out.
#pragma once

#include "smartcard/winscard_api.h"
#include "tests/support/card_model.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

class FakePcsc {
public:
    // The two readers of the real rig, both empty.
    FakePcsc();
    // Puts back the table that was installed before Install().
    ~FakePcsc();
    FakePcsc(const FakePcsc&) = delete;
    FakePcsc& operator=(const FakePcsc&) = delete;

    // The entry points pcsc-lite has, all answering from this fake; the rest stay null, as
    // they are when resolved from the real library. One fake answers at a time: the last
    // one whose Table() or Install() was called.
    [[nodiscard]] smartcard::TSCardApi Table();
    // Table() installed with smartcard::SetSCardApi until this fake is destroyed.
    void Install();

    // Puts a card into a reader / pulls it out; the card must outlive its time in the reader
    // (a card destroyed while still in a reader fails the test and answers as no card).
    void Insert(CardModel& card, const std::string& reader);
    void Remove(const std::string& reader);

    // Entry points entered so far, by name ("SCardTransmit", ...), in call order.
    [[nodiscard]] const std::vector<std::string>& Calls() const { return calls_; }

private:
    struct Reader {
        std::string name;
        CardModel* card = nullptr;
        mutable bool deadCardReported = false;
        DWORD events = 0;  // insertions and removals so far
        bool powered = false;
        int exclusiveHandles = 0;
        int sharedHandles = 0;
    };
    struct Handle {
        std::size_t reader = 0;
        DWORD protocol = 0;
        DWORD share = 0;
        DWORD events = 0;  // the reader's event count at connection: a change means the card left
    };

    static FakePcsc& Current(const char* call);
    Reader* FindReader(const char* name);
    Handle* FindHandle(SCARDHANDLE handle);
    static const CardModel* CardIn(const Reader& reader);
    static bool Present(const Reader& reader);
    static DWORD Events(const Reader& reader);
    bool CardGone(const Handle& handle) const;
    void Release(const Handle& handle);
    DWORD ReaderFlags(const Reader& reader) const;

    static LONG EstablishContext(DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context);
    static LONG ReleaseContext(SCARDCONTEXT context);
    static LONG Cancel(SCARDCONTEXT context);
    static LONG ListReaders(SCARDCONTEXT context, LPCSTR groups, LPSTR readers, LPDWORD length);
    static LONG ListReaderGroups(SCARDCONTEXT context, LPSTR groups, LPDWORD length);
    static LONG GetStatusChange(SCARDCONTEXT context, DWORD timeout, SCARD_READERSTATE* states, DWORD count);
    static LONG Connect(SCARDCONTEXT context, LPCSTR reader, DWORD share, DWORD protocols, LPSCARDHANDLE card,
                        LPDWORD active);
    static LONG Reconnect(SCARDHANDLE card, DWORD share, DWORD protocols, DWORD initialization, LPDWORD active);
    static LONG Disconnect(SCARDHANDLE card, DWORD disposition);
    static LONG BeginTransaction(SCARDHANDLE card);
    static LONG EndTransaction(SCARDHANDLE card, DWORD disposition);
    static LONG Transmit(SCARDHANDLE card, const SCARD_IO_REQUEST* sendPci, LPCBYTE send, DWORD sendLength,
                         SCARD_IO_REQUEST* receivePci, LPBYTE receive, LPDWORD receiveLength);
    static LONG GetAttrib(SCARDHANDLE card, DWORD id, LPBYTE attribute, LPDWORD length);
    static LONG SetAttrib(SCARDHANDLE card, DWORD id, LPCBYTE attribute, DWORD length);

    std::vector<std::string> calls_;
    std::vector<Reader> readers_;
    std::set<SCARDCONTEXT> contexts_;
    std::map<SCARDHANDLE, Handle> handles_;
    SCARDCONTEXT nextContext_ = 0x1000;
    SCARDHANDLE nextHandle_ = 0x2000;
    std::optional<smartcard::TScopedSCardApi> installed_;
};

}  // namespace testsupport
