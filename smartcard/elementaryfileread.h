// Reading one elementary file of the driver card: SELECT, optionally PERFORM HASH OF FILE,
// READ BINARY in chunks, optionally PSO COMPUTE DIGITAL SIGNATURE.
#pragma once

#include "smartcard/apduchannel.h"

#include <cstdint>
#include <span>
#include <string>

namespace smartcard {

class TElementaryFileReader {
public:
    explicit TElementaryFileReader(TApduChannel& channel);

    // fid: the file identifier. signFlag in: hash and sign the file; out: true only when the
    // card gave a signature of exactly 128 bytes with status 9000. body: the file's slot,
    // zeroed first, receives `length` bytes (nothing is sent when `length` exceeds the slot).
    // signatureSlot: 129 bytes (128 signature bytes, validity byte), zeroed first.
    // status out: "9000" when every answer of the file was complete and successful, else the
    // failing status word or empty. Exchange failures propagate as exceptions.
    void ReadCardElementaryFile(std::uint16_t fid, bool& signFlag, std::uint16_t startOffset, std::uint32_t length,
                                std::span<std::uint8_t> body, std::span<std::uint8_t> signatureSlot,
                                std::string& status);

    // READ BINARY loop from startOffset. remaining in: bytes to read, out: bytes not read.
    // data out: the bytes read. status out: status word of the last answer. Returns true
    // when every chunk came back with 9000 and exactly the bytes asked for.
    bool ReadBinaryChunks(std::uint16_t startOffset, std::uint32_t& remaining, Bytes& data, std::string& status);

    // Sends a command and keeps it as the last one.
    Bytes Exchange(Bytes command);
    // Sends the last command once more (empty answer when nothing was sent yet).
    Bytes RepeatLastCommand();

private:
    bool ReadSignature(std::span<std::uint8_t> signatureSlot);

    TApduChannel& channel_;
    Bytes lastCommand_;
};

}  // namespace smartcard
