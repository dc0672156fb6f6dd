#include "smartcard/scard_error.h"

#include "smartcard/scard_calls.h"

#include <array>
#include <cstdio>

namespace smartcard {
namespace {

struct CodeText {
    LONG code;
    const char* text;
};

constexpr std::array kCodeTexts{
    CodeText{0x00000000, "no error"},
    CodeText{0x80100001, "An internal consistency check failed"},
    CodeText{0x80100002, "The action was cancelled by an SCardCancel request"},
    CodeText{0x80100003, "The supplied handle was invalid"},
    CodeText{0x80100004, "One or more of the supplied parameters could not be properly interpreted"},
    CodeText{0x80100005, "Registry startup information is missing or invalid"},
    CodeText{0x80100006, "Not enough memory available to complete this command"},
    CodeText{0x80100007, "An internal consistency timer has expired"},
    CodeText{0x80100008, "The data buffer to receive returned data is too small for the returned data"},
    CodeText{0x80100009, "The specified reader name is not recognized"},
    CodeText{0x8010000A, "The user-specified timeout value has expired"},
    CodeText{0x8010000B, "The smart card cannot be accessed because of other connections outstanding"},
    CodeText{0x8010000C, "The operation requires a Smart Card, but no Smart Card is currently in the device"},
    CodeText{0x8010000D, "The specified smart card name is not recognized"},
    CodeText{0x8010000E, "The system could not dispose of the media in the requested manner"},
    CodeText{0x8010000F,
             "The requested protocols are incompatible with the protocol currently in use with the smart card"},
    CodeText{0x80100010, "The reader or smart card is not ready to accept commands"},
    CodeText{0x80100011, "One or more of the supplied parameters values could not be properly interpreted"},
    CodeText{0x80100012, "The action was cancelled by the system, presumably to log off or shut down"},
    CodeText{0x80100013, "An internal communications error has been detected"},
    CodeText{0x80100014, "An internal error has been detected, but the source is unknown"},
    CodeText{0x80100015, "An ATR obtained from the registry is not a valid ATR string"},
    CodeText{0x80100016, "An attempt was made to end a non-existent transaction"},
    CodeText{0x80100017, "The reader specified is not currently available for use"},
    CodeText{0x80100018, "PRIVATE -- Internal flag to force server termination"},
    CodeText{0x80100019, "The PCI Receive buffer was too small"},
    CodeText{0x8010001A, "The reader driver does not meet minimal requirements for support"},
    CodeText{0x8010001B, "The reader driver did not produce a unique reader name"},
    CodeText{0x8010001C, "The smart card does not meet minimal requirements for support"},
    CodeText{0x8010001D, "The Smart card resource manager is not running"},
    CodeText{0x8010001E, "The Smart card resource manager has shut down"},
    CodeText{0x80100065, "The reader cannot communicate with the smart card, due to ATR configuration conflicts"},
    CodeText{0x80100066, "The smart card is not responding to a reset"},
    CodeText{0x80100067, "Power has been removed from the smart card, so that further communication is not possible"},
    CodeText{0x80100068, "The smart card has been reset, so any shared state information is invalid"},
    CodeText{0x80100069, "The smart card has been removed, so that further communication is not possible"},
    CodeText{kNoReaderSpecified, "No reader specified"},
    CodeText{kSendBufferTooSmall, "Send buffer too small"},
    CodeText{kReaderNotInGroup, "The specified reader does not belong to the group"},
    CodeText{kNotConnectedToCard, "Not connected to card"},
    CodeText{kAttributeTooLong, "Attribute string too long"},
    CodeText{kReaderGroupUnknown, "Reader group name unknown"},
};

LONG g_lastRaised = 0;

std::string SystemText(LONG code)
{
    const auto stringify = SCardApi().pcsc_stringify_error;
    const char* raw = stringify ? stringify(code) : nullptr;
    std::string text = raw ? raw : "";
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

}  // namespace

std::string SCardErrorText(LONG code)
{
    for (const CodeText& entry : kCodeTexts)
        if (entry.code == code)
            return entry.text;
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "Error 0x%08lX:", static_cast<unsigned long>(code) & 0xFFFFFFFFUL);
    return prefix + SystemText(code);
}

ESCardError::ESCardError(LONG code) : std::runtime_error(SCardErrorText(code)), code_(code) {}

ESCardError::ESCardError(LONG code, const std::string& text)
    : std::runtime_error(code == kMessageOnly ? text : text + " " + SCardErrorText(code)), code_(code)
{}

void CheckSCard(LONG code)
{
    if (code == SCARD_S_SUCCESS)
        return;
    g_lastRaised = code;
    throw ESCardError(code);
}

LONG LastRaisedSCardCode() { return g_lastRaised; }

int SCardProbe()
{
    if (!SCardApi().SCardEstablishContext)
        return 1;
    SCARDCONTEXT context = 0;
    if (smartcard::SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return 2;
    (void)smartcard::SCardReleaseContext(context);
    return 0;
}

}  // namespace smartcard
