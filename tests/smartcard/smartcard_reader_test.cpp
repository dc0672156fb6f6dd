#include "smartcard/smartcard_reader.h"

#include "smartcard/resource_manager.h"
#include "smartcard/scard_error.h"
#include "tests/smartcard/scripted_pcsc.h"
#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

#include <reader.h>

#include <functional>
#include <stdexcept>

using namespace smartcard;

namespace {

const std::vector<BYTE> kAtr = {0x3B, 0x8F, 0x80, 0x01};

// One reader "R" with a card, a manager connected to it and the reader object.
class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake->Attach("R");
        fake->Insert("R", kAtr);
        manager.SetScope(dsSystem);
        ASSERT_TRUE(manager.IsConnected());
    }
    TSmartcardReader& Reader() { return manager.GetReader("R"); }
    LONG Raised(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const ESCardError& e) {
            return e.Code();
        }
        return 0;
    }

    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    TResourceManager manager;
};

TEST_F(ReaderTest, CreationReadsTheStateAndAnUnchangedRefreshIsFalse)
{
    TSmartcardReader& r = Reader();
    EXPECT_TRUE(r.CardPresent());
    EXPECT_EQ(r.Atr().Hex(), "3B 8F 80 01");
    EXPECT_FALSE(r.Refresh(0));
    EXPECT_TRUE(r.NewlySet().Empty());
    EXPECT_TRUE(r.CardPresent());
}

TEST_F(ReaderTest, ResetStateMakesEveryCurrentBitNew)
{
    TSmartcardReader& r = Reader();
    r.ResetState();
    EXPECT_EQ(r.CurrentState(), (TReaderState{rsUnaware}));
    EXPECT_TRUE(r.Refresh(0));
    EXPECT_EQ(r.NewlySet(), (TReaderState{rsCardPresent}));
}

TEST_F(ReaderTest, CardRemovalShowsAsEmpty)
{
    TSmartcardReader& r = Reader();
    fake->Remove("R");
    EXPECT_TRUE(r.Refresh(0));
    EXPECT_FALSE(r.CardPresent());
    EXPECT_EQ(r.NewlySet(), (TReaderState{rsEmpty}));
    EXPECT_EQ(r.Atr().Length(), 0);
}

TEST_F(ReaderTest, FailedRefreshLeavesTheStateAlone)
{
    TSmartcardReader& r = Reader();
    fake->Remove("R");
    ASSERT_TRUE(r.Refresh(0));
    // The fake scribbles "present" into the record before failing.
    fake->failures["SCardGetStatusChange"] = {SCARD_F_COMM_ERROR, SCARD_F_COMM_ERROR};
    EXPECT_EQ(Raised([&] { r.Refresh(0); }), SCARD_F_COMM_ERROR);
    EXPECT_EQ(Raised([&] { r.Refresh(0); }), SCARD_F_COMM_ERROR);
    EXPECT_FALSE(r.CardPresent());
    EXPECT_EQ(r.Record().cbAtr, 0u);

    fake->failures["SCardGetStatusChange"] = {SCARD_E_INVALID_HANDLE};
    try {
        r.Refresh(0);
        ADD_FAILURE();
    } catch (const ESCardError& e) {
        EXPECT_EQ(e.Code(), kMessageOnly);
        EXPECT_STREQ(e.what(), "Resource manager not connected. Use scope property!");
    }
}

TEST_F(ReaderTest, ConnectExclusiveT0AndTransmit)
{
    TSmartcardReader& r = Reader();
    r.Connect(smExclusive, prT0);
    EXPECT_EQ(fake->Count("connect R share 1 protocols 1"), 1);
    EXPECT_TRUE(r.IsConnected());
    EXPECT_EQ(r.Protocol(), prT0);
    EXPECT_EQ(r.ShareMode(), smExclusive);

    fake->answer = {0x01, 0x02, 0x90, 0x00};
    r.SendBuffer().LoadHex(0, "00 B0 00 00 02");
    r.ReceiveBuffer().SetCapacity(256);
    r.Transmit();
    EXPECT_EQ(fake->lastSendPci.dwProtocol, static_cast<unsigned long>(SCARD_PROTOCOL_T0));
    EXPECT_EQ(fake->lastSendPci.cbPciLength, sizeof(SCARD_IO_REQUEST));
    EXPECT_EQ(fake->lastCommand, (std::vector<BYTE>{0x00, 0xB0, 0x00, 0x00, 0x02}));
    EXPECT_EQ(r.ReceiveBuffer().SaveHex(0), "01 02 90 00");
}

