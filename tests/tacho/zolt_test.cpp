#include "tacho/zolt.h"

#include "tests/support/card_builder.h"

#include <gtest/gtest.h>

#include <random>

using namespace tacho;

namespace {
CardImageData RandomImage(std::uint32_t seed)
{
    std::mt19937 engine(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    CardImageData image{};
    for (auto& b : image)
        b = static_cast<std::uint8_t>(byte(engine));
    return image;
}
}  // namespace

TEST(Zolt, RoundTripKeepsEveryByteButSlot5Reserved)
{
    for (std::uint32_t seed : {1u, 2u, 77u}) {
        const CardImageData image = RandomImage(seed);
        CardImageD7 record{};
        CardImageToD7(image, record);
        CardImageData back{};
        back.fill(0xEE);
        CardImageFromD7(record, back);
        for (std::size_t i = 0; i < kCardImageSize; ++i)
            ASSERT_EQ(back[i], i == 436 ? 0 : image[i]) << "offset " << i;
    }
}

TEST(Zolt, FieldsAtTheirRecordOffsets)
{
    testsupport::CardBuilder card;
    card.Surname("Nowak", 2).FirstNames("Jan", 2).CardNumber("D7505171234501AB").BirthDate(0x19750517);
    card.Byte(437, 0x28).Byte(454, 3).WordBE(578, 0x706C);
    CardImageD7 record{};
    CardImageToD7(card.Image(), record, 0x5A);
    EXPECT_EQ(record[566], 2);
    EXPECT_EQ(std::string(record.begin() + 567, record.begin() + 572), "Nowak");
    EXPECT_EQ(std::string(record.begin() + 603, record.begin() + 606), "Jan");
    EXPECT_EQ(std::string(record.begin() + 53, record.begin() + 69), "D7505171234501AB");
    EXPECT_EQ(ReadUint32BE(std::span(record).subspan(38, 4)), 0x19750517u);
    EXPECT_EQ(record[37], 0x28);
    EXPECT_EQ(record[264], 3);
    EXPECT_EQ(ReadWordBE(std::span(record).subspan(24655, 2)), 0x706C);
    // Every filler byte holds the filler value.
    const std::pair<std::size_t, std::size_t> fillers[] = {{35, 2}, {2367, 1}, {3521, 7}, {17309, 1}, {24985, 3}};
    for (const auto& [at, length] : fillers)
        for (std::size_t i = 0; i < length; ++i)
            EXPECT_EQ(record[at + i], 0x5A) << at + i;
}

TEST(Zolt, RandomFillerIsOneValuePerRecord)
{
    const CardImageData image = RandomImage(5);
    for (int round = 0; round < 4; ++round) {
        CardImageD7 record{};
        CardImageToD7(image, record);
        const std::uint8_t filler = record[35];
        for (std::size_t at : {36u, 2367u, 3521u, 3527u, 17309u, 24985u, 24987u})
            EXPECT_EQ(record[at], filler) << at;
    }
}

TEST(Zolt, FillersAreIgnoredWhenRead)
{
    const CardImageData image = RandomImage(9);
    CardImageD7 a{};
    CardImageD7 b{};
    CardImageToD7(image, a, 0x00);
    CardImageToD7(image, b, 0xFF);
    CardImageData fromA{};
    CardImageData fromB{};
    CardImageFromD7(a, fromA);
    CardImageFromD7(b, fromB);
    EXPECT_EQ(fromA, fromB);
    EXPECT_NE(a, b);
}
