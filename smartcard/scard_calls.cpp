#include "smartcard/scard_calls.h"

#include "smartcard/hextext.h"

#include <algorithm>

namespace smartcard {
namespace {

template <typename Fn, typename... Args>
LONG Guarded(const char* name, Fn fn, Args... args)
{
    const LONG result = fn ? fn(args...) : SCARD_E_INVALID_TARGET;
    qCInfo(lcSCardTrace, "%s%s -> 0x%08lX", name, fn ? "" : " (missing)", static_cast<unsigned long>(result));
    return result;
}

std::string TraceBytes(const unsigned char* data, DWORD length)
{
    if (!data)
        return {};
    return BytesToHex(data, static_cast<int>(std::min<DWORD>(length, 0x10000)));
}

}  // namespace

LONG SCardTransmit(SCARDHANDLE card, const SCARD_IO_REQUEST* sendPci, LPCBYTE send, DWORD sendLength,
                   SCARD_IO_REQUEST* receivePci, LPBYTE receive, LPDWORD receiveLength)
{
    if (SCardTraceOn())
        qCInfo(lcSCardTrace, "command: %s", TraceBytes(send, sendLength).c_str());
    // The length the library hands back is not trusted beyond the room it was given.
    const DWORD room = receiveLength ? *receiveLength : 0;
    const LONG result = Guarded("SCardTransmit", SCardApi().SCardTransmit, card, sendPci, send, sendLength, receivePci,
                                receive, receiveLength);
    if (SCardTraceOn() && result == SCARD_S_SUCCESS && receiveLength)
        qCInfo(lcSCardTrace, "answer: %s", TraceBytes(receive, std::min(*receiveLength, room)).c_str());
    return result;
}

LONG SCardEstablishContext(DWORD scope, LPCVOID reserved1, LPCVOID reserved2, LPSCARDCONTEXT context)
{
    return Guarded("SCardEstablishContext", SCardApi().SCardEstablishContext, scope, reserved1, reserved2, context);
}

LONG SCardReleaseContext(SCARDCONTEXT context)
{
    return Guarded("SCardReleaseContext", SCardApi().SCardReleaseContext, context);
}

LONG SCardCancel(SCARDCONTEXT context) { return Guarded("SCardCancel", SCardApi().SCardCancel, context); }

LONG SCardListReaders(SCARDCONTEXT context, LPCSTR groups, LPSTR readers, LPDWORD readersLength)
{
    return Guarded("SCardListReaders", SCardApi().SCardListReaders, context, groups, readers, readersLength);
}

LONG SCardListReaderGroups(SCARDCONTEXT context, LPSTR groups, LPDWORD groupsLength)
{
    return Guarded("SCardListReaderGroups", SCardApi().SCardListReaderGroups, context, groups, groupsLength);
}

LONG SCardIntroduceReader(SCARDCONTEXT context, LPCSTR readerName, LPCSTR deviceName)
{
    return Guarded("SCardIntroduceReader", SCardApi().SCardIntroduceReader, context, readerName, deviceName);
}

LONG SCardAddReaderToGroup(SCARDCONTEXT context, LPCSTR readerName, LPCSTR groupName)
{
    return Guarded("SCardAddReaderToGroup", SCardApi().SCardAddReaderToGroup, context, readerName, groupName);
}

LONG SCardRemoveReaderFromGroup(SCARDCONTEXT context, LPCSTR readerName, LPCSTR groupName)
{
    return Guarded("SCardRemoveReaderFromGroup", SCardApi().SCardRemoveReaderFromGroup, context, readerName, groupName);
}

LONG SCardForgetReader(SCARDCONTEXT context, LPCSTR readerName)
{
    return Guarded("SCardForgetReader", SCardApi().SCardForgetReader, context, readerName);
}

LONG SCardConnect(SCARDCONTEXT context, LPCSTR reader, DWORD shareMode, DWORD preferredProtocols, LPSCARDHANDLE card,
                  LPDWORD activeProtocol)
{
    if (SCardTraceOn())
        qCInfo(lcSCardTrace, "connect %s share %lu protocols 0x%lX", reader ? reader : "(null)",
               static_cast<unsigned long>(shareMode), static_cast<unsigned long>(preferredProtocols));
    return Guarded("SCardConnect", SCardApi().SCardConnect, context, reader, shareMode, preferredProtocols, card,
                   activeProtocol);
}

LONG SCardReconnect(SCARDHANDLE card, DWORD shareMode, DWORD preferredProtocols, DWORD initialization,
                    LPDWORD activeProtocol)
{
    return Guarded("SCardReconnect", SCardApi().SCardReconnect, card, shareMode, preferredProtocols, initialization,
                   activeProtocol);
}

LONG SCardDisconnect(SCARDHANDLE card, DWORD disposition)
{
    return Guarded("SCardDisconnect", SCardApi().SCardDisconnect, card, disposition);
}

LONG SCardBeginTransaction(SCARDHANDLE card)
{
    return Guarded("SCardBeginTransaction", SCardApi().SCardBeginTransaction, card);
}

LONG SCardEndTransaction(SCARDHANDLE card, DWORD disposition)
{
    return Guarded("SCardEndTransaction", SCardApi().SCardEndTransaction, card, disposition);
}

LONG SCardIntroduceReaderGroup(SCARDCONTEXT context, LPCSTR groupName)
{
    return Guarded("SCardIntroduceReaderGroup", SCardApi().SCardIntroduceReaderGroup, context, groupName);
}

LONG SCardForgetReaderGroup(SCARDCONTEXT context, LPCSTR groupName)
{
    return Guarded("SCardForgetReaderGroup", SCardApi().SCardForgetReaderGroup, context, groupName);
}

LONG SCardGetStatusChange(SCARDCONTEXT context, DWORD timeout, SCARD_READERSTATE* states, DWORD count)
{
    const LONG result =
        Guarded("SCardGetStatusChange", SCardApi().SCardGetStatusChange, context, timeout, states, count);
    if (SCardTraceOn() && result == SCARD_S_SUCCESS && states)
        for (DWORD i = 0; i < count; ++i)
            qCInfo(lcSCardTrace, "state %s: 0x%lX -> 0x%lX", states[i].szReader ? states[i].szReader : "(null)",
                   static_cast<unsigned long>(states[i].dwCurrentState),
                   static_cast<unsigned long>(states[i].dwEventState));
    return result;
}

LONG SCardLocateCards(SCARDCONTEXT context, LPCSTR cards, SCARD_READERSTATE* states, DWORD count)
{
    return Guarded("SCardLocateCards", SCardApi().SCardLocateCards, context, cards, states, count);
}

LONG SCardGetAttrib(SCARDHANDLE card, DWORD attrId, LPBYTE attr, LPDWORD attrLength)
{
    return Guarded("SCardGetAttrib", SCardApi().SCardGetAttrib, card, attrId, attr, attrLength);
}

LONG SCardSetAttrib(SCARDHANDLE card, DWORD attrId, LPCBYTE attr, DWORD attrLength)
{
    return Guarded("SCardSetAttrib", SCardApi().SCardSetAttrib, card, attrId, attr, attrLength);
}

}  // namespace smartcard
