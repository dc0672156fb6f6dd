// The whole driver card download over the in-process card model: the commands sent, the card
// image and signatures stored, the ZOLT file, and what every kind of failure leaves behind.
#include "smartcard/driver_card_download.h"

#include "smartcard/scard_error.h"
#include "tacho/card_image.h"
#include "tacho/ddd_file.h"
#include "tacho/zolt.h"
#include "tests/support/card_builder.h"
#include "tests/support/card_model.h"
#include "tests/support/download_commands.h"
#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using testsupport::Bytes;

// The card model behind the channel. A card that is gone answers nothing, which the card
// component reports as an error: its own message, or the PC/SC codes given, one per
// exchange (the last one again after they run out).
class ModelChannel final : public smartcard::TApduChannel {
public:
    explicit ModelChannel(testsupport::CardModel& card, std::vector<LONG> goneCodes = {})
        : card_(card), goneCodes_(std::move(goneCodes))
    {}
    Bytes Transmit(std::span<const std::uint8_t> command) override
    {
        Bytes answer = card_.Transmit(command);
        if (!answer.empty())
            return answer;
        if (goneCodes_.empty())
            throw std::runtime_error("Not connected to a card!");
        const LONG code = goneCodes_.front();
        if (goneCodes_.size() > 1)
            goneCodes_.erase(goneCodes_.begin());
        throw smartcard::ESCardError(code);
    }

private:
    testsupport::CardModel& card_;
    std::vector<LONG> goneCodes_;
};

class RecordingHooks final : public smartcard::TDownloadHooks {
public:
    void ProgressOpen(int minimum, int maximum, const std::string& caption) override
    {
        events.push_back("open " + std::to_string(minimum) + ".." + std::to_string(maximum) + " " + caption);
        ++open;
    }
    void ProgressStep(int position) override { events.push_back("step " + std::to_string(position)); }
    void ProgressClose() override
    {
        if (open > 0)
            events.push_back("close");
        open = 0;
    }
    void SetReadResult(const std::string& text) override { readResult = text; }
    void SetSaveResult(const std::string& text) override { saveResult = text; }
    void SaveCardAsDdd() override
    {
        ++dddSaves;
        imageAtDddSave = tacho::CardImage;
    }

    std::vector<std::string> events;
    int open = 0;
    std::string readResult;
    std::string saveResult;
    int dddSaves = 0;
    tacho::CardImageData imageAtDddSave{};
};

const std::string kPesel = "85010112345";

testsupport::CardFiles CardWithHolder(const testsupport::CardCounts& counts,
                                      std::string_view cardNumber = "D85010112345 01")
{
    testsupport::CardFiles files = testsupport::MakeCardFiles(counts, 7);
    testsupport::CardBuilder holder;
    holder.Surname("KOWALSKI").FirstNames("JAN").CardNumber(cardNumber);
    const tacho::EfSlot& id = tacho::kEfSlots[5];
    files[0x0520] = Bytes(holder.Image().begin() + id.body, holder.Image().begin() + id.body + id.size);
    return files;
}

double Noon() { return utility::EncodeDate(2026, 3, 7) + utility::EncodeTime(12, 34, 0); }

struct ReadRun {
    smartcard::TDownloadOutcome outcome;
    RecordingHooks hooks;
    std::vector<Bytes> commands;
    std::vector<std::string> errorBoxes;
};

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = fs::path(dir.path().toStdString()) / "Pliki_ZOLT";
        fs::create_directory(folder);
        tacho::CardImage.fill(0xA5);  // the read must clear what an earlier card left
        tacho::SignatureArea.fill(0xA5);
    }

    ReadRun Download(testsupport::CardModel& card, const std::function<std::string(int)>& random = {},
                     std::vector<LONG> goneCodes = {})
    {
        ReadRun run;
        testsupport::MessageRecorder boxes;
        ModelChannel channel(card, std::move(goneCodes));
        smartcard::TDownloadEnvironment env{folder, Noon, random};
        run.outcome = smartcard::ReadDriverCard(channel, run.hooks, env);
        for (const testsupport::ApduExchange& e : card.Log())
            run.commands.push_back(e.command);
        run.errorBoxes = boxes.TextsOf(utility::MessageKind::Error);
        return run;
    }

    std::vector<fs::path> ZoltFiles() const
    {
        std::vector<fs::path> r;
        for (const auto& e : fs::directory_iterator(folder))
            r.push_back(e.path());
        std::sort(r.begin(), r.end());
        return r;
    }

    QTemporaryDir dir;
    fs::path folder;
};

