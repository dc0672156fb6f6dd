#include "report/output/codec/lzw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace report::output {
namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes.push_back(static_cast<char>(v));
    return bytes;
}

std::string Encoded(std::string_view input)
{
    std::string out;
    LZWEncode(input, out);
    return out;
}

std::string RandomBytes(std::size_t size, std::uint32_t seed)
{
    std::mt19937 engine(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(engine() & 0xFFu);
    return bytes;
}

// Packs codes of given widths most significant bit first, for streams the encoder never makes.
class CodePacker {
public:
    void Put(unsigned code, int width)
    {
        for (int bit = width - 1; bit >= 0; --bit) {
            current_ = static_cast<unsigned char>((current_ << 1) | ((code >> bit) & 1u));
            if (++bits_ == 8) {
                bytes_.push_back(static_cast<char>(current_));
                current_ = 0;
                bits_ = 0;
            }
        }
    }
    std::string Bytes() const
    {
        std::string out = bytes_;
        if (bits_ > 0)
            out.push_back(static_cast<char>(current_ << (8 - bits_)));
        return out;
    }

private:
    std::string bytes_;
    unsigned char current_ = 0;
    int bits_ = 0;
};

// The width a reader of PDF's LZWDecode (EarlyChange 1) expects once `codesSinceClear` data
// codes followed the last clear code.
int ExpectedWidth(int codesSinceClear)
{
    const int nextFree = 258 + codesSinceClear;
    return nextFree < 512 ? 9 : nextFree < 1024 ? 10 : nextFree < 2048 ? 11 : 12;
}

// Walks an encoded stream code by code as a PDF reader would, without building strings.
struct CodeWalk {
    std::vector<int> codesBeforeClear;  // data codes before each clear code after the first
    std::vector<int> clearWidths;       // bit width of each of those clear codes
    bool endSeen = false;
    int trailingBits = 0;  // bits after the end code (padding)
    bool codeTooHigh = false;
};

CodeWalk Walk(const std::string& stream)
{
    CodeWalk walk;
    std::size_t bit = 0;
    const std::size_t totalBits = stream.size() * 8;
    auto read = [&](int width) {
        unsigned code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            code = (code << 1) | ((static_cast<unsigned char>(stream[bit / 8]) >> (7 - bit % 8)) & 1u);
        return code;
    };
    int sinceClear = -1;  // no clear code seen yet
    while (bit + static_cast<std::size_t>(ExpectedWidth(std::max(sinceClear, 0))) <= totalBits) {
        const int width = ExpectedWidth(std::max(sinceClear, 0));
        const unsigned code = read(width);
        if (code == 257) {
            walk.endSeen = true;
            break;
        }
        if (code == 256) {
            if (sinceClear >= 0) {
                walk.codesBeforeClear.push_back(sinceClear);
                walk.clearWidths.push_back(width);
            }
            sinceClear = 0;
            continue;
        }
        if (sinceClear < 0 || code >= static_cast<unsigned>(258 + sinceClear))
            walk.codeTooHigh = true;
        ++sinceClear;
    }
    walk.trailingBits = static_cast<int>(totalBits - bit);
    return walk;
}

TEST(LzwEncode, KnownStreams)
{
    EXPECT_EQ(Encoded("abc"), Bytes({0x80, 0x18, 0x4C, 0x46, 0x38, 0x08}));
    EXPECT_EQ(Encoded(""), Bytes({0x80, 0x40, 0x40}));
    // Clear, a, then the entry "aa" made by the code before (a string followed by its own
    // first byte), end: 256 97 258 257 in 9 bits each.
    CodePacker packer;
    for (unsigned code : {256u, 97u, 258u, 257u})
        packer.Put(code, 9);
    EXPECT_EQ(Encoded("aaa"), packer.Bytes());
}

TEST(LzwEncode, AppendsToWhatTheOutputHolds)
{
    std::string out = "head";
    LZWEncode("abc", out);
    EXPECT_EQ(out, "head" + Bytes({0x80, 0x18, 0x4C, 0x46, 0x38, 0x08}));
}

TEST(LzwEncode, FullTableIsClearedWithATwelveBitCode)
{
    const CodeWalk walk = Walk(Encoded(RandomBytes(60'000, 7)));
    EXPECT_TRUE(walk.endSeen);
    EXPECT_FALSE(walk.codeTooHigh);
    EXPECT_LT(walk.trailingBits, 8);
    ASSERT_GE(walk.codesBeforeClear.size(), 5u);
    for (std::size_t i = 0; i < walk.codesBeforeClear.size(); ++i) {
        SCOPED_TRACE(i);
        // Entries 258..4095: the clear code follows the code after which the next free code is 4096.
        EXPECT_EQ(walk.codesBeforeClear[i], 3838);
        EXPECT_EQ(walk.clearWidths[i], 12);
    }
}

TEST(LzwDecode, GivesBackWhatWasEncoded)
{
    std::mt19937 engine(11);
    std::string skewed(50'000, '\0');
    std::geometric_distribution<int> small(0.3);
    for (char& c : skewed)
        c = static_cast<char>(std::min(small(engine), 255));
    const std::string samples[] = {
        "", "a", "abc", "aaa", "abababababababab", std::string(100'000, 'x'), RandomBytes(100'000, 3), skewed,
    };
    for (const std::string& sample : samples) {
        SCOPED_TRACE(sample.size());
        std::string decoded = "keep";
        LZWDecode(Encoded(sample), decoded);
        EXPECT_EQ(decoded, "keep" + sample);
    }
}

TEST(LzwDecode, StopsAtTheEndCode)
{
    std::string decoded;
    LZWDecode(Encoded("abc") + "trailing bytes", decoded);
    EXPECT_EQ(decoded, "abc");
}

std::string Packed(std::initializer_list<unsigned> codes)
{
    CodePacker packer;
    for (unsigned code : codes)
        packer.Put(code, 9);
    return packer.Bytes();
}

TEST(LzwDecode, RefusesBrokenStreams)
{
    const std::string abc = Encoded("abc");
    struct Row {
        const char* name;
        std::string stream;
        const char* error;
    };
    const Row rows[] = {
        {"empty", "", "LZWDecode: End of stream"},
        {"cut short", abc.substr(0, abc.size() - 1), "LZWDecode: End of stream"},
        {"no end code", Packed({256, 97, 98}).substr(0, 3), "LZWDecode: End of stream"},
        {"code above the next free", Packed({256, 97, 300, 257}), "LZWDecode: code>=idxCodeTable"},
        {"code equal to the next free", Packed({256, 97, 259, 257}), "LZWDecode: code>=idxCodeTable"},
        {"entry code as first code", Packed({256, 258, 257}), "LZWDecode: code>=idxCodeTable"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string decoded = "keep";
        try {
            LZWDecode(row.stream, decoded);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), row.error);
        }
        EXPECT_EQ(decoded, "keep");
    }
}

TEST(LzwDecode, TableFullWithoutClearIsRefused)
{
    // 4,000 data codes without a clear code: the first 3,838 fill entries 258..4095, the next
    // one would need entry 4096.
    CodePacker packer;
    packer.Put(256, 9);
    for (int i = 0; i < 4000; ++i)
        packer.Put('A', ExpectedWidth(i));
    packer.Put(257, 12);
    std::string decoded;
    try {
        LZWDecode(packer.Bytes(), decoded);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "LZWDecode: code>=idxCodeTable");
    }
    EXPECT_TRUE(decoded.empty());

    // The same 3,838 codes followed by a clear code decode.
    CodePacker full;
    full.Put(256, 9);
    for (int i = 0; i < 3838; ++i)
        full.Put('A', ExpectedWidth(i));
    full.Put(256, 12);
    full.Put('B', 9);
    full.Put(257, 9);
    LZWDecode(full.Bytes(), decoded);
    EXPECT_EQ(decoded, std::string(3838, 'A') + "B");
}

// Read a piece at a time, of sizes from one byte to more than a table entry holds, a stream
// gives the same bytes as decoded whole; a broken one gives the bytes before its fault and
// then says what it is.
TEST(LzwDecoder, PiecesGiveTheBytesOfTheWholeDecoding)
{
    std::mt19937 engine(5);
    std::uniform_int_distribution<std::size_t> piece(1, 5000);
    const std::string abc = Encoded("abc");
    struct Row {
        const char* name;
        std::string stream;
        std::string bytes;
        const char* error;
    };
    const Row rows[] = {
        {"empty input", Encoded(""), "", nullptr},
        {"long runs", Encoded(std::string(200'000, 'x')), std::string(200'000, 'x'), nullptr},
        {"random", Encoded(RandomBytes(50'000, 9)), RandomBytes(50'000, 9), nullptr},
        {"bytes after the end code", abc + "more", "abc", nullptr},
        {"cut short", abc.substr(0, abc.size() - 1), "abc", "LZWDecode: End of stream"},
        {"code above the next free", Packed({256, 97, 98, 300, 257}), "ab", "LZWDecode: code>=idxCodeTable"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LzwDecoder decoder(row.stream);
        std::string decoded;
        std::vector<char> buffer;
        while (true) {
            buffer.resize(piece(engine));
            const std::size_t n = decoder.Read(buffer);
            ASSERT_LE(n, buffer.size());
            decoded.append(buffer.data(), n);
            if (n < buffer.size())
                break;
        }
        EXPECT_EQ(decoded, row.bytes);
        EXPECT_EQ(decoder.AtEnd(), row.error == nullptr);
        if (row.error) {
            ASSERT_NE(decoder.Error(), nullptr);
            EXPECT_STREQ(decoder.Error(), row.error);
        } else {
            EXPECT_EQ(decoder.Error(), nullptr);
        }
        // Nothing more once it has stopped.
        EXPECT_EQ(decoder.Read(buffer), 0u);
    }
}

std::string Ascii85(std::string_view input)
{
    std::string out = "replaced";
    ASCII85Encode(input, out);
    return out;
}

TEST(Ascii85Encode, KnownTexts)
{
    struct Row {
        std::string input;
        std::string text;
    };
    const Row rows[] = {
        {"", "~>"},
        {"PDF", ":ddb~>"},
        {std::string(4, '\0') + "PDF", "z:ddb~>"},
        {"P", ":]~>"},
        {"PD", ":db~>"},
        {"PDF!", ":ddbr~>"},
        // A group of zeros at the end that is not whole stays in characters.
        {std::string(1, '\0'), "!!~>"},
        {std::string(3, '\0'), "!!!!~>"},
        {std::string(5, '\0'), "z!!~>"},
        {Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "s8W-!~>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(Ascii85(row.input), row.text);
    }
}

// Lines of a text split at CR LF; the last may be empty.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

TEST(Ascii85Encode, BreaksLinesAfterMoreThan200Characters)
{
    // 41 groups of five characters fill a line; "z" groups count as five.
    const std::vector<std::string> random = Lines(Ascii85(RandomBytes(41 * 4 * 10 + 6, 5)));
    ASSERT_EQ(random.size(), 11u);
    for (std::size_t i = 0; i + 1 < random.size(); ++i)
        EXPECT_EQ(random[i].size(), 205u) << i;
    EXPECT_EQ(random.back().size(), 5u + 3u + 2u);
    EXPECT_TRUE(random.back().ends_with("~>"));
    EXPECT_EQ(random.back().find('\r'), std::string::npos);

    const std::vector<std::string> zeros = Lines(Ascii85(std::string(41 * 4 * 2, '\0')));
    ASSERT_EQ(zeros.size(), 3u);
    EXPECT_EQ(zeros[0], std::string(41, 'z'));
    EXPECT_EQ(zeros[1], std::string(41, 'z'));
    EXPECT_EQ(zeros[2], "~>");
}

TEST(Ascii85Encode, NoLineLongerThan205Characters)
{
    std::string mixed = RandomBytes(20'000, 9);
    for (std::size_t i = 0; i < mixed.size(); i += 97)
        mixed.replace(i, std::min<std::size_t>(12, mixed.size() - i), 12, '\0');
    for (const std::string& line : Lines(Ascii85(mixed))) {
        EXPECT_LE(line.size(), 205u);
        EXPECT_EQ(line.find_first_not_of(
                      "!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstu"
                      "z~"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace report::output
