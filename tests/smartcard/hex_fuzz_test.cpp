// Random texts through the hex, ATR and name-list parsers: under the sanitizers every
// input must parse or fail cleanly, and what parses must keep the buffers' invariants.
#include "smartcard/atr.h"
#include "smartcard/buffers.h"
#include "smartcard/hextext.h"
#include "smartcard/multistring.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace smartcard;

namespace {

std::string RandomText(std::mt19937& rng, const std::string& alphabet, std::size_t maxLength)
{
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(length(rng), ' ');
    for (char& c : text)
        c = alphabet[pick(rng)];
    return text;
}

const std::string kHexish = std::string("0123456789abcdefABCDEFxX ,|\t\r\nG-", 33) + std::string(1, '\0');

TEST(HexFuzz, LoadHexKeepsItsInvariants)
{
    std::mt19937 rng(20261210);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = RandomText(rng, kHexish, 40);
        const int index = static_cast<int>(rng() % 6);
        TBuffer b;
        b.LoadHex(0, "11 22 33");
        try {
            b.LoadHex(index, text);
            EXPECT_LE(b.Length(), b.Capacity());
            EXPECT_LE(b.Length(), index + static_cast<int>(text.size()) / 2 + 1) << text;
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(b.Length(), 0);
            // Compared as C strings: a NUL in the text ends the message there.
            EXPECT_STREQ(e.what(), ("Invalid hex block:'" + text + "'").c_str());
        }
        EXPECT_EQ(b.Data()[b.Length()], 0);
        // Whatever loaded must read back as the same bytes.
        TBuffer again;
        again.LoadHex(0, b.SaveHex(0));
        EXPECT_EQ(again.SaveHex(0), b.SaveHex(0));

        const std::string normal = NormalizeHexText(text);
        EXPECT_LE(normal.size(), text.size() * 2);
        TBuffer at;
        try {
            at.LoadHexAt(index, static_cast<int>(rng() % 5) - 1, text);
        } catch (const std::invalid_argument&) {
            EXPECT_EQ(at.Length(), 0);
        }
        EXPECT_LE(at.Length(), at.Capacity());
    }
}

TEST(HexFuzz, AtrAndNameLists)
{
    std::mt19937 rng(7);
    const std::string names = std::string("AB \0", 4);
    for (int round = 0; round < 4000; ++round) {
        TAtr atr;
        atr.SetHex(RandomText(rng, kHexish, 110));
        EXPECT_LE(atr.Length(), TAtr::kMaxBytes);
        EXPECT_LE(atr.MaskLength(), TAtr::kMaxBytes);

        const std::string raw = RandomText(rng, names, 30);
        std::vector<std::string> list;
        const int count = MultiStringToStrings(raw, list);
        EXPECT_EQ(count, static_cast<int>(list.size()));
        std::size_t total = 0;
        for (const std::string& name : list) {
            EXPECT_FALSE(name.empty());
            EXPECT_EQ(name.find('\0'), std::string::npos);
            total += name.size() + 1;
        }
        EXPECT_LE(total, raw.size() + 1);
        // Building the list again and parsing it gives the same names.
        std::vector<std::string> back;
        MultiStringToStrings(StringsToMultiString(list), back);
        EXPECT_EQ(back, list);
        EXPECT_FALSE(MultiStringsDiffer(StringsToMultiString(list), StringsToMultiString(back)));
    }
}

}  // namespace