Bytes Body(std::uint16_t fid)
{
    const tacho::EfSlot& s = tacho::kEfSlots[*tacho::EfSlotOf(fid)];
    return Bytes(tacho::CardImage.begin() + s.body, tacho::CardImage.begin() + s.body + s.size);
}

Bytes Padded(Bytes b, std::size_t size)
{
    b.resize(size, 0);
    return b;
}

void ExpectImageHoldsCard(const testsupport::CardModel& card, const testsupport::CardCounts& counts)
{
    for (const testsupport::DownloadFile& f : testsupport::DownloadFiles(counts)) {
        SCOPED_TRACE(f.fid);
        const tacho::EfSlot& s = tacho::kEfSlots[*tacho::EfSlotOf(f.fid)];
        EXPECT_EQ(Body(f.fid), Padded(card.Files().at(f.fid), s.size));
        if (f.signedFile) {
            const std::size_t k = *tacho::SignatureSlotOfEf(*tacho::EfSlotOf(f.fid));
            Bytes expected = testsupport::ExpectedSignature(f.fid, card.Files().at(f.fid));
            expected.push_back(1);
            EXPECT_EQ(Bytes(tacho::SignatureArea.begin() + tacho::SignatureSlotOffset(k),
                            tacho::SignatureArea.begin() + tacho::SignatureSlotOffset(k) + 129),
                      expected);
        }
    }
    EXPECT_EQ(Body(0x050E), Bytes(4, 0));
    for (const tacho::EfSlot& s : tacho::kEfSlots)
        EXPECT_EQ(tacho::CardImage[s.reserved], 0) << s.fid;
}

// The card download file of what was read: every signature block is the card's signature of
// the data block before it. Returns the file's size.
std::size_t ExpectDddFileSigned()
{
    tacho::ByteBuffer ddd;
    std::string error;
    EXPECT_TRUE(tacho::BuildDddFileBytes(tacho::CardImage, tacho::SignatureArea, ddd, error)) << error;
    std::size_t pos = 0;
    std::size_t signatures = 0;
    Bytes lastData;
    while (pos + 5 <= ddd.size()) {
        const std::uint16_t fid = static_cast<std::uint16_t>(ddd[pos] * 256 + ddd[pos + 1]);
        const std::size_t length = ddd[pos + 3] * 256u + ddd[pos + 4];
        EXPECT_LE(pos + 5 + length, ddd.size());
        const Bytes bytes(ddd.begin() + pos + 5, ddd.begin() + std::min(ddd.size(), pos + 5 + length));
        if (ddd[pos + 2] == 1) {
            EXPECT_EQ(bytes, testsupport::ExpectedSignature(fid, lastData)) << fid;
            ++signatures;
        }
        lastData = bytes;
        pos += 5 + length;
    }
    EXPECT_EQ(pos, ddd.size());
    EXPECT_EQ(signatures, 10u);
    return ddd.size();
}

