#include "smartcard/elementaryfileread.h"

#include "smartcard/cardcommands.h"
#include "tacho/card_image.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <algorithm>
#include <utility>

namespace smartcard {

TElementaryFileReader::TElementaryFileReader(TApduChannel& channel) : channel_(channel) {}

Bytes TElementaryFileReader::Exchange(Bytes command)
{
    lastCommand_ = std::move(command);
    return channel_.Transmit(lastCommand_);
}

Bytes TElementaryFileReader::RepeatLastCommand()
{
    if (lastCommand_.empty())
        return {};
    return channel_.Transmit(lastCommand_);
}

void TElementaryFileReader::ReadCardElementaryFile(std::uint16_t fid, bool& signFlag, std::uint16_t startOffset,
                                                   std::uint32_t length, std::span<std::uint8_t> body,
                                                   std::span<std::uint8_t> signatureSlot, std::string& status)
{
    const bool sign = signFlag;
    signFlag = false;
    status.clear();
    std::fill(body.begin(), body.end(), std::uint8_t{0});
    std::fill(signatureSlot.begin(), signatureSlot.end(), std::uint8_t{0});
    // A body that cannot hold the file is never filled in part: a cut body could not match
    // the card's signature.
    if (length > body.size() || (sign && signatureSlot.size() < tacho::kSignatureSlotSize))
        return;

    // After a failed SELECT the card would still point at the previous file.
    if (!IsSuccess(Exchange(SelectFileCommand(fid))))
        return;
    if (sign && !IsSuccess(Exchange(PerformHashCommand())))
        return;

    std::uint32_t remaining = length;
    Bytes data;
    std::string readStatus;
    if (!ReadBinaryChunks(startOffset, remaining, data, readStatus))
        return;
    std::copy(data.begin(), data.end(), body.begin());

    if (sign) {
        signFlag = ReadSignature(signatureSlot);
        if (!signFlag)
            return;
    }
    status = readStatus;
}

bool TElementaryFileReader::ReadBinaryChunks(std::uint16_t startOffset, std::uint32_t& remaining, Bytes& data,
                                             std::string& status)
{
    data.clear();
    status.clear();
    std::uint32_t chunkOffset = 0;
    while (remaining > 0) {
        const std::uint32_t chunk = std::min(remaining, kMaxReadChunk);
        const std::uint32_t offset = startOffset + chunkOffset;
        // READ BINARY with P1 bit 8 set would address a file by its short identifier.
        if (offset > 0x7FFF)
            return false;
        const Bytes answer =
            Exchange(ReadBinaryCommand(static_cast<std::uint16_t>(offset), static_cast<std::uint8_t>(chunk)));
        status = StatusWordText(answer);
        if (!IsSuccess(answer))
            return false;
        // A short or over-long answer would shift every later byte of the body.
        if (answer.size() != chunk + 2) {
            status.clear();
            return false;
        }
        data.insert(data.end(), answer.begin(), answer.end() - 2);
        remaining -= chunk;
        chunkOffset += kMaxReadChunk;
    }
    return true;
}

bool TElementaryFileReader::ReadSignature(std::span<std::uint8_t> signatureSlot)
{
    const Bytes answer = Exchange(ComputeSignatureCommand());
    if (answer.size() != tacho::kSignatureLength + 2) {
        utility::ErrorBox(utility::Pl("Błąd przetwarzania podpisu\r\n") + "Operation aborted");
        return false;
    }
    std::copy(answer.begin(), answer.begin() + tacho::kSignatureLength, signatureSlot.begin());
    const bool valid = IsSuccess(answer);
    signatureSlot[tacho::kSignatureLength] = valid ? 1 : 0;
    return valid;
}

}  // namespace smartcard
