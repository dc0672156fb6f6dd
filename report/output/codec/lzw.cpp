#include "report/output/codec/lzw.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>

namespace report::output {
namespace {

constexpr unsigned kClearCode = 256;
constexpr unsigned kEndCode = 257;
constexpr unsigned kFirstFreeCode = 258;
constexpr unsigned kTableSize = 4096;
constexpr int kMinWidth = 9;

// The width grows when the next free code reaches 512, 1024 or 2048: one code earlier than
// strictly needed, as PDF's default EarlyChange 1 expects.
bool WidthGrowsAt(unsigned nextFree) { return nextFree == 512 || nextFree == 1024 || nextFree == 2048; }

// Packs codes most significant bit first without padding between them.
class CodeWriter {
public:
    explicit CodeWriter(std::string& out) : out_(out) {}

    void Put(unsigned code, int width)
    {
        // At most 7 bits wait before a code of at most 12 bits, so 32 bits always suffice.
        acc_ = (acc_ << width) | code;
        waiting_ += width;
        while (waiting_ >= 8) {
            waiting_ -= 8;
            out_.push_back(static_cast<char>((acc_ >> waiting_) & 0xFFu));
        }
    }

    // The last partial byte, its bits moved to the top.
    void Flush()
    {
        if (waiting_ > 0)
            out_.push_back(static_cast<char>((acc_ << (8 - waiting_)) & 0xFFu));
        waiting_ = 0;
    }

private:
    std::string& out_;
    std::uint32_t acc_ = 0;
    int waiting_ = 0;
};

// The encoder's string table as (prefix code, byte) -> code, open addressing. Every entry is
// an earlier entry plus one byte, so the longest match is found by walking byte by byte.
class EncoderTable {
public:
    EncoderTable() { Clear(); }

    void Clear() { keys_.fill(kEmpty); }

    void Insert(unsigned prefix, unsigned char byte, unsigned code)
    {
        const std::uint32_t key = Key(prefix, byte);
        std::uint32_t slot = Slot(key);
        while (keys_[slot] != kEmpty && keys_[slot] != key)
            slot = (slot + 1) & kMask;
        keys_[slot] = key;
        codes_[slot] = static_cast<std::uint16_t>(code);
    }

    // The code of prefix + byte; -1 when the table has none.
    int Find(unsigned prefix, unsigned char byte) const
    {
        const std::uint32_t key = Key(prefix, byte);
        for (std::uint32_t slot = Slot(key);; slot = (slot + 1) & kMask) {
            if (keys_[slot] == key)
                return codes_[slot];
            if (keys_[slot] == kEmpty)
                return -1;
        }
    }

private:
    // Twice the entries a table holds, so probes stay short and a free slot always exists.
    static constexpr std::uint32_t kSlots = 8192;
    static constexpr std::uint32_t kMask = kSlots - 1;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

    static std::uint32_t Key(unsigned prefix, unsigned char byte) { return (prefix << 8) | byte; }
    static std::uint32_t Slot(std::uint32_t key) { return (key * 2654435761u) >> 19; }

    std::array<std::uint32_t, kSlots> keys_{};
    std::array<std::uint16_t, kSlots> codes_{};
};

}  // namespace

void LZWEncode(std::string_view input, std::string& output)
{
    output.reserve(output.size() + input.size() + input.size() / 2 + 8);
    CodeWriter writer(output);
    EncoderTable table;
    int width = kMinWidth;
    unsigned nextFree = kFirstFreeCode;
    // The entry made with the last code gets its final byte only when the next match starts.
    bool entryWaits = false;
    unsigned waitingPrefix = 0;

    writer.Put(kClearCode, width);
    std::size_t pos = 0;
    while (pos < input.size()) {
        const auto first = static_cast<unsigned char>(input[pos]);
        if (nextFree >= kTableSize) {
            writer.Put(kClearCode, width);
            table.Clear();
            width = kMinWidth;
            nextFree = kFirstFreeCode;
            entryWaits = false;
        } else if (entryWaits) {
            table.Insert(waitingPrefix, first, nextFree - 1);
        }
        unsigned code = first;
        ++pos;
        while (pos < input.size()) {
            const int longer = table.Find(code, static_cast<unsigned char>(input[pos]));
            if (longer < 0)
                break;
            code = static_cast<unsigned>(longer);
            ++pos;
        }
        writer.Put(code, width);
        entryWaits = true;
        waitingPrefix = code;
        ++nextFree;
        if (WidthGrowsAt(nextFree))
            ++width;
    }
    writer.Put(kEndCode, width);
    writer.Flush();
}

namespace {

constexpr char kEndOfStream[] = "LZWDecode: End of stream";
constexpr char kNoEntry[] = "LZWDecode: code>=idxCodeTable";

// Reads codes most significant bit first.
class CodeReader {
public:
    explicit CodeReader(std::string_view in) : in_(in) {}

