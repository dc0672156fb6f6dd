// What the card download needs from the window that runs it: the progress window, the two
// result labels and the card download file writer. Message boxes go through utility/dialogi.h.
#pragma once

#include <string>

namespace smartcard {

class TDownloadHooks {
public:
    virtual ~TDownloadHooks() = default;
    virtual void ProgressOpen(int minimum, int maximum, const std::string& caption) = 0;
    virtual void ProgressStep(int position) = 0;
    // Called also when no progress window is open.
    virtual void ProgressClose() = 0;
    // The read result line (CP1250 text).
    virtual void SetReadResult(const std::string& text) = 0;
    // The save result line (CP1250 text).
    virtual void SetSaveResult(const std::string& text) = 0;
    // Saves the card image as a card download file and tells the user the outcome itself.
    virtual void SaveCardAsDdd() = 0;
};

}  // namespace smartcard
