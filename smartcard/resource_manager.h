// One PC/SC resource-manager context: the readers the system knows, one TSmartcardReader
// per reader name on demand, a selection of readers polled together, reader groups, and
// listeners and events for connection changes. User-interface thread only.
#pragma once

#include "smartcard/reader_group.h"
#include "smartcard/reader_state.h"
#include "smartcard/smartcard_reader.h"
#include "smartcard/sorted_list.h"

#include <QObject>

#include <winscard.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTimer;

namespace smartcard {

class TResourceManager : public QObject {
public:
    using NotifyEvent = std::function<void(TResourceManager&)>;
    // Notification codes: 0 context released or manager destroyed, 1 Reset.
    using Listener = std::function<void(TResourceManager&, int code)>;

    explicit TResourceManager(QObject* owner = nullptr);
    ~TResourceManager() override;

    // Events; each optional.
    NotifyEvent OnConnected, OnDisconnected, OnNotConnected;
    // Assigning it starts the poll timer (as WatchSelectedReaders does).
    void SetOnSelectedStateChange(NotifyEvent handler);

    void Loaded();
    void DoConnected();
    void DoDisconnected();
    void DoNotConnected();
    void DoSelectedStateChange();
    void NotifyListeners(int code);
    // The service has gone: notify (1), drop readers and selection, release the context.
    void Reset();
    bool CheckChanges(DWORD timeout) { return PollSelected(timeout); }
    // Polls the selection, the time-out shared out among the selected readers; true when
    // some reader changed. ESCardError kMessageOnly when the context is invalid.
    bool PollSelected(DWORD timeout);
    // CheckChanges(0); with `force` the state records are rebuilt from the selection first.
    bool Refresh(bool force);
    // One poll with events; a vanished service resets the manager instead of raising.
    void Tick();
    bool Poll();
    void Cancel();
    // (Re)establishes the context for `scope`, then lists readers and groups. A context
    // that cannot be had does not raise: OnNotConnected fires.
    void SetScope(TDatabaseScope scope);
    TDatabaseScope Scope() const { return scope_; }
    void Disconnect();
    bool Available() const;
    // The PC/SC code that kept the manager from its context (SetScope) or took it away (the
    // service went during a poll); 0 while a context is held and before any was asked for.
    LONG ContextFailure() const { return contextFailure_; }
    // Raises, when there is no context, ESCardError with ContextFailure() (kMessageOnly
    // "Resource manager not connected. Use scope property!" when no code is known).
    void CheckContext() const;
    // One listener per object: adding again replaces nothing, removing removes only its own.
    void AddListener(const void* object, Listener listener);
    void RemoveListener(const void* object);
    bool ReadersChanged();
    // Lists the readers; a failure shows the Polish error box once per run of equal
    // failures and is swallowed. Without a context nothing is asked: the failure is the
    // cause of that (CheckContext), and no reader is known.
    void ListReaders();
    void IntroduceReader(const std::string& name, const std::string& device);
    void ForgetReader(const std::string& name);
    bool ReaderExists(const std::string& name) const { return known_.Contains(name); }
    void RefreshGroups();
    bool GroupExists(const std::string& name) const;
    void BeginUpdate();
    void EndUpdate(bool cancel);
    void GetSelection(std::vector<std::string>* dest) const;
    void SelectReader(const std::string& name, bool select);
    void SelectReaders(const std::vector<std::string>& names);
    void KeepOnly(const std::vector<std::string>& names);
    void SelectGroup(const std::string& group);
    void UnselectGroup(const std::string& group);
    void SelectAll();
    void SelectSystemNames();
    void SelectAvailable();
    void UnselectAll();
    void DropSelectionSnapshot();
    void TakeSelectionSnapshot();
    void ClearStates();
    bool LocateCard(const std::vector<std::string>& cardNames);
    bool CardInReader(const std::string& reader, const std::vector<std::string>& cards);
    std::string FindCardInReader(const std::string& reader, const std::vector<std::string>& cardNames);
    // The reader object of a known name (listing once more for a new one); ESCardError
    // SCARD_E_UNKNOWN_READER otherwise. Owned by the manager.
    TSmartcardReader& GetReader(const std::string& name);

    int SelectedCount() const { return selection_.Count(); }
    const std::string& SelectedName(int i) const { return selection_.Name(i); }
    const TSelectedReaderState& SelectedState(int i) const { return *selection_.Object(i); }
    // Readers the last poll put on the changed list; their state while still selected.
    int ChangedCount() const { return changedCount_; }
    const std::string& ChangedName(int i) const { return changed_.Name(i); }
    const TSelectedReaderState* ChangedState(int i) const;
    const TSortedList<>& KnownReaders() const { return known_; }
    bool IsConnected() const { return context_ != 0; }
    SCARDCONTEXT Context() const { return context_; }
    TGroupList& Groups() { return *groups_; }

    bool WatchSelectedReaders() const { return watch_ || static_cast<bool>(onSelectedStateChange_); }
    void SetWatchSelectedReaders(bool on);
    bool FriendlyConnect() const { return friendlyConnect_; }
    void SetFriendlyConnect(bool on) { friendlyConnect_ = on; }
    TReaderState ChangeMask() const { return changeMask_; }
    void SetChangeMask(TReaderState mask) { changeMask_ = mask; }
    QTimer* PollTimer() const { return pollTimer_.get(); }
    void PollTimerTick();

private:
    void ApplyWatch();
    void DropReadersAndSelection();
    void PrepareStates();
    void ProcessPolled(int index, SCARD_READERSTATE& record, bool& changed);
    TSelectedReaderState* FindSelected(const std::string& name);
    std::optional<std::string> ListReadersRaw();

    struct ListenerEntry {
        const void* object;
        Listener call;
    };
    std::vector<ListenerEntry> listeners_;
    std::unique_ptr<TGroupList> groups_;
    SCARDCONTEXT context_ = 0;
    LONG contextFailure_ = 0;
    TDatabaseScope scope_ = dsUser;
    bool friendlyConnect_ = false;
    bool watch_ = false;
    bool appliedWatch_ = false;
    TReaderState changeMask_{rsEmpty, rsCardPresent};
    NotifyEvent onSelectedStateChange_;
    std::optional<std::vector<std::string>> snapshotSelection_, snapshotChanged_;
    TSortedList<> changed_;
    TSortedList<std::unique_ptr<TSelectedReaderState>> selection_;
    TSortedList<std::unique_ptr<TSmartcardReader>> readers_;
    TSortedList<> known_;
    std::optional<std::string> knownRaw_;
    std::vector<SCARD_READERSTATE> states_;
    std::vector<std::string> stateNames_;
    bool statesValid_ = false;
    int changedCount_ = 0;
    std::unique_ptr<QTimer> pollTimer_;
    std::optional<std::vector<std::string>> updateCopy_;
};

}  // namespace smartcard
