// A scriptable PC/SC resource manager behind a TSCardApi table, for unit tests of the
// card layer: readers with flags and ATRs, per-function failure injection, a call log.
// An injected failure first scribbles over the call's outputs, as a careless library
// might, so a caller that uses outputs of a failed call is caught.
#pragma once

#include "smartcard/winscard_api.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace fakepcsc {

// An entry of Fake::failures that lets that call run normally.
inline constexpr LONG kPass = 1;

struct Reader {
    std::string name;
    DWORD flags = SCARD_STATE_EMPTY;
    std::vector<BYTE> atr;
    DWORD events = 0;
};

struct Fake {
    std::vector<Reader> readers;
    std::string groups = std::string("SCard$DefaultReaders\0\0", 22);
    // Next results of a function, by name ("SCardTransmit"), taken one per call.
    std::map<std::string, std::deque<LONG>> failures;
    std::vector<std::string> log;
    std::vector<DWORD> statusTimeouts;
    int openContexts = 0;
    bool serviceRunning = true;
    // What SCardConnect grants when asked for it.
    DWORD grantedProtocol = SCARD_PROTOCOL_T0;
    SCARDHANDLE card = 0;
    std::string cardReader;
    DWORD cardEvents = 0;
    SCARD_IO_REQUEST lastSendPci{};
    std::vector<BYTE> lastCommand;
    std::vector<BYTE> answer = {0x90, 0x00};
    std::vector<BYTE> attribute;
    // Length SCardGetAttrib claims to have written; 0 = the attribute's size.
    DWORD claimedAttributeLength = 0;

    Reader* Find(const std::string& name);
    void Attach(const std::string& name);
    void Detach(const std::string& name);
    void Insert(const std::string& name, std::vector<BYTE> atr);
    void Remove(const std::string& name);
    // Calls logged whose text starts with `prefix`.
    int Count(const std::string& prefix) const;
};

// The fake of the running test; replaced by every TFakeScope.
Fake& Current();
// The table over Current(); without group editing, like pcsc-lite.
smartcard::TSCardApi Table();

// Installs a fresh fake and its table for the lifetime of the scope.
class TFakeScope {
public:
    TFakeScope();
    ~TFakeScope();
    TFakeScope(const TFakeScope&) = delete;
    TFakeScope& operator=(const TFakeScope&) = delete;
    Fake& operator*() { return Current(); }
    Fake* operator->() { return &Current(); }

private:
    smartcard::TScopedSCardApi api_;
};

}  // namespace fakepcsc
