#include "report/output/canvas/canvas.h"

#include <algorithm>
#include <array>
#include <utility>

namespace report::output {
namespace {

// The classic desktop's system colours by index (0x00RRGGBB). A fixed table, so that a page
// looks the same whatever theme the user runs.
constexpr std::array<QRgb, 31> kSystemColors{
    0xC8C8C8,  // scroll bar
    0x000000,  // desktop
    0x99B4D1,  // active caption
    0xBFCDDB,  // inactive caption
    0xF0F0F0,  // menu
    0xFFFFFF,  // window
    0x646464,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0x000000,  // caption text
    0xB4B4B4,  // active border
    0xF4F7FC,  // inactive border
    0xABABAB,  // application workspace
    0x3399FF,  // highlight
    0xFFFFFF,  // highlight text
    0xF0F0F0,  // button face
    0xA0A0A0,  // button shadow
    0x6D6D6D,  // grey text
    0x000000,  // button text
    0x000000,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x696969,  // 3D dark shadow
    0xE3E3E3,  // 3D light
    0x000000,  // info text
    0xFFFFE1,  // info background
    0xB5B5B5,  // (unused index)
    0x0066CC,  // hot light
    0xB9D1EA,  // gradient active caption
    0xD7E4F2,  // gradient inactive caption
    0x3399FF,  // menu highlight
    0xF0F0F0,  // menu bar
};

}  // namespace

QRgb SystemColor(int index)
{
    if (index < 0 || index >= static_cast<int>(kSystemColors.size()))
        return qRgb(0, 0, 0);
    return kSystemColors[static_cast<std::size_t>(index)] | 0xFF000000u;
}

QRgb ColorFromTColor(std::uint32_t color)
{
    const std::uint32_t high = color >> 24;
    if (high == 0x80 || high == 0xFF)
        return SystemColor(static_cast<int>(color & 0xFF));
    return qRgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

int ClampCoordinate(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, -kCoordinateLimit, kCoordinateLimit));
}

Edges EdgesOf(const QRect& rect)
{
    // width() and height() are computed from Qt's inclusive corners; widen before adding.
    const long long x = rect.x();
    const long long y = rect.y();
    return {ClampCoordinate(x), ClampCoordinate(y), ClampCoordinate(x + rect.width()),
            ClampCoordinate(y + rect.height())};
}

Edges NormalizedEdges(const QRect& rect)
{
    Edges e = EdgesOf(rect);
    if (e.right < e.left)
        std::swap(e.left, e.right);
    if (e.bottom < e.top)
        std::swap(e.top, e.bottom);
    return e;
}

}  // namespace report::output
