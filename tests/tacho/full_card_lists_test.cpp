// The printout's lists of the largest card, byte for byte as the program has always made
// them: the digests below were taken from the straightforward builders, before any work on
// their speed, so a faster builder must give exactly the same lines.
#include "tacho/activity_list.h"
#include "tacho/card_file_loader.h"
#include "tacho/ddd_file.h"
#include "tacho/list_lines.h"
#include "tacho/vehicles_places.h"
#include "tests/support/full_card.h"
#include "tests/support/message_recorder.h"
#include "tests/tacho/card_file_fixture.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kRule =
    ". . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . .";

std::string Digest(const std::vector<std::string>& lines)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const std::string& line : lines) {
        hash.addData(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
        hash.addData(QByteArrayView("\n", 1));
    }
    return hash.result().toHex().toStdString();
}

struct Lists {
    std::vector<std::string> days;
    std::vector<std::string> dayValues;
    std::vector<std::string> vehicles;
    std::vector<std::string> keyed;
    std::vector<std::string> places;
    double first = 0;
    double last = 0;
};

Lists BuildLists(const tacho::CardImageData& image)
{
    Lists l;
    tacho::BuildDailyActivityList(image, l.first, l.last, l.days, l.dayValues);
    tacho::BuildVehiclesList(image, l.vehicles, l.keyed, l.dayValues);
    tacho::BuildPlacesList(image, l.places);
    return l;
}

}  // namespace

TEST(FullCardLists, AreTheLinesTheyHaveAlwaysBeen)
{
    testsupport::MessageRecorder boxes;
    // Through a card download file, as a card opened from disk.
    cardfiletest::ScratchFolder folder;
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(tacho::BuildDddFileBytes(testsupport::FullCardImage(), cardfiletest::ValidSignatures(), bytes, error))
        << error;
    const std::string file = folder.File("pelna.DDD");
    cardfiletest::WriteFileBytes(file, bytes);
    tacho::CardImageData image{};
    bool isImageFile = true;
    ASSERT_EQ(tacho::LoadCardFile(file, image, isImageFile), tacho::LoadCardResult::Loaded);
    const Lists l = BuildLists(image);

    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(tacho::DateTimeText(l.first), "2020-01-01");
    EXPECT_EQ(tacho::DateTimeText(l.last), "2020-07-09");
    EXPECT_EQ(l.dayValues.size(), 191u);
    EXPECT_EQ(l.days.size(), 8'015u);
    EXPECT_EQ(l.vehicles.size(), 200u);
    EXPECT_EQ(l.keyed.size(), 400u);
    EXPECT_EQ(l.places.size(), 112u);
    EXPECT_EQ(Digest(l.days), "d78e8ae920f8ad1872dd183cbae86aad4c3b335267351a89e23345172f26fd65");
    EXPECT_EQ(Digest(l.dayValues), "9977bc2bbb94ae689118a7590c157cb5a3a3fe2d0fb5b134c0dbb671c4aebb61");
    EXPECT_EQ(Digest(l.vehicles), "1f8fa530fcfa85d388c80adba31ba45fbdb6243aec272f636535e6bad553b6ee");
    EXPECT_EQ(Digest(l.keyed), "d35d3804bd3d3777af0912a048703502640b533312b81526aefb54e01c1e90ef");
    EXPECT_EQ(Digest(l.places), "c333598b33477e2433666e7b692c467bf5dd9d213019202dd6789149aaeadcf7");
    EXPECT_EQ(l.days.front(), "2020-01-01 0100. 00:00:00 A5#" + std::string(56, '_'));
    EXPECT_EQ(l.days.back(), "2020-07-09 0290. 23:59:59:99 BW#" + kRule);
}
