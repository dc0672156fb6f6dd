#include "tacho/card_file_loader.h"

#include "tacho/ddd_file.h"
#include "tests/support/message_recorder.h"
#include "tests/tacho/card_file_fixture.h"
#include "utility/cp1250.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace cardfiletest;
using tacho::CardImageData;
using tacho::LoadCardResult;

namespace {

// One block written out by hand: identifier and length high byte first.
Bytes Block(std::uint16_t fid, std::uint8_t type, const Bytes& body)
{
    // Sized first and filled in place: GCC 12 at -O3 takes an insert after a braced list for
    // a write past the list (a false -Warray-bounds).
    Bytes out(5 + body.size());
    out[0] = static_cast<std::uint8_t>(fid >> 8);
    out[1] = static_cast<std::uint8_t>(fid);
    out[2] = type;
    out[3] = static_cast<std::uint8_t>(body.size() >> 8);
    out[4] = static_cast<std::uint8_t>(body.size());
    std::copy(body.begin(), body.end(), out.begin() + 5);
    return out;
}

Bytes Filled(std::size_t size, std::uint8_t value) { return Bytes(size, value); }

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

CardImageData ZeroImage() { return CardImageData{}; }

// The image with `bytes` at the body of `slot`.
CardImageData WithBody(CardImageData image, std::size_t slot, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(tacho::kEfSlots[slot].body));
    return image;
}

// What a card download file of `card` gives back: no reserved bytes, no Card_Download and
// Current_Usage, nothing of the counted bodies beyond their blocks.
CardImageData ExpectedFromDdd(const CardImageData& card)
{
    CardImageData expected{};
    for (std::size_t slot : {0, 1, 2, 3, 4, 5, 7, 14, 15}) {
        const tacho::EfSlot& s = tacho::kEfSlots[slot];
        std::copy_n(card.begin() + static_cast<std::ptrdiff_t>(s.body), s.size,
                    expected.begin() + static_cast<std::ptrdiff_t>(s.body));
    }
    const std::size_t lengths[] = {card[39] * 144U, card[40] * 48U, card[41] * 256U + card[42] + 4U,
                                   (card[43] * 256U + card[44]) * 31U + 2U, card[45] * 10U + 1U};
    for (std::size_t k = 0; k < 5; ++k) {
        const tacho::EfSlot& s = tacho::kEfSlots[8 + k];
        std::copy_n(card.begin() + static_cast<std::ptrdiff_t>(s.body), lengths[k],
                    expected.begin() + static_cast<std::ptrdiff_t>(s.body));
    }
    return expected;
}

Bytes DddBytesOf(const CardImageData& card)
{
    Bytes bytes;
    std::string error;
    EXPECT_TRUE(tacho::BuildDddFileBytes(card, ValidSignatures(), bytes, error)) << error;
    return bytes;
}

struct LoadOutcome {
    LoadCardResult result;
    bool isImageFile;
    CardImageData image;
};

// Loads `bytes` as a file into an image that held another card before.
LoadOutcome LoadBytes(const ScratchFolder& folder, const Bytes& bytes)
{
    const std::filesystem::path path = folder.File("card.bin");
    WriteFileBytes(path, bytes);
    LoadOutcome outcome{LoadCardResult::Loaded, true, {}};
    outcome.image.fill(0x5A);
    outcome.result = tacho::LoadCardFile(path, outcome.image, outcome.isImageFile);
    return outcome;
}

void ExpectSameImage(const CardImageData& actual, const CardImageData& expected)
{
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << "first difference at image offset " << i << ": " << int(actual[i]) << " instead of "
                          << int(expected[i]);
            return;
        }
}

}  // namespace

TEST(CardFileLoader, ImageFileOfFullSizeIsTakenAsItStandsReservedBytesIncluded)
{
    ScratchFolder folder;
    const CardImageData card = PatternedCard().Image();
    const LoadOutcome loaded = LoadBytes(folder, ImageBytes(card));
    EXPECT_EQ(loaded.result, LoadCardResult::Loaded);
    EXPECT_TRUE(loaded.isImageFile);
    ExpectSameImage(loaded.image, card);
}

TEST(CardFileLoader, OlderImageFilePutsEveryBodyAtItsSlotAndLeavesReservedBytesZero)
{
    ScratchFolder folder;
    Bytes old;
    CardImageData expected{};
    for (std::size_t slot = 0; slot < tacho::kEfCount; ++slot) {
        const Bytes body = Filled(tacho::kEfSlots[slot].size, static_cast<std::uint8_t>(0x10 + slot));
        old.insert(old.end(), body.begin(), body.end());
        expected = WithBody(expected, slot, body);
    }
    ASSERT_EQ(old.size(), tacho::kOldCardImageSize);
    const LoadOutcome loaded = LoadBytes(folder, old);
    EXPECT_EQ(loaded.result, LoadCardResult::Loaded);
    EXPECT_TRUE(loaded.isImageFile);
    ExpectSameImage(loaded.image, expected);
}

