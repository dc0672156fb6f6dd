// The channel the card download talks over: one command APDU out, its whole answer back.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace smartcard {

using Bytes = std::vector<std::uint8_t>;

class TApduChannel {
public:
    virtual ~TApduChannel() = default;
    // Sends one command and returns the whole answer (data, SW1, SW2). Throws the card
    // layer's error (or another std::exception) when the exchange itself fails, for
    // example when the card was removed.
    virtual Bytes Transmit(std::span<const std::uint8_t> command) = 0;
};

}  // namespace smartcard
