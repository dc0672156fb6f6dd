#include "report/output/printer/paper_sizes.h"

#include <gtest/gtest.h>

namespace report::output {
namespace {

TEST(PaperSizes, CodesAndDimensions)
{
    struct Row {
        TRpPaperSize size;
        int code;
        std::int32_t width;
        std::int32_t length;
    };
    const Row rows[] = {
        {TRpPaperSize::Default, 0, 0, 0},          {TRpPaperSize::Letter, 1, 2159, 2794},
        {TRpPaperSize::A4, 9, 2100, 2970},         {TRpPaperSize::A5, 11, 1480, 2100},
        {TRpPaperSize::Env9, 19, 984, 2254},       {TRpPaperSize::rp9X11, 44, 1410, 2840},
        {TRpPaperSize::Reserved2, 49, 1000, 1000}, {TRpPaperSize::A3ExtraTrans, 68, 4450, 3220},
        {TRpPaperSize::Custom, 256, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.size));
        EXPECT_EQ(PaperCode(r.size), r.code);
        EXPECT_EQ(PaperSizeFromCode(r.code), r.size);
        EXPECT_EQ(PaperWidthTenths(r.size), r.width);
        EXPECT_EQ(PaperLengthTenths(r.size), r.length);
    }
    EXPECT_EQ(PaperSizeFromCode(69), std::nullopt);
    EXPECT_EQ(PaperSizeFromCode(-1), std::nullopt);
    EXPECT_EQ(PaperSizeFromOrdinal(69), TRpPaperSize::Custom);
    EXPECT_EQ(PaperSizeFromOrdinal(70), std::nullopt);
}

TEST(PaperSizes, BinsTakeTheFirstMatch)
{
    EXPECT_EQ(BinCode(TRpBin::First), 1);
    EXPECT_EQ(BinCode(TRpBin::Upper), 1);
    EXPECT_EQ(BinCode(TRpBin::Auto), 7);
    EXPECT_EQ(BinCode(TRpBin::Last), 14);
    EXPECT_EQ(BinFromCode(1), TRpBin::First);
    EXPECT_EQ(BinFromCode(14), TRpBin::Cassette);
    EXPECT_EQ(BinFromCode(15), TRpBin::First);
    EXPECT_EQ(BinFromCode(11), TRpBin::LargeCapacity);
}

}  // namespace
}  // namespace report::output
