// The card download's channel over the card component: each command goes out through the
// component's command buffer, its whole answer comes back from the answer buffer.
#pragma once

#include "smartcard/apduchannel.h"

namespace smartcard {

class TAPDUDemoCard;

class TAPDUDemoCardChannel final : public TApduChannel {
public:
    explicit TAPDUDemoCardChannel(TAPDUDemoCard& card) : card_(card) {}

    // Throws what the component throws (ESCardError, "Not connected to a card!", ...) and
    // std::runtime_error when Execute reports an error instead of raising.
    Bytes Transmit(std::span<const std::uint8_t> command) override;

private:
    TAPDUDemoCard& card_;
};

}  // namespace smartcard
