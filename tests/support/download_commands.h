// The command APDUs a full download of a driver card sends, in order.
#pragma once

#include "tests/support/card_files.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

// One file of the download: how many bytes are read and whether it is hashed and signed.
struct DownloadFile {
    std::uint16_t fid;
    std::size_t length;
    bool signedFile;
};

// Files in reading order; the counted files request the card's sizes, never more than the largest
// card holds. The first two are read before the application is selected.
[[nodiscard]] std::vector<DownloadFile> DownloadFiles(const CardCounts& counts);

// SELECT, PERFORM HASH, READ BINARY in chunks of at most 254 bytes and PSO COMPUTE DIGITAL
// SIGNATURE for every file, the application SELECT after the two card-level files, and the
// last command sent once more at the end (147 commands for the largest card).
[[nodiscard]] std::vector<Bytes> DownloadCommands(const CardCounts& counts);

// Single commands of that sequence.
[[nodiscard]] Bytes SelectFileCommand(std::uint16_t fid);
[[nodiscard]] Bytes SelectApplicationCommand();
[[nodiscard]] Bytes PerformHashCommand();
[[nodiscard]] Bytes ReadBinaryCommand(std::size_t offset, std::size_t length);
[[nodiscard]] Bytes ComputeSignatureCommand();

}  // namespace testsupport
