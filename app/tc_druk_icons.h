// The activity icons of the printout's rows.
#pragma once

#include <QImage>

#include <array>

namespace app {

// The seven row icons, 29 x 32 pixels each: availability, rest, driving, work, an activity of
// no interest, a vehicle taken out of use and a vehicle taken into use. The first five are
// opaque on white, the last two carry an alpha channel. Only the top-left 18 x 16 pixels are
// ever seen on a page (the row's text covers the rest), so every icon is drawn within them.
inline constexpr int kIconWidth = 29;
inline constexpr int kIconHeight = 32;
inline constexpr int kIconInkWidth = 18;
inline constexpr int kIconInkHeight = 16;

[[nodiscard]] std::array<QImage, 7> DrawActivityIcons();

}  // namespace app
