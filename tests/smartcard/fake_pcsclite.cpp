// A stand-in for libpcsclite with a handful of entry points, each answering in a way the
// binding tests can recognise. SCardIntroduceReader has no pcsc-lite counterpart: it is
// here to show that every name is looked up, not only pcsc-lite's.
#include <winscard.h>

#include <cstring>

extern "C" {

LONG SCardEstablishContext(DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context)
{
    *context = static_cast<SCARDCONTEXT>(0x5100 + scope);
    return SCARD_S_SUCCESS;
}

LONG SCardReleaseContext(SCARDCONTEXT context)
{
    return context >= 0x5100 && context <= 0x5103 ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}

LONG SCardListReaders(SCARDCONTEXT, LPCSTR, LPSTR readers, LPDWORD length)
{
    static const char kList[] = "Fake Reader 0\0";
    if (readers && *length >= sizeof kList)
        std::memcpy(readers, kList, sizeof kList);
    *length = sizeof kList;
    return SCARD_S_SUCCESS;
}

// Answers the command reversed, then 90 00.
LONG SCardTransmit(SCARDHANDLE, const SCARD_IO_REQUEST*, LPCBYTE send, DWORD sendLength, SCARD_IO_REQUEST*,
                   LPBYTE receive, LPDWORD receiveLength)
{
    if (*receiveLength < sendLength + 2)
        return SCARD_E_INSUFFICIENT_BUFFER;
    for (DWORD i = 0; i < sendLength; ++i)
        receive[i] = send[sendLength - 1 - i];
    receive[sendLength] = 0x90;
    receive[sendLength + 1] = 0x00;
    *receiveLength = sendLength + 2;
    return SCARD_S_SUCCESS;
}

LONG SCardIntroduceReader(SCARDCONTEXT, LPCSTR, LPCSTR) { return SCARD_E_READER_UNAVAILABLE; }

const char* pcsc_stringify_error(const LONG) { return "Fake text.\r\n"; }

}  // extern "C"
