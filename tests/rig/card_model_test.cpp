#include "tests/support/card_model.h"

#include "tests/support/card_files.h"
#include "tests/support/download_commands.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace testsupport;

namespace {

std::uint16_t StatusOf(const Bytes& answer)
{
    return answer.size() < 2 ? 0 : static_cast<std::uint16_t>(answer[answer.size() - 2] << 8 | answer.back());
}

Bytes DataOf(const Bytes& answer) { return answer.size() < 2 ? Bytes{} : Bytes(answer.begin(), answer.end() - 2); }

Bytes Slice(const Bytes& body, std::size_t from, std::size_t count)
{
    return Bytes(body.begin() + static_cast<std::ptrdiff_t>(from),
                 body.begin() + static_cast<std::ptrdiff_t>(from + count));
}

}  // namespace

TEST(CardFiles, SizesFollowTheCounts)
{
    struct Case {
        const char* name;
        CardCounts counts;
    };
    const Case cases[] = {{"smallest", SmallestCard()}, {"largest", LargestCard()}, {"odd", {7, 13, 6000, 99, 90}}};
    for (const auto& c : cases) {
        const CardFiles files = MakeCardFiles(c.counts);
        ASSERT_EQ(files.size(), 16u) << c.name;
        for (const auto fid : kAllFids)
            EXPECT_EQ(files.at(fid).size(), FileSize(fid, c.counts)) << c.name << " " << std::hex << fid;
        const Bytes& id = files.at(kFidApplicationIdentification);
        EXPECT_EQ(id[3], c.counts.eventsPerType) << c.name;
        EXPECT_EQ(id[4], c.counts.faultsPerType) << c.name;
        EXPECT_EQ(id[5] << 8 | id[6], c.counts.activityStructureLength) << c.name;
        EXPECT_EQ(id[7] << 8 | id[8], c.counts.vehicleRecords) << c.name;
        EXPECT_EQ(id[9], c.counts.placeRecords) << c.name;
    }
    // The largest card's bodies are the largest slots a driver card can need.
    const CardCounts largest = LargestCard();
    EXPECT_EQ(FileSize(kFidEventsData, largest), 1728u);
    EXPECT_EQ(FileSize(kFidFaultsData, largest), 1152u);
    EXPECT_EQ(FileSize(kFidDriverActivityData, largest), 13780u);
    EXPECT_EQ(FileSize(kFidVehiclesUsed, largest), 6202u);
    EXPECT_EQ(FileSize(kFidPlaces, largest), 1121u);
    EXPECT_NE(MakeCardFiles(largest, 1).at(kFidCardCertificate), MakeCardFiles(largest, 2).at(kFidCardCertificate));
    EXPECT_NE(MakeCardFiles(largest).at(kFidCardCertificate), MakeCardFiles(largest).at(kFidCaCertificate));
}

