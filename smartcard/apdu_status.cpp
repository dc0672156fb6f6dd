#include "smartcard/apdu_status.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace smartcard {
namespace {

struct TStatusDetail {
    int sw1;
    int sw2;
    std::string_view text;
};

// The detail texts that follow the text of a status group, by SW1 and SW2.
constexpr TStatusDetail kDetails[] = {
    {0x62, 0x81, ", part of returned data may be corrupted"},
    {0x62, 0x82, ", end of file/ record reached before reading Le bytes"},
    {0x62, 0x83, ", selected file invalidated"},
    {0x62, 0x84, ", FCI not formatted according to 5.1.5"},
    {0x63, 0x81, ", file filled up by the last write"},
    {0x65, 0x81, ", memory failure"},
    {0x68, 0x81, ", logical channel not supported"},
    {0x68, 0x82, ", secure messaging not supported"},
    {0x69, 0x81, ", command incompatible with file structure"},
    {0x69, 0x82, ", security status not satisfied"},
    {0x69, 0x83, ", authentication method blocked"},
    {0x69, 0x84, ", referenced data invalidated"},
    {0x69, 0x85, ", conditions of use not satisfied"},
    {0x69, 0x86, ", command not allowed (no current EF)"},
    {0x69, 0x87, ", expected SM data objects missing"},
    {0x69, 0x88, ", SM data objects incorrect"},
    {0x6A, 0x80, ", infocrrect parameters in the data field"},
    {0x6A, 0x81, ", function not supported"},
    {0x6A, 0x82, ", file not found"},
    {0x6A, 0x83, ", record not found"},
    {0x6A, 0x84, ", not enough memory space in the file"},
    {0x6A, 0x85, ", Lc inconsistent with TLV structure"},
    {0x6A, 0x86, ", incorrect parameters P1-P2"},
    {0x6A, 0x87, ", Lc inconsistent with P1-P2"},
    {0x6A, 0x88, ", referenced data not found"},
};

// Groups of SW1 whose text is followed by a detail of SW2.
struct TStatusGroup {
    int sw1;
    std::string_view text;
};

constexpr TStatusGroup kGroups[] = {
    {0x62, "Warning:State of non-volatile memory unchanged"},
    {0x63, "Warning:State of non-volatile memory changed"},
    {0x64, "Error:State of non-volatile memory unchanged"},
    {0x65, "Error:State of non-volatile memory changed"},
    {0x68, "Error:Function in CLA not supported,"},
    {0x69, "Error:Command not allowed"},
    {0x6A, "Error:Wrong parameter(s) P1-P2"},
};

// Whole status words with a text of their own.
struct TStatusWord {
    int sw;
    std::string_view text;
};

constexpr TStatusWord kWords[] = {
    {0x6700, "Error:Wrong length"},
    {0x6B00, "Error:Wrong parameter(s) P1-P2"},
    {0x6D00, "Error:Instruction code not supported or invalid"},
    {0x6E00, "Error:Class not supported"},
    {0x6F00, "Error:No precise diagnosis"},
};

std::string HexByte(int value)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value & 0xFF));
    return text;
}

std::string Detail(int sw1, int sw2)
{
    if (sw2 == 0x00)
        return {};
    for (const TStatusDetail& d : kDetails)
        if (d.sw1 == sw1 && d.sw2 == sw2)
            return std::string(d.text);
    if (sw1 == 0x63 && (sw2 & 0xF0) == 0xC0)
        return ", counter value $" + HexByte(sw2).substr(1);
    return ", SW2=" + HexByte(sw2);
}

std::optional<std::string> GroupText(int sw1, int sw2)
{
    for (const TStatusGroup& g : kGroups)
        if (g.sw1 == sw1)
            return std::string(g.text) + Detail(sw1, sw2);
    return std::nullopt;
}

}  // namespace

std::string ApduStatusText(int sw)
{
    const int sw1 = (sw >> 8) & 0xFF;
    const int sw2 = sw & 0xFF;
    if (sw == 0x0000)
        return "Answer to short or no answer";
    if (sw == 0x9000)
        return "Success";
    if (sw1 == 0x61)
        return "Success:$" + HexByte(sw2) + " bytes still available";
    if (sw1 == 0x66)
        return "Security message.";
    if (sw1 == 0x6C)
        return "Error:Wrong length Le, should be $" + HexByte(sw2);
    for (const TStatusWord& w : kWords)
        if (w.sw == sw)
            return std::string(w.text);
    return GroupText(sw1, sw2).value_or(std::string());
}

}  // namespace smartcard
