#include "smartcard/resource_manager.h"

#include "smartcard/multistring.h"
#include "smartcard/scard_calls.h"
#include "smartcard/scard_error.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>

namespace smartcard {
namespace {

Q_LOGGING_CATEGORY(lcManager, "kartovan.smartcard.manager")

// The listing failure last shown to the user; 0 after a listing that worked. Process-wide,
// because the card form (and its manager) is created anew for every reader check.
LONG g_listingFailureShown = 0;

bool ServiceGone(LONG code) { return code == SCARD_E_NO_SERVICE || code == SCARD_E_SERVICE_STOPPED; }

}  // namespace

TResourceManager::TResourceManager(QObject* owner) : QObject(owner), groups_(std::make_unique<TGroupList>(*this)) {}

TResourceManager::~TResourceManager()
{
    NotifyListeners(0);
    pollTimer_.reset();
    DropReadersAndSelection();
    known_.Clear();
    if (context_ != 0)
        (void)smartcard::SCardReleaseContext(context_);
    context_ = 0;
}

void TResourceManager::SetOnSelectedStateChange(NotifyEvent handler)
{
    onSelectedStateChange_ = std::move(handler);
    ApplyWatch();
}

void TResourceManager::Loaded()
{
    if (context_ != 0)
        DoConnected();
}

void TResourceManager::DoConnected()
{
    if (OnConnected)
        OnConnected(*this);
}

void TResourceManager::DoDisconnected()
{
    if (OnDisconnected)
        OnDisconnected(*this);
}

void TResourceManager::DoNotConnected()
{
    if (OnNotConnected)
        OnNotConnected(*this);
}

void TResourceManager::DoSelectedStateChange()
{
    if (onSelectedStateChange_)
        onSelectedStateChange_(*this);
}

void TResourceManager::NotifyListeners(int code)
{
    // A listener may remove itself while being told.
    const std::vector<ListenerEntry> listeners = listeners_;
    for (const ListenerEntry& entry : listeners)
        if (entry.call)
            entry.call(*this, code);
}

void TResourceManager::DropReadersAndSelection()
{
    readers_.Clear();
    selection_.Clear();
    changed_.Clear();
    changedCount_ = 0;
    states_.clear();
    stateNames_.clear();
    statesValid_ = false;
}

void TResourceManager::Reset()
{
    NotifyListeners(1);
    DropReadersAndSelection();
    // The service is gone, but the context still holds its slot in the client library.
    if (context_ != 0)
        (void)smartcard::SCardReleaseContext(context_);
    context_ = 0;
    DoDisconnected();
}

void TResourceManager::Disconnect()
{
    NotifyListeners(0);
    DropReadersAndSelection();
    known_.Clear();
    knownRaw_.reset();
    if (context_ != 0)
        (void)smartcard::SCardReleaseContext(context_);
    context_ = 0;
    DoDisconnected();
}

bool TResourceManager::Refresh(bool force)
{
    if (force)
        statesValid_ = false;
    return CheckChanges(0);
}

void TResourceManager::Tick() { (void)Poll(); }

bool TResourceManager::Poll()
{
    if (context_ == 0 || selection_.Empty())
        return false;
    try {
        const bool changed = CheckChanges(0);
        if (!changed_.Empty())
            DoSelectedStateChange();
        return changed;
    } catch (const ESCardError& e) {
        if (!ServiceGone(e.Code()))
            throw;
        contextFailure_ = e.Code();
        Reset();
        return false;
    }
}

void TResourceManager::PollTimerTick()
{
    if (!pollTimer_)
        return;
    pollTimer_->stop();
    // A timer slot: nothing may escape into the event loop, and polling goes on.
    try {
        Tick();
    } catch (const std::exception& e) {
        qCWarning(lcManager, "reader poll failed: %s", e.what());
    }
    if (pollTimer_ && !selection_.Empty())
        pollTimer_->start();
}

void TResourceManager::Cancel() { (void)smartcard::SCardCancel(context_); }

void TResourceManager::SetScope(TDatabaseScope scope)
{
    if (context_ != 0)
        Disconnect();
    scope_ = scope;
    SCARDCONTEXT context = 0;
    const LONG result =
        smartcard::SCardEstablishContext(static_cast<DWORD>(DatabaseScopeToSCard(scope)), nullptr, nullptr, &context);
    if (result == SCARD_S_SUCCESS && context != 0)
        context_ = context;
    // Kept so that whoever needs the context later can say why there is none.
    contextFailure_ = context_ != 0 ? 0 : (result != SCARD_S_SUCCESS ? result : SCARD_E_INVALID_HANDLE);
    if (context_ != 0) {
        ListReaders();
        RefreshGroups();
        DoConnected();
    } else {
        DoNotConnected();
    }
}

bool TResourceManager::Available() const { return SCardProbe() == 0 && context_ != 0; }

void TResourceManager::CheckContext() const
{
    if (context_ != 0)
        return;
    if (contextFailure_ == 0)
        throw ESCardError(kMessageOnly, "Resource manager not connected. Use scope property!");
    throw ESCardError(contextFailure_);
}

void TResourceManager::AddListener(const void* object, Listener listener)
{
    const bool present =
        std::any_of(listeners_.begin(), listeners_.end(), [&](const ListenerEntry& e) { return e.object == object; });
    if (!present)
        listeners_.push_back({object, std::move(listener)});
}

void TResourceManager::RemoveListener(const void* object)
{
    std::erase_if(listeners_, [&](const ListenerEntry& e) { return e.object == object; });
}

std::optional<std::string> TResourceManager::ListReadersRaw()
{
    const SCARDCONTEXT context = context_;
    return ListMultiString(
        [&](LPSTR readers, LPDWORD length) { return smartcard::SCardListReaders(context, nullptr, readers, length); });
}

bool TResourceManager::ReadersChanged() { return MultiStringsDiffer(ListReadersRaw(), knownRaw_); }

void TResourceManager::ListReaders()
{
    LONG failure = 0;
    std::string message;
    try {
        // Listing over a null handle would only report that handle, not the cause.
        CheckContext();
        const auto raw = ListReadersRaw();
        g_listingFailureShown = 0;
        if (MultiStringsDiffer(raw, knownRaw_)) {
            std::vector<std::string> names;
            MultiStringToStrings(*raw, names);
            known_.Clear();
            for (std::string& name : names)
                known_.Add(std::move(name));
            knownRaw_ = raw;
        }
        return;
    } catch (const ESCardError& e) {
        failure = e.Code();
        message = e.what();
    } catch (const std::exception& e) {
        failure = kMessageOnly;
        message = e.what();
    }
    // No reader at all is an answer, and so is no service: nothing is known any more.
    if (failure == SCARD_E_NO_READERS_AVAILABLE || context_ == 0) {
        known_.Clear();
        knownRaw_.reset();
    }
    if (failure == kMessageOnly || failure != g_listingFailureShown) {
        g_listingFailureShown = failure;
        utility::ErrorBox(utility::Pl("Błąd odnajdywania czytników:\r\n") + message);
    }
}

void TResourceManager::IntroduceReader(const std::string& name, const std::string& device)
{
    CheckSCard(smartcard::SCardIntroduceReader(context_, name.c_str(), device.c_str()));
}

void TResourceManager::ForgetReader(const std::string& name)
{
    CheckSCard(smartcard::SCardForgetReader(context_, name.c_str()));
}

void TResourceManager::RefreshGroups() { groups_->Refresh(); }

bool TResourceManager::GroupExists(const std::string& name) const { return groups_->IndexOf(name) >= 0; }

void TResourceManager::BeginUpdate()
{
    if (!updateCopy_)
        updateCopy_ = selection_.Names();
}

void TResourceManager::EndUpdate(bool cancel)
{
    if (!updateCopy_)
        return;
    if (!cancel) {
        KeepOnly(*updateCopy_);
        SelectReaders(*updateCopy_);
    }
    updateCopy_.reset();
}

void TResourceManager::GetSelection(std::vector<std::string>* dest) const
{
    if (dest)
        *dest = selection_.Names();
}

void TResourceManager::SelectReader(const std::string& name, bool select)
{
    if (select) {
        if (!selection_.Contains(name)) {
            selection_.Add(name, std::make_unique<TSelectedReaderState>());
            statesValid_ = false;
        }
    } else if (selection_.Remove(name)) {
        changed_.Remove(name);
        statesValid_ = false;
    }
    if (!selection_.Empty() && pollTimer_)
        pollTimer_->start();
}

void TResourceManager::SelectReaders(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        SelectReader(name, true);
}

void TResourceManager::KeepOnly(const std::vector<std::string>& names)
{
    for (const std::string& name : selection_.Names()) {
        const bool kept =
            std::any_of(names.begin(), names.end(), [&](const std::string& n) { return CompareNames(n, name) == 0; });
        if (!kept)
            SelectReader(name, false);
    }
}

void TResourceManager::SelectGroup(const std::string& group)
{
    TSmartcardReaderGroup& g = groups_->GetGroup(group);
    for (int i = 0; i < g.Count(); ++i)
        SelectReader(g.Names(i), true);
}

void TResourceManager::UnselectGroup(const std::string& group)
{
    TSmartcardReaderGroup& g = groups_->GetGroup(group);
    for (int i = 0; i < g.Count(); ++i)
        SelectReader(g.Names(i), false);
}

void TResourceManager::SelectAll()
{
    selection_.Clear();
    changed_.Clear();
    statesValid_ = false;
    for (const auto& item : known_)
        SelectReader(item.name, true);
}

void TResourceManager::UnselectAll()
{
    selection_.Clear();
    statesValid_ = false;
}

void TResourceManager::ClearStates()
{
    statesValid_ = false;
    for (auto& item : selection_)
        item.object->SetState(0);
}

TSelectedReaderState* TResourceManager::FindSelected(const std::string& name)
{
    const int i = selection_.IndexOf(name);
    return i >= 0 ? selection_.Object(i).get() : nullptr;
}

const TSelectedReaderState* TResourceManager::ChangedState(int i) const
{
    const int s = selection_.IndexOf(changed_.Name(i));
    return s >= 0 ? selection_.Object(s).get() : nullptr;
}

TSmartcardReader& TResourceManager::GetReader(const std::string& name)
{
    if (!known_.Contains(name))
        ListReaders();
    if (!known_.Contains(name))
        throw ESCardError(SCARD_E_UNKNOWN_READER);
    const int i = readers_.IndexOf(name);
    if (i >= 0)
        return *readers_.Object(i);
    auto reader = std::make_unique<TSmartcardReader>(*this, name);
    return *readers_.Object(readers_.Add(name, std::move(reader)));
}

void TResourceManager::SetWatchSelectedReaders(bool on)
{
    watch_ = on;
    ApplyWatch();
}

void TResourceManager::ApplyWatch()
{
    const bool effective = WatchSelectedReaders();
    if (effective == appliedWatch_)
        return;
    appliedWatch_ = effective;
    if (!effective) {
        pollTimer_.reset();
        return;
    }
    pollTimer_ = std::make_unique<QTimer>();
    pollTimer_->setInterval(1000);
    QObject::connect(pollTimer_.get(), &QTimer::timeout, this, [this] { PollTimerTick(); });
    if (!selection_.Empty())
        pollTimer_->start();
}

}  // namespace smartcard
