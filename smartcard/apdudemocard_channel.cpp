#include "smartcard/apdudemocard_channel.h"

#include "smartcard/apdudemocard.h"

#include <stdexcept>

namespace smartcard {

Bytes TAPDUDemoCardChannel::Transmit(std::span<const std::uint8_t> command)
{
    card_.SetCommand(std::vector<unsigned char>(command.begin(), command.end()));
    if (card_.Execute() != 0)
        throw std::runtime_error(card_.StatusText());
    const TAnswerAPDUBuffer& answer = card_.Answer();
    return Bytes(answer.Data(), answer.Data() + answer.Length());
}

}  // namespace smartcard
