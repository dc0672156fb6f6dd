#include "smartcard/reader_state.h"

#include <algorithm>
#include <array>

namespace smartcard {

LONG DatabaseScopeToSCard(TDatabaseScope scope)
{
    switch (scope) {
    case dsUser:
        return SCARD_SCOPE_USER;
    case dsTerminal:
        return SCARD_SCOPE_TERMINAL;
    case dsSystem:
        return SCARD_SCOPE_SYSTEM;
    default:
        return -1;
    }
}

LONG ShareModeToSCard(TShareMode mode)
{
    switch (mode) {
    case smShared:
        return SCARD_SHARE_SHARED;
    case smExclusive:
        return SCARD_SHARE_EXCLUSIVE;
    case smDirect:
        return SCARD_SHARE_DIRECT;
    default:
        return -1;
    }
}

LONG DispositionToSCard(TDisposition disposition)
{
    switch (disposition) {
    case diLeave:
        return SCARD_LEAVE_CARD;
    case diReset:
        return SCARD_RESET_CARD;
    case diUnpower:
        return SCARD_UNPOWER_CARD;
    case diEject:
        return SCARD_EJECT_CARD;
    default:
        return -1;
    }
}

LONG ProtocolToSCard(TProtocol protocol)
{
    switch (protocol) {
    case prT0:
        return SCARD_PROTOCOL_T0;
    case prT1:
        return SCARD_PROTOCOL_T1;
    case prRaw:
        return SCARD_PROTOCOL_RAW;
    case prUndefined:
        return SCARD_PROTOCOL_UNDEFINED;
    case prDefault:
        return SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1;
    default:
        return -1;
    }
}

TProtocol SCardToProtocol(DWORD protocol)
{
    switch (protocol) {
    case SCARD_PROTOCOL_T0:
        return prT0;
    case SCARD_PROTOCOL_T1:
        return prT1;
    case SCARD_PROTOCOL_RAW:
        return prRaw;
    case SCARD_PROTOCOL_UNDEFINED:
        return prUndefined;
    case SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1:
        return prDefault;
    default:
        return prNone;
    }
}

TReaderState SCardStateToReaderState(DWORD flags)
{
    TReaderState set;
    if (flags & SCARD_STATE_IGNORE)
        set.Include(rsIgnore);
    if (flags & SCARD_STATE_UNKNOWN)
        set.Include(rsReaderUnknown);
    if (flags & SCARD_STATE_UNAVAILABLE)
        set.Include(rsUnavailable);
    if (flags & SCARD_STATE_EMPTY)
        set.Include(rsEmpty);
    if (flags & SCARD_STATE_PRESENT) {
        set = {rsCardPresent};
        if (flags & SCARD_STATE_EXCLUSIVE)
            set.Include(rsExclusive);
        if (flags & SCARD_STATE_INUSE)
            set.Include(rsShared);
        if (flags & SCARD_STATE_UNPOWERED)
            set.Include(rsUnpowered);
        if (flags & SCARD_STATE_MUTE)
            set.Include(rsMute);
    }
    return set;
}

TReaderStates DominantReaderState(TReaderState set)
{
    static constexpr std::array kOrder{rsExclusive, rsShared,        rsUnpowered,   rsMute,  rsNoReader,
                                       rsUnaware,   rsReaderUnknown, rsUnavailable, rsEmpty, rsCardPresent};
    for (TReaderStates s : kOrder)
        if (set.Has(s))
            return s;
    return rsUnaware;
}

TReaderState ReaderStateToSet(TReaderStates value)
{
    TReaderState set{value};
    if (value == rsExclusive || value == rsShared || value == rsUnpowered)
        set.Include(rsCardPresent);
    return set;
}

std::string ReaderStateText(TReaderState set)
{
    struct Sentence {
        TReaderStates state;
        const char* text;
    };
    static constexpr std::array kFirst{
        Sentence{rsNoReader, "The object is not connected to any reader."},
        Sentence{rsUnaware, "State of the reader is unknown to the object."},
        Sentence{rsReaderUnknown, "The supplied reader name is unknown."},
        Sentence{rsUnavailable, "State of the reader is unknown to the Resource Manager"},
        Sentence{rsEmpty, "There is no card in the reader."},
        Sentence{rsCardPresent, "There is a card in the reader."},
    };
    static constexpr std::array kSecond{
        Sentence{rsExclusive, " The card is connected to in exclusive mode."},
        Sentence{rsShared, " The card is connected to in share mode."},
        Sentence{rsUnpowered, " The card is unpowered"},
    };
    std::string text;
    for (const Sentence& s : kFirst)
        if (set.Has(s.state)) {
            text += s.text;
            break;
        }
    for (const Sentence& s : kSecond)
        if (set.Has(s.state)) {
            text += s.text;
            break;
        }
    if (set.Has(rsMute))
        text += " The card is unresponsive";
    return text;
}

void TSelectedReaderState::SetState(DWORD raw)
{
    previousRaw_ = currentRaw_;
    currentRaw_ = raw;
    newlySetRaw_ = raw & ~previousRaw_;
    current_ = SCardStateToReaderState(currentRaw_);
    newlySet_ = SCardStateToReaderState(newlySetRaw_);
}

int RecordAtrLength(const SCARD_READERSTATE& record)
{
    return static_cast<int>(std::min<DWORD>(record.cbAtr, sizeof record.rgbAtr));
}

void TSelectedReaderState::Update(const SCARD_READERSTATE& record)
{
    atr_.SetBytes(record.rgbAtr, RecordAtrLength(record));
    SetState(record.dwEventState);
}

}  // namespace smartcard
