// The PC/SC entry-point table: resolved by name from libpcsclite.so.1 at start-up, or
// installed by a test. Every other part of the card layer calls PC/SC only through the
// guarded stand-ins of scard_calls.h, which read this table.
#pragma once

#include <QLoggingCategory>

#include <winscard.h>

namespace smartcard {

// Windows entry points pcsc-lite does not have; typed from the header's own types so a
// table installed by a test may still fill them. GUID arguments are opaque here.
using SCardListCardsFn = LONG (*)(SCARDCONTEXT, LPCBYTE atr, const void* interfaces, DWORD interfaceCount, LPSTR cards,
                                  LPDWORD cardsLength);
using SCardIntroduceReaderFn = LONG (*)(SCARDCONTEXT, LPCSTR readerName, LPCSTR deviceName);
using SCardReaderGroupEditFn = LONG (*)(SCARDCONTEXT, LPCSTR readerName, LPCSTR groupName);
using SCardNameFn = LONG (*)(SCARDCONTEXT, LPCSTR name);
using SCardStateFn = LONG (*)(SCARDHANDLE, LPDWORD state, LPDWORD protocol, LPBYTE atr, LPDWORD atrLength);
using SCardIntroduceCardTypeFn = LONG (*)(SCARDCONTEXT, LPCSTR cardName, const void* primaryProvider,
                                          const void* interfaces, DWORD interfaceCount, LPCBYTE atr, LPCBYTE atrMask,
                                          DWORD atrLength);
using SCardLocateCardsFn = LONG (*)(SCARDCONTEXT, LPCSTR cards, SCARD_READERSTATE* states, DWORD count);

// One pointer per entry point, null when missing. Members are in resolution order and
// named after pcsc-lite's symbols (the 8-bit Windows names without their final "A").
struct TSCardApi {
    decltype(&::SCardFreeMemory) SCardFreeMemory = nullptr;
    decltype(&::SCardTransmit) SCardTransmit = nullptr;
    decltype(&::SCardEstablishContext) SCardEstablishContext = nullptr;
    decltype(&::SCardReleaseContext) SCardReleaseContext = nullptr;
    decltype(&::SCardCancel) SCardCancel = nullptr;
    decltype(&::SCardListReaders) SCardListReaders = nullptr;
    decltype(&::SCardListReaderGroups) SCardListReaderGroups = nullptr;
    SCardListCardsFn SCardListCards = nullptr;
    SCardIntroduceReaderFn SCardIntroduceReader = nullptr;
    SCardReaderGroupEditFn SCardAddReaderToGroup = nullptr;
    SCardReaderGroupEditFn SCardRemoveReaderFromGroup = nullptr;
    SCardNameFn SCardForgetReader = nullptr;
    decltype(&::SCardConnect) SCardConnect = nullptr;
    decltype(&::SCardReconnect) SCardReconnect = nullptr;
    decltype(&::SCardDisconnect) SCardDisconnect = nullptr;
    SCardStateFn SCardState = nullptr;
    decltype(&::SCardBeginTransaction) SCardBeginTransaction = nullptr;
    decltype(&::SCardEndTransaction) SCardEndTransaction = nullptr;
    SCardNameFn SCardIntroduceReaderGroup = nullptr;
    SCardNameFn SCardForgetReaderGroup = nullptr;
    SCardIntroduceCardTypeFn SCardIntroduceCardType = nullptr;
    decltype(&::SCardControl) SCardControl = nullptr;
    decltype(&::SCardGetStatusChange) SCardGetStatusChange = nullptr;
    SCardLocateCardsFn SCardLocateCards = nullptr;
    decltype(&::SCardGetAttrib) SCardGetAttrib = nullptr;
    decltype(&::SCardSetAttrib) SCardSetAttrib = nullptr;
    // Text of a PC/SC code; null leaves SCardErrorText without the system's wording.
    decltype(&::pcsc_stringify_error) pcsc_stringify_error = nullptr;
};

// Name under which the layer opens the PC/SC client library.
inline constexpr const char* kPcscLibraryName = "libpcsclite.so.1";

// Unit initialization: opens kPcscLibraryName and resolves the table. Runs at most once;
// SCardApi() runs it on first use when start-up has not.
void InitSCardBinding();
// Unit finalization: closes the library; the table becomes empty.
void FinalizeSCardBinding();
// Opens `file` in place of the library held now and resolves the table from it; false
// (and an empty table) when it cannot be opened. For tests of the binding itself.
bool LoadSCardLibrary(const char* file);
// dlopen handle of the library; null when loading failed.
void* SCardLibraryHandle();
// Address of `name` in the loaded library; null when absent or nothing is loaded.
void* GetSCardProc(const char* name);
// Fills the library's table from the handle with GetSCardProc of every name.
void LoadSCardEntryPoints();

// The table every call goes through: the library's, or the one a test installed.
const TSCardApi& SCardApi();
// Installs `table` in place of the library's until ResetSCardApi.
void SetSCardApi(const TSCardApi& table);
// Back to the library's table.
void ResetSCardApi();

// Installs a table for the lifetime of the guard, then restores the one before.
class TScopedSCardApi {
public:
    explicit TScopedSCardApi(const TSCardApi& table);
    ~TScopedSCardApi();
    TScopedSCardApi(const TScopedSCardApi&) = delete;
    TScopedSCardApi& operator=(const TScopedSCardApi&) = delete;

private:
    TSCardApi previous_;
    bool previousWasLibrary_;
};

// Tracing of every PC/SC call with its result, and of every command and answer, as info
// messages of this category (also switched on by QT_LOGGING_RULES="kartovan.smartcard.pcsc.info=true").
const QLoggingCategory& lcSCardTrace();
void SetSCardTrace(bool on);
bool SCardTraceOn();

}  // namespace smartcard
