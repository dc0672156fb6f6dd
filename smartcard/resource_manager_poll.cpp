// The resource manager's selection polling and the selections built from polled states.
#include "smartcard/multistring.h"
#include "smartcard/resource_manager.h"
#include "smartcard/scard_calls.h"
#include "smartcard/scard_error.h"

#include <reader.h>

namespace smartcard {
namespace {

constexpr DWORD kChanged = SCARD_STATE_CHANGED;
// pcsc-lite counts events in the upper 16 bits of a state.
constexpr DWORD kFlagBits = 0xFFFF;

}  // namespace

void TResourceManager::PrepareStates()
{
    if (statesValid_ && states_.size() == static_cast<std::size_t>(selection_.Count())) {
        for (SCARD_READERSTATE& record : states_)
            record.dwCurrentState = record.dwEventState & ~kChanged;
        return;
    }
    stateNames_ = selection_.Names();
    states_.assign(stateNames_.size(), SCARD_READERSTATE{});
    for (std::size_t i = 0; i < states_.size(); ++i) {
        states_[i].szReader = stateNames_[i].c_str();
        states_[i].cbAtr = 0;
        states_[i].dwCurrentState = selection_.Object(static_cast<int>(i))->CurrentRaw();
    }
    statesValid_ = true;
}

bool TResourceManager::PollSelected(DWORD timeout)
{
    changed_.Clear();
    changedCount_ = 0;
    PrepareStates();
    const DWORD count = static_cast<DWORD>(states_.size());
    const DWORD share = count > 0 ? timeout / count : timeout;
    bool changed = false;
    for (std::size_t i = 0; i < states_.size(); ++i) {
        // PC/SC fills a copy, so a failed call leaves the record as it was.
        SCARD_READERSTATE polled = states_[i];
        const LONG result = smartcard::SCardGetStatusChange(context_, share, &polled, 1);
        if (result == SCARD_E_INVALID_HANDLE)
            throw ESCardError(kMessageOnly, kNotConnectedText);
        if (result == SCARD_E_INVALID_PARAMETER)
            continue;
        if (result != SCARD_S_SUCCESS && result != SCARD_E_TIMEOUT)
            CheckSCard(result);
        if (result == SCARD_E_TIMEOUT) {
            if (TSelectedReaderState* state = FindSelected(stateNames_[i]))
                state->SetState(states_[i].dwCurrentState);
            continue;
        }
        polled.szReader = stateNames_[i].c_str();
        states_[i] = polled;
        ProcessPolled(static_cast<int>(i), states_[i], changed);
    }
    changedCount_ = changed_.Count();
    return changed;
}

void TResourceManager::ProcessPolled(int index, SCARD_READERSTATE& record, bool& changed)
{
    const std::string name = stateNames_[static_cast<std::size_t>(index)];
    record.cbAtr = static_cast<DWORD>(RecordAtrLength(record));
    // A card reported present without an ATR cannot be talked to: treat it as absent.
    if (((record.dwEventState & kFlagBits) & ~kChanged) == SCARD_STATE_PRESENT && record.cbAtr == 0)
        record.dwEventState = (record.dwEventState & ~static_cast<DWORD>(SCARD_STATE_PRESENT)) | SCARD_STATE_EMPTY;
    if (!(record.dwEventState & kChanged))
        return;
    changed = true;
    TSelectedReaderState* state = FindSelected(name);
    if (!state)
        return;
    state->Update(record);
    if (state->NewlySet().Meets(changeMask_))
        changed_.Add(name);
    // A reader the system no longer knows has no object to update.
    if (!(record.dwEventState & SCARD_STATE_UNKNOWN))
        GetReader(name).UpdateFromReaderState(record);
}

void TResourceManager::SelectSystemNames()
{
    SelectAll();
    ClearStates();
    if (!Refresh(false)) {
        UnselectAll();
        return;
    }
    std::vector<std::string> systemNames;
    for (const std::string& name : selection_.Names()) {
        TSmartcardReader& reader = GetReader(name);
        if (!reader.ConnectDirect())
            reader.Connect(smShared, prDefault);
        TReaderAttribute attr;
        try {
            reader.GetAttrib(SCARD_ATTR_DEVICE_SYSTEM_NAME_A, attr);
        } catch (...) {
            (void)reader.Disconnect(diLeave);
            throw;
        }
        (void)reader.Disconnect(diLeave);
        const std::string systemName(reinterpret_cast<const char*>(attr.data));
        if (!systemName.empty())
            systemNames.push_back(systemName);
    }
    UnselectAll();
    SelectReaders(systemNames);
    (void)Refresh(true);
}

void TResourceManager::SelectAvailable()
{
    SelectAll();
    if (!Refresh(false)) {
        UnselectAll();
        return;
    }
    const TReaderState unusable{rsIgnore, rsReaderUnknown, rsUnavailable};
    std::vector<std::string> available;
    for (const auto& item : selection_)
        if (!item.object->Current().Meets(unusable))
            available.push_back(item.name);
    UnselectAll();
    SelectReaders(available);
    for (const std::string& name : available)
        if (TSelectedReaderState* state = FindSelected(name))
            state->SetState(SCARD_STATE_EMPTY | SCARD_STATE_PRESENT);
    (void)Refresh(true);
}

void TResourceManager::TakeSelectionSnapshot()
{
    snapshotSelection_ = selection_.Names();
    snapshotChanged_ = changed_.Names();
}

void TResourceManager::DropSelectionSnapshot()
{
    snapshotSelection_.reset();
    snapshotChanged_.reset();
}

bool TResourceManager::CardInReader(const std::string& reader, const std::vector<std::string>& cards)
{
    SCARD_READERSTATE record{};
    record.szReader = reader.c_str();
    if (const TSelectedReaderState* state = FindSelected(reader))
        record.dwCurrentState = state->CurrentRaw();
    const std::string names = StringsToMultiString(cards);
    return smartcard::SCardLocateCards(context_, names.c_str(), &record, 1) == SCARD_S_SUCCESS &&
           (record.dwEventState & SCARD_STATE_ATRMATCH) != 0;
}

bool TResourceManager::LocateCard(const std::vector<std::string>& cardNames)
{
    for (const std::string& name : selection_.Names())
        if (CardInReader(name, cardNames))
            return true;
    return false;
}

std::string TResourceManager::FindCardInReader(const std::string& reader, const std::vector<std::string>& cardNames)
{
    for (const std::string& card : cardNames)
        if (CardInReader(reader, {card}))
            return card;
    return {};
}

}  // namespace smartcard