TEST_F(ReaderTest, ProtocolDecidesTheRequestHeader)
{
    struct Case {
        DWORD granted;
        TProtocol protocol;
        LONG raised;
        unsigned long pci;
    };
    const Case cases[] = {
        {SCARD_PROTOCOL_T1, prT1, 0, SCARD_PROTOCOL_T1},
        {SCARD_PROTOCOL_T0, prT0, 0, SCARD_PROTOCOL_T0},
        {SCARD_PROTOCOL_RAW, prRaw, SCARD_E_PROTO_MISMATCH, 0},
    };
    for (const Case& c : cases) {
        fake->grantedProtocol = c.granted;
        fake->lastSendPci = {};
        TSmartcardReader& r = Reader();
        r.Connect(smShared, c.protocol);
        EXPECT_EQ(r.Protocol(), c.protocol);
        r.SendBuffer().LoadHex(0, "80 2A 90 00");
        r.ReceiveBuffer().SetCapacity(16);
        EXPECT_EQ(Raised([&] { r.Transmit(); }), c.raised) << c.granted;
        EXPECT_EQ(fake->lastSendPci.dwProtocol, c.pci) << c.granted;
        EXPECT_TRUE(r.Disconnect(diLeave));
    }
    try {
        fake->grantedProtocol = SCARD_PROTOCOL_RAW;
        Reader().Connect(smShared, prRaw);
        Reader().Transmit();
        ADD_FAILURE();
    } catch (const ESCardError& e) {
        EXPECT_STREQ(e.what(),
                     "The requested protocols are incompatible with the protocol currently in use with the smart card");
    }
}

TEST_F(ReaderTest, FailedTransmitKeepsNoAnswer)
{
    TSmartcardReader& r = Reader();
    r.Connect(smExclusive, prT0);
    r.ReceiveBuffer().SetCapacity(256);
    r.SendBuffer().LoadHex(0, "00 B0 00 00 02");
    fake->answer = {0x11, 0x90, 0x00};
    r.Transmit();
    ASSERT_EQ(r.ReceiveBuffer().Length(), 3);
    fake->Remove("R");
    // Both failures raise: a repeated one must not look like an answer.
    EXPECT_EQ(Raised([&] { r.Transmit(); }), SCARD_W_REMOVED_CARD);
    EXPECT_EQ(r.ReceiveBuffer().Length(), 0);
    EXPECT_EQ(Raised([&] { r.Transmit(); }), SCARD_W_REMOVED_CARD);
    EXPECT_EQ(r.ReceiveBuffer().Length(), 0);
    fake->Insert("R", kAtr);
    fake->failures["SCardTransmit"] = {SCARD_F_COMM_ERROR};
    EXPECT_EQ(Raised([&] { r.Transmit(); }), SCARD_F_COMM_ERROR);
    EXPECT_EQ(r.ReceiveBuffer().Length(), 0);
}

TEST_F(ReaderTest, NotConnectedOperationsRaiseTheComponentCode)
{
    TSmartcardReader& r = Reader();
    TReaderAttribute attr;
    const std::vector<std::function<void()>> actions = {
        [&] { r.Transmit(); },
        [&] { r.BeginTransaction(); },
        [&] { r.EndTransaction(diLeave); },
        [&] { r.GetAttrib(SCARD_ATTR_VALUE(SCARD_CLASS_SYSTEM, 4), attr); },
        [&] { r.SetAttrib(1, attr); },
    };
    for (const auto& action : actions)
        EXPECT_EQ(Raised(action), kNotConnectedToCard);
    EXPECT_EQ(SCardErrorText(kNotConnectedToCard), "Not connected to card");

    const std::size_t calls = fake->log.size();
    EXPECT_FALSE(r.Disconnect(diLeave));
    EXPECT_EQ(fake->log.size(), calls);
}

