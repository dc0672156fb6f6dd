#include "report/engine/model/band_size.h"

#include "report/output/canvas/rounding.h"

#include <gtest/gtest.h>

#include <vector>

namespace report::engine {
namespace {

TEST(BandSize, NewSizeAndValueList)
{
    TRpBandSize size(false);
    EXPECT_EQ(size.Height, 20);
    EXPECT_EQ(size.Width, 40);
    EXPECT_EQ(size.WriteValues(), (std::vector<long double>{20, 40}));
    EXPECT_DOUBLE_EQ(static_cast<double>(size.GetValue(0)), 2.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(size.GetValue(1)), 4.0);
}

TEST(BandSize, ValueListTakesAtMostTwoNumbers)
{
    struct Row {
        const char* name;
        std::vector<long double> list;
        long double height;
        long double width;
    };
    const Row rows[] = {
        {"both", {423, 9710}, 423, 9710},
        {"longer list", {159, 19420, 77, 88}, 159, 19420},
        {"height only", {556}, 556, 40},
        {"empty", {}, 20, 40},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QRect band(3, 9, 1, 1);
        TRpBandSize size(false);
        size.Band = &band;
        size.ReadValues(r.list);
        EXPECT_EQ(size.Height, r.height);
        EXPECT_EQ(size.Width, r.width);
        EXPECT_EQ(size.WriteValues(), (std::vector<long double>{r.height, r.width}));
        // Read values reach the band.
        EXPECT_EQ(band, QRect(3, 9, output::RoundHalfEvenInt(r.width * 96 / 254),
                              output::RoundHalfEvenInt(r.height * 96 / 254)));
    }
}

TEST(BandSize, SetValueResizesTheBandInPixels)
{
    QRect band(12, 34, 0, 0);
    TRpBandSize size(false);
    size.Band = &band;
    size.SetValue(0, 42.3L);  // 423 tenths: 159.87 px
    EXPECT_EQ(band, QRect(12, 34, 15, 160));
    size.SetValue(1, 194.2L);  // 1942 tenths: 733.98 px
    EXPECT_EQ(band, QRect(12, 34, 734, 160));
    size.Zoom = 200;
    size.Update();
    EXPECT_EQ(band, QRect(12, 34, 1468, 320));
    // The size is the band's: a resize under way is not answered.
    size.Updating = true;
    size.SetValue(0, 10);
    EXPECT_EQ(band, QRect(12, 34, 1468, 320));
    EXPECT_EQ(size.Height, 100);
}

TEST(BandSize, OtherIndicesAreNotValues)
{
    TRpBandSize size(false);
    size.SetValue(2, 99);
    size.SetValue(-1, 99);
    EXPECT_EQ(size.Height, 20);
    EXPECT_EQ(size.Width, 40);
    EXPECT_EQ(size.GetValue(2), 0);
}

TEST(BandSize, ReadBackInAnotherUnit)
{
    const TRpUnit units[] = {TRpUnit::MM, TRpUnit::Inches, TRpUnit::Pixels, TRpUnit::Characters, TRpUnit::Native};
    for (TRpUnit setIn : units) {
        for (TRpUnit readIn : units) {
            TRpBandSize size(false);
            size.Units = setIn;
            size.SetValue(0, 3.25L);
            size.SetValue(1, 17.5L);
            size.Units = readIn;
            const long double height = size.GetValue(0);
            const long double width = size.GetValue(1);
            size.SetValue(0, height);
            size.SetValue(1, width);
            size.Units = setIn;
            EXPECT_NEAR(static_cast<double>(size.GetValue(0)), 3.25, 1e-12);
            EXPECT_NEAR(static_cast<double>(size.GetValue(1)), 17.5, 1e-12);
        }
    }
}

}  // namespace
}  // namespace report::engine