TEST(CardFileLoader, CardDownloadFileWrittenByTheWriterLoadsBack)
{
    struct Case {
        const char* name;
        std::uint8_t events, faults;
        std::uint16_t activity, vehicles;
        std::uint8_t places;
        std::size_t fileSize;
    };
    // 24,975 and 24,959 bytes are also the sizes of raw images: the first header decides.
    const Case cases[] = {
        {"largest counts", 12, 24, 13'776, 200, 112, 26'336},   {"small counts", 3, 5, 1'000, 10, 7, 0},
        {"no events", 0, 24, 13'776, 200, 112, 26'336 - 1'728}, {"full image size", 12, 24, 12'415, 200, 112, 24'975},
        {"older image size", 12, 24, 12'399, 200, 112, 24'959},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const CardImageData card = PatternedCard(c.events, c.faults, c.activity, c.vehicles, c.places).Image();
        const Bytes ddd = DddBytesOf(card);
        if (c.fileSize != 0) {
            EXPECT_EQ(ddd.size(), c.fileSize);
        }
        const LoadOutcome loaded = LoadBytes(folder, ddd);
        EXPECT_EQ(loaded.result, LoadCardResult::Loaded);
        EXPECT_FALSE(loaded.isImageFile);
        ExpectSameImage(loaded.image, ExpectedFromDdd(card));
    }
}

TEST(CardFileLoader, MalformedAndOddFilesGiveTheirCodeAndImage)
{
    const CardImageData card = PatternedCard().Image();
    const Bytes ddd = DddBytesOf(card);
    const CardImageData fromDdd = ExpectedFromDdd(card);
    const Bytes identification = Filled(143, 0x33);
    const Bytes otherIdentification = Filled(143, 0x44);
    // A bogus header inside the excess of an over-long block must not start a block.
    const Bytes overlongIc = Concat({Filled(8, 0x21), Block(0x0520, 0, Filled(143, 0xEE))});
    const Bytes overlong = Block(0x0005, 0, Filled(20, 1));
    const Bytes cutLicence = Block(0x0521, 0, Filled(53, 1));
    // Signature bytes that hold a whole Driving_Licence_Info data block: a loader that scans
    // through signatures would take it.
    const Bytes taggedSignature = Concat({Filled(7, 0x77), Block(0x0521, 0, Filled(53, 0x66)), Filled(63, 0x77)});
    const CardImageData imageSizedCard = PatternedCard(12, 24, 12'415, 200, 112).Image();
    const Bytes imageSizedDdd = DddBytesOf(imageSizedCard);

    struct Case {
        const char* name;
        Bytes bytes;
        LoadCardResult result;
        bool isImageFile;
        CardImageData image;
    };
    const Case cases[] = {
        {"empty", {}, LoadCardResult::Loaded, false, ZeroImage()},
        {"1 byte", {0x00}, LoadCardResult::Loaded, false, ZeroImage()},
        {"2 bytes", {0x05, 0x20}, LoadCardResult::Loaded, false, ZeroImage()},
        {"3 bytes", {0x05, 0x20, 0x00}, LoadCardResult::Loaded, false, ZeroImage()},
        {"4 bytes", {0x05, 0x20, 0x00, 0x00}, LoadCardResult::Loaded, false, ZeroImage()},
        {"5 bytes", {0x00, 0x02, 0x00, 0x00, 0x19}, LoadCardResult::Loaded, false, ZeroImage()},
        {"one byte over the image size", Concat({imageSizedDdd, {0xFF}}), LoadCardResult::Loaded, false,
         ExpectedFromDdd(imageSizedCard)},
        {"image size without the first header", Filled(tacho::kCardImageSize, 0x01), LoadCardResult::Loaded, true,
         [] {
             CardImageData image;
             image.fill(0x01);
             return image;
         }()},
        {"30,000 bytes", Filled(30'000, 0), LoadCardResult::TooLarge, false, ZeroImage()},
        {"29,999 bytes of a download and padding", Concat({ddd, Filled(29'999 - ddd.size(), 0xFF)}),
         LoadCardResult::Loaded, false, fromDdd},
        {"garbage before the first block", Concat({{0xAB, 0xCD, 0xEF, 0x99}, ddd}), LoadCardResult::Loaded, false,
         fromDdd},
        {"the same block twice", Concat({Block(0x0520, 0, identification), Block(0x0520, 0, otherIdentification)}),
         LoadCardResult::Loaded, false, WithBody(ZeroImage(), 5, otherIdentification)},
        {"a signature block is passed over, block tags in its bytes included",
         Concat({Block(0x0520, 1, taggedSignature), Block(0x0520, 0, identification)}), LoadCardResult::Loaded, false,
         WithBody(ZeroImage(), 5, identification)},
        {"a cut last block",
         Concat({Block(0x0520, 0, identification), Bytes(cutLicence.begin(), cutLicence.end() - 10)}),
         LoadCardResult::ParseFailed, false, ZeroImage()},
        {"a download cut inside its last data block", Bytes(ddd.begin(), ddd.end() - 140), LoadCardResult::ParseFailed,
         false, ZeroImage()},
        {"an over-long block", Concat({Block(0x0520, 0, identification), Block(0x0005, 0, overlongIc)}),
         LoadCardResult::Loaded, false, WithBody(WithBody(ZeroImage(), 5, identification), 1, Filled(8, 0x21))},
        {"an over-long block at the end of the file", Block(0x0005, 0, Filled(20, 1)), LoadCardResult::Loaded, false,
         WithBody(ZeroImage(), 1, Filled(8, 1))},
        {"an over-long block cut by the end of the file", Bytes(overlong.begin(), overlong.end() - 1),
         LoadCardResult::ParseFailed, false, ZeroImage()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const LoadOutcome loaded = LoadBytes(folder, c.bytes);
        EXPECT_EQ(loaded.result, c.result);
        EXPECT_EQ(loaded.isImageFile, c.isImageFile);
        ExpectSameImage(loaded.image, c.image);
    }
}

TEST(CardFileLoader, MissingFileOrFolderGivesNoSuchFileAndAZeroImage)
{
    ScratchFolder folder;
    ASSERT_TRUE(std::filesystem::create_directory(folder.File("sub")));
    for (const std::filesystem::path& name : {folder.File("absent.DDD"), folder.File("sub")}) {
        SCOPED_TRACE(name.string());
        CardImageData image;
        image.fill(0x5A);
        bool isImageFile = true;
        EXPECT_EQ(tacho::LoadCardFile(name, image, isImageFile), LoadCardResult::NoSuchFile);
        EXPECT_FALSE(isImageFile);
        ExpectSameImage(image, ZeroImage());
    }
}

TEST(CardFileLoader, LoadingLeavesTheSignatureAreaAlone)
{
    ScratchFolder folder;
    tacho::SignatureArea = ValidSignatures();
    const LoadOutcome loaded = LoadBytes(folder, DddBytesOf(PatternedCard().Image()));
    EXPECT_EQ(loaded.result, LoadCardResult::Loaded);
    EXPECT_EQ(tacho::SignatureArea, ValidSignatures());
    tacho::SignatureArea.fill(0);
}

TEST(CardFileLoader, FileNamesOfAnyAlphabetAreFound)
{
    ScratchFolder folder;
    for (const char* name : {"Łódź żółw.DDD", "Søren Ж/karta ø.DDD"}) {
        SCOPED_TRACE(name);
        const std::filesystem::path path = folder.File(name);
        std::filesystem::create_directories(path.parent_path());
        WriteFileBytes(path, ImageBytes(PatternedCard().Image()));
        CardImageData image{};
        bool isImageFile = false;
        EXPECT_EQ(tacho::LoadCardFile(path, image, isImageFile), LoadCardResult::Loaded);
        EXPECT_TRUE(isImageFile);
        ExpectSameImage(image, PatternedCard().Image());
    }
}

TEST(CardFileLoader, ImageReadersChangeTheImageOnlyOnSuccess)
{
    ScratchFolder folder;
    const CardImageData card = PatternedCard().Image();
    WriteFileBytes(folder.File("full.bin"), ImageBytes(card));
    WriteFileBytes(folder.File("short.bin"), Filled(100, 1));
    CardImageData image{};
    image.fill(0x5A);
    EXPECT_FALSE(tacho::ReadCardImageFile(folder.File("short.bin"), image));
    EXPECT_FALSE(tacho::ReadOldCardImageFile(folder.File("short.bin"), image));
    EXPECT_FALSE(tacho::ReadOldCardImageFile(folder.File("full.bin"), image));
    EXPECT_FALSE(tacho::ReadCardImageFile(folder.File("absent.bin"), image));
    CardImageData untouched;
    untouched.fill(0x5A);
    ExpectSameImage(image, untouched);
    EXPECT_TRUE(tacho::ReadCardImageFile(folder.File("full.bin"), image));
    ExpectSameImage(image, card);
}
