// The report engine's unit-wide values, set once at start-up: the design view's colour scheme
// for the display's colour depth, the system locale and its measurement system.
#pragma once

#include "report/engine/model/design_colors.h"

#include <QString>

namespace report::engine {

// The number of colours of a display of `bitsPerPixel`, as the device capability reads it:
// 2^bits for palettes of up to 8 bits, -1 above.
[[nodiscard]] int DisplayColorCount(int bitsPerPixel);
// The palette scheme for 0 to 256 colours, the high-colour scheme otherwise.
[[nodiscard]] TRpDesignScheme DesignSchemeFor(int colorCount);

// Counted: the first call sets the values (from the primary screen, when there is one, and
// the system locale); later calls only count. Each call is matched by FinalizeReportUnit.
void InitializeReportUnit();
void FinalizeReportUnit();
[[nodiscard]] bool ReportUnitInitialized();

// The scheme chosen at start-up; the high-colour one before it.
[[nodiscard]] TRpDesignScheme CurrentDesignScheme();
// The system locale's name at start-up ("pl_PL"); empty before it.
[[nodiscard]] QString SystemLocaleName();

}  // namespace report::engine
