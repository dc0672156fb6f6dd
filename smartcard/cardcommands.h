// Command APDUs of the driver card download and the status of their answers.
#pragma once

#include "smartcard/apduchannel.h"

#include <cstdint>
#include <span>
#include <string>

namespace smartcard {

// READ BINARY asks for at most this many bytes, so that an answer with its status word
// stays within the card component's 256-byte answer buffer.
inline constexpr std::uint32_t kMaxReadChunk = 254;

// 00 A4 02 0C 02 <fid high> <fid low>
Bytes SelectFileCommand(std::uint16_t fid);
// 00 A4 04 0C 06 FF 54 41 43 48 4F
Bytes SelectTachographCommand();
// 80 2A 90 00
Bytes PerformHashCommand();
// 00 B0 <offset high> <offset low> <length>; length 1..254.
Bytes ReadBinaryCommand(std::uint16_t offset, std::uint8_t length);
// 00 2A 9E 9A 80
Bytes ComputeSignatureCommand();

// The status word of an answer as four upper-case hex digits ("9000"); empty when the
// answer is shorter than two bytes.
std::string StatusWordText(std::span<const std::uint8_t> answer);
// True when the answer ends in 90 00.
bool IsSuccess(std::span<const std::uint8_t> answer);

}  // namespace smartcard
