// ZOLT record conversions.
#include "tacho/zolt.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace tacho {

void CardImageToD7(const CardImageData& image, CardImageD7& record)
{
    // Reseeded from the clock for every record, so two records of one card differ in fillers.
    std::mt19937 engine(static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<int> byte(0, 255);
    CardImageToD7(image, record, static_cast<std::uint8_t>(byte(engine)));
}

void CardImageToD7(const CardImageData& image, CardImageD7& record, std::uint8_t filler)
{
    record.fill(filler);
    for (const D7Piece& p : kD7Pieces)
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(p.image), p.length,
                    record.begin() + static_cast<std::ptrdiff_t>(p.record));
}

void CardImageFromD7(const CardImageD7& record, CardImageData& image)
{
    image.fill(0);
    for (const D7Piece& p : kD7Pieces)
        std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(p.record), p.length,
                    image.begin() + static_cast<std::ptrdiff_t>(p.image));
}

}  // namespace tacho
