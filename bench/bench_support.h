// What the benchmarks share: message boxes printed instead of shown, durations in milliseconds
// and microseconds, and a card image written as a card download file.
#pragma once

#include "tacho/card_image.h"
#include "tacho/ddd_file.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// A benchmark runs unattended: a message box goes to standard error (as UTF-8) and is answered yes.
class PrintedBoxes final : public utility::MessageBoxes {
public:
    bool Show(utility::MessageKind, const std::string& text) override
    {
        std::fprintf(stderr, "box: %s\n", utility::Cp1250ToUtf8(text).c_str());
        return true;
    }
};

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
inline double Us(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// One step of a bench's table: its name and what each timed round took.
struct Column {
    const char* name;
    std::vector<double> ms;
};

// The step's row: median, least and most, the name padded to `nameWidth`.
inline void PrintColumn(const Column& c, int nameWidth)
{
    std::vector<double> sorted = c.ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("| %-*s | %9.2f | %9.2f | %9.2f |\n", nameWidth, c.name, sorted[sorted.size() / 2], sorted.front(),
                sorted.back());
}

// `card` as a card download file at `file`, every signature marked valid; false (and why on
// standard error) when it cannot be built.
inline bool WriteCardFile(const tacho::CardImageData& card, const std::filesystem::path& file)
{
    const auto signatures = std::make_unique<tacho::SignatureAreaData>();
    for (std::size_t slot = 0; slot < tacho::kSignatureCount; ++slot)
        (*signatures)[tacho::SignatureValidityOffset(slot)] = 1;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!tacho::BuildDddFileBytes(card, *signatures, bytes, error)) {
        std::fprintf(stderr, "cannot build the card download file: %s\n", error.c_str());
        return false;
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return true;
}

}  // namespace bench
