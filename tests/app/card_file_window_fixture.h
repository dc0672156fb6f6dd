// Main window tests that open real card files: the files' bytes, writing and reading them,
// and a card image that starts and ends empty.
#pragma once

#include "tacho/card_image.h"
#include "tests/app/main_window_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace apptest {

using Bytes = std::vector<std::uint8_t>;

// A card download file of the image, every signature valid.
Bytes DddBytes(const tacho::CardImageData& image);
// A ZOLT record file of the image.
Bytes ZoltBytes(const tacho::CardImageData& image);
// A raw 24,975-byte card image file.
Bytes ImageBytes(const tacho::CardImageData& image);

// Writes the file, creating its folder; a failure fails the test.
void WriteFile(const std::filesystem::path& name, const Bytes& bytes);
Bytes ReadFile(const std::filesystem::path& name);

class CardFileWindowTest : public MainWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace apptest
