#include "smartcard/resource_manager.h"

#include "smartcard/scard_error.h"
#include "tests/smartcard/scripted_pcsc.h"
#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace smartcard;
using utility::MessageKind;

namespace {

const std::vector<BYTE> kAtr = {0x3B, 0x02, 0x14, 0x50};

class ManagerTest : public ::testing::Test {
protected:
    std::vector<std::string> Errors() const { return boxes.TextsOf(MessageKind::Error); }

    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
};

TEST_F(ManagerTest, ScopeEstablishesAContextAndListsReadersSorted)
{
    for (const char* name : {"Virtual PCD 00 01", "b reader", "A reader", "virtual PCD 00 00"})
        fake->Attach(name);
    TResourceManager manager;
    int connected = 0;
    manager.OnConnected = [&](TResourceManager&) { ++connected; };
    manager.SetScope(dsSystem);
    EXPECT_TRUE(manager.IsConnected());
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(manager.KnownReaders().Names(),
              (std::vector<std::string>{"A reader", "b reader", "virtual PCD 00 00", "Virtual PCD 00 01"}));
    EXPECT_TRUE(manager.ReaderExists("a READER"));
    EXPECT_TRUE(manager.Groups().Names().Contains(""));
    EXPECT_TRUE(manager.GroupExists("SCard$DefaultReaders"));
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(manager.Available());
    EXPECT_FALSE(manager.ReadersChanged());
    fake->Attach("C");
    EXPECT_TRUE(manager.ReadersChanged());
}

TEST_F(ManagerTest, NoContextDoesNotRaise)
{
    fake->failures["SCardEstablishContext"] = {SCARD_E_NO_SERVICE};
    TResourceManager manager;
    int notConnected = 0;
    manager.OnNotConnected = [&](TResourceManager&) { ++notConnected; };
    EXPECT_NO_THROW(manager.SetScope(dsSystem));
    EXPECT_FALSE(manager.IsConnected());
    EXPECT_EQ(notConnected, 1);
    EXPECT_FALSE(manager.Available());
    EXPECT_EQ(manager.ContextFailure(), SCARD_E_NO_SERVICE);

    // The listing names the missing service, and no call goes out over a null context.
    fake->Attach("R");
    manager.ListReaders();
    EXPECT_EQ(Errors(), std::vector<std::string>{utility::Pl("Błąd odnajdywania czytników:\r\n") +
                                                 SCardErrorText(SCARD_E_NO_SERVICE)});
    EXPECT_EQ(fake->Count("SCardListReaders"), 0);
    EXPECT_EQ(manager.KnownReaders().Count(), 0);
    try {
        manager.CheckContext();
        ADD_FAILURE() << "no context, yet nothing raised";
    } catch (const ESCardError& e) {
        EXPECT_EQ(e.Code(), SCARD_E_NO_SERVICE);
        EXPECT_EQ(std::string(e.what()), SCardErrorText(SCARD_E_NO_SERVICE));
    }

    // Once the service answers, the failure is forgotten.
    manager.SetScope(dsSystem);
    EXPECT_TRUE(manager.IsConnected());
    EXPECT_EQ(manager.ContextFailure(), 0);
    EXPECT_NO_THROW(manager.CheckContext());
    EXPECT_EQ(manager.KnownReaders().Names(), std::vector<std::string>{"R"});
}

TEST_F(ManagerTest, ContextNeverAskedForIsReportedWithoutACode)
{
    TResourceManager manager;
    EXPECT_EQ(manager.ContextFailure(), 0);
    try {
        manager.CheckContext();
        ADD_FAILURE() << "no context, yet nothing raised";
    } catch (const ESCardError& e) {
        EXPECT_EQ(e.Code(), kMessageOnly);
        EXPECT_EQ(std::string(e.what()), "Resource manager not connected. Use scope property!");
    }
}

TEST_F(ManagerTest, ScopeAgainReleasesTheOldContext)
{
    fake->Attach("R");
    {
        TResourceManager manager;
        manager.SetScope(dsSystem);
        manager.SetScope(dsUser);
        EXPECT_EQ(fake->openContexts, 1);
        manager.Disconnect();
        EXPECT_EQ(fake->openContexts, 0);
        EXPECT_FALSE(manager.IsConnected());
        manager.SetScope(dsSystem);
    }
    EXPECT_EQ(fake->openContexts, 0);
}

TEST_F(ManagerTest, ListingErrorBoxOncePerRunOfFailures)
{
    fake->Attach("R");
    TResourceManager manager;
    manager.SetScope(dsSystem);
    ASSERT_TRUE(Errors().empty());
    fake->Detach("R");
    manager.ListReaders();
    const std::string expected =
        utility::Pl("Błąd odnajdywania czytników:\r\n") + "Error 0x8010002E:Cannot find a smart card reader.";
    EXPECT_EQ(Errors(), std::vector<std::string>{expected});
    manager.ListReaders();
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_EQ(manager.KnownReaders().Count(), 0);

    fake->Attach("R");
    manager.ListReaders();
    EXPECT_EQ(manager.KnownReaders().Names(), std::vector<std::string>{"R"});
    // A failure that is not "no readers" keeps what is known, and never parses the
    // buffer the failed call scribbled in.
    fake->failures["SCardListReaders"] = {fakepcsc::kPass, SCARD_F_COMM_ERROR};
    manager.ListReaders();
    EXPECT_EQ(manager.KnownReaders().Names(), std::vector<std::string>{"R"});
    EXPECT_EQ(Errors().size(), 2u);

    fake->Detach("R");
    manager.ListReaders();
    EXPECT_EQ(Errors().size(), 3u);
    EXPECT_EQ(Errors().back(), expected);
    EXPECT_EQ(manager.KnownReaders().Count(), 0);
}

TEST_F(ManagerTest, GetReaderListsAgainForANewReader)
{
    fake->Attach("A");
    TResourceManager manager;
    manager.SetScope(dsSystem);
    fake->Attach("B");
    fake->Insert("B", kAtr);
    TSmartcardReader& b = manager.GetReader("B");
    EXPECT_EQ(b.Name(), "B");
    EXPECT_TRUE(b.CardPresent());
    EXPECT_EQ(&manager.GetReader("b"), &b);
    try {
        manager.GetReader("Nope");
        ADD_FAILURE();
    } catch (const ESCardError& e) {
        EXPECT_EQ(e.Code(), SCARD_E_UNKNOWN_READER);
        EXPECT_STREQ(e.what(), "The specified reader name is not recognized");
    }
}

TEST_F(ManagerTest, TimeOutIsSharedAmongTheSelectedReaders)
{
    for (const char* name : {"A", "B", "C"})
        fake->Attach(name);
    TResourceManager manager;
    manager.SetScope(dsSystem);
    manager.SelectAll();
    ASSERT_EQ(manager.SelectedCount(), 3);
    // The first poll also creates the reader objects, which read their own state.
    (void)manager.Refresh(true);
    fake->Insert("B", kAtr);
    fake->statusTimeouts.clear();
    (void)manager.PollSelected(1000);
    EXPECT_EQ(fake->statusTimeouts, (std::vector<DWORD>{333, 333, 333}));
}

TEST_F(ManagerTest, PresentWithoutAtrCountsAsEmpty)
{
    fake->Attach("A");
    fake->Insert("A", {});
    TResourceManager manager;
    manager.SetScope(dsSystem);
    manager.SelectAll();
    EXPECT_TRUE(manager.Refresh(true));
    EXPECT_EQ(manager.SelectedState(0).Current(), (TReaderState{rsEmpty}));
    EXPECT_FALSE(manager.GetReader("A").CardPresent());

    // Upper bits count events on pcsc-lite; the rule still applies.
    fake->Find("A")->events = 7;
    EXPECT_TRUE(manager.Refresh(false));
    EXPECT_EQ(manager.SelectedState(0).Current(), (TReaderState{rsEmpty}));
}

TEST_F(ManagerTest, ChangesReachTheChangedListAndTheReaderObject)
{
    fake->Attach("A");
    fake->Attach("B");
    TResourceManager manager;
    manager.SetScope(dsSystem);
    manager.SelectAll();
    EXPECT_TRUE(manager.Refresh(true));
    EXPECT_EQ(manager.ChangedCount(), 2);  // both newly empty
    EXPECT_FALSE(manager.Refresh(false));
    EXPECT_EQ(manager.ChangedCount(), 0);
    EXPECT_TRUE(manager.SelectedState(1).NewlySet().Empty());

    fake->Insert("B", kAtr);
    EXPECT_TRUE(manager.Refresh(false));
    ASSERT_EQ(manager.ChangedCount(), 1);
    EXPECT_EQ(manager.ChangedName(0), "B");
    ASSERT_NE(manager.ChangedState(0), nullptr);
    EXPECT_EQ(manager.ChangedState(0)->NewlySet(), (TReaderState{rsCardPresent}));
    EXPECT_EQ(manager.ChangedState(0)->Atr().Hex(), "3B 02 14 50");
    EXPECT_TRUE(manager.GetReader("B").CardPresent());

    // A change outside the mask is a change, but not on the list.
    manager.SetChangeMask({rsEmpty});
    fake->Remove("B");
    fake->Insert("B", kAtr);
    EXPECT_TRUE(manager.Refresh(false));
    EXPECT_EQ(manager.ChangedCount(), 0);

    manager.UnselectAll();
    EXPECT_EQ(manager.SelectedCount(), 0);
}

TEST_F(ManagerTest, FailedPollLeavesTheStateAlone)
{
    fake->Attach("A");
    TResourceManager manager;
    manager.SetScope(dsSystem);
    manager.SelectAll();
    (void)manager.Refresh(true);
    fake->failures["SCardGetStatusChange"] = {SCARD_F_COMM_ERROR, SCARD_F_COMM_ERROR};
    for (int i = 0; i < 2; ++i)
        EXPECT_THROW((void)manager.Refresh(false), ESCardError);
    EXPECT_EQ(manager.SelectedState(0).Current(), (TReaderState{rsEmpty}));
    EXPECT_FALSE(manager.GetReader("A").CardPresent());

    fake->failures["SCardGetStatusChange"] = {SCARD_E_INVALID_PARAMETER};
    EXPECT_FALSE(manager.Refresh(false));
    EXPECT_EQ(manager.SelectedState(0).Current(), (TReaderState{rsEmpty}));
}

TEST_F(ManagerTest, ServiceGoneResetsTheManager)
{
    fake->Attach("A");
    std::vector<int> codes;
    int disconnected = 0;
    TResourceManager manager;
    manager.SetScope(dsSystem);
    manager.SelectAll();
    manager.AddListener(this, [&](TResourceManager&, int code) { codes.push_back(code); });
    manager.OnDisconnected = [&](TResourceManager&) { ++disconnected; };
    (void)manager.GetReader("A");

    fake->serviceRunning = false;
    bool polled = true;
    EXPECT_NO_THROW(polled = manager.Poll());
    EXPECT_FALSE(polled);
    EXPECT_EQ(codes, std::vector<int>{1});
    EXPECT_EQ(disconnected, 1);
    EXPECT_FALSE(manager.IsConnected());
    EXPECT_EQ(manager.ContextFailure(), SCARD_E_NO_SERVICE);
    EXPECT_EQ(manager.SelectedCount(), 0);
    EXPECT_EQ(fake->openContexts, 0);
    EXPECT_FALSE(manager.Poll());

    // Other failures pass on.
    fake->serviceRunning = true;
    manager.SetScope(dsSystem);
    manager.SelectAll();
    fake->failures["SCardGetStatusChange"] = {SCARD_F_COMM_ERROR};
    EXPECT_THROW(manager.Tick(), ESCardError);
    EXPECT_TRUE(manager.IsConnected());
}

TEST_F(ManagerTest, ListenersAreMatchedByObject)
{
    int first = 0;
    int second = 0;
    const int a = 0;
    const int b = 0;
    {
        TResourceManager manager;
        manager.AddListener(&a, [&](TResourceManager&, int) { ++first; });
        manager.AddListener(&a, [&](TResourceManager&, int) { first += 100; });
        manager.AddListener(&b, [&](TResourceManager&, int) { ++second; });
        manager.NotifyListeners(1);
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 1);
        manager.RemoveListener(&a);
        manager.NotifyListeners(1);
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 2);
    }
    // Destruction tells the listeners left.
    EXPECT_EQ(second, 3);
}

