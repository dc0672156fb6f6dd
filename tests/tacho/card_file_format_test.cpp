#include "tacho/ddd_file.h"
#include "tacho/kk1_file.h"
#include "tests/tacho/card_file_fixture.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

using namespace cardfiletest;
using tacho::CardImageData;

namespace {

struct ExpectedBlock {
    std::uint16_t fid;
    std::uint8_t type;
    std::size_t length;
    std::size_t from;  // body offset in the card image, or signature slot for a signature
};

// Walks the blocks of a file and checks each header and its bytes against the table.
void ExpectBlocks(const Bytes& file, const std::vector<ExpectedBlock>& table, const CardImageData& image,
                  const tacho::SignatureAreaData& signatures)
{
    std::size_t at = 0;
    for (std::size_t k = 0; k < table.size(); ++k) {
        SCOPED_TRACE("block " + std::to_string(k + 1));
        const ExpectedBlock& e = table[k];
        ASSERT_LE(at + 5, file.size());
        EXPECT_EQ(file[at] * 256 + file[at + 1], e.fid);
        EXPECT_EQ(file[at + 2], e.type);
        ASSERT_EQ(std::size_t(file[at + 3] * 256 + file[at + 4]), e.length);
        at += 5;
        ASSERT_LE(at + e.length, file.size());
        const std::uint8_t* source = e.type == 0 ? image.data() + e.from : signatures.data() + 129 * e.from;
        EXPECT_TRUE(std::equal(source, source + e.length, file.begin() + static_cast<std::ptrdiff_t>(at)));
        at += e.length;
    }
    EXPECT_EQ(at, file.size());
}

std::vector<ExpectedBlock> DddTable(std::size_t events, std::size_t faults, std::size_t activity, std::size_t vehicles,
                                    std::size_t places)
{
    return {
        {0x0002, 0, 25, 1},
        {0x0005, 0, 8, 27},
        {0x0501, 0, 10, 36},
        {0x0501, 1, 128, 0},
        {0xC100, 0, 194, 47},
        {0xC108, 0, 194, 242},
        {0x0520, 0, 143, 437},
        {0x0520, 1, 128, 1},
        {0x0521, 0, 53, 586},
        {0x0521, 1, 128, 2},
        {0x0502, 0, events * 144, 640},
        {0x0502, 1, 128, 3},
        {0x0503, 0, faults * 48, 2'369},
        {0x0503, 1, 128, 4},
        {0x0504, 0, activity + 4, 3'522},
        {0x0504, 1, 128, 5},
        {0x0505, 0, vehicles * 31 + 2, 17'303},
        {0x0505, 1, 128, 6},
        {0x0506, 0, places * 10 + 1, 23'506},
        {0x0506, 1, 128, 7},
        {0x0508, 0, 46, 24'648},
        {0x0508, 1, 128, 9},
        {0x0522, 0, 280, 24'695},
        {0x0522, 1, 128, 10},
    };
}

}  // namespace

TEST(DddFileFormat, BlocksFollowTheFixedOrderWithLengthsFromTheCounts)
{
    struct Case {
        const char* name;
        std::uint8_t events, faults;
        std::uint16_t activity, vehicles;
        std::uint8_t places;
        std::size_t fileSize;
    };
    const Case cases[] = {
        {"largest counts", 12, 24, 13'776, 200, 112, 26'336},
        {"no events: an empty block still followed by its signature", 0, 24, 13'776, 200, 112, 26'336 - 1'728},
        {"small card", 1, 2, 100, 3, 4, 0},
        {"nothing counted", 0, 0, 0, 0, 0, 0},
    };
    const tacho::SignatureAreaData signatures = ValidSignatures();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CardImageData image = PatternedCard(c.events, c.faults, c.activity, c.vehicles, c.places).Image();
        Bytes file;
        std::string error;
        ASSERT_TRUE(tacho::BuildDddFileBytes(image, signatures, file, error)) << error;
        EXPECT_TRUE(error.empty());
        if (c.fileSize != 0) {
            EXPECT_EQ(file.size(), c.fileSize);
        }
        ExpectBlocks(file, DddTable(c.events, c.faults, c.activity, c.vehicles, c.places), image, signatures);
    }
}

TEST(DddFileFormat, FirstBytesAreTheHeaderOfIccData)
{
    Bytes file;
    std::string error;
    ASSERT_TRUE(tacho::BuildDddFileBytes(PatternedCard().Image(), ValidSignatures(), file, error));
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 5), (Bytes{0x00, 0x02, 0x00, 0x00, 0x19}));
}

TEST(DddFileFormat, MissingSignatureStopsAfterTheBlocksBeforeIt)
{
    struct Case {
        std::size_t signatureSlot;
        std::size_t blocksBefore;
    };
    // Slot 8 (Current_Usage) is not written, so its validity does not matter.
    const Case cases[] = {{0, 3}, {1, 7}, {5, 15}, {10, 23}};
    const CardImageData image = PatternedCard().Image();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signatureSlot);
        tacho::SignatureAreaData signatures = ValidSignatures();
        signatures[129 * c.signatureSlot + 128] = 0;
        Bytes file;
        std::string error;
        EXPECT_FALSE(tacho::BuildDddFileBytes(image, signatures, file, error));
        EXPECT_EQ(error, utility::Pl("Brak podpisów w danych"));
        auto table = DddTable(12, 24, 13'776, 200, 112);
        table.resize(c.blocksBefore);
        ExpectBlocks(file, table, image, signatures);
    }
    tacho::SignatureAreaData signatures = ValidSignatures();
    signatures[129 * 0 + 128] = 0;
    Bytes file;
    std::string error;
    EXPECT_FALSE(tacho::BuildDddFileBytes(image, signatures, file, error));
    EXPECT_EQ(file.size(), 58U);

    signatures = ValidSignatures();
    signatures[129 * 8 + 128] = 0;
    EXPECT_TRUE(tacho::BuildDddFileBytes(image, signatures, file, error));
}

TEST(CardFileFormats, CountsBeyondTheirSlotFailWithAClearText)
{
    struct Case {
        const char* name;
        std::uint8_t events, faults;
        std::uint16_t activity, vehicles;
        std::uint8_t places;
        const char* fid;
    };
    const Case cases[] = {
        {"13 events per type", 13, 24, 13'776, 200, 112, "0502"},
        {"25 faults per type", 12, 25, 13'776, 200, 112, "0503"},
        {"13,777 activity bytes", 12, 24, 13'777, 200, 112, "0504"},
        {"201 vehicles", 12, 24, 13'776, 201, 112, "0505"},
        {"113 places", 12, 24, 13'776, 200, 113, "0506"},
        {"every count at its byte's largest", 255, 255, 65'535, 65'535, 255, "0502"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CardImageData image = PatternedCard(c.events, c.faults, c.activity, c.vehicles, c.places).Image();
        Bytes file;
        std::string error;
        EXPECT_FALSE(tacho::BuildDddFileBytes(image, ValidSignatures(), file, error));
        EXPECT_NE(error.find(utility::Pl("Dane karty są niepoprawne: blok ") + c.fid), std::string::npos) << error;
        error.clear();
        EXPECT_FALSE(tacho::BuildKk1FileBytes(image, file, error));
        EXPECT_NE(error.find(utility::Pl("Dane karty są niepoprawne: blok ") + c.fid), std::string::npos) << error;
    }
}

TEST(Kk1FileFormat, FifteenDataBlocksWithoutSignatures)
{
    const CardImageData image = PatternedCard().Image();
    Bytes file;
    std::string error;
    ASSERT_TRUE(tacho::BuildKk1FileBytes(image, file, error)) << error;
    EXPECT_EQ(file.size(), 25'009U);
    const std::vector<ExpectedBlock> table = {
        {0x0002, 0, 8, 27},        {0x0501, 0, 10, 36},        {0xC100, 0, 194, 47},       {0xC108, 0, 194, 242},
        {0x0520, 0, 143, 437},     {0x050E, 0, 4, 581},        {0x0521, 0, 53, 586},       {0x0502, 0, 1'728, 640},
        {0x0503, 0, 1'152, 2'369}, {0x0504, 0, 13'780, 3'522}, {0x0505, 0, 6'202, 17'303}, {0x0506, 0, 1'121, 23'506},
        {0x0507, 0, 19, 24'628},   {0x0508, 0, 46, 24'648},    {0x0522, 0, 280, 24'695},
    };
    ExpectBlocks(file, table, image, {});
    std::size_t dataAfterFirst = 0;
    for (std::size_t k = 1; k < table.size(); ++k)
        dataAfterFirst += table[k].length;
    EXPECT_EQ(dataAfterFirst, 24'926U);
}

TEST(Kk1FileFormat, LengthsFollowTheCounts)
{
    const CardImageData image = PatternedCard(2, 3, 500, 7, 9).Image();
    Bytes file;
    std::string error;
    ASSERT_TRUE(tacho::BuildKk1FileBytes(image, file, error)) << error;
    EXPECT_EQ(file.size(), 15 * 5 + 8 + 10 + 194 + 194 + 143 + 4 + 53 + 2 * 144 + 3 * 48 + 504 + 7 * 31 + 2 + 9 * 10 +
                               1 + 19 + 46 + 280U);
}
