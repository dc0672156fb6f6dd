// The emulated card through the real pcscd and vpcd readers (the kartovan_rig fixture starts them).
#include "tests/rig/pcsc_scenario.h"
#include "tests/support/card_files.h"
#include "tests/support/card_model.h"
#include "tests/support/download_commands.h"
#include "tests/support/vpcd_client.h"

#include <gtest/gtest.h>

#include <winscard.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

using namespace rigtest;
using namespace testsupport;

namespace {

bool InCi()
{
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

class Context {
public:
    Context() { rv_ = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context_); }
    ~Context()
    {
        if (rv_ == SCARD_S_SUCCESS)
            SCardReleaseContext(context_);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    bool Ok() const { return rv_ == SCARD_S_SUCCESS; }
    SCARDCONTEXT Get() const { return context_; }

private:
    SCARDCONTEXT context_ = 0;
    LONG rv_ = SCARD_F_INTERNAL_ERROR;
};

bool RigIsUp()
{
    Context context;
    if (!context.Ok())
        return false;
    char readers[512] = {};
    DWORD length = sizeof readers;
    if (SCardListReaders(context.Get(), nullptr, readers, &length) != SCARD_S_SUCCESS)
        return false;
    for (const char* r = readers; *r; r += std::strlen(r) + 1)
        if (std::string(r) == kRigReader)
            return true;
    return false;
}

// Waits (up to 15 s) until the reader shows a card or no card; returns the last state seen.
SCARD_READERSTATE WaitFor(const Context& context, const char* reader, bool present)
{
    SCARD_READERSTATE state{};
    state.szReader = reader;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    for (int round = 0; round < 15; ++round) {
        const LONG rv = SCardGetStatusChange(context.Get(), 1000, &state, 1);
        if (rv == SCARD_S_SUCCESS && ((state.dwEventState & SCARD_STATE_PRESENT) != 0) == present)
            return state;
        if (rv == SCARD_S_SUCCESS)
            state.dwCurrentState = state.dwEventState & ~DWORD{SCARD_STATE_CHANGED};
    }
    return state;
}

// A card in the second reader once the reader has let go of the card of an earlier test.
std::unique_ptr<InsertedCard> InsertCard(const Context& context, CardModel& model)
{
    WaitFor(context, kRigSecondReader, false);
    auto card = std::make_unique<InsertedCard>(model, RigVpcdPort(1));
    WaitFor(context, kRigSecondReader, true);
    return card;
}

struct Connection {
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    LONG rv = SCARD_F_INTERNAL_ERROR;
    Connection(const Context& context, const char* reader, DWORD protocols)
    {
        rv = SCardConnect(context.Get(), reader, SCARD_SHARE_EXCLUSIVE, protocols, &card, &protocol);
    }
    ~Connection()
    {
        if (rv == SCARD_S_SUCCESS)
            SCardDisconnect(card, SCARD_RESET_CARD);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The card component's answer buffer holds 256 bytes.
    LONG Transmit(const Bytes& command, Bytes& answer, DWORD capacity = 256) const
    {
        answer.assign(capacity, 0);
        DWORD length = capacity;
        const LONG result =
            SCardTransmit(card, protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0, command.data(),
                          static_cast<DWORD>(command.size()), nullptr, answer.data(), &length);
        answer.resize(result == SCARD_S_SUCCESS ? length : 0);
        return result;
    }
};

class Rig : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (RigIsUp())
            return;
        if (InCi())
            FAIL() << "no pcscd with the vpcd readers: the kartovan_rig fixture did not bring the rig up";
        GTEST_SKIP() << "no pcscd with the vpcd readers (run scripts/rig-start.sh)";
    }
};

}  // namespace

TEST_F(Rig, EmulatedCardWaitsInTheFirstReader)
{
    Context context;
    ASSERT_TRUE(context.Ok());
    WaitFor(context, kRigReader, true);
    Connection connection(context, kRigReader, SCARD_PROTOCOL_T0);
    ASSERT_EQ(connection.rv, SCARD_S_SUCCESS);
    EXPECT_EQ(connection.protocol, DWORD{SCARD_PROTOCOL_T0});
    Bytes atr(MAX_ATR_SIZE);
    DWORD atrLength = MAX_ATR_SIZE, state = 0, protocol = 0, nameLength = 0;
    ASSERT_EQ(SCardStatus(connection.card, nullptr, &nameLength, &state, &protocol, atr.data(), &atrLength),
              SCARD_S_SUCCESS);
    atr.resize(atrLength);
    EXPECT_EQ(atr, AtrT0());
    Bytes answer;
    for (const Bytes& command : {SelectApplicationCommand(), SelectFileCommand(kFidApplicationIdentification)}) {
        ASSERT_EQ(connection.Transmit(command, answer), SCARD_S_SUCCESS);
        EXPECT_EQ(answer, (Bytes{0x90, 0x00}));
    }
    ASSERT_EQ(connection.Transmit(ReadBinaryCommand(0, 10), answer), SCARD_S_SUCCESS);
    Bytes expected = ApplicationIdentification(LargestCard());
    expected.insert(expected.end(), {0x90, 0x00});
    EXPECT_EQ(answer, expected);
}