TEST_F(ManagerTest, PollTimerSurvivesAFailingTickAndPollsOnce)
{
    fake->Attach("A");
    fake->Attach("B");
    TResourceManager manager;
    manager.SetScope(dsSystem);
    int changes = 0;
    EXPECT_FALSE(manager.WatchSelectedReaders());
    manager.SetOnSelectedStateChange([&](TResourceManager&) { ++changes; });
    EXPECT_TRUE(manager.WatchSelectedReaders());
    ASSERT_NE(manager.PollTimer(), nullptr);
    EXPECT_EQ(manager.PollTimer()->interval(), 1000);
    manager.SelectAll();
    EXPECT_TRUE(manager.PollTimer()->isActive());
    // Reader objects made now, so the ticks below make only the manager's own calls.
    (void)manager.GetReader("A");
    (void)manager.GetReader("B");

    fake->failures["SCardGetStatusChange"] = {SCARD_F_COMM_ERROR};
    EXPECT_NO_THROW(manager.PollTimerTick());
    EXPECT_TRUE(manager.PollTimer()->isActive());

    fake->statusTimeouts.clear();
    manager.PollTimerTick();
    EXPECT_EQ(fake->statusTimeouts.size(), 2u);
    EXPECT_EQ(changes, 1);

    manager.SetOnSelectedStateChange(nullptr);
    EXPECT_EQ(manager.PollTimer(), nullptr);
}

