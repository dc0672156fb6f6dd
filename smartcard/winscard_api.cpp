#include "smartcard/winscard_api.h"

#include <dlfcn.h>

namespace smartcard {
namespace {

// The binding's process-wide records: the library handle, its table and the table in use.
struct Binding {
    void* handle = nullptr;
    bool initialized = false;
    TSCardApi library;
    TSCardApi current;
    bool usingLibrary = true;
};

Binding& TheBinding()
{
    static Binding binding;
    return binding;
}

QLoggingCategory& TraceCategory()
{
    static QLoggingCategory category("kartovan.smartcard.pcsc", QtWarningMsg);
    return category;
}

template <typename Fn>
void Resolve(Fn& slot, const char* name)
{
    slot = reinterpret_cast<Fn>(GetSCardProc(name));
}

void CloseLibrary(Binding& b)
{
    if (b.handle)
        dlclose(b.handle);
    b.handle = nullptr;
    b.library = TSCardApi{};
    if (b.usingLibrary)
        b.current = b.library;
}

}  // namespace

void InitSCardBinding()
{
    Binding& b = TheBinding();
    if (b.initialized)
        return;
    b.initialized = true;
    (void)LoadSCardLibrary(kPcscLibraryName);
}

void FinalizeSCardBinding()
{
    Binding& b = TheBinding();
    CloseLibrary(b);
    b.initialized = false;
}

bool LoadSCardLibrary(const char* file)
{
    Binding& b = TheBinding();
    b.initialized = true;
    CloseLibrary(b);
    b.handle = file ? dlopen(file, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (!b.handle)
        qCInfo(lcSCardTrace, "cannot open %s: %s", file ? file : "(none)", dlerror());
    LoadSCardEntryPoints();
    return b.handle != nullptr;
}

void* SCardLibraryHandle() { return TheBinding().handle; }

void* GetSCardProc(const char* name)
{
    void* handle = TheBinding().handle;
    return handle && name ? dlsym(handle, name) : nullptr;
}

void LoadSCardEntryPoints()
{
    Binding& b = TheBinding();
    TSCardApi& t = b.library;
    t = TSCardApi{};
    if (b.handle) {
        Resolve(t.SCardFreeMemory, "SCardFreeMemory");
        Resolve(t.SCardTransmit, "SCardTransmit");
        Resolve(t.SCardEstablishContext, "SCardEstablishContext");
        Resolve(t.SCardReleaseContext, "SCardReleaseContext");
        Resolve(t.SCardCancel, "SCardCancel");
        Resolve(t.SCardListReaders, "SCardListReaders");
        Resolve(t.SCardListReaderGroups, "SCardListReaderGroups");
        Resolve(t.SCardListCards, "SCardListCards");
        Resolve(t.SCardIntroduceReader, "SCardIntroduceReader");
        Resolve(t.SCardAddReaderToGroup, "SCardAddReaderToGroup");
        Resolve(t.SCardRemoveReaderFromGroup, "SCardRemoveReaderFromGroup");
        Resolve(t.SCardForgetReader, "SCardForgetReader");
        Resolve(t.SCardConnect, "SCardConnect");
        Resolve(t.SCardReconnect, "SCardReconnect");
        Resolve(t.SCardDisconnect, "SCardDisconnect");
        Resolve(t.SCardState, "SCardState");
        Resolve(t.SCardBeginTransaction, "SCardBeginTransaction");
        Resolve(t.SCardEndTransaction, "SCardEndTransaction");
        Resolve(t.SCardIntroduceReaderGroup, "SCardIntroduceReaderGroup");
        Resolve(t.SCardForgetReaderGroup, "SCardForgetReaderGroup");
        Resolve(t.SCardIntroduceCardType, "SCardIntroduceCardType");
        Resolve(t.SCardControl, "SCardControl");
        Resolve(t.SCardGetStatusChange, "SCardGetStatusChange");
        Resolve(t.SCardLocateCards, "SCardLocateCards");
        Resolve(t.SCardGetAttrib, "SCardGetAttrib");
        Resolve(t.SCardSetAttrib, "SCardSetAttrib");
        Resolve(t.pcsc_stringify_error, "pcsc_stringify_error");
    }
    if (b.usingLibrary)
        b.current = t;
}

const TSCardApi& SCardApi()
{
    Binding& b = TheBinding();
    if (!b.initialized && b.usingLibrary)
        InitSCardBinding();
    return b.current;
}

void SetSCardApi(const TSCardApi& table)
{
    Binding& b = TheBinding();
    b.current = table;
    b.usingLibrary = false;
}

void ResetSCardApi()
{
    Binding& b = TheBinding();
    b.usingLibrary = true;
    if (!b.initialized)
        InitSCardBinding();
    b.current = b.library;
}

TScopedSCardApi::TScopedSCardApi(const TSCardApi& table)
    : previous_(TheBinding().current), previousWasLibrary_(TheBinding().usingLibrary)
{
    SetSCardApi(table);
}

TScopedSCardApi::~TScopedSCardApi()
{
    if (previousWasLibrary_)
        ResetSCardApi();
    else
        SetSCardApi(previous_);
}

const QLoggingCategory& lcSCardTrace() { return TraceCategory(); }

void SetSCardTrace(bool on)
{
    TraceCategory().setEnabled(QtInfoMsg, on);
    TraceCategory().setEnabled(QtDebugMsg, on);
}

bool SCardTraceOn() { return TraceCategory().isInfoEnabled(); }

}  // namespace smartcard
