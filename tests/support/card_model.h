// A first-generation driver card that answers command APDUs, with an APDU log and fault injection.
#pragma once

#include "tests/support/card_files.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace testsupport {

// Status words the card answers.
inline constexpr std::uint16_t kSwOk = 0x9000;
inline constexpr std::uint16_t kSwWrongLength = 0x6700;
inline constexpr std::uint16_t kSwConditionsNotSatisfied = 0x6985;
inline constexpr std::uint16_t kSwNoCurrentEf = 0x6986;
inline constexpr std::uint16_t kSwFileNotFound = 0x6A82;
inline constexpr std::uint16_t kSwWrongP1P2 = 0x6A86;
inline constexpr std::uint16_t kSwWrongOffset = 0x6B00;
inline constexpr std::uint16_t kSwInsNotSupported = 0x6D00;
inline constexpr std::uint16_t kSwClaNotSupported = 0x6E00;

// ATRs: the default one offers T=0 only, the other T=1 only.
[[nodiscard]] const Bytes& AtrT0();
[[nodiscard]] const Bytes& AtrT1Only();

// Name of the tachograph application (SELECT by name).
[[nodiscard]] const Bytes& TachographAid();

// The 128 signature bytes the card answers for a file of this FID and body after PERFORM HASH.
[[nodiscard]] Bytes ExpectedSignature(std::uint16_t fid, std::span<const std::uint8_t> body);

// One command and the card's answer (data + SW1 SW2; empty when the card was already gone).
struct ApduExchange {
    Bytes command;
    Bytes answer;
};

// All members are safe to call from several threads (a vpcd client serves the card on its own
// thread while the test reads the log).
class CardModel {
public:
    explicit CardModel(CardFiles files);
    ~CardModel();
    CardModel(const CardModel&) = delete;
    CardModel& operator=(const CardModel&) = delete;

    // Whether `card` is a model that has been made and not yet destroyed, so that a reader
    // still holding a model that is gone can say so instead of reading a dead object.
    [[nodiscard]] static bool Alive(const CardModel* card);

    // Answers one command APDU (short form). Commands are numbered from 1 in the order they
    // arrive; a card that is removed answers an empty buffer and logs it.
    [[nodiscard]] Bytes Transmit(std::span<const std::uint8_t> command);

    // Power on / reset: back to the master file, nothing selected, hash register cleared.
    void Reset();

    [[nodiscard]] Bytes Atr() const;
    [[nodiscard]] bool Removed() const;
    [[nodiscard]] std::vector<ApduExchange> Log() const;
    [[nodiscard]] std::size_t CommandCount() const;
    [[nodiscard]] const CardFiles& Files() const { return files_; }

    // Fault injection; n counts commands from 1. Faults at the same n: the status word wins.
    void FailWithStatus(std::size_t n, std::uint16_t statusWord);  // answer only this SW, do nothing
    void ShortenAnswer(std::size_t n, std::size_t missingBytes);   // drop data bytes, keep the SW
    void LengthenAnswer(std::size_t n, std::size_t extraBytes);    // add data bytes before the SW
    void RemoveAfter(std::size_t n);  // the n-th command is answered, then the card is gone
    void OfferOnlyT1();               // the ATR offers T=1 only

private:
    struct Hash {
        std::uint16_t fid;
        Bytes sha1;
    };
    struct Fault {
        std::optional<std::uint16_t> statusWord;
        std::ptrdiff_t lengthChange = 0;
    };

    Bytes Process(std::span<const std::uint8_t> command);
    Bytes Select(std::uint8_t p1, std::uint8_t p2, std::span<const std::uint8_t> data);
    Bytes ReadBinary(std::uint8_t p1, std::uint8_t p2, std::size_t le);
    Bytes PerformHash();
    Bytes ComputeSignature(std::size_t le);
    const Bytes* CurrentBody() const;

    const CardFiles files_;
    mutable std::mutex mutex_;
    bool inApplication_ = false;
    std::optional<std::uint16_t> currentEf_;
    std::optional<Hash> hash_;
    std::vector<ApduExchange> log_;
    std::map<std::size_t, Fault> faults_;
    std::optional<std::size_t> removeAfter_;
    bool t1Only_ = false;
};

}  // namespace testsupport
