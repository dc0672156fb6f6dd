// Saving the current card as a card download file in the DDD folder, with the outcome told
// to the user in message boxes.
#pragma once

#include "tacho/card_image.h"
#include "tacho/ddd_writer.h"

#include <filesystem>
#include <string>

namespace tacho {

// What the save needs of the main window.
class DddSaveWindow {
public:
    virtual ~DddSaveWindow() = default;
    virtual bool IsEnabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Folder of card download files.
    virtual std::filesystem::path DddFolder() const = 0;
};

// Creates the DDD folder (telling the user which folders were made), writes the card with
// the window disabled and tells the user the outcome. The window's enabled state is the one
// it had before, also when the writer throws.
void SaveCardAsDdd(DddSaveWindow& window, const CardImageData& image, const SignatureAreaData& signatures,
                   const Clock& clock);

}  // namespace tacho