TEST_F(ReaderTest, FailedDisconnectStillDropsTheHandle)
{
    TSmartcardReader& r = Reader();
    r.Connect(smExclusive, prT0);
    fake->failures["SCardDisconnect"] = {SCARD_E_INVALID_HANDLE};
    EXPECT_EQ(Raised([&] { r.Disconnect(diReset); }), SCARD_E_INVALID_HANDLE);
    EXPECT_FALSE(r.IsConnected());
    EXPECT_EQ(r.Protocol(), prNone);
    EXPECT_EQ(r.ShareMode(), smNone);

    manager.SetFriendlyConnect(true);
    fake->card = 0;
    r.Connect(smExclusive, prT0);
    fake->failures["SCardDisconnect"] = {SCARD_W_REMOVED_CARD};
    EXPECT_TRUE(r.Disconnect(diReset));
    EXPECT_FALSE(r.IsConnected());
}

TEST_F(ReaderTest, ReconnectKeepsTheProtocolWhenItFails)
{
    TSmartcardReader& r = Reader();
    r.Reconnect(smExclusive, prT0, diReset);
    EXPECT_EQ(fake->Count("SCardReconnect"), 0);
    r.Connect(smExclusive, prT0);
    fake->failures["SCardReconnect"] = {SCARD_W_UNRESPONSIVE_CARD};
    EXPECT_EQ(Raised([&] { r.Reconnect(smExclusive, prT0, diReset); }), SCARD_W_UNRESPONSIVE_CARD);
    EXPECT_EQ(r.Protocol(), prT0);
    manager.SetFriendlyConnect(true);
    fake->failures["SCardReconnect"] = {SCARD_W_UNRESPONSIVE_CARD};
    EXPECT_NO_THROW(r.Reconnect(smExclusive, prT0, diReset));
    EXPECT_EQ(r.Protocol(), prT0);
}

TEST_F(ReaderTest, AttributesStayWithinTheirBuffer)
{
    TSmartcardReader& r = Reader();
    r.Connect(smExclusive, prT0);
    TReaderAttribute attr;
    fake->attribute.assign(300, 'x');
    fake->claimedAttributeLength = 5000;
    r.GetAttrib(SCARD_ATTR_DEVICE_SYSTEM_NAME_A, attr);
    EXPECT_TRUE(attr.checked);
    EXPECT_EQ(attr.length, TReaderAttribute::kMaxLength);
    EXPECT_EQ(attr.data[TReaderAttribute::kMaxLength], 0);

    fake->attribute = {'u', 's', 'b'};
    fake->claimedAttributeLength = 0;
    r.GetAttrib(SCARD_ATTR_DEVICE_SYSTEM_NAME_A, attr);
    EXPECT_EQ(attr.length, 3u);
    EXPECT_STREQ(reinterpret_cast<const char*>(attr.data), "usb");
    r.SetAttrib(SCARD_ATTR_DEVICE_SYSTEM_NAME_A, attr);
    EXPECT_EQ(fake->attribute.size(), 3u);

    fake->failures["SCardGetAttrib"] = {SCARD_E_UNSUPPORTED_FEATURE, SCARD_E_NOT_READY};
    EXPECT_NO_THROW(r.GetAttrib(1, attr));
    EXPECT_FALSE(attr.checked);
    EXPECT_EQ(attr.length, 0u);
    EXPECT_EQ(Raised([&] { r.GetAttrib(1, attr); }), SCARD_E_NOT_READY);
    try {
        r.SetAttrib(1, attr);
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Attribute not checked");
    }
}

TEST_F(ReaderTest, TransactionsAndDirectConnect)
{
    TSmartcardReader& r = Reader();
    fake->Remove("R");
    // A direct connection needs no card.
    EXPECT_TRUE(r.ConnectDirect());
    EXPECT_EQ(r.ShareMode(), smDirect);
    fake->Insert("R", kAtr);
    r.Connect(smExclusive, prT0);
    r.BeginTransaction();
    r.EndTransaction(diLeave);
    EXPECT_EQ(fake->Count("SCardBeginTransaction"), 1);
    EXPECT_EQ(fake->Count("SCardEndTransaction"), 1);
    fake->failures["SCardConnect"] = {SCARD_E_SHARING_VIOLATION};
    EXPECT_FALSE(r.ConnectDirect());
    EXPECT_FALSE(r.IsConnected());
}

}  // namespace
