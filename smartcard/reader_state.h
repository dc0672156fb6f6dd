// Reader states and the layer's enumerations with their PC/SC values.
#pragma once

#include "smartcard/atr.h"

#include <winscard.h>

#include <cstdint>
#include <initializer_list>
#include <string>

namespace smartcard {

enum TReaderStates : std::uint8_t {
    rsNoReader,
    rsIgnore,
    rsUnaware,
    rsReaderUnknown,
    rsUnavailable,
    rsEmpty,
    rsCardPresent,
    rsExclusive,
    rsShared,
    rsUnpowered,
    rsMute,
};

// A set of TReaderStates held in 16 bits (bit n = value n).
class TReaderState {
public:
    constexpr TReaderState() = default;
    constexpr TReaderState(std::initializer_list<TReaderStates> states)
    {
        for (TReaderStates s : states)
            bits_ = static_cast<std::uint16_t>(bits_ | Bit(s));
    }
    static constexpr TReaderState FromBits(std::uint16_t bits)
    {
        TReaderState set;
        set.bits_ = bits;
        return set;
    }
    constexpr std::uint16_t Bits() const { return bits_; }
    constexpr bool Has(TReaderStates s) const { return (bits_ & Bit(s)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool Meets(TReaderState other) const { return (bits_ & other.bits_) != 0; }
    constexpr void Include(TReaderStates s) { bits_ = static_cast<std::uint16_t>(bits_ | Bit(s)); }
    constexpr void Exclude(TReaderStates s) { bits_ = static_cast<std::uint16_t>(bits_ & ~Bit(s)); }
    // Members of this set that are not in `other`.
    constexpr TReaderState Minus(TReaderState other) const
    {
        return FromBits(static_cast<std::uint16_t>(bits_ & ~other.bits_));
    }
    constexpr TReaderState operator|(TReaderState other) const
    {
        return FromBits(static_cast<std::uint16_t>(bits_ | other.bits_));
    }
    constexpr bool operator==(const TReaderState&) const = default;

private:
    static constexpr std::uint16_t Bit(TReaderStates s) { return static_cast<std::uint16_t>(1u << s); }
    std::uint16_t bits_ = 0;
};

enum TDatabaseScope : std::uint8_t { dsUser, dsTerminal, dsSystem, dsNone };
enum TShareMode : std::uint8_t { smShared, smExclusive, smDirect, smNone };
enum TDisposition : std::uint8_t { diLeave, diReset, diUnpower, diEject, diSwallow, diNone };
enum TProtocol : std::uint8_t { prT0, prT1, prRaw, prUndefined, prDefault, prNone };

// PC/SC constants of the enumerations; -1 for a value PC/SC has no constant for.
LONG DatabaseScopeToSCard(TDatabaseScope scope);
LONG ShareModeToSCard(TShareMode mode);
LONG DispositionToSCard(TDisposition disposition);
// prDefault asks for T=0 or T=1.
LONG ProtocolToSCard(TProtocol protocol);
TProtocol SCardToProtocol(DWORD protocol);

// The set for PC/SC reader-state flags; only the low 16 bits are flags (pcsc-lite counts
// events in the upper ones).
TReaderState SCardStateToReaderState(DWORD flags);
// The first present of exclusive, shared, unpowered, mute, no reader, unaware, unknown,
// unavailable, empty, card present; rsUnaware for a set without any of them.
TReaderStates DominantReaderState(TReaderState set);
// {value}, with rsCardPresent added for the connected and unpowered states.
TReaderState ReaderStateToSet(TReaderStates value);
std::string ReaderStateText(TReaderState set);

// The state of one selected reader as the last poll saw it.
class TSelectedReaderState {
public:
    // previous := current; current := raw; newly set := flags of raw not in previous.
    void SetState(DWORD raw);
    // ATR from the record (at most its own field), then SetState(event state).
    void Update(const SCARD_READERSTATE& record);

    DWORD PreviousRaw() const { return previousRaw_; }
    DWORD CurrentRaw() const { return currentRaw_; }
    DWORD NewlySetRaw() const { return newlySetRaw_; }
    TReaderState Current() const { return current_; }
    TReaderState NewlySet() const { return newlySet_; }
    const TAtr& Atr() const { return atr_; }

private:
    DWORD previousRaw_ = 0;
    DWORD currentRaw_ = 0;
    DWORD newlySetRaw_ = 0;
    TReaderState current_;
    TReaderState newlySet_;
    TAtr atr_;
};

// The record's ATR length, clamped to its ATR field.
int RecordAtrLength(const SCARD_READERSTATE& record);

}  // namespace smartcard
