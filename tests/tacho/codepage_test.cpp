#include "tacho/codepage.h"

#include "tacho/card_image.h"
#include "tests/support/card_builder.h"
#include "tests/support/system_charset.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <string>

using namespace tacho;
using testsupport::CardBuilder;

namespace {

std::span<const std::uint8_t> Bytes(std::string_view s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// The C library's own reading of one byte, as an independent reference; false when it has none.
bool SystemIso8859ToUnicode(int part, std::uint8_t byte, char32_t& codePoint)
{
    return testsupport::SystemByteToUnicode(("ISO-8859-" + std::to_string(part)).c_str(), byte, codePoint);
}

}  // namespace

TEST(CodePage, TablesAgreeWithTheSystemConverter)
{
    for (int part : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16}) {
        ASSERT_TRUE(IsKnownCodePage(static_cast<std::uint8_t>(part)));
        for (int b = 0xA0; b <= 0xFF; ++b) {
            char32_t expected = 0;
            char32_t ours = 0;
            const bool systemHas = SystemIso8859ToUnicode(part, static_cast<std::uint8_t>(b), expected);
            const bool weHave = Iso8859ToUnicode(static_cast<std::uint8_t>(part), static_cast<std::uint8_t>(b), ours);
            ASSERT_EQ(weHave, systemHas) << "8859-" << part << " byte " << b;
            if (weHave) {
                EXPECT_EQ(ours, expected) << "8859-" << part << " byte " << b;
            }
        }
    }
    for (int unknown : {0, 12, 17, 255})
        EXPECT_FALSE(IsKnownCodePage(static_cast<std::uint8_t>(unknown)));
}

TEST(CodePage, PolishLettersIntoCp1250)
{
    // "ĄŚŹąśź Łódź" as ISO 8859-2 bytes; code page 1250 places the first six elsewhere.
    const std::string latin2 = "\xA1\xA6\xAC\xB1\xB6\xBC \xA3\xF3"
                               "d\xBC";
    EXPECT_EQ(CardTextToCp1250(2, Bytes(latin2)), utility::Pl("ĄŚŹąśź Łódź"));
    // ISO 8859-16 puts Ą, Ł, ą at yet other codes than ISO 8859-2.
    EXPECT_EQ(CardTextToCp1250(16, Bytes("\xA1\xA3\xA2\xD1\xF1")), utility::Pl("ĄŁąŃń"));
    // Latin-1 letters that code page 1250 has, and ones it has not.
    EXPECT_EQ(CardTextToCp1250(1, Bytes("M\xFC"
                                        "ller \xC9\xE8\xE6")),
              utility::Pl("Müller É??"));
    // Cyrillic has no place in code page 1250.
    EXPECT_EQ(CardTextToCp1250(5, Bytes("\xB0\xD0 A")), "?? A");
    EXPECT_EQ(CardTextToCp1250(2, Bytes("\x85\x9F")), "??");
    // Unknown code page: bytes as they are.
    EXPECT_EQ(CardTextToCp1250(0, Bytes("\xA1\xB1z")), "\xA1\xB1z");
    EXPECT_EQ(CardTextToCp1250(12, Bytes("\xA1")), "\xA1");
}

TEST(CodePage, HolderNamesAreConvertedImageStaysUnchanged)
{
    CardBuilder card;
    card.Surname("\xA6"
                 "wi\xEA"
                 "tos\xB3"
                 "awska",
                 2)
        .FirstNames("Zo\xB6"
                    "ka",
                    2)
        .IssuingAuthority("\xA3\xF3"
                          "d\xBC",
                          2);
    const tacho::CardImageData before = card.Image();
    EXPECT_EQ(CardHolderSurname(card.Image()), utility::Pl("Świętosławska"));
    EXPECT_EQ(CardHolderFirstNames(card.Image()), utility::Pl("Zośka"));
    EXPECT_EQ(CardIssuingAuthorityName(card.Image()), utility::Pl("Łódź"));
    EXPECT_EQ(card.Image(), before);

    card.Surname("\xA6"
                 "wi\xEA",
                 1);
    EXPECT_EQ(CardHolderSurname(card.Image()), utility::Pl("¦wi?"));  // Latin-1 has no ę
    EXPECT_EQ(CodePageFixedText({}), "");
}
