// Where a picture of a printed page has ink.
#pragma once

#include <QImage>
#include <QRect>

namespace testsupport {

// The smallest rectangle holding every pixel darker than mid-grey; empty when there is none.
[[nodiscard]] QRect InkBounds(const QImage& image);

}  // namespace testsupport
