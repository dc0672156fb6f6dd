// What an export filter needs of the device a report run draws for, handed to it as a value when
// the export starts: how report lengths become device pixels, and the resolution the pictures
// kept at the printer's scale are meant for. Without a device of its own a filter draws for the
// recorded pages' device (96 dpi).
#pragma once

#include "report/output/canvas/measure.h"
#include "report/output/canvas/rounding.h"

#include <functional>

namespace report::output {

struct ExportDevice {
    // Device pixels per 0.1 mm.
    long double XFactor = kRecordFactor;
    long double YFactor = kRecordFactor;
    // The device's drawing origin from the paper's corner, in 0.1 mm.
    int OffsetX = 0;
    int OffsetY = 0;
    // Dots per inch of the printer a picture kept at the printer's scale is meant for; asked only
    // when such a picture is drawn, since asking may reach the system's printer service. Empty:
    // the measuring resolution.
    std::function<int()> PictureResolution;

    // Lengths in 0.1 mm to device pixels, rounded half to even, as the device converts them.
    [[nodiscard]] int DeviceX(long double x) const { return RoundHalfEvenInt((x - OffsetX) * XFactor); }
    [[nodiscard]] int DeviceY(long double y) const { return RoundHalfEvenInt((y - OffsetY) * YFactor); }
};

}  // namespace report::output
