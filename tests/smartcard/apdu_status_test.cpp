#include "smartcard/apdu_status.h"

#include <gtest/gtest.h>

using smartcard::ApduStatusText;

namespace {

struct StatusCase {
    int sw;
    const char* text;
};

class ApduStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ApduStatus, TextOfStatusWord)
{
    EXPECT_EQ(ApduStatusText(GetParam().sw), GetParam().text) << std::hex << GetParam().sw;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ApduStatus,
    ::testing::Values(
        StatusCase{0x0000, "Answer to short or no answer"}, StatusCase{0x9000, "Success"},
        StatusCase{0x61A0, "Success:$A0 bytes still available"},
        StatusCase{0x6200, "Warning:State of non-volatile memory unchanged"},
        StatusCase{
            0x6282,
            "Warning:State of non-volatile memory unchanged, end of file/ record reached before reading Le bytes"},
        StatusCase{0x6284, "Warning:State of non-volatile memory unchanged, FCI not formatted according to 5.1.5"},
        StatusCase{0x6299, "Warning:State of non-volatile memory unchanged, SW2=99"},
        StatusCase{0x6381, "Warning:State of non-volatile memory changed, file filled up by the last write"},
        StatusCase{0x63C3, "Warning:State of non-volatile memory changed, counter value $3"},
        StatusCase{0x63CF, "Warning:State of non-volatile memory changed, counter value $F"},
        StatusCase{0x63B1, "Warning:State of non-volatile memory changed, SW2=B1"},
        StatusCase{0x6481, "Error:State of non-volatile memory unchanged, SW2=81"},
        StatusCase{0x6581, "Error:State of non-volatile memory changed, memory failure"},
        StatusCase{0x6612, "Security message."}, StatusCase{0x6700, "Error:Wrong length"}, StatusCase{0x6790, ""},
        StatusCase{0x6882, "Error:Function in CLA not supported,, secure messaging not supported"},
        StatusCase{0x6900, "Error:Command not allowed"},
        StatusCase{0x6985, "Error:Command not allowed, conditions of use not satisfied"},
        StatusCase{0x6988, "Error:Command not allowed, SM data objects incorrect"},
        StatusCase{0x6A80, "Error:Wrong parameter(s) P1-P2, infocrrect parameters in the data field"},
        StatusCase{0x6A82, "Error:Wrong parameter(s) P1-P2, file not found"},
        StatusCase{0x6A99, "Error:Wrong parameter(s) P1-P2, SW2=99"},
        StatusCase{0x6B00, "Error:Wrong parameter(s) P1-P2"}, StatusCase{0x6B01, ""},
        StatusCase{0x6C10, "Error:Wrong length Le, should be $10"},
        StatusCase{0x6D00, "Error:Instruction code not supported or invalid"},
        StatusCase{0x6E00, "Error:Class not supported"}, StatusCase{0x6F00, "Error:No precise diagnosis"},
        StatusCase{0x6F01, ""}, StatusCase{0x9001, ""}, StatusCase{0x0001, ""}));

}  // namespace
