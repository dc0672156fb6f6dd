// One elementary file over a small card double: commands sent, bytes stored, status checks.
#include "smartcard/elementaryfileread.h"

#include "smartcard/cardcommands.h"
#include "tacho/card_image.h"
#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using smartcard::Bytes;

std::string Hex(const Bytes& b)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string r;
    for (std::uint8_t v : b) {
        if (!r.empty())
            r += ' ';
        r += digits[v >> 4];
        r += digits[v & 15];
    }
    return r;
}

Bytes Pattern(std::size_t n, unsigned seed)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>((i * 7 + seed) & 0xFF);
    return b;
}

Bytes WithStatus(Bytes data, std::uint8_t sw1, std::uint8_t sw2)
{
    data.push_back(sw1);
    data.push_back(sw2);
    return data;
}

// One transparent file behind SELECT / PERFORM HASH / READ BINARY / PSO; the answer of the
// n-th command (0-based) can be replaced, and any command can throw.
class FileCard final : public smartcard::TApduChannel {
public:
    FileCard(std::uint16_t fid, Bytes content) : fid_(fid), content_(std::move(content)) {}

    Bytes Transmit(std::span<const std::uint8_t> command) override
    {
        const Bytes cmd(command.begin(), command.end());
        log.push_back(Hex(cmd));
        const std::size_t index = log.size() - 1;
        if (throwAt && *throwAt == index)
            throw std::runtime_error("Not connected to a card!");
        if (auto it = replace.find(index); it != replace.end())
            return it->second;
        return Answer(cmd);
    }

    std::vector<std::string> log;
    std::map<std::size_t, Bytes> replace;
    std::optional<std::size_t> throwAt;

private:
    Bytes Answer(const Bytes& cmd) const
    {
        if (cmd.size() == 7 && cmd[1] == 0xA4)
            return (cmd[5] * 256 + cmd[6]) == fid_ ? Bytes{0x90, 0x00} : Bytes{0x6A, 0x82};
        if (cmd.size() == 4 && cmd[1] == 0x2A)
            return {0x90, 0x00};
        if (cmd.size() == 5 && cmd[1] == 0xB0) {
            const std::size_t offset = cmd[2] * 256 + cmd[3];
            const std::size_t n = cmd[4];
            if (offset + n > content_.size())
                return {0x6B, 0x00};
            Bytes r(content_.begin() + offset, content_.begin() + offset + n);
            r.push_back(0x90);
            r.push_back(0x00);
            return r;
        }
        if (cmd.size() == 5 && cmd[1] == 0x2A) {
            Bytes r = Pattern(128, 0x55);
            r.push_back(0x90);
            r.push_back(0x00);
            return r;
        }
        return {0x6D, 0x00};
    }

    std::uint16_t fid_;
    Bytes content_;
};

struct Read {
    bool signFlag = false;
    std::string status;
    Bytes body;
    Bytes signature = Bytes(tacho::kSignatureSlotSize, 0xEE);
};

Read ReadFile(FileCard& card, std::uint16_t fid, bool sign, std::uint32_t length, std::size_t slotSize)
{
    Read r;
    r.signFlag = sign;
    r.body.assign(slotSize, 0xEE);
    smartcard::TElementaryFileReader reader(card);
    reader.ReadCardElementaryFile(fid, r.signFlag, 0, length, r.body, r.signature, r.status);
    return r;
}

