// The card component's reader choice, watch timer and connection, over the in-process
// PC/SC service with the emulated driver card.
#include "smartcard/resource_manager.h"
#include "smartcard/smartcard_reader.h"
#include "tests/smartcard/card_component_fixture.h"
#include "tests/smartcard/scripted_pcsc.h"
#include "tests/support/download_commands.h"

#include <QTimer>

#include <ostream>

using namespace smartcard;
using cardtest::EventLog;
using cardtest::Hex;
using cardtest::RaisedCode;

namespace {

const char* const kReader = testsupport::kRigReader;

class CardComponent : public cardtest::CardComponentTest {};

TEST_F(CardComponent, CardAlreadyInTheReaderIsConnectedWhenTheReaderIsChosen)
{
    fake.Insert(model, kReader);
    auto card = MakeCard();
    EXPECT_EQ(card->ReaderNameOrNone(), "(None)");
    card->UseFirstReader();
    EXPECT_EQ(card->ReaderName(), kReader);
    EXPECT_TRUE(card->Connected());
    EXPECT_TRUE(card->IsCardPresent());
    EXPECT_EQ(card->DominantState(), rsExclusive);
    EXPECT_EQ(card->AtrHex(), Hex(testsupport::AtrT0()));
    EXPECT_EQ(card->AtrLength(), static_cast<int>(testsupport::AtrT0().size()));
    ASSERT_NE(card->Reader(), nullptr);
    EXPECT_EQ(card->Reader()->Protocol(), prT0);
    EXPECT_EQ(card->Reader()->ShareMode(), smExclusive);
    EXPECT_EQ(Send(*card, testsupport::SelectApplicationCommand()), "90 00");
    EXPECT_EQ(card->SW(), 0x9000);
    EXPECT_EQ(card->StatusText(), "Success");
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(CardComponent, InsertionConnectsWithinOneTickAndRemovalDisconnects)
{
    auto card = MakeCard();
    card->UseFirstReader();
    ASSERT_EQ(card->ReaderName(), kReader);
    EXPECT_FALSE(card->Connected());
    EXPECT_FALSE(card->IsCardPresent());
    EXPECT_EQ(card->DominantState(), rsEmpty);
    EventLog log;
    log.Attach(*card);
    for (int round = 0; round < 2; ++round) {
        log.events.clear();
        fake.Insert(model, kReader);
        card->WatchTimerTick();
        EXPECT_TRUE(card->Connected()) << round;
        // The connection's own state change comes after the connect, not nested inside it.
        EXPECT_EQ(log.events, (std::vector<std::string>{"state", "swallowed", "connected", "state"})) << round;
        EXPECT_EQ(card->AtrHex(), Hex(testsupport::AtrT0()));
        EXPECT_EQ(Send(*card, testsupport::SelectApplicationCommand()), "90 00") << round;

        log.events.clear();
        fake.Remove(kReader);
        card->WatchTimerTick();
        EXPECT_FALSE(card->Connected()) << round;
        EXPECT_FALSE(card->Reader()->IsConnected()) << round;
        EXPECT_FALSE(card->IsCardPresent()) << round;
        EXPECT_EQ(log.events, (std::vector<std::string>{"state", "disconnected", "absent"})) << round;
        EXPECT_EQ(card->AtrHex(), "");
    }
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(CardComponent, WithoutAutoResetAnInsertionIsOnlyReported)
{
    auto card = MakeCard();
    card->SetAutoReset(false);
    card->UseFirstReader();
    EventLog log;
    log.Attach(*card);
    fake.Insert(model, kReader);
    card->WatchTimerTick();
    EXPECT_FALSE(card->Connected());
    EXPECT_TRUE(card->IsCardPresent());
    EXPECT_EQ(log.Count("swallowed"), 1);
    EXPECT_GE(log.Count("state"), 1);
    EXPECT_EQ(log.Count("connected"), 0);
    EXPECT_EQ(CallsOf("SCardConnect"), 0);
}

TEST_F(CardComponent, AutoResetHandlerMayKeepTheCardUnconnected)
{
    auto card = MakeCard();
    card->UseFirstReader();
    std::string asked;
    card->OnAutoReset = [&](TAPDUDemoCard&, const std::string& reader, TReaderStates state, bool& shouldConnect) {
        EXPECT_TRUE(shouldConnect);
        EXPECT_EQ(state, rsCardPresent);
        asked = reader;
        shouldConnect = false;
    };
    fake.Insert(model, kReader);
    card->WatchTimerTick();
    EXPECT_EQ(asked, kReader);
    EXPECT_FALSE(card->Connected());
}

// A card inserted after the last tick and just before the reader check.
struct RaceCase {
    const char* name;
    std::function<void(TAPDUDemoCard&)> followUp;
};

void PrintTo(const RaceCase& c, std::ostream* os) { *os << c.name; }

class InsertionBeforeTheCheck : public cardtest::CardComponentTest, public ::testing::WithParamInterface<RaceCase> {};

TEST_P(InsertionBeforeTheCheck, IsConnected)
{
    auto card = MakeCard();
    card->UseFirstReader();
    fake.Insert(model, kReader);
    // The reader check's refresh sees the card but does not act on it.
    EXPECT_TRUE(card->RefreshState(false));
    EXPECT_FALSE(card->Connected());
    GetParam().followUp(*card);
    EXPECT_TRUE(card->Connected());
    EXPECT_EQ(Send(*card, testsupport::SelectApplicationCommand()), "90 00");
}

INSTANTIATE_TEST_SUITE_P(FollowUps, InsertionBeforeTheCheck,
                         ::testing::Values(RaceCase{"ChoosingTheSameReaderAgain",
                                                    [](TAPDUDemoCard& c) { c.UseFirstReader(); }},
                                           RaceCase{"TheNextTick", [](TAPDUDemoCard& c) { c.WatchTimerTick(); }},
                                           RaceCase{"AnotherRefreshThenTheTick",
                                                    [](TAPDUDemoCard& c) {
                                                        EXPECT_FALSE(c.RefreshState(false));
                                                        c.WatchTimerTick();
                                                    }}),
                         [](const ::testing::TestParamInfo<RaceCase>& p) { return std::string(p.param.name); });

TEST_F(CardComponent, ChoosingTheSameReaderAgainResetsTheConnectedCard)
{
    fake.Insert(model, kReader);
    auto card = MakeCard();
    card->UseFirstReader();
    EXPECT_EQ(Send(*card, testsupport::SelectApplicationCommand()), "90 00");
    // Inside the application the card-level files are not found...
    EXPECT_EQ(Send(*card, testsupport::SelectFileCommand(testsupport::kFidIcc)), "6A 82");
    card->UseFirstReader();
    EXPECT_TRUE(card->Connected());
    // ...until the card is reset, as a second read of the same card needs.
    EXPECT_EQ(Send(*card, testsupport::SelectFileCommand(testsupport::kFidIcc)), "90 00");
}

TEST_F(CardComponent, CardSwappedBetweenTwoTicksIsConnectedAnew)
{
    fake.Insert(model, kReader);
    auto card = MakeCard();
    card->UseFirstReader();
    ASSERT_TRUE(card->Connected());
    fake.Remove(kReader);
    (void)card->RefreshState(false);
    fake.Insert(other, kReader);
    (void)card->RefreshState(false);
    card->WatchTimerTick();
    EXPECT_TRUE(card->Connected());
    EXPECT_EQ(Send(*card, testsupport::SelectApplicationCommand()), "90 00");
    EXPECT_EQ(other.CommandCount(), 1u);
}

TEST_F(CardComponent, CardThatCameAndWentBetweenTwoTicksIsNotConnected)
{
    auto card = MakeCard();
    card->UseFirstReader();
    EventLog log;
    log.Attach(*card);
    fake.Insert(model, kReader);
    (void)card->RefreshState(false);
    fake.Remove(kReader);
    (void)card->RefreshState(false);
    card->WatchTimerTick();
    EXPECT_FALSE(card->Connected());
    EXPECT_EQ(CallsOf("SCardConnect"), 0);
    EXPECT_EQ(log.Count("connected"), 0);
    EXPECT_EQ(log.Count("absent"), 1);
}

TEST_F(CardComponent, RepeatedTransmitFailureRaisesEveryTime)
{
    fake.Insert(model, kReader);
    auto card = MakeCard();
    card->UseFirstReader();
    EXPECT_EQ(Send(*card, testsupport::SelectApplicationCommand()), "90 00");
    // Taken out before the watch timer noticed: the component still holds the connection.
    fake.Remove(kReader);
    for (int attempt = 0; attempt < 2; ++attempt) {
        card->SetCommand(testsupport::SelectFileCommand(testsupport::kFidIdentification));
        EXPECT_EQ(RaisedCode([&] { (void)card->Execute(); }), SCARD_W_REMOVED_CARD) << attempt;
        EXPECT_EQ(card->AnswerHex(), "") << attempt;
        EXPECT_EQ(card->SW(), 0) << attempt;
        EXPECT_EQ(card->SW1(), 0) << attempt;
        EXPECT_EQ(card->StatusText(), "Answer to short or no answer") << attempt;
    }
}

TEST_F(CardComponent, T1OnlyCardGivesTheProtocolError)
{
    model.OfferOnlyT1();
    fake.Insert(model, kReader);
    auto card = MakeCard();
    try {
        card->UseFirstReader();
        FAIL() << "a T=1 card was connected with T=0";
    } catch (const ESCardError& e) {
        EXPECT_EQ(e.Code(), SCARD_E_PROTO_MISMATCH);
        EXPECT_EQ(std::string(e.what()), SCardErrorText(SCARD_E_PROTO_MISMATCH));
    }
    EXPECT_FALSE(card->Connected());
    EXPECT_TRUE(card->IsCardPresent());
}

TEST_F(CardComponent, TickAttemptingAT1OnlyCardReportsWithoutRaising)
{
    auto card = MakeCard();
    card->UseFirstReader();
    model.OfferOnlyT1();
    fake.Insert(model, kReader);
    EXPECT_NO_THROW(card->WatchTimerTick());
    EXPECT_FALSE(card->Connected());
    EXPECT_EQ(boxes.TextsOf(utility::MessageKind::Error),
              (std::vector<std::string>{SCardErrorText(SCARD_E_PROTO_MISMATCH)}));
    EXPECT_TRUE(card->WatchTimer().isActive());
}

// A PC/SC service whose state calls can be made to fail.
LONG g_statusFailure = 0;
decltype(&::SCardGetStatusChange) g_statusChange = nullptr;

LONG FlakyStatusChange(SCARDCONTEXT context, DWORD timeout, SCARD_READERSTATE* states, DWORD count)
{
    return g_statusFailure != 0 ? g_statusFailure : g_statusChange(context, timeout, states, count);
}

TEST_F(CardComponent, TickFailureIsShownOnceAndWatchingGoesOn)
{
    TSCardApi table = fake.Table();
    g_statusChange = table.SCardGetStatusChange;
    table.SCardGetStatusChange = &FlakyStatusChange;
    TScopedSCardApi flaky(table);
    auto card = MakeCard();
    card->UseFirstReader();
    const std::vector<std::string> one{SCardErrorText(SCARD_E_NO_SERVICE)};
    const std::vector<std::string> two{one[0], one[0]};

    g_statusFailure = SCARD_E_NO_SERVICE;
    EXPECT_NO_THROW(card->WatchTimerTick());
    EXPECT_NO_THROW(card->WatchTimerTick());
    EXPECT_EQ(boxes.TextsOf(utility::MessageKind::Error), one);
    EXPECT_TRUE(card->WatchTimer().isActive());

    // Once a tick works again, the next failure is news.
    g_statusFailure = 0;
    card->WatchTimerTick();
    g_statusFailure = SCARD_E_NO_SERVICE;
    card->WatchTimerTick();
    g_statusFailure = 0;
    EXPECT_EQ(boxes.TextsOf(utility::MessageKind::Error), two);

    // And the card is still watched.
    fake.Insert(model, kReader);
    card->WatchTimerTick();
    EXPECT_TRUE(card->Connected());
}

TEST_F(CardComponent, WatchTimerTicksEverySecondFromCreation)
{
    auto card = MakeCard();
    EXPECT_EQ(card->WatchTimer().interval(), 1000);
    EXPECT_TRUE(card->WatchTimer().isActive());
    card->WatchTimerTick();
    EXPECT_TRUE(card->WatchTimer().isActive());
}

TEST_F(CardComponent, ReaderNamesAndTheirErrors)
{
    fake.Insert(model, testsupport::kRigSecondReader);
    auto card = MakeCard();
    EventLog log;
    log.Attach(*card);
    card->SetReaderName(testsupport::kRigSecondReader);
    EXPECT_EQ(card->ReaderNameOrNone(), testsupport::kRigSecondReader);
    EXPECT_TRUE(card->Connected());
    EXPECT_EQ(log.Count("name"), 1);
    EXPECT_EQ(log.readers.front(), testsupport::kRigSecondReader);

    // Another reader: the card of the old one is let go.
    card->SetReaderName(kReader);
    EXPECT_FALSE(card->Connected());
    EXPECT_GE(log.Count("disconnected"), 1);
    EXPECT_EQ(CallsOf("SCardDisconnect"), 1);
    EXPECT_EQ(card->AtrHex(), "");

    card->SetReaderName(testsupport::kRigSecondReader);
    EXPECT_TRUE(card->Connected());
    card->SetReaderName("");
    EXPECT_EQ(card->ReaderNameOrNone(), "(None)");
    EXPECT_EQ(card->Reader(), nullptr);
    EXPECT_FALSE(card->Connected());
    EXPECT_FALSE(card->IsCardPresent());
    EXPECT_EQ(card->DominantState(), rsNoReader);
    EXPECT_EQ(card->AtrHex(), "");

    EXPECT_EQ(RaisedCode([&] { card->SetReaderName("No such reader"); }), SCARD_E_UNKNOWN_READER);
    EXPECT_EQ(card->Reader(), nullptr);
}

TEST_F(CardComponent, CardJustInsertedIntoTheOldReaderIsNotConnectedOnTheWayOut)
{
    auto card = MakeCard();
    card->SetReaderName(testsupport::kRigSecondReader);
    fake.Insert(model, testsupport::kRigSecondReader);
    card->SetReaderName(kReader);
    EXPECT_EQ(CallsOf("SCardConnect"), 0);
    EXPECT_FALSE(card->Connected());
    // The new reader is watched from a clean slate.
    card->WatchTimerTick();
    EXPECT_EQ(CallsOf("SCardConnect"), 0);
}

TEST_F(CardComponent, ManagerLettingGoOfItsReadersLeavesNoReader)
{
    fake.Insert(model, kReader);
    auto card = MakeCard();
    card->UseFirstReader();
    ASSERT_TRUE(card->Connected());
    card->Manager().Disconnect();
    EXPECT_EQ(card->Reader(), nullptr);
    EXPECT_FALSE(card->Connected());
    EXPECT_NO_THROW(card->WatchTimerTick());
    EXPECT_THROW(card->Transmit(), std::runtime_error);
}

TEST(CardComponentNames, WithoutTheServiceNoReaderIsChosenAndTheCauseIsRaised)
{
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    fake->Attach("A reader");
    fake->failures["SCardEstablishContext"] = {SCARD_E_NO_SERVICE};
    TAPDUDemoCard card;
    EXPECT_EQ(RaisedCode([&] { card.UseFirstReader(); }), SCARD_E_NO_SERVICE);
    EXPECT_EQ(card.Reader(), nullptr);
    EXPECT_EQ(card.ReaderNameOrNone(), "(None)");
    EXPECT_EQ(fake->Count("SCardListReaders"), 0);
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST(CardComponentNames, AlphabeticallyFirstReaderWins)
{
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    fake->Attach("B reader");
    fake->Attach("A reader");
    TAPDUDemoCard card;
    card.UseFirstReader();
    EXPECT_EQ(card.ReaderName(), "A reader");
}

TEST(CardComponentNames, TheOnlyReaderIsChosenWithoutTheWindow)
{
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    fake->Attach("Lone reader");
    TAPDUDemoCard card;
    EXPECT_TRUE(card.ChooseReader());
    EXPECT_EQ(card.ReaderName(), "Lone reader");
}

}  // namespace