TEST(CardModel, AnswersTheCommandForms)
{
    const CardFiles files = MakeCardFiles(SmallestCard());
    const Bytes& icc = files.at(kFidIcc);
    const Bytes& places = files.at(kFidPlaces);
    const Bytes app = SelectApplicationCommand();
    const Bytes hash = PerformHashCommand();
    const Bytes pso = ComputeSignatureCommand();
    struct Case {
        const char* name;
        std::vector<Bytes> before;
        Bytes command;
        std::uint16_t status;
        std::optional<Bytes> data;  // expected data; none: only the status word
    };
    const Case cases[] = {
        {"select card-level EF", {}, SelectFileCommand(kFidIcc), kSwOk, std::nullopt},
        {"application EF not under the master file", {}, SelectFileCommand(kFidPlaces), kSwFileNotFound, std::nullopt},
        {"select application", {}, app, kSwOk, std::nullopt},
        {"wrong application name",
         {},
         {0x00, 0xA4, 0x04, 0x0C, 0x06, 0xFF, 0x54, 0x41, 0x43, 0x48, 0x50},
         kSwFileNotFound,
         std::nullopt},
        {"application EF", {app}, SelectFileCommand(kFidPlaces), kSwOk, std::nullopt},
        {"card-level EF not inside the application", {app}, SelectFileCommand(kFidIcc), kSwFileNotFound, std::nullopt},
        {"unknown EF", {app}, SelectFileCommand(0x0509), kSwFileNotFound, std::nullopt},
        {"select with answer wanted", {}, {0x00, 0xA4, 0x02, 0x00, 0x02, 0x00, 0x02}, kSwWrongP1P2, std::nullopt},
        {"select by path", {}, {0x00, 0xA4, 0x08, 0x0C, 0x02, 0x00, 0x02}, kSwWrongP1P2, std::nullopt},
        {"select with one FID byte", {}, {0x00, 0xA4, 0x02, 0x0C, 0x01, 0x00}, kSwWrongLength, std::nullopt},
        {"Lc longer than the data", {}, {0x00, 0xA4, 0x02, 0x0C, 0x03, 0x00, 0x02}, kSwWrongLength, std::nullopt},
        {"read without EF", {}, ReadBinaryCommand(0, 8), kSwNoCurrentEf, std::nullopt},
        {"read whole EF", {SelectFileCommand(kFidIcc)}, ReadBinaryCommand(0, 25), kSwOk, icc},
        {"read inside EF", {SelectFileCommand(kFidIcc)}, ReadBinaryCommand(10, 15), kSwOk, Slice(icc, 10, 15)},
        {"read past the end", {SelectFileCommand(kFidIcc)}, ReadBinaryCommand(20, 6), kSwWrongLength, std::nullopt},
        {"read at the end", {SelectFileCommand(kFidIcc)}, ReadBinaryCommand(25, 1), kSwWrongLength, std::nullopt},
        {"offset beyond the EF", {SelectFileCommand(kFidIcc)}, ReadBinaryCommand(26, 1), kSwWrongOffset, std::nullopt},
        {"read at a 16-bit offset",
         {app, SelectFileCommand(kFidPlaces)},
         ReadBinaryCommand(0x0100, 0x21),
         kSwOk,
         Slice(places, 256, 33)},
        {"read with Le 0 means 256",
         {app, SelectFileCommand(kFidPlaces)},
         ReadBinaryCommand(0, 256),
         kSwOk,
         Slice(places, 0, 256)},
        {"read by short identifier",
         {SelectFileCommand(kFidIcc)},
         {0x00, 0xB0, 0x81, 0x00, 0x08},
         kSwWrongP1P2,
         std::nullopt},
        {"read without Le", {SelectFileCommand(kFidIcc)}, {0x00, 0xB0, 0x00, 0x00}, kSwWrongLength, std::nullopt},
        {"hash without EF", {app}, hash, kSwNoCurrentEf, std::nullopt},
        {"hash", {app, SelectFileCommand(kFidPlaces)}, hash, kSwOk, std::nullopt},
        {"hash with Le",
         {app, SelectFileCommand(kFidPlaces)},
         {0x80, 0x2A, 0x90, 0x00, 0x14},
         kSwWrongLength,
         std::nullopt},
        {"hash with other P1",
         {app, SelectFileCommand(kFidPlaces)},
         {0x80, 0x2A, 0x91, 0x00},
         kSwWrongP1P2,
         std::nullopt},
        {"signature without hash", {app, SelectFileCommand(kFidPlaces)}, pso, kSwConditionsNotSatisfied, std::nullopt},
        {"signature of the hashed EF",
         {app, SelectFileCommand(kFidPlaces), hash},
         pso,
         kSwOk,
         ExpectedSignature(kFidPlaces, places)},
        {"signature survives a later SELECT",
         {app, SelectFileCommand(kFidPlaces), hash, SelectFileCommand(kFidCurrentUsage)},
         pso,
         kSwOk,
         ExpectedSignature(kFidPlaces, places)},
        {"signature asked twice",
         {app, SelectFileCommand(kFidPlaces), hash, pso},
         pso,
         kSwOk,
         ExpectedSignature(kFidPlaces, places)},
        {"signature with Le 64",
         {app, SelectFileCommand(kFidPlaces), hash},
         {0x00, 0x2A, 0x9E, 0x9A, 0x40},
         kSwWrongLength,
         std::nullopt},
        {"other PSO",
         {app, SelectFileCommand(kFidPlaces), hash},
         {0x00, 0x2A, 0x9E, 0x9B, 0x80},
         kSwWrongP1P2,
         std::nullopt},
        {"unknown instruction", {}, {0x00, 0xCA, 0x00, 0x00, 0x00}, kSwInsNotSupported, std::nullopt},
        {"unknown proprietary instruction", {}, {0x80, 0xCA, 0x00, 0x00}, kSwInsNotSupported, std::nullopt},
        {"unknown class", {}, {0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00}, kSwClaNotSupported, std::nullopt},
        {"too short", {}, {0x00, 0xA4, 0x02}, kSwWrongLength, std::nullopt},
        {"extended length", {}, {0x00, 0xB0, 0x00, 0x00, 0x00, 0x01, 0x00}, kSwWrongLength, std::nullopt},
    };
    for (const auto& c : cases) {
        CardModel card(files);
        for (const Bytes& command : c.before)
            ASSERT_EQ(StatusOf(card.Transmit(command)), kSwOk) << c.name;
        const Bytes answer = card.Transmit(c.command);
        EXPECT_EQ(StatusOf(answer), c.status) << c.name;
        EXPECT_EQ(DataOf(answer), c.data.value_or(Bytes{})) << c.name;
    }
}

