#include "smartcard/reader_group.h"

#include "smartcard/multistring.h"
#include "smartcard/resource_manager.h"
#include "smartcard/scard_calls.h"
#include "smartcard/scard_error.h"

#include <algorithm>

namespace smartcard {
namespace {

// Far above any real reader list; a larger length is not believed.
constexpr DWORD kMaxListLength = 0x10000;

void ParseInto(const std::string& raw, TSortedList<>& names)
{
    std::vector<std::string> list;
    MultiStringToStrings(raw, list);
    names.Clear();
    for (std::string& name : list)
        names.Add(std::move(name));
}

}  // namespace

std::string ListMultiString(const std::function<LONG(LPSTR, LPDWORD)>& list)
{
    DWORD length = 0;
    CheckSCard(list(nullptr, &length));
    std::string buffer(std::clamp<DWORD>(length, 2, kMaxListLength), '\0');
    DWORD filled = static_cast<DWORD>(buffer.size());
    CheckSCard(list(buffer.data(), &filled));
    buffer.resize(std::min<DWORD>(filled, static_cast<DWORD>(buffer.size())));
    return buffer;
}

TSmartcardReaderGroup::TSmartcardReaderGroup(TResourceManager& manager, std::string name)
    : manager_(manager), name_(std::move(name))
{}

TSmartcardReader& TSmartcardReaderGroup::ReaderByName(const std::string& name)
{
    if (!names_.Contains(name))
        Refresh();
    if (!names_.Contains(name))
        throw ESCardError(kReaderNotInGroup);
    return manager_.GetReader(name);
}

void TSmartcardReaderGroup::Refresh()
{
    inSync_ = false;
    const std::string group = StringsToMultiString({name_});
    const SCARDCONTEXT context = manager_.Context();
    const std::string raw = ListMultiString([&](LPSTR readers, LPDWORD length) {
        return smartcard::SCardListReaders(context, group.c_str(), readers, length);
    });
    if (MultiStringsDiffer(raw, raw_)) {
        ParseInto(raw, names_);
        raw_ = raw;
    }
    inSync_ = true;
}

void TSmartcardReaderGroup::Edited()
{
    inSync_ = false;
    raw_ = StringsToMultiString(names_.Names());
}

void TSmartcardReaderGroup::Add(const std::string& name)
{
    names_.Add(name);
    Edited();
}

void TSmartcardReaderGroup::Remove(const std::string& name)
{
    names_.Delete(names_.IndexOf(name));
    Edited();
}

void TSmartcardReaderGroup::Rename(const std::string& oldName, const std::string& newName)
{
    if (!names_.Remove(oldName))
        return;
    names_.Add(newName);
    Edited();
}

void TSmartcardReaderGroup::Clear()
{
    names_.Clear();
    Edited();
}

void TSmartcardReaderGroup::Assign(const TSmartcardReaderGroup& other)
{
    if (this == &other)
        return;
    names_ = other.names_;
    Edited();
}

void TSmartcardReaderGroup::Commit()
{
    inSync_ = false;
    const std::vector<std::string> wanted = names_.Names();
    manager_.Groups().Introduce(name_);
    Refresh();
    const SCARDCONTEXT context = manager_.Context();
    for (const std::string& reader : names_.Names())
        CheckSCard(smartcard::SCardRemoveReaderFromGroup(context, reader.c_str(), name_.c_str()));
    for (const std::string& reader : wanted)
        CheckSCard(smartcard::SCardAddReaderToGroup(context, reader.c_str(), name_.c_str()));
    Refresh();
}

TGroupList::TGroupList(TResourceManager& manager) : manager_(manager) {}

TGroupList::~TGroupList() = default;

void TGroupList::Refresh()
{
    const SCARDCONTEXT context = manager_.Context();
    const std::string raw = ListMultiString(
        [&](LPSTR groups, LPDWORD length) { return smartcard::SCardListReaderGroups(context, groups, length); });
    if (MultiStringsDiffer(raw, raw_)) {
        ParseInto(raw, names_);
        raw_ = raw;
    }
    if (!names_.Contains(""))
        names_.Add("");
    for (auto& item : groups_)
        item.object->Refresh();
}

void TGroupList::Introduce(const std::string& name)
{
    CheckSCard(smartcard::SCardIntroduceReaderGroup(manager_.Context(), name.c_str()));
}

void TGroupList::Forget(const std::string& name)
{
    CheckSCard(smartcard::SCardForgetReaderGroup(manager_.Context(), name.c_str()));
}

TSmartcardReaderGroup& TGroupList::GetGroup(const std::string& name)
{
    const int i = groups_.IndexOf(name);
    if (i >= 0)
        return *groups_.Object(i);
    auto group = std::make_unique<TSmartcardReaderGroup>(manager_, name);
    return *groups_.Object(groups_.Add(name, std::move(group)));
}

}  // namespace smartcard
