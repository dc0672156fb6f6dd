// Guarded stand-ins for the PC/SC entry points the card layer calls. Each takes the
// parameters of the pcsc-lite function of the same name and returns its result; when the
// entry point is missing from the table (no library, or pcsc-lite has no such function)
// it calls nothing and returns SCARD_E_INVALID_TARGET (0x80100005).
// Call them qualified (smartcard::SCardTransmit): argument-dependent lookup on the header's
// struct types also finds pcsc-lite's own declarations, which are never linked.
#pragma once

#include "smartcard/winscard_api.h"

namespace smartcard {

LONG SCardTransmit(SCARDHANDLE card, const SCARD_IO_REQUEST* sendPci, LPCBYTE send, DWORD sendLength,
                   SCARD_IO_REQUEST* receivePci, LPBYTE receive, LPDWORD receiveLength);
LONG SCardEstablishContext(DWORD scope, LPCVOID reserved1, LPCVOID reserved2, LPSCARDCONTEXT context);
LONG SCardReleaseContext(SCARDCONTEXT context);
LONG SCardCancel(SCARDCONTEXT context);
LONG SCardListReaders(SCARDCONTEXT context, LPCSTR groups, LPSTR readers, LPDWORD readersLength);
LONG SCardListReaderGroups(SCARDCONTEXT context, LPSTR groups, LPDWORD groupsLength);
LONG SCardIntroduceReader(SCARDCONTEXT context, LPCSTR readerName, LPCSTR deviceName);
LONG SCardAddReaderToGroup(SCARDCONTEXT context, LPCSTR readerName, LPCSTR groupName);
LONG SCardRemoveReaderFromGroup(SCARDCONTEXT context, LPCSTR readerName, LPCSTR groupName);
LONG SCardForgetReader(SCARDCONTEXT context, LPCSTR readerName);
LONG SCardConnect(SCARDCONTEXT context, LPCSTR reader, DWORD shareMode, DWORD preferredProtocols, LPSCARDHANDLE card,
                  LPDWORD activeProtocol);
LONG SCardReconnect(SCARDHANDLE card, DWORD shareMode, DWORD preferredProtocols, DWORD initialization,
                    LPDWORD activeProtocol);
LONG SCardDisconnect(SCARDHANDLE card, DWORD disposition);
LONG SCardBeginTransaction(SCARDHANDLE card);
LONG SCardEndTransaction(SCARDHANDLE card, DWORD disposition);
LONG SCardIntroduceReaderGroup(SCARDCONTEXT context, LPCSTR groupName);
LONG SCardForgetReaderGroup(SCARDCONTEXT context, LPCSTR groupName);
LONG SCardGetStatusChange(SCARDCONTEXT context, DWORD timeout, SCARD_READERSTATE* states, DWORD count);
LONG SCardLocateCards(SCARDCONTEXT context, LPCSTR cards, SCARD_READERSTATE* states, DWORD count);
LONG SCardGetAttrib(SCARDHANDLE card, DWORD attrId, LPBYTE attr, LPDWORD attrLength);
LONG SCardSetAttrib(SCARDHANDLE card, DWORD attrId, LPCBYTE attr, DWORD attrLength);

}  // namespace smartcard
