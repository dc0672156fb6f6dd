// PC/SC reader groups: an editable list of the readers of one group, and the manager's
// list of groups. pcsc-lite has no group editing: introducing, forgetting and committing
// a group raise ESCardError SCARD_E_INVALID_TARGET there.
#pragma once

#include "smartcard/sorted_list.h"

#include <winscard.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace smartcard {

class TResourceManager;
class TSmartcardReader;

// The double-NUL text a two-call PC/SC listing gives: first the length, then the data.
// Each result goes through CheckSCard; the text never reaches past what PC/SC filled.
std::string ListMultiString(const std::function<LONG(LPSTR, LPDWORD)>& list);

class TSmartcardReaderGroup {
public:
    TSmartcardReaderGroup(TResourceManager& manager, std::string name);

    // The manager's reader for a name of the group (refreshing once for a new name);
    // ESCardError kReaderNotInGroup otherwise.
    TSmartcardReader& ReaderByName(const std::string& name);
    int Count() const { return names_.Count(); }
    const std::string& Names(int i) const { return names_.Name(i); }
    const std::string& GroupName() const { return name_; }
    bool InSync() const { return inSync_; }
    // The names PC/SC reports for the group.
    void Refresh();
    // Local edits: each leaves the group out of sync until Commit or Refresh.
    void Add(const std::string& name);
    // std::out_of_range "List index out of bounds (-1)" for a name not in the group.
    void Remove(const std::string& name);
    void Rename(const std::string& oldName, const std::string& newName);
    bool Contains(const std::string& name) const { return names_.Contains(name); }
    // Replaces the group's membership in PC/SC by the local list.
    void Commit();
    void Clear();
    void Assign(const TSmartcardReaderGroup& other);
    const std::string& RawReaders() const { return raw_; }

private:
    void Edited();

    TResourceManager& manager_;
    TSortedList<> names_;
    std::string name_;
    std::string raw_;
    bool inSync_ = false;
};

class TGroupList {
public:
    explicit TGroupList(TResourceManager& manager);
    ~TGroupList();

    // The groups PC/SC reports, always with the empty name; then every group object's Refresh.
    void Refresh();
    void Introduce(const std::string& name);
    void Forget(const std::string& name);
    int IndexOf(const std::string& name) const { return names_.IndexOf(name); }
    const TSortedList<>& Names() const { return names_; }
    // Created (and kept) on first request.
    TSmartcardReaderGroup& GetGroup(const std::string& name);

private:
    TResourceManager& manager_;
    TSortedList<> names_;
    TSortedList<std::unique_ptr<TSmartcardReaderGroup>> groups_;
    std::optional<std::string> raw_;
};

}  // namespace smartcard