TEST_F(DownloadTest, LargestAndSmallestCardsAreReadWithTheExactCommandsAndSaved)
{
    for (const testsupport::CardCounts& counts : {testsupport::LargestCard(), testsupport::SmallestCard()}) {
        SCOPED_TRACE(counts.vehicleRecords);
        for (const fs::path& p : ZoltFiles())
            fs::remove(p);
        testsupport::CardModel card(CardWithHolder(counts));
        const ReadRun run = Download(card);
        EXPECT_EQ(run.commands, testsupport::DownloadCommands(counts));
        ExpectImageHoldsCard(card, counts);
        std::size_t dataBytes = 0;
        for (const testsupport::DownloadFile& f : testsupport::DownloadFiles(counts))
            dataBytes += f.fid == 0x0507 ? 0 : f.length;
        EXPECT_EQ(ExpectDddFileSigned(), 24 * 5 + dataBytes + 10 * 128);
        if (counts.vehicleRecords == 200) {
            EXPECT_EQ(ExpectDddFileSigned(), 26336u);
        }
        EXPECT_TRUE(run.errorBoxes.empty());
        EXPECT_EQ(run.outcome.result, 0);
        EXPECT_TRUE(run.outcome.cardRead);
        EXPECT_EQ(run.hooks.readResult, "Dane wczytano");
        EXPECT_EQ(run.hooks.dddSaves, 1);
        EXPECT_EQ(run.hooks.imageAtDddSave, tacho::CardImage);

        const fs::path expected = folder / ("2603071234_" + kPesel + "KOWALSKIJ.zolt");
        EXPECT_EQ(run.outcome.zoltFile, expected);
        EXPECT_EQ(ZoltFiles(), std::vector<fs::path>{expected});
        EXPECT_EQ(run.hooks.saveResult,
                  utility::Pl("Dane z karty kierowcy zapisano w pliku ") + utility::Utf8ToCp1250(expected.string()));
        std::ifstream in(expected, std::ios::binary);
        const Bytes written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_EQ(written.size(), tacho::kCardImageD7Size);
        tacho::CardImageD7 record{};
        std::copy(written.begin(), written.end(), record.begin());
        tacho::CardImageData back{};
        tacho::CardImageFromD7(record, back);
        EXPECT_EQ(back, tacho::CardImage);

        EXPECT_EQ(
            run.hooks.events,
            (std::vector<std::string>{"open 0..1 Wczytywanie karty", "step 1", "close", "open 0..13 Wczytywanie karty",
                                      "step 1", "step 2", "step 3", "step 4", "step 5", "step 6", "step 7", "step 8",
                                      "step 9", "step 10", "step 11", "step 12", "step 13", "close"}));
    }
}

// Position (1-based) of the n-th command equal to `command` in the largest card's sequence.
std::size_t Nth(const Bytes& command, std::size_t n = 1)
{
    const std::vector<Bytes> all = testsupport::DownloadCommands(testsupport::LargestCard());
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] == command && --n == 0)
            return i + 1;
    ADD_FAILURE() << "no such command";
    return 0;
}

std::size_t AfterSelect(std::uint16_t fid, std::size_t k) { return Nth(testsupport::SelectFileCommand(fid)) + k; }

void ExpectNothingSaved(const ReadRun& run)
{
    EXPECT_EQ(run.outcome.result, 1);
    EXPECT_FALSE(run.outcome.cardRead);
    EXPECT_EQ(run.hooks.dddSaves, 0);
    EXPECT_EQ(run.hooks.saveResult, "");
    EXPECT_EQ(run.hooks.open, 0) << "progress window left open";
    ASSERT_FALSE(run.hooks.events.empty());
    EXPECT_EQ(run.hooks.events.back(), "close");
}

