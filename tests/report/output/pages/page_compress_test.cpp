#include "report/output/pages/page_compress.h"

#include <gtest/gtest.h>

#include <random>

namespace report::output {
namespace {

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

std::string StreamBytes(TRpStream& stream)
{
    std::string bytes;
    EXPECT_TRUE(stream.CopyTo([&](const char* data, std::int64_t n) {
        bytes.append(data, static_cast<std::size_t>(n));
        return true;
    }));
    return bytes;
}

std::string Encode(const std::string& plain)
{
    TRpStream stream;
    {
        TRpCompress coder(stream, true);
        for (unsigned char c : plain)
            coder.Encode(c);
        EXPECT_TRUE(coder.Finish());
    }
    return StreamBytes(stream);
}

// Decodes `count` bytes from `code`; stops early (and says so) when the decoder gives out.
std::string Decode(const std::string& code, std::size_t count, bool* ranOut = nullptr)
{
    TRpStream stream;
    EXPECT_EQ(stream.Write(code.data(), static_cast<std::int64_t>(code.size())),
              static_cast<std::int64_t>(code.size()));
    stream.Seek(0, TRpStream::Origin::Beginning);
    TRpCompress decoder(stream, false);
    std::string plain;
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = decoder.Decode();
        if (!byte) {
            if (ranOut)
                *ranOut = true;
            break;
        }
        plain += static_cast<char>(*byte);
    }
    return plain;
}

TEST(PageCompress, KnownCodes)
{
    struct Case {
        std::string plain;
        std::string code;
    };
    const Case cases[] = {
        {"abc", "46 3D 01"},
        {std::string(1, '\0'), "80"},  // seven left steps and one right: exactly one full byte
        {"\xFF", "00 00"},             // nine left steps
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.plain));
        const std::string code = Encode(c.plain);
        EXPECT_EQ(Hex(code), c.code);
        EXPECT_EQ(Decode(code, c.plain.size()), c.plain);
    }
    const std::string run(10'000, 'a');
    const std::string code = Encode(run);
    EXPECT_EQ(code.size(), 1'252u);
    EXPECT_EQ(Decode(code, run.size()), run);
}

TEST(PageCompress, RoundTrips)
{
    std::mt19937 random(20240611);
    std::string noise(100'000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() & 0xFF);
    // Mostly a few values, now and then any: the shape of drawn pages.
    std::string skewed(200'000, '\0');
    std::discrete_distribution<int> pick({70, 15, 8, 4, 3});
    for (char& c : skewed) {
        const int kind = pick(random);
        c = kind == 4 ? static_cast<char>(random() & 0xFF)
                      : "\0\xFF"
                        "A "[kind];
    }
    std::string everyValue;
    for (int round = 0; round < 3; ++round)
        for (int v = 255; v >= 0; --v)
            everyValue += static_cast<char>(v);
    for (const std::string* plain : {&noise, &skewed, &everyValue}) {
        SCOPED_TRACE(plain->size());
        const std::string code = Encode(*plain);
        EXPECT_EQ(Decode(code, plain->size()), *plain);
    }
    EXPECT_LT(Encode(skewed).size(), skewed.size() / 2);
}

TEST(PageCompress, DecodingStopsAtTheEndOfTheCodedBytes)
{
    const std::string code = Encode(std::string(64, 'z'));
    bool ranOut = false;
    const std::string plain = Decode(code, 1'000'000, &ranOut);
    EXPECT_TRUE(ranOut);
    // Whatever the padding bits decode to, no byte costs less than one bit.
    EXPECT_GE(plain.size(), 64u);
    EXPECT_LE(plain.size(), code.size() * 8);
    EXPECT_EQ(plain.substr(0, 64), std::string(64, 'z'));

    // Bytes after the coded part belong to someone else and stay unread.
    TRpStream stream;
    const std::string data = code + "NEXT";
    ASSERT_EQ(stream.Write(data.data(), static_cast<std::int64_t>(data.size())),
              static_cast<std::int64_t>(data.size()));
    stream.Seek(0, TRpStream::Origin::Beginning);
    TRpCompress decoder(stream, false, static_cast<std::int64_t>(code.size()));
    std::size_t decoded = 0;
    while (decoder.Decode())
        ++decoded;
    EXPECT_EQ(decoded, plain.size());
    EXPECT_EQ(decoder.CodedBytesRead(), static_cast<std::int64_t>(code.size()));
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(code.size()));

    EXPECT_EQ(Decode("", 1), "");
}

TEST(PageCompress, FinishReportsAStreamThatRefusesTheCode)
{
    std::string error;
    // Any read-only stream will do: one over this test's own executable file.
    auto readOnly = TRpStream::CreateFromFile("/proc/self/exe", error);
    ASSERT_NE(readOnly, nullptr) << error;
    TRpCompress coder(*readOnly, true);
    coder.Encode('x');
    EXPECT_FALSE(coder.Finish());
}

}  // namespace
}  // namespace report::output
