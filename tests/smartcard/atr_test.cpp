#include "smartcard/atr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace smartcard;

namespace {

TEST(TAtr, SetBytesKeepsAtMost32AndClampsTheLength)
{
    std::vector<unsigned char> bytes(36);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i);
    TAtr atr;
    atr.SetBytes(bytes.data(), 36);
    EXPECT_EQ(atr.Length(), 32);
    EXPECT_EQ(atr.Hex().size(), 32u * 3 - 1);
    EXPECT_EQ(atr.Hex().substr(0, 5), "00 01");
    EXPECT_EQ(atr.Hex().substr(atr.Hex().size() - 2), "1F");

    atr.SetBytes(bytes.data(), -4);
    EXPECT_EQ(atr.Length(), 0);
    EXPECT_EQ(atr.Hex(), "");
}

TEST(TAtr, NewLengthDropsTheMask)
{
    TAtr atr;
    atr.SetHex("3B XX");
    EXPECT_EQ(atr.MaskHex(), "FF 00");
    const unsigned char same[] = {0x3B, 0x11};
    atr.SetBytes(same, 2);
    EXPECT_EQ(atr.MaskHex(), "FF 00");
    EXPECT_EQ(atr.MaskLength(), 2);
    const unsigned char longer[] = {0x3B, 0x11, 0x22};
    atr.SetBytes(longer, 3);
    EXPECT_EQ(atr.MaskHex(), "");
    EXPECT_EQ(atr.MaskLength(), 0);
    EXPECT_EQ(atr.Hex(), "3B 11 22");
}

TEST(TAtr, HexSetterCases)
{
    struct Case {
        const char* text;
        bool accepted;
        int length;
        const char* mask;
    };
    const Case cases[] = {
        {"3B 8F 80 01", true, 4, "FF FF FF FF"},
        {" 3b,8f|80 ", true, 3, " FF,FF|FF "},
        {"3BXX", true, 2, "FF00"},
        {"", true, 0, ""},
        {"3B 8", false, 0, ""},
        {"3G", false, 0, ""},
        {"3B,,8F", false, 0, ""},
        {"3B 8F 80 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", false, 0,
         ""},
    };
    for (const Case& c : cases) {
        TAtr atr;
        atr.SetHex(c.text);
        EXPECT_EQ(atr.Length(), c.length) << c.text;
        if (c.accepted) {
            EXPECT_EQ(atr.Hex(), c.text);
            EXPECT_EQ(atr.MaskHex(), c.mask) << c.text;
        } else {
            EXPECT_EQ(atr.Hex(), "") << c.text;
        }
    }
}

TEST(TAtr, MaskedDigitsCountAsZero)
{
    TAtr atr;
    atr.SetHex("3B xX 8F");
    ASSERT_EQ(atr.Length(), 3);
    EXPECT_EQ(atr.Bytes()[0], 0x3B);
    EXPECT_EQ(atr.Bytes()[1], 0x00);
    EXPECT_EQ(atr.Bytes()[2], 0x8F);
    ASSERT_EQ(atr.MaskLength(), 3);
    EXPECT_EQ(atr.Mask()[0], 0xFF);
    EXPECT_EQ(atr.Mask()[1], 0x00);
    // A derived mask equal in value to the current one leaves its text alone.
    atr.SetMaskHex("ff,ff ff");
    atr.SetHex("3B 00 8F");
    EXPECT_EQ(atr.MaskHex(), "ff,ff ff");
    atr.SetMaskHex("ff 00 ff");
    atr.SetHex("3B 00 8F");
    EXPECT_EQ(atr.MaskHex(), "FF FF FF");
    // An invalid ATR changes nothing.
    atr.SetHex("nonsense");
    EXPECT_EQ(atr.Hex(), "3B 00 8F");

    TAtr copy;
    copy.Assign(atr);
    EXPECT_EQ(copy.Hex(), atr.Hex());
    EXPECT_EQ(copy.MaskLength(), 3);
}

}  // namespace