TEST(ReadBinaryChunks, ChunksOfAtMost254BytesWithTheirOffsets)
{
    struct Case {
        std::uint32_t length;
        std::size_t commands;
        std::string first;
        std::string last;
    } cases[] = {
        {8, 1, "00 B0 00 00 08", "00 B0 00 00 08"},
        {254, 1, "00 B0 00 00 FE", "00 B0 00 00 FE"},
        {255, 2, "00 B0 00 00 FE", "00 B0 00 FE 01"},
        {13780, 55, "00 B0 00 00 FE", "00 B0 35 94 40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const Bytes content = Pattern(c.length, 3);
        FileCard card(0x0504, content);
        smartcard::TElementaryFileReader reader(card);
        std::uint32_t remaining = c.length;
        Bytes data;
        std::string status;
        EXPECT_TRUE(reader.ReadBinaryChunks(0, remaining, data, status));
        EXPECT_EQ(remaining, 0u);
        EXPECT_EQ(status, "9000");
        EXPECT_EQ(data, content);
        ASSERT_EQ(card.log.size(), c.commands);
        EXPECT_EQ(card.log.front(), c.first);
        EXPECT_EQ(card.log.back(), c.last);
    }
}

TEST(ReadCardElementaryFile, UnsignedFileIsSelectedReadAndStoredInItsSlot)
{
    const Bytes content = Pattern(25, 9);
    FileCard card(0x0002, content);
    const Read r = ReadFile(card, 0x0002, false, 25, 25);
    EXPECT_EQ(card.log, (std::vector<std::string>{"00 A4 02 0C 02 00 02", "00 B0 00 00 19"}));
    EXPECT_EQ(r.status, "9000");
    EXPECT_FALSE(r.signFlag);
    EXPECT_EQ(r.body, content);
    EXPECT_EQ(r.signature, Bytes(tacho::kSignatureSlotSize, 0));
}

TEST(ReadCardElementaryFile, SignedFileIsHashedReadAndSigned)
{
    const Bytes content = Pattern(300, 1);
    FileCard card(0x0522, content);
    const Read r = ReadFile(card, 0x0522, true, 280, 280);
    EXPECT_EQ(card.log, (std::vector<std::string>{"00 A4 02 0C 02 05 22", "80 2A 90 00", "00 B0 00 00 FE",
                                                  "00 B0 00 FE 1A", "00 2A 9E 9A 80"}));
    EXPECT_EQ(r.status, "9000");
    EXPECT_TRUE(r.signFlag);
    EXPECT_EQ(r.body, Bytes(content.begin(), content.begin() + 280));
    Bytes expectedSignature = Pattern(128, 0x55);
    expectedSignature.push_back(1);
    EXPECT_EQ(r.signature, expectedSignature);
}

TEST(ReadCardElementaryFile, ShorterFileLeavesTheRestOfTheSlotZero)
{
    const Bytes content = Pattern(144, 4);
    FileCard card(0x0502, content);
    const Read r = ReadFile(card, 0x0502, true, 144, 1728);
    EXPECT_EQ(r.status, "9000");
    EXPECT_EQ(Bytes(r.body.begin(), r.body.begin() + 144), content);
    EXPECT_EQ(Bytes(r.body.begin() + 144, r.body.end()), Bytes(1728 - 144, 0));
}

TEST(ReadCardElementaryFile, AnyBadAnswerFailsTheFileWithoutStoringIt)
{
    // A signed file of 300 bytes: 0 SELECT, 1 HASH, 2 READ 254, 3 READ 46, 4 PSO.
    const Bytes content = Pattern(300, 2);
    struct Case {
        const char* name;
        std::size_t at;
        Bytes answer;
        std::size_t commandsSent;
        bool errorBox;
    } cases[] = {
        {"select not found", 0, {0x6A, 0x82}, 1, false},
        {"select answer too short", 0, {0x90}, 1, false},
        {"hash refused", 1, {0x69, 0x85}, 2, false},
        {"first chunk refused", 2, {0x6B, 0x00}, 3, false},
        {"first chunk short", 2, WithStatus(Pattern(200, 2), 0x90, 0x00), 3, false},
        {"first chunk over-long", 2, WithStatus(Pattern(255, 2), 0x90, 0x00), 3, false},
        {"last chunk refused", 3, {0x62, 0x82}, 4, false},
        {"last chunk status only", 3, {0x90, 0x00}, 4, false},
        {"signature refused", 4, {0x69, 0x85}, 5, true},
        {"signature too long", 4, WithStatus(Pattern(129, 0), 0x90, 0x00), 5, true},
        {"signature too short", 4, WithStatus(Pattern(127, 0), 0x90, 0x00), 5, true},
        {"signature with error status", 4, WithStatus(Pattern(128, 0), 0x69, 0x82), 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::MessageRecorder boxes;
        FileCard card(0x0504, content);
        card.replace[c.at] = c.answer;
        const Read r = ReadFile(card, 0x0504, true, 300, 300);
        EXPECT_EQ(r.status, "");
        EXPECT_FALSE(r.signFlag);
        EXPECT_EQ(r.signature[128], 0);
        EXPECT_EQ(card.log.size(), c.commandsSent);
        if (c.at < 4) {
            EXPECT_EQ(r.body, Bytes(300, 0));
        }
        if (c.errorBox) {
            EXPECT_EQ(boxes.TextsOf(utility::MessageKind::Error),
                      std::vector<std::string>{utility::Pl("Błąd przetwarzania podpisu\r\nOperation aborted")});
            EXPECT_EQ(r.signature, Bytes(tacho::kSignatureSlotSize, 0));
        } else {
            EXPECT_TRUE(boxes.Messages().empty());
        }
    }
}

TEST(ReadCardElementaryFile, LengthAboveTheSlotSendsNothing)
{
    FileCard card(0x0502, Pattern(2000, 0));
    const Read r = ReadFile(card, 0x0502, true, 1729, 1728);
    EXPECT_TRUE(card.log.empty());
    EXPECT_EQ(r.status, "");
    EXPECT_EQ(r.body, Bytes(1728, 0));
}

TEST(ReadCardElementaryFile, EmptyFileIsSignedButHasNoStatus)
{
    FileCard card(0x0502, {});
    const Read r = ReadFile(card, 0x0502, true, 0, 1728);
    EXPECT_EQ(card.log, (std::vector<std::string>{"00 A4 02 0C 02 05 02", "80 2A 90 00", "00 2A 9E 9A 80"}));
    EXPECT_EQ(r.status, "");
    EXPECT_TRUE(r.signFlag);
}

TEST(ReadCardElementaryFile, ExchangeFailurePropagatesAndTheLastCommandCanBeRepeated)
{
    FileCard card(0x0520, Pattern(143, 0));
    card.throwAt = 2;
    smartcard::TElementaryFileReader reader(card);
    bool sign = true;
    Bytes body(143);
    Bytes signature(tacho::kSignatureSlotSize);
    std::string status = "x";
    EXPECT_THROW(reader.ReadCardElementaryFile(0x0520, sign, 0, 143, body, signature, status), std::runtime_error);
    EXPECT_EQ(status, "");
    card.throwAt.reset();
    EXPECT_EQ(reader.RepeatLastCommand(), WithStatus(Pattern(143, 0), 0x90, 0x00));
    EXPECT_EQ(card.log.back(), "00 B0 00 00 8F");
}

}  // namespace