TEST_F(ManagerTest, SelectionEditing)
{
    for (const char* name : {"A", "B", "C"})
        fake->Attach(name);
    TResourceManager manager;
    manager.SetScope(dsSystem);
    manager.SelectReaders({"C", "a"});
    std::vector<std::string> selected;
    manager.GetSelection(&selected);
    EXPECT_EQ(selected, (std::vector<std::string>{"a", "C"}));
    manager.BeginUpdate();
    manager.SelectAll();
    manager.EndUpdate(false);
    manager.GetSelection(&selected);
    EXPECT_EQ(selected, (std::vector<std::string>{"A", "C"}));
    manager.BeginUpdate();
    manager.KeepOnly({"c"});
    manager.EndUpdate(true);
    manager.GetSelection(&selected);
    EXPECT_EQ(selected, (std::vector<std::string>{"C"}));
    manager.GetSelection(nullptr);
}

TEST_F(ManagerTest, SelectAvailableSkipsUnknownReaders)
{
    fake->Attach("A");
    fake->Attach("B");
    TResourceManager manager;
    manager.SelectAvailable();  // before the context: nothing selected
    EXPECT_EQ(manager.SelectedCount(), 0);
    manager.SetScope(dsSystem);
    fake->Detach("B");
    manager.SelectAvailable();
    std::vector<std::string> selected;
    manager.GetSelection(&selected);
    EXPECT_EQ(selected, std::vector<std::string>{"A"});
}

TEST_F(ManagerTest, PcscLiteHasNoReaderDatabaseOrCardLocation)
{
    fake->Attach("A");
    fake->Insert("A", kAtr);
    TResourceManager manager;
    manager.SetScope(dsSystem);
    manager.SelectAll();
    for (const auto& action : std::vector<std::function<void()>>{
             [&] { manager.IntroduceReader("New", "usb:1"); },
             [&] { manager.ForgetReader("A"); },
             [&] { manager.Groups().Introduce("G"); },
             [&] { manager.Groups().Forget("G"); },
         }) {
        try {
            action();
            ADD_FAILURE();
        } catch (const ESCardError& e) {
            EXPECT_EQ(e.Code(), SCARD_E_INVALID_TARGET);
        }
    }
    EXPECT_FALSE(manager.LocateCard({"Tachograph"}));
    EXPECT_FALSE(manager.CardInReader("A", {"Tachograph"}));
    EXPECT_EQ(manager.FindCardInReader("A", {"Tachograph"}), "");
}

}  // namespace