TEST_F(Rig, CardInsertedAndRemovedWhileWatched)
{
    Context context;
    ASSERT_TRUE(context.Ok());
    CardModel model(MakeCardFiles(SmallestCard()));
    for (int round = 0; round < 2; ++round) {
        SCARD_READERSTATE state = WaitFor(context, kRigSecondReader, false);
        ASSERT_TRUE(state.dwEventState & SCARD_STATE_EMPTY) << "round " << round;
        const DWORD emptyEvents = state.dwEventState >> 16;
        state.dwCurrentState = state.dwEventState & ~DWORD{SCARD_STATE_CHANGED};
        {
            InsertedCard card(model, RigVpcdPort(1));
            ASSERT_EQ(SCardGetStatusChange(context.Get(), 15000, &state, 1), SCARD_S_SUCCESS) << "round " << round;
            EXPECT_TRUE(state.dwEventState & SCARD_STATE_CHANGED);
            EXPECT_TRUE(state.dwEventState & SCARD_STATE_PRESENT);
            EXPECT_EQ(Bytes(state.rgbAtr, state.rgbAtr + state.cbAtr), AtrT0());
            EXPECT_GT(state.dwEventState >> 16, emptyEvents);  // pcsc-lite counts card events here
            state.dwCurrentState = state.dwEventState & ~DWORD{SCARD_STATE_CHANGED};
            card.Remove();
            ASSERT_EQ(SCardGetStatusChange(context.Get(), 15000, &state, 1), SCARD_S_SUCCESS) << "round " << round;
            EXPECT_TRUE(state.dwEventState & SCARD_STATE_CHANGED);
            EXPECT_TRUE(state.dwEventState & SCARD_STATE_EMPTY);
        }
    }
}

TEST_F(Rig, FullDownloadOfTheLargestCard)
{
    Context context;
    ASSERT_TRUE(context.Ok());
    CardModel model(MakeCardFiles(LargestCard(), 3));
    const auto card = InsertCard(context, model);
    Connection connection(context, kRigSecondReader, SCARD_PROTOCOL_T0);
    ASSERT_EQ(connection.rv, SCARD_S_SUCCESS);
    const std::vector<Bytes> commands = DownloadCommands(LargestCard());
    std::vector<Bytes> answers;
    for (const Bytes& command : commands) {
        Bytes answer;
        ASSERT_EQ(connection.Transmit(command, answer), SCARD_S_SUCCESS) << answers.size();
        answers.push_back(answer);
    }
    // Every command reached the card unchanged and every answer came back whole.
    const std::vector<ApduExchange> log = model.Log();
    ASSERT_EQ(log.size(), commands.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].command, commands[i]) << i;
        EXPECT_EQ(answers[i], log[i].answer) << i;
        ASSERT_GE(answers[i].size(), 2u);
        EXPECT_EQ(answers[i][answers[i].size() - 2], 0x90) << i;
    }
}

TEST_F(Rig, ProtocolsComeFromTheAtr)
{
    Context context;
    ASSERT_TRUE(context.Ok());
    CardModel model(MakeCardFiles(SmallestCard()));
    model.OfferOnlyT1();
    const auto card = InsertCard(context, model);
    {
        Connection t0(context, kRigSecondReader, SCARD_PROTOCOL_T0);
        EXPECT_EQ(t0.rv, SCARD_E_PROTO_MISMATCH);
    }
    Connection t1(context, kRigSecondReader, SCARD_PROTOCOL_T1);
    ASSERT_EQ(t1.rv, SCARD_S_SUCCESS);
    EXPECT_EQ(t1.protocol, DWORD{SCARD_PROTOCOL_T1});
}

namespace {

// The second reader of the rig, filled by cards served from this process.
class RigSlot : public CardSlot {
public:
    explicit RigSlot(const Context& context) : context_(context) {}
    void Insert(CardModel& card) override { card_ = InsertCard(context_, card); }
    void Remove() override
    {
        card_.reset();
        WaitFor(context_, kRigSecondReader, false);
    }
    void AwaitRemoval() override { WaitFor(context_, kRigSecondReader, false); }

private:
    const Context& context_;
    std::unique_ptr<InsertedCard> card_;
};

smartcard::TSCardApi LibraryTable()
{
    smartcard::TSCardApi t;
    t.SCardEstablishContext = &::SCardEstablishContext;
    t.SCardReleaseContext = &::SCardReleaseContext;
    t.SCardListReaders = &::SCardListReaders;
    t.SCardGetStatusChange = &::SCardGetStatusChange;
    t.SCardConnect = &::SCardConnect;
    t.SCardReconnect = &::SCardReconnect;
    t.SCardDisconnect = &::SCardDisconnect;
    t.SCardTransmit = &::SCardTransmit;
    return t;
}

}  // namespace

// The fake PC/SC service is held to these same answers.
TEST_F(Rig, AnswersOfTheRealService)
{
    Context context;
    ASSERT_TRUE(context.Ok());
    WaitFor(context, kRigSecondReader, false);
    RigSlot slot(context);
    EXPECT_EQ(RunPcscScenario(LibraryTable(), slot), ExpectedPcscScenario());
}
