#include "report/output/printer/paper_sizes.h"

#include <cmath>

namespace report::output {
namespace {

constexpr std::array<PaperDimensions, kPaperSizeCount - 1> kDimensions{{
    {0, 0},           {215.9L, 279.4L}, {215.9L, 279.4L},  {279.4L, 431.8L}, {431.8L, 279.4L}, {215.9L, 355.6L},
    {139.7L, 215.9L}, {190.5L, 254},    {297, 420},        {210, 297},       {210, 297},       {148, 210},
    {250, 354},       {182, 257},       {215.9L, 330.2L},  {215, 275},       {254, 355.6L},    {279.4L, 431.8L},
    {215.9L, 279.4L}, {98.43L, 225.4L}, {104.8L, 241.3L},  {114.3L, 263.5L}, {120.7L, 279.4L}, {127, 292.1L},
    {431.8L, 558.8L}, {558.8L, 863.6L}, {863.6L, 1117.6L}, {110, 220},       {162, 229},       {324, 458},
    {229, 324},       {114, 162},       {114, 229},        {250, 353},       {176, 250},       {176, 125},
    {110, 230},       {98.43L, 190.5L}, {92.01L, 165.1L},  {377.8L, 279.4L}, {215.9L, 304.8L}, {215.9L, 330.2L},
    {250, 353},       {100, 148},       {141, 284},        {254, 279.4L},    {381, 279.4L},    {220, 220},
    {100, 100},       {100, 100},       {241.3L, 304.8L},  {241.3L, 381},    {296.9L, 457.2L}, {236, 322},
    {279.4L, 215.9L}, {297, 210},       {304.8L, 241.3L},  {227, 356},       {305, 487},       {215.9L, 322.3L},
    {210, 330},       {210, 148},       {257, 182},        {322, 445},       {174, 235},       {201, 276},
    {420, 594},       {420, 297},       {445, 322},
}};

constexpr std::array<int, kBinCount> kBinCodes{1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

std::int32_t TenthsOf(long double mm) { return static_cast<std::int32_t>(std::nearbyint(mm * 10.0L)); }

// The table in tenths of a millimetre, rounded once: the layout asks for the paper's length
// for every row it places.
struct PaperTenths {
    std::array<std::int32_t, kPaperSizeCount - 1> width{};
    std::array<std::int32_t, kPaperSizeCount - 1> length{};
};

const PaperTenths& TenthsTable()
{
    static const PaperTenths table = [] {
        PaperTenths t;
        for (std::size_t i = 0; i < kDimensions.size(); ++i) {
            t.width[i] = TenthsOf(kDimensions[i].widthMm);
            t.length[i] = TenthsOf(kDimensions[i].heightMm);
        }
        return t;
    }();
    return table;
}

}  // namespace

int PaperCode(TRpPaperSize size) { return size == TRpPaperSize::Custom ? kCustomPaperCode : static_cast<int>(size); }

std::optional<TRpPaperSize> PaperSizeFromCode(int code)
{
    if (code == kCustomPaperCode)
        return TRpPaperSize::Custom;
    if (code >= 0 && code < kPaperSizeCount - 1)
        return static_cast<TRpPaperSize>(code);
    return std::nullopt;
}

PaperDimensions PaperDimensionsOf(TRpPaperSize size)
{
    if (size == TRpPaperSize::Custom)
        return {0, 0};
    return kDimensions[static_cast<std::size_t>(size)];
}

std::int32_t PaperWidthTenths(TRpPaperSize size)
{
    return size == TRpPaperSize::Custom ? 0 : TenthsTable().width[static_cast<std::size_t>(size)];
}

std::int32_t PaperLengthTenths(TRpPaperSize size)
{
    return size == TRpPaperSize::Custom ? 0 : TenthsTable().length[static_cast<std::size_t>(size)];
}

std::optional<TRpPaperSize> PaperSizeFromOrdinal(int ordinal)
{
    if (ordinal < 0 || ordinal >= kPaperSizeCount)
        return std::nullopt;
    return static_cast<TRpPaperSize>(ordinal);
}

int BinCode(TRpBin bin) { return kBinCodes[static_cast<std::size_t>(bin)]; }

TRpBin BinFromCode(int code)
{
    for (int i = 0; i < kBinCount; ++i) {
        if (kBinCodes[static_cast<std::size_t>(i)] == code)
            return static_cast<TRpBin>(i);
    }
    return TRpBin::First;
}

}  // namespace report::output
