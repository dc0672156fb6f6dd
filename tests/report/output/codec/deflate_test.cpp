#include "report/output/codec/deflate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace report::output {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Plain(std::size_t size, unsigned seed, int noisePercent)
{
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>(static_cast<int>(random() % 100) < noisePercent ? random() : 0x41);
    return bytes;
}

Bytes Flipped(Bytes bytes, std::size_t at, std::uint8_t mask)
{
    if (at < bytes.size())
        bytes[at] ^= mask;
    return bytes;
}

bool Inflates(const Bytes& coded, std::size_t size, Bytes* out = nullptr)
{
    Bytes plain(size, 0xEE);
    const bool ok = InflateExact(coded, plain);
    if (out)
        *out = plain;
    return ok;
}

TEST(Deflate, RoundTripsAnySize)
{
    for (const std::size_t size : {0u, 1u, 4u, 3712u, 65'537u, 1u << 20}) {
        for (const int noise : {0, 10, 100}) {
            SCOPED_TRACE(std::to_string(size) + " bytes, " + std::to_string(noise) + "% noise");
            const Bytes plain = Plain(size, static_cast<unsigned>(size + noise), noise);
            const Bytes coded = Deflate(plain);
            EXPECT_LE(size, MostInflatedSize(coded.size()));
            Bytes back;
            ASSERT_TRUE(Inflates(coded, size, &back));
            EXPECT_EQ(back, plain);
        }
    }
}

TEST(Deflate, InflatingRefusesAnythingButOneStreamOfTheSizeAsked)
{
    const Bytes plain = Plain(3712, 4, 10);
    const Bytes coded = Deflate(plain);
    struct Case {
        const char* name;
        Bytes coded;
        std::size_t size;
    };
    const Bytes flipped = Flipped(coded, coded.size() / 2, 0x10);
    const Bytes checkSum = Flipped(coded, coded.size() - 1, 1);
    Bytes trailing = coded;
    trailing.push_back(0);
    const Case cases[] = {
        {"one byte more asked", coded, plain.size() + 1},
        {"one byte fewer asked", coded, plain.size() - 1},
        {"nothing asked", coded, 0},
        {"cut short", Bytes(coded.begin(), coded.end() - 1), plain.size()},
        {"only the stream header", Bytes(coded.begin(), coded.begin() + 2), plain.size()},
        {"a byte after the stream", trailing, plain.size()},
        {"a changed byte", flipped, plain.size()},
        {"a changed check sum", checkSum, plain.size()},
        {"no bytes", {}, plain.size()},
        {"no bytes for no bytes", {}, 0},
        {"the pixels themselves", plain, plain.size()},
        {"two streams",
         [&] {
             Bytes two = coded;
             two.insert(two.end(), coded.begin(), coded.end());
             return two;
         }(),
         plain.size() * 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Inflates(c.coded, c.size));
    }
    EXPECT_TRUE(Inflates(coded, plain.size()));
}

}  // namespace
}  // namespace report::output
