#include "smartcard/cardcommands.h"

#include "utility/stringi.h"

namespace smartcard {

Bytes SelectFileCommand(std::uint16_t fid)
{
    return {0x00, 0xA4, 0x02, 0x0C, 0x02, static_cast<std::uint8_t>(fid >> 8), static_cast<std::uint8_t>(fid & 0xFF)};
}

Bytes SelectTachographCommand() { return {0x00, 0xA4, 0x04, 0x0C, 0x06, 0xFF, 0x54, 0x41, 0x43, 0x48, 0x4F}; }

Bytes PerformHashCommand() { return {0x80, 0x2A, 0x90, 0x00}; }

Bytes ReadBinaryCommand(std::uint16_t offset, std::uint8_t length)
{
    return {0x00, 0xB0, static_cast<std::uint8_t>(offset >> 8), static_cast<std::uint8_t>(offset & 0xFF), length};
}

Bytes ComputeSignatureCommand() { return {0x00, 0x2A, 0x9E, 0x9A, 0x80}; }

std::string StatusWordText(std::span<const std::uint8_t> answer)
{
    if (answer.size() < 2)
        return {};
    const unsigned sw = answer[answer.size() - 2] * 256u + answer[answer.size() - 1];
    return utility::ZeroPadNumberText(utility::IntToHexText(sw), 4);
}

bool IsSuccess(std::span<const std::uint8_t> answer)
{
    return answer.size() >= 2 && answer[answer.size() - 2] == 0x90 && answer[answer.size() - 1] == 0x00;
}

}  // namespace smartcard
