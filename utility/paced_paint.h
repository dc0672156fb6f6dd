// Progress windows are drawn at most about ten times a second however often their figures
// change: the window's paints, asked for by update() or repaint() alike, are held back until the
// interval since the last one has passed and then made together. The figures themselves are set
// at once, and input is not held back, so a Cancel button answers at once.
#pragma once

#include <chrono>

class QWidget;

namespace utility {

inline constexpr std::chrono::milliseconds kProgressPaintInterval{100};

// Paces the paints of `window` (a top-level widget) for as long as it lives.
void PacePaints(QWidget& window, std::chrono::milliseconds interval = kProgressPaintInterval);

}  // namespace utility