TEST(CardModel, ResetReturnsToTheMasterFile)
{
    CardModel card(MakeCardFiles(SmallestCard()));
    for (const Bytes& command : {SelectApplicationCommand(), SelectFileCommand(kFidPlaces), PerformHashCommand()})
        ASSERT_EQ(StatusOf(card.Transmit(command)), kSwOk);
    card.Reset();
    EXPECT_EQ(StatusOf(card.Transmit(ReadBinaryCommand(0, 1))), kSwNoCurrentEf);
    EXPECT_EQ(StatusOf(card.Transmit(ComputeSignatureCommand())), kSwConditionsNotSatisfied);
    EXPECT_EQ(StatusOf(card.Transmit(SelectFileCommand(kFidPlaces))), kSwFileNotFound);
    EXPECT_EQ(StatusOf(card.Transmit(SelectFileCommand(kFidIc))), kSwOk);
}

TEST(CardModel, SignatureDependsOnDataAndFile)
{
    Bytes body = MakeCardFiles(LargestCard()).at(kFidPlaces);
    const Bytes signature = ExpectedSignature(kFidPlaces, body);
    EXPECT_EQ(signature.size(), 128u);
    EXPECT_NE(ExpectedSignature(kFidCurrentUsage, body), signature);
    body[700] ^= 0x01;
    EXPECT_NE(ExpectedSignature(kFidPlaces, body), signature);
}

// The whole download of a card: every answer 9000, the data read back equal the files and each
// signature belongs to its file.
TEST(CardModel, FullDownload)
{
    struct Case {
        const char* name;
        CardCounts counts;
        std::size_t commands;
    };
    const Case cases[] = {{"smallest", SmallestCard(), 94}, {"largest", LargestCard(), 147}};
    for (const auto& c : cases) {
        CardModel card(MakeCardFiles(c.counts, 7));
        const std::vector<Bytes> commands = DownloadCommands(c.counts);
        EXPECT_EQ(commands.size(), c.commands) << c.name;
        std::vector<Bytes> answers;
        for (const Bytes& command : commands) {
            answers.push_back(card.Transmit(command));
            ASSERT_EQ(StatusOf(answers.back()), kSwOk) << c.name << " command " << answers.size();
        }
        std::size_t i = 0;
        for (const DownloadFile& file : DownloadFiles(c.counts)) {
            i += file.fid == kFidApplicationIdentification ? 2 : 1;  // application SELECT, file SELECT
            i += file.signedFile ? 1 : 0;
            Bytes data;
            while (data.size() < file.length) {
                const Bytes part = DataOf(answers.at(i++));
                data.insert(data.end(), part.begin(), part.end());
            }
            const Bytes& body = card.Files().at(file.fid);
            EXPECT_EQ(data, body) << c.name << " " << std::hex << file.fid;
            if (file.signedFile) {
                EXPECT_EQ(DataOf(answers.at(i++)), ExpectedSignature(file.fid, body))
                    << c.name << " " << std::hex << file.fid;
            }
        }
        EXPECT_EQ(i + 1, commands.size()) << c.name;
        EXPECT_EQ(DataOf(answers.back()),
                  ExpectedSignature(kFidSpecificConditions, card.Files().at(kFidSpecificConditions)));
        EXPECT_EQ(card.CommandCount(), commands.size());
    }
}

