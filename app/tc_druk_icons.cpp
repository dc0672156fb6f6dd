#include "app/tc_druk_icons.h"

#include <QColor>

#include <string_view>

namespace app {
namespace {

using IconRows = std::array<std::string_view, kIconInkHeight>;

struct IconArt {
    IconRows rows;  // "#" ink, anything else background
    QRgb ink;
    bool transparent;
};

consteval bool RowsFitTheCorner(const IconRows& rows)
{
    for (std::string_view row : rows)
        if (row.size() != kIconInkWidth)
            return false;
    return true;
}

// Availability: the square with its diagonal.
constexpr IconRows kAvailable{
    "..................", "..##############..", "..#...........##..", "..#..........#.#..",
    "..#.........#..#..", "..#........#...#..", "..#.......#....#..", "..#......#.....#..",
    "..#.....#......#..", "..#....#.......#..", "..#...#........#..", "..#..#.........#..",
    "..#.#..........#..", "..##...........#..", "..##############..", "..................",
};
// Rest: a bed.
constexpr IconRows kRest{
    "..................", "..................", "..................", "##................",
    "##................", "##..###...........", "##.#####..........", "##..###...........",
    "################..", "################..", "##............##..", "##............##..",
    "..................", "..................", "..................", "..................",
};
// Driving: a steering wheel.
constexpr IconRows kDriving{
    ".....######.......", "...##......##.....", "..#..........#....", ".#............#...",
    ".#............#...", "#..............#..", "#######..#######..", "#.....####.....#..",
    "#.....####.....#..", "#......##......#..", ".#.....##.....#...", ".#.....##.....#...",
    "..#....##....#....", "...##..##..##.....", ".....######.......", "..................",
};
// Work: crossed hammers.
constexpr IconRows kWork{
    "####........####..", "####........####..", ".###........###...", "...#........#.....",
    "....#......#......", ".....#....#.......", "......#..#........", ".......##.........",
    ".......##.........", "......#..#........", ".....#....#.......", "....#......#......",
    "...#........#.....", "..#..........#....", ".#............#...", "#..............#..",
};
// An activity the list does not weigh: a question mark.
constexpr IconRows kUnknown{
    "..................", "......#####.......", ".....##...##......", ".....##...##......",
    "..........##......", ".........##.......", "........##........", ".......##.........",
    ".......##.........", ".......##.........", "..................", ".......##.........",
    ".......##.........", "..................", "..................", "..................",
};
// A vehicle left: an arrow going away from a bar.
constexpr IconRows kVehicleOut{
    "..................", "##................", "##................", "##..........#.....",
    "##..........##....", "##..........###...", "##..############..", "##..#############.",
    "##..############..", "##..........###...", "##..........##....", "##..........#.....",
    "##................", "##................", "##................", "..................",
};
// A vehicle taken: an arrow running into a bar.
constexpr IconRows kVehicleIn{
    "..................", "................##", "................##", "..........#.....##",
    "..........##....##", "..........###...##", ".#############..##", ".##############.##",
    ".#############..##", "..........###...##", "..........##....##", "..........#.....##",
    "................##", "................##", "................##", "..................",
};

static_assert(RowsFitTheCorner(kAvailable) && RowsFitTheCorner(kRest) && RowsFitTheCorner(kDriving) &&
              RowsFitTheCorner(kWork) && RowsFitTheCorner(kUnknown) && RowsFitTheCorner(kVehicleOut) &&
              RowsFitTheCorner(kVehicleIn));

QImage DrawIcon(const IconArt& art)
{
    QImage icon(kIconWidth, kIconHeight, art.transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    icon.fill(art.transparent ? QColor(Qt::transparent) : QColor(Qt::white));
    for (int y = 0; y < kIconInkHeight; ++y) {
        const std::string_view row = art.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < kIconInkWidth; ++x)
            if (row[static_cast<std::size_t>(x)] == '#')
                icon.setPixel(x, y, art.ink);
    }
    return icon;
}

}  // namespace

std::array<QImage, 7> DrawActivityIcons()
{
    const QRgb black = qRgb(0, 0, 0);
    return {
        DrawIcon({kAvailable, black, false}),
        DrawIcon({kRest, black, false}),
        DrawIcon({kDriving, black, false}),
        DrawIcon({kWork, black, false}),
        DrawIcon({kUnknown, qRgb(110, 110, 110), false}),
        DrawIcon({kVehicleOut, qRgba(160, 20, 20, 255), true}),
        DrawIcon({kVehicleIn, qRgba(20, 120, 40, 255), true}),
    };
}

}  // namespace app
