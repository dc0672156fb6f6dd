// Deflating the same few inputs again and again: a report draws the same icons on page after
// page, and each page stores its pictures deflated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace report::output {

// Keeps the streams of the last inputs deflated (up to `maxInputs`, each of at most
// `maxInputBytes`), so an input seen again is not deflated again. The stream is the one
// Deflate gives. Not shared between threads.
class DeflateMemo {
public:
    DeflateMemo(std::size_t maxInputs, std::size_t maxInputBytes);

    // Deflate(plain), kept until the next call.
    [[nodiscard]] const std::vector<std::uint8_t>& Deflated(std::span<const std::uint8_t> plain);

private:
    struct Entry {
        std::vector<std::uint8_t> plain;
        std::vector<std::uint8_t> coded;
    };
    std::size_t maxInputs_;
    std::size_t maxInputBytes_;
    std::vector<Entry> entries_;
    std::size_t next_ = 0;  // the entry replaced next once all are taken
    std::vector<std::uint8_t> uncached_;
};

}  // namespace report::output
