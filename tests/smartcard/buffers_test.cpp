#include "smartcard/buffers.h"

#include "smartcard/hextext.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace smartcard;

namespace {

TEST(HexText, LoadHexCases)
{
    struct Case {
        const char* text;
        const char* bytes;
    };
    const Case cases[] = {
        {"80 2A 90 00", "80 2A 90 00"},
        {"00 b0 00 fe 1", "00 B0 00 FE 01"},
        {"00 B0 00 00 8", "00 B0 00 00 08"},
        {"  00A4020C02 0501\t", "00 A4 02 0C 02 05 01"},
        {"abc", "0A BC"},
        {"1 2 3", "01 02 03"},
        {"00,B0", "00 B0"},
        {"1,2", "01 02"},
        {"00|B0", "00 00 B0"},
        {"FF 54 41 43 48 4F", "FF 54 41 43 48 4F"},
    };
    for (const Case& c : cases) {
        TBuffer b;
        b.LoadHex(0, c.text);
        EXPECT_EQ(b.SaveHex(0), c.bytes) << c.text;
        EXPECT_EQ(b.Capacity(), b.Length()) << c.text;
        EXPECT_EQ(b.Data()[b.Length()], 0) << c.text;
    }
}

TEST(HexText, LoadHexGivesExactCapacity)
{
    TBuffer b;
    b.LoadHex(0, "80 2A 90 00");
    EXPECT_EQ(b.Length(), 4);
    EXPECT_EQ(b.Capacity(), 4);
    b.LoadHex(2, "01");
    EXPECT_EQ(b.SaveHex(0), "80 2A 01");
    b.LoadHex(1, "");
    EXPECT_EQ(b.Length(), 1);
}

TEST(HexText, InvalidHexRaisesWithTheTextAsPassed)
{
    const char* bad[] = {"00 G0", "0x12", "12\t34", "A4-02"};
    for (const char* text : bad) {
        TBuffer b;
        b.LoadHex(0, "11 22 33");
        try {
            b.LoadHex(0, text);
            ADD_FAILURE() << text;
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Invalid hex block:'") + text + "'");
        }
        EXPECT_EQ(b.Length(), 0) << text;
    }
}

TEST(HexText, NormalizeAndFindFirstOf)
{
    EXPECT_EQ(NormalizeHexText("00 B0 00 00 8"), "00B0000008");
    EXPECT_EQ(NormalizeHexText("  \r\n"), "");
    EXPECT_EQ(NormalizeHexText(" , 1"), "01");
    EXPECT_EQ(NormalizeHexText("12 3,4 5"), "12 30405");
    EXPECT_EQ(FindFirstOf(", ", "a b,c"), 3);
    EXPECT_EQ(FindFirstOf(", ", "a b"), 1);
    EXPECT_EQ(FindFirstOf(", ", "ab"), -1);
    EXPECT_EQ(BytesToHex(nullptr, 3), "");
    const unsigned char bytes[] = {0x90, 0x00};
    EXPECT_EQ(BytesToHex(bytes, 2), "90 00");
}

TEST(HexText, LoadHexAtWritesAtMostCount)
{
    TBuffer b;
    b.LoadHex(0, "00 A4 02 0C");
    b.LoadHexAt(1, 2, "B0 11 22 33");
    EXPECT_EQ(b.SaveHex(0), "00 B0 11 0C");
    b.LoadHexAt(3, -1, "AA BB CC");
    EXPECT_EQ(b.SaveHex(0), "00 B0 11 AA BB CC");
    b.LoadHexAt(-1, -1, "FF");
    EXPECT_EQ(b.SaveHex(0), "00 B0 11 AA BB CC");
    EXPECT_EQ(b.SaveHex(4), "BB CC");
    EXPECT_EQ(b.SaveHex(6), "");
}

TEST(TBuffer, CapacityAndLength)
{
    TBuffer b;
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.Length(), 0);
    EXPECT_EQ(b.Data()[0], 0);

    b.SetCapacity(10);
    EXPECT_EQ(b.Capacity(), 10);
    b.SetCapacity(5);  // fits: nothing changes
    EXPECT_EQ(b.Capacity(), 10);
    b.SetLength(8);
    EXPECT_EQ(b.Length(), 8);
    EXPECT_EQ(b.Capacity(), 10);
    // Shrinking below the length keeps length <= capacity.
    b.SetCapacity(-3);
    EXPECT_EQ(b.Capacity(), 3);
    EXPECT_EQ(b.Length(), 3);
    EXPECT_EQ(b.Data()[3], 0);
    b.SetCapacity(0);
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.Length(), 0);

    b.SetLength(20);
    EXPECT_EQ(b.Capacity(), 20);
    EXPECT_EQ(b.Length(), 20);
    b.SetLength(-6);
    EXPECT_EQ(b.Capacity(), 6);
    EXPECT_EQ(b.Length(), 6);
    EXPECT_EQ(b.Data()[6], 0);
}

TEST(TBuffer, ByteAccessIsBoundChecked)
{
    TBuffer b;
    b.LoadHex(0, "01 02");
    EXPECT_EQ(b.GetByte(1), 0x02);
    for (int i : {-1, 2, 100}) {
        EXPECT_THROW((void)b.GetByte(i), std::out_of_range) << i;
        EXPECT_THROW(b.SetByte(i, 0), std::out_of_range) << i;
    }
    try {
        (void)b.GetByte(2);
        ADD_FAILURE() << "GetByte(2) threw nothing";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds");
    }
}

TEST(TBuffer, WriteReadAndAssign)
{
    TBuffer b;
    const unsigned char src[] = {1, 2, 3};
    b.WriteAt(src, 2, 3);
    EXPECT_EQ(b.Length(), 5);
    EXPECT_EQ(b.SaveHex(2), "01 02 03");
    b.WriteAt(src, -1, 3);
    b.WriteAt(src, 0, 0);
    EXPECT_EQ(b.Length(), 5);

    unsigned char dest[8] = {};
    EXPECT_EQ(b.ReadAt(dest, 3, 8), 2);
    EXPECT_EQ(dest[0], 2);
    EXPECT_EQ(dest[1], 3);
    EXPECT_EQ(b.ReadAt(dest, 5, 1), 0);
    EXPECT_EQ(b.ReadAt(dest, -1, 1), 0);
    EXPECT_EQ(b.ReadAt(dest, 0, 0), 0);

    TBuffer c;
    c.Assign(b);
    EXPECT_EQ(c.SaveHex(0), b.SaveHex(0));
    EXPECT_EQ(c.Capacity(), b.Capacity());
}

TEST(ApduBuffers, CommandAndAnswer)
{
    TCommandAPDUBuffer command;
    EXPECT_EQ(command.SaveHex(0), "00 00 00 00");
    command.SetHeader(PackApduHeader(0x00, 0xA4, 0x02, 0x0C));
    EXPECT_EQ(command.SaveHex(0), "00 A4 02 0C");
    EXPECT_EQ(PackApduHeader(0x80, 0x2A, 0x90, 0x00), 0x00902A80u);
    command.SetBytes({0x00, 0x2A, 0x9E, 0x9A, 0x80});
    EXPECT_EQ(command.SaveHex(0), "00 2A 9E 9A 80");

    TAnswerAPDUBuffer answer;
    answer.LoadHex(0, "01 02 6A 82");
    EXPECT_EQ(answer.SW(), 0x6A82);
    EXPECT_EQ(answer.ByteFromEnd(3), 0x02);
    answer.LoadHex(0, "90");
    EXPECT_THROW((void)answer.SW(), std::out_of_range);
}

}  // namespace