TEST_F(DownloadTest, AnyFaultEndsTheReadWithNothingSaved)
{
    enum class Kind { Status, Shorten, Lengthen, Remove };
    const std::string signatureBox = utility::Pl("Błąd przetwarzania podpisu\r\nOperation aborted");
    struct Case {
        const char* name;
        Kind kind;
        std::size_t at;
        std::vector<std::string> boxes;
    } cases[] = {
        {"select of the first card-level file", Kind::Status, 1, {}},
        {"read of the first card-level file", Kind::Status, 2, {}},
        {"read of the second card-level file", Kind::Status, 4, {}},
        {"application select", Kind::Status, Nth(testsupport::SelectApplicationCommand()), {}},
        {"select of a signed file", Kind::Status, AfterSelect(0x0501, 0), {}},
        {"hash of a signed file", Kind::Status, AfterSelect(0x0501, 1), {}},
        {"read of a signed file", Kind::Status, AfterSelect(0x0501, 2), {}},
        {"two-byte signature answer", Kind::Status, AfterSelect(0x0501, 3), {signatureBox}},
        {"select of a certificate", Kind::Status, AfterSelect(0xC108, 0), {}},
        {"first chunk", Kind::Status, AfterSelect(0x0504, 2), {}},
        {"middle chunk", Kind::Status, AfterSelect(0x0504, 2 + 27), {}},
        {"last chunk", Kind::Status, AfterSelect(0x0504, 2 + 54), {}},
        {"short middle chunk", Kind::Shorten, AfterSelect(0x0504, 2 + 27), {}},
        {"short last chunk", Kind::Shorten, AfterSelect(0x0504, 2 + 54), {}},
        {"over-long first chunk", Kind::Lengthen, AfterSelect(0x0504, 2), {}},
        {"short signature", Kind::Shorten, AfterSelect(0x0505, 2 + 25), {signatureBox}},
        {"long signature", Kind::Lengthen, AfterSelect(0x0522, 4), {signatureBox}},
        {"signature of the last file", Kind::Status, AfterSelect(0x0522, 4), {signatureBox}},
        {"card removed mid-read", Kind::Remove, AfterSelect(0x0504, 2 + 27), {"Not connected to a card!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::CardModel card(CardWithHolder(testsupport::LargestCard()));
        switch (c.kind) {
        case Kind::Status:
            card.FailWithStatus(c.at, 0x6B00);
            break;
        case Kind::Shorten:
            card.ShortenAnswer(c.at, 1);
            break;
        case Kind::Lengthen:
            card.LengthenAnswer(c.at, 1);
            break;
        case Kind::Remove:
            card.RemoveAfter(c.at);
            break;
        }
        const ReadRun run = Download(card);
        ExpectNothingSaved(run);
        EXPECT_EQ(run.hooks.readResult, "Danych nie wczytano");
        EXPECT_EQ(run.errorBoxes, c.boxes);
        EXPECT_TRUE(ZoltFiles().empty());
        // The failing command is the last one sent on purpose; it then goes once more.
        const std::size_t failing = c.kind == Kind::Remove ? c.at + 1 : c.at;
        ASSERT_EQ(run.commands.size(), failing + 1);
        EXPECT_EQ(run.commands[failing], run.commands[failing - 1]);
        if (failing > 2) {
            EXPECT_EQ(Body(0x0002), card.Files().at(0x0002)) << "files read before stay";
        }
    }
}

TEST_F(DownloadTest, RepeatAfterAPcscFailureShowsOnlyAnErrorNotReportedYet)
{
    struct Case {
        const char* name;
        std::vector<LONG> codes;  // the failing exchange's, then the repeat's
        std::vector<std::string> boxes;
    } cases[] = {
        {"the same PC/SC error again", {SCARD_W_REMOVED_CARD}, {}},
        {"another PC/SC error",
         {SCARD_W_REMOVED_CARD, SCARD_E_NO_SMARTCARD},
         {smartcard::SCardErrorText(SCARD_E_NO_SMARTCARD)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::CardModel card(CardWithHolder(testsupport::LargestCard()));
        card.RemoveAfter(AfterSelect(0x0504, 2 + 27));
        const ReadRun run = Download(card, {}, c.codes);
        ExpectNothingSaved(run);
        EXPECT_EQ(run.hooks.readResult, "Danych nie wczytano");
        EXPECT_EQ(run.errorBoxes, c.boxes);
    }
}

TEST_F(DownloadTest, CountsAboveTheSlotsAreRefusedBeforeTheFileIsRead)
{
    struct Case {
        const char* name;
        testsupport::CardCounts counts;
        std::uint16_t fid;
        std::string box;  // UTF-8
    } cases[] = {
        {"13 events",
         {13, 24, 13776, 200, 112},
         0x0502,
         "05 02 (1872 bajtów) większą, niż może mieć karta kierowcy (1728"},
        {"25 faults",
         {12, 25, 13776, 200, 112},
         0x0503,
         "05 03 (1200 bajtów) większą, niż może mieć karta kierowcy (1152"},
        {"activity one byte more", {12, 24, 13777, 200, 112}, 0x0504, "05 04 (13781 bajtów)"},
        {"activity length that wraps in 16 bits", {12, 24, 65533, 200, 112}, 0x0504, "05 04 (65537 bajtów)"},
        {"201 vehicles", {12, 24, 13776, 201, 112}, 0x0505, "05 05 (6233 bajtów)"},
        {"vehicle count that wraps in 16 bits", {12, 24, 13776, 65535, 112}, 0x0505, "05 05 (2031587 bajtów)"},
        {"113 places", {12, 24, 13776, 200, 113}, 0x0506, "05 06 (1131 bajtów)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::CardModel card(CardWithHolder(c.counts));
        const ReadRun run = Download(card);
        ExpectNothingSaved(run);
        EXPECT_EQ(run.hooks.readResult, "Danych nie wczytano");
        ASSERT_EQ(run.errorBoxes.size(), 1u);
        EXPECT_NE(utility::Cp1250ToUtf8(run.errorBoxes[0]).find(c.box), std::string::npos)
            << utility::Cp1250ToUtf8(run.errorBoxes[0]);
        std::vector<Bytes> expected = testsupport::DownloadCommands(c.counts);
        const auto select = std::find(expected.begin(), expected.end(), testsupport::SelectFileCommand(c.fid));
        expected.erase(select, expected.end());
        expected.push_back(expected.back());
        EXPECT_EQ(run.commands, expected);
        EXPECT_EQ(Body(c.fid), Bytes(tacho::kEfSlots[*tacho::EfSlotOf(c.fid)].size, 0));
    }
}

TEST_F(DownloadTest, FailedRepeatAfterACompleteReadKeepsTheCard)
{
    const std::size_t last = testsupport::DownloadCommands(testsupport::LargestCard()).size();
    for (bool removed : {false, true}) {
        SCOPED_TRACE(removed);
        for (const fs::path& p : ZoltFiles())
            fs::remove(p);
        testsupport::CardModel card(CardWithHolder(testsupport::LargestCard()));
        if (removed)
            card.RemoveAfter(last - 1);
        else
            card.FailWithStatus(last, 0x6985);
        const ReadRun run = Download(card);
        EXPECT_EQ(run.outcome.result, 0);
        EXPECT_TRUE(run.outcome.cardRead);
        EXPECT_EQ(run.hooks.readResult, "Dane wczytano");
        EXPECT_EQ(run.hooks.dddSaves, 1);
        EXPECT_TRUE(run.errorBoxes.empty());
        EXPECT_EQ(ZoltFiles().size(), 1u);
        ExpectImageHoldsCard(card, testsupport::LargestCard());
    }
}

TEST_F(DownloadTest, CardWithoutPeselIsReadButNotSavedAndSaysWhy)
{
    testsupport::CardModel card(CardWithHolder(testsupport::LargestCard(), ""));
    const ReadRun run = Download(card);
    EXPECT_EQ(run.commands, testsupport::DownloadCommands(testsupport::LargestCard()));
    EXPECT_EQ(run.outcome.result, 1);
    EXPECT_FALSE(run.outcome.cardRead);
    EXPECT_EQ(run.hooks.readResult, "");
    EXPECT_NE(run.hooks.saveResult.find("PESEL"), std::string::npos);
    EXPECT_EQ(run.hooks.dddSaves, 0);
    EXPECT_TRUE(ZoltFiles().empty());
}

TEST_F(DownloadTest, UnwritableZoltFolderStillLeavesTheCardReadAndItsDownloadFile)
{
    std::ofstream(folder / "plik") << "x";
    folder = folder / "plik" / "Pliki_ZOLT";
    testsupport::CardModel card(CardWithHolder(testsupport::LargestCard()));
    const ReadRun run = Download(card);
    EXPECT_EQ(run.outcome.result, 1);
    EXPECT_TRUE(run.outcome.cardRead);
    EXPECT_TRUE(run.outcome.zoltFile.empty());
    EXPECT_EQ(run.hooks.readResult, "Dane wczytano");
    EXPECT_EQ(run.hooks.dddSaves, 1);
    const std::string prefix = utility::Pl("! Danych z karty kierowcy nie zdołano zapisać na dysku. (");
    EXPECT_EQ(run.hooks.saveResult.substr(0, prefix.size()), prefix);
    EXPECT_EQ(run.hooks.saveResult.back(), ')');
    folder = folder.parent_path().parent_path();
    EXPECT_EQ(ZoltFiles(), std::vector<fs::path>{folder / "plik"});
}

TEST_F(DownloadTest, ReadsWithinOneMinuteGetRandomSuffixesOfGrowingLength)
{
    std::vector<std::string> texts{"Q", "Q", "ST"};  // the third read first draws a name taken
    std::vector<int> asked;
    auto random = [&](int n) {
        asked.push_back(n);
        return texts.at(asked.size() - 1);
    };
    const std::string base = "2603071234_" + kPesel + "KOWALSKIJ";
    std::vector<fs::path> written;
    for (int i = 0; i < 3; ++i) {
        testsupport::CardModel card(CardWithHolder(testsupport::LargestCard()));
        const ReadRun run = Download(card, random);
        EXPECT_EQ(run.outcome.result, 0);
        written.push_back(run.outcome.zoltFile);
    }
    EXPECT_EQ(written, (std::vector<fs::path>{folder / (base + ".zolt"), folder / (base + "_Q.zolt"),
                                              folder / (base + "_ST.zolt")}));
    EXPECT_EQ(asked, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(ZoltFiles().size(), 3u);
}

}  // namespace