TEST(DownloadCommands, ActivityFileOfTheLargestCard)
{
    const std::vector<Bytes> commands = DownloadCommands(LargestCard());
    std::vector<Bytes> reads;
    bool inActivity = false;
    for (const Bytes& command : commands) {
        if (command == SelectFileCommand(kFidDriverActivityData))
            inActivity = true;
        else if (command[1] == 0xA4)
            inActivity = false;
        else if (inActivity && command[1] == 0xB0)
            reads.push_back(command);
    }
    ASSERT_EQ(reads.size(), 55u);
    EXPECT_EQ(reads.front(), (Bytes{0x00, 0xB0, 0x00, 0x00, 0xFE}));
    EXPECT_EQ(reads[1], (Bytes{0x00, 0xB0, 0x00, 0xFE, 0xFE}));
    EXPECT_EQ(reads.back(), (Bytes{0x00, 0xB0, 0x35, 0x94, 0x40}));
}

TEST(DownloadCommands, DeclaredSizesAreCappedAtTheLargestCard)
{
    const CardCounts tooLarge{13, 25, 13777, 201, 113};
    const auto files = DownloadFiles(tooLarge);
    const CardCounts largest = LargestCard();
    for (const DownloadFile& file : files)
        EXPECT_LE(file.length, FileSize(file.fid, largest)) << std::hex << file.fid;
    // Sizes are 16-bit products: 2114 vehicle records make 65,536 bytes, which wraps to 0.
    const CardCounts wrapping{0, 0, 65535, 2114, 0};
    for (const DownloadFile& file : DownloadFiles(wrapping)) {
        EXPECT_LE(file.length, FileSize(file.fid, largest)) << std::hex << file.fid;
        if (file.fid == kFidVehiclesUsed) {
            EXPECT_EQ(file.length, 0u);
        }
    }
}

TEST(CardModel, FaultInjection)
{
    const CardFiles files = MakeCardFiles(SmallestCard());
    const Bytes& icc = files.at(kFidIcc);
    const Bytes select = SelectFileCommand(kFidIcc);
    const Bytes read = ReadBinaryCommand(0, 25);
    struct Case {
        const char* name;
        void (*inject)(CardModel&);
        Bytes secondStatusAndData;  // answer to the READ BINARY (command 2)
        Bytes thirdAnswer;          // answer to a second READ BINARY (command 3)
    };
    const auto ok = [](Bytes data) {
        data.push_back(0x90);
        data.push_back(0x00);
        return data;
    };
    Bytes longer = icc;
    longer.insert(longer.end(), 3, 0xA5);
    const Case cases[] = {
        {"none", [](CardModel&) {}, ok(icc), ok(icc)},
        {"status word", [](CardModel& m) { m.FailWithStatus(2, 0x6F00); }, {0x6F, 0x00}, ok(icc)},
        {"status word at SELECT leaves nothing selected",
         [](CardModel& m) { m.FailWithStatus(1, 0x6A82); },
         {0x69, 0x86},
         {0x69, 0x86}},
        {"short data", [](CardModel& m) { m.ShortenAnswer(2, 5); }, ok(Slice(icc, 0, 20)), ok(icc)},
        {"short beyond the data", [](CardModel& m) { m.ShortenAnswer(2, 99); }, {0x90, 0x00}, ok(icc)},
        {"over-long data", [](CardModel& m) { m.LengthenAnswer(2, 3); }, ok(longer), ok(icc)},
        {"status word wins over length",
         [](CardModel& m) {
             m.LengthenAnswer(2, 3);
             m.FailWithStatus(2, 0x6581);
         },
         {0x65, 0x81},
         ok(icc)},
        {"removed after the read", [](CardModel& m) { m.RemoveAfter(2); }, ok(icc), {}},
        {"removed after the SELECT", [](CardModel& m) { m.RemoveAfter(1); }, {}, {}},
    };
    for (const auto& c : cases) {
        CardModel card(files);
        c.inject(card);
        (void)card.Transmit(select);
        EXPECT_EQ(card.Transmit(read), c.secondStatusAndData) << c.name;
        EXPECT_EQ(card.Transmit(read), c.thirdAnswer) << c.name;
        EXPECT_EQ(card.Removed(), c.thirdAnswer.empty()) << c.name;
        const auto log = card.Log();
        ASSERT_EQ(log.size(), 3u) << c.name;
        EXPECT_EQ(log[0].command, select) << c.name;
        EXPECT_EQ(log[1].answer, c.secondStatusAndData) << c.name;
        EXPECT_EQ(log[2].command, read) << c.name;
        EXPECT_EQ(card.Atr(), AtrT0()) << c.name;
    }
    CardModel t1(files);
    t1.OfferOnlyT1();
    EXPECT_EQ(t1.Atr(), AtrT1Only());
}
