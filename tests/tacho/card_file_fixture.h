// Fixtures of the card file tests: patterned card images, a scratch folder, file bytes.
#pragma once

#include "tacho/card_image.h"
#include "tests/support/card_builder.h"

#include <QTemporaryDir>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace cardfiletest {

using Bytes = std::vector<std::uint8_t>;

// A card whose every body byte (reserved bytes included) is set from a pattern, so bytes
// that land in the wrong place show; then the counts and the holder fields are written.
testsupport::CardBuilder PatternedCard(std::uint8_t events = 12, std::uint8_t faults = 24,
                                       std::uint16_t activityLength = 13'776, std::uint16_t vehicles = 200,
                                       std::uint8_t places = 112);
// Every signature slot patterned and valid.
tacho::SignatureAreaData ValidSignatures();

// A scratch folder.
class ScratchFolder {
public:
    ScratchFolder();
    std::filesystem::path Path() const;  // no trailing separator
    std::filesystem::path File(const std::filesystem::path& name) const { return Path() / name; }
    // Names (UTF-8) of the entries in the folder (or its sub-folder `sub`), sorted, hidden ones
    // included.
    std::vector<std::string> Entries(const std::filesystem::path& sub = {}) const;

private:
    QTemporaryDir dir_;
};

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadFileBytes(const std::filesystem::path& path);
Bytes ImageBytes(const tacho::CardImageData& image);

}  // namespace cardfiletest
