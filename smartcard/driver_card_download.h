// The driver card download: every elementary file of a first-generation driver card into
// tacho::CardImage, the card's signatures into tacho::SignatureArea, then the card download
// file (through the hooks) and the ZOLT record file.
#pragma once

#include "smartcard/apduchannel.h"
#include "smartcard/downloadhooks.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace smartcard {

// How many bytes of a file the download asks for.
enum class TRequestedLength {
    Slot,      // the whole body slot
    Events,    // noOfEventsPerType x 144
    Faults,    // noOfFaultsPerType x 48
    Activity,  // activityStructureLength + 4
    Vehicles,  // noOfCardVehicleRecords x 31 + 2
    Places,    // noOfCardPlaceRecords x 10 + 1
};

struct TDownloadRow {
    std::uint16_t fid;
    TRequestedLength length;
    bool sign;
    // Progress positions set after the file (0 = none).
    std::array<int, 2> progressAfter;
};

// Files 0 and 1 come before the tachograph application is selected, the rest after it,
// all in this order. Card_Download is not read.
inline constexpr std::array<TDownloadRow, 15> kDownloadRows = {{
    {0x0002, TRequestedLength::Slot, false, {1, 0}},
    {0x0005, TRequestedLength::Slot, false, {0, 0}},
    {0x0501, TRequestedLength::Slot, true, {1, 0}},
    {0xC100, TRequestedLength::Slot, false, {2, 0}},
    {0xC108, TRequestedLength::Slot, false, {3, 0}},
    {0x0520, TRequestedLength::Slot, true, {4, 5}},
    {0x0521, TRequestedLength::Slot, true, {6, 0}},
    {0x0502, TRequestedLength::Events, true, {7, 0}},
    {0x0503, TRequestedLength::Faults, true, {8, 0}},
    {0x0504, TRequestedLength::Activity, true, {9, 0}},
    {0x0505, TRequestedLength::Vehicles, true, {10, 0}},
    {0x0506, TRequestedLength::Places, true, {11, 0}},
    {0x0507, TRequestedLength::Slot, true, {12, 0}},
    {0x0508, TRequestedLength::Slot, true, {13, 0}},
    {0x0522, TRequestedLength::Slot, true, {0, 0}},
}};
inline constexpr std::size_t kCardLevelRows = 2;

// Bytes the download asks for, computed from the Application_Identification already in
// tacho::CardImage, in 32 bits and not clamped (the caller refuses a length above the slot).
std::uint32_t RequestedLength(const TDownloadRow& row);

struct TDownloadEnvironment {
    std::filesystem::path zoltFolder;
    std::function<double()> clock;               // day number now; empty = the system clock
    std::function<std::string(int)> randomText;  // empty = utility::RandomText
};

struct TDownloadOutcome {
    // 0 when the card was read and the ZOLT file written, 1 otherwise.
    int result = 1;
    // The card was read completely and handed to the card download file writer: the
    // holder summary can be shown, even when the ZOLT file failed.
    bool cardRead = false;
    std::filesystem::path zoltFile;  // empty unless written
};

// Runs the whole download over `channel`. Never throws: every failure ends in the read or
// save result line (and an error box where a message says more).
TDownloadOutcome ReadDriverCard(TApduChannel& channel, TDownloadHooks& hooks, const TDownloadEnvironment& env);

}  // namespace smartcard
