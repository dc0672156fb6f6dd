// Error reporting of the card layer: the texts of PC/SC and component codes, the check
// routine that turns a failure code into ESCardError, and the service probe.
#pragma once

#include <winscard.h>

#include <stdexcept>
#include <string>

namespace smartcard {

// The layer's own codes (the rest are PC/SC's).
inline constexpr LONG kNoReaderSpecified = 0x80101001;
inline constexpr LONG kSendBufferTooSmall = 0x80101002;
inline constexpr LONG kReaderNotInGroup = 0x80101003;
inline constexpr LONG kNotConnectedToCard = 0x80101004;
inline constexpr LONG kAttributeTooLong = 0x80101005;
inline constexpr LONG kReaderGroupUnknown = 0x80101006;
// Code of an ESCardError that carries a message without a code.
inline constexpr LONG kMessageOnly = -1;

// English text of a code; a code without a text of its own gives "Error 0x" + eight
// upper-case hex digits + ":" + pcsc-lite's text for it, without trailing line breaks.
std::string SCardErrorText(LONG code);

// The card layer's exception: a code and its English text.
class ESCardError : public std::runtime_error {
public:
    // Message: SCardErrorText(code).
    explicit ESCardError(LONG code);
    // Message: `text` alone for kMessageOnly, otherwise `text` + " " + SCardErrorText(code).
    ESCardError(LONG code, const std::string& text);
    LONG Code() const { return code_; }

private:
    LONG code_;
};

// Raises ESCardError for every code other than 0, repeated or not, and records it.
void CheckSCard(LONG code);
// The code CheckSCard raised last; 0 before the first.
LONG LastRaisedSCardCode();

// 0: the resource manager answers (the probe context is released again); 1: no
// SCardEstablishContext entry point (library missing); 2: establishing a context failed.
int SCardProbe();

}  // namespace smartcard