    // False when the input ends first.
    bool Get(int width, unsigned& code)
    {
        while (waiting_ < width) {
            if (pos_ >= in_.size())
                return false;
            acc_ = (acc_ << 8) | static_cast<unsigned char>(in_[pos_++]);
            waiting_ += 8;
        }
        waiting_ -= width;
        code = (acc_ >> waiting_) & ((1u << width) - 1);
        return true;
    }

private:
    std::string_view in_;
    std::size_t pos_ = 0;
    std::uint32_t acc_ = 0;
    int waiting_ = 0;
};

// The decoder's table: each entry is its prefix entry plus a last byte, which arrives with
// the code after the one that made the entry.
struct DecoderTable {
    std::array<std::uint16_t, kTableSize> prefix{};
    std::array<std::uint16_t, kTableSize> length{};
    std::array<unsigned char, kTableSize> firstByte{};
    std::array<unsigned char, kTableSize> lastByte{};

    DecoderTable()
    {
        for (unsigned code = 0; code < kFirstFreeCode; ++code) {
            length[code] = 1;
            firstByte[code] = lastByte[code] = static_cast<unsigned char>(code & 0xFFu);
        }
    }

    // Writes the string of `code` into `out` (length[code] bytes), from its last byte back to
    // its first.
    void Write(unsigned code, char* out) const
    {
        for (std::size_t at = length[code]; at > 0; code = prefix[code])
            out[--at] = static_cast<char>(lastByte[code]);
    }
};

}  // namespace

struct LzwDecoder::State {
    explicit State(std::string_view input) : reader(input) {}

    CodeReader reader;
    DecoderTable table;
    int width = kMinWidth;
    unsigned nextFree = kFirstFreeCode;
    // The string of the last code, as far as it has not been handed out.
    std::array<char, kTableSize> string{};
    std::size_t stringAt = 0;
    std::size_t stringEnd = 0;
    bool ended = false;
    const char* error = nullptr;

    // Decodes the next code into `string`; false at the end code or on an error.
    bool Next()
    {
        unsigned code = 0;
        while (true) {
            if (!reader.Get(width, code)) {
                error = kEndOfStream;
                return false;
            }
            if (code != kClearCode)
                break;
            width = kMinWidth;
            nextFree = kFirstFreeCode;
        }
        if (code == kEndCode) {
            ended = true;
            return false;
        }
        if (code >= nextFree || nextFree >= kTableSize) {
            error = kNoEntry;
            return false;
        }
        if (nextFree > kFirstFreeCode)
            table.lastByte[nextFree - 1] = table.firstByte[code];
        table.Write(code, string.data());
        stringAt = 0;
        stringEnd = table.length[code];
        table.prefix[nextFree] = static_cast<std::uint16_t>(code);
        table.length[nextFree] = static_cast<std::uint16_t>(table.length[code] + 1);
        table.firstByte[nextFree] = table.firstByte[code];
        ++nextFree;
        if (WidthGrowsAt(nextFree))
            ++width;
        return true;
    }
};

LzwDecoder::LzwDecoder(std::string_view input) : state_(std::make_unique<State>(input)) {}

LzwDecoder::~LzwDecoder() = default;

std::size_t LzwDecoder::Read(std::span<char> out)
{
    State& s = *state_;
    std::size_t done = 0;
    while (done < out.size()) {
        if (s.stringAt == s.stringEnd && (s.ended || s.error || !s.Next()))
            break;
        const std::size_t take = std::min(out.size() - done, s.stringEnd - s.stringAt);
        std::copy_n(s.string.data() + s.stringAt, take, out.data() + done);
        s.stringAt += take;
        done += take;
    }
    return done;
}

bool LzwDecoder::AtEnd() const { return state_->ended && state_->stringAt == state_->stringEnd; }

const char* LzwDecoder::Error() const { return state_->error; }

void LZWDecode(std::string_view input, std::string& output)
{
    LzwDecoder decoder(input);
    std::string decoded;
    std::array<char, 16384> piece;
    for (std::size_t n; (n = decoder.Read(piece)) > 0;)
        decoded.append(piece.data(), n);
    if (decoder.Error())
        throw std::runtime_error(decoder.Error());
    output += decoded;
}

void ASCII85Encode(std::string_view input, std::string& output)
{
    output.clear();
    output.reserve(input.size() / 4 * 5 + input.size() / 160 * 2 + 8);
    int lineCount = 0;
    for (std::size_t pos = 0; pos < input.size(); pos += 4) {
        const std::size_t n = std::min<std::size_t>(4, input.size() - pos);
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value = (value << 8) | (i < n ? static_cast<unsigned char>(input[pos + i]) : 0u);
        if (n == 4 && value == 0) {
            output.push_back('z');
        } else {
            char digits[5];
            for (int i = 4; i >= 0; --i) {
                digits[i] = static_cast<char>('!' + value % 85);
                value /= 85;
            }
            output.append(digits, n + 1);
        }
        lineCount += static_cast<int>(n) + 1;
        if (lineCount > 200) {
            lineCount = 0;
            output += "\r\n";
        }
    }
    output += "~>";
}

}  // namespace report::output
