#include "smartcard/scard_error.h"

#include "smartcard/winscard_api.h"

#include <gtest/gtest.h>

#include <string>

using namespace smartcard;

namespace {

TEST(SCardErrorText, TextsOfTheTable)
{
    struct Case {
        LONG code;
        const char* text;
    };
    const Case cases[] = {
        {0x00000000, "no error"},
        {0x80100001, "An internal consistency check failed"},
        {0x80100008, "The data buffer to receive returned data is too small for the returned data"},
        {0x8010000C, "The operation requires a Smart Card, but no Smart Card is currently in the device"},
        {0x8010000F, "The requested protocols are incompatible with the protocol currently in use with the smart card"},
        {0x80100011, "One or more of the supplied parameters values could not be properly interpreted"},
        {0x80100018, "PRIVATE -- Internal flag to force server termination"},
        {0x8010001E, "The Smart card resource manager has shut down"},
        {0x80100065, "The reader cannot communicate with the smart card, due to ATR configuration conflicts"},
        {0x80100069, "The smart card has been removed, so that further communication is not possible"},
        {0x80101001, "No reader specified"},
        {0x80101003, "The specified reader does not belong to the group"},
        {0x80101004, "Not connected to card"},
        {0x80101006, "Reader group name unknown"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SCardErrorText(c.code), c.text) << std::hex << c.code;
}

TEST(SCardErrorText, OtherCodesTakeTheSystemText)
{
    TSCardApi table;
    table.pcsc_stringify_error = [](LONG code) -> const char* {
        return code == 0x8010002E ? "Cannot find a smart card reader.\r\n\n" : "Unknown.";
    };
    TScopedSCardApi scoped(table);
    EXPECT_EQ(SCardErrorText(0x8010002E), "Error 0x8010002E:Cannot find a smart card reader.");
    EXPECT_EQ(SCardErrorText(0x8010001F), "Error 0x8010001F:Unknown.");
    EXPECT_EQ(SCardErrorText(0x6D), "Error 0x0000006D:Unknown.");

    TScopedSCardApi none(TSCardApi{});
    EXPECT_EQ(SCardErrorText(0x8010002E), "Error 0x8010002E:");
}

TEST(ESCardError, Constructors)
{
    const ESCardError plain(0x80100069);
    EXPECT_EQ(plain.Code(), 0x80100069);
    EXPECT_STREQ(plain.what(), "The smart card has been removed, so that further communication is not possible");

    const ESCardError messageOnly(kMessageOnly, "Reader not selected!");
    EXPECT_EQ(messageOnly.Code(), -1);
    EXPECT_STREQ(messageOnly.what(), "Reader not selected!");

    const ESCardError withText(0x80101004, "Transmit:");
    EXPECT_STREQ(withText.what(), "Transmit: Not connected to card");
}

LONG RaisedBy(LONG code)
{
    try {
        CheckSCard(code);
    } catch (const ESCardError& e) {
        return e.Code();
    }
    return 0;
}

TEST(CheckSCard, RaisesEveryFailureEvenWhenRepeated)
{
    EXPECT_NO_THROW(CheckSCard(0));
    // A repeated failure must not read as success.
    EXPECT_EQ(RaisedBy(0x80100069), 0x80100069);
    EXPECT_EQ(LastRaisedSCardCode(), 0x80100069);
    EXPECT_EQ(RaisedBy(0x80100069), 0x80100069);
    EXPECT_NO_THROW(CheckSCard(0));
    EXPECT_EQ(LastRaisedSCardCode(), 0x80100069);
    EXPECT_EQ(RaisedBy(0x8010000C), 0x8010000C);
    EXPECT_EQ(RaisedBy(0x80100069), 0x80100069);
    EXPECT_EQ(LastRaisedSCardCode(), 0x80100069);
}

// A resource manager that counts contexts still open.
int g_openContexts = 0;
LONG g_establishResult = SCARD_S_SUCCESS;

TSCardApi CountingTable()
{
    TSCardApi table;
    table.SCardEstablishContext = [](DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context) -> LONG {
        if (g_establishResult != SCARD_S_SUCCESS)
            return g_establishResult;
        if (scope != SCARD_SCOPE_SYSTEM)
            return SCARD_E_INVALID_VALUE;
        ++g_openContexts;
        *context = 77;
        return SCARD_S_SUCCESS;
    };
    table.SCardReleaseContext = [](SCARDCONTEXT context) -> LONG {
        if (context != 77)
            return SCARD_E_INVALID_HANDLE;
        --g_openContexts;
        return SCARD_S_SUCCESS;
    };
    return table;
}

TEST(SCardProbe, AnswersAndReleasesItsContext)
{
    TScopedSCardApi scoped(CountingTable());
    g_openContexts = 0;
    g_establishResult = SCARD_S_SUCCESS;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SCardProbe(), 0);
    EXPECT_EQ(g_openContexts, 0);

    g_establishResult = SCARD_E_NO_SERVICE;
    EXPECT_EQ(SCardProbe(), 2);
    g_establishResult = SCARD_S_SUCCESS;
}

}  // namespace
