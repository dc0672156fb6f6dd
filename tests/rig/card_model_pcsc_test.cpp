#include "tests/support/card_model_pcsc.h"

#include "tests/rig/pcsc_scenario.h"
#include "tests/support/card_files.h"
#include "tests/support/download_commands.h"
#include "tests/support/vpcd_client.h"

#include <gtest/gtest.h>

using namespace rigtest;
using namespace testsupport;

namespace {

class FakeSlot : public CardSlot {
public:
    explicit FakeSlot(FakePcsc& fake) : fake_(fake) {}
    void Insert(CardModel& card) override { fake_.Insert(card, kRigSecondReader); }
    void Remove() override { fake_.Remove(kRigSecondReader); }
    void AwaitRemoval() override {}

private:
    FakePcsc& fake_;
};

}  // namespace

TEST(FakePcsc, AnswersLikePcscLite)
{
    FakePcsc fake;
    FakeSlot slot(fake);
    const auto steps = RunPcscScenario(fake.Table(), slot);
    EXPECT_EQ(steps, ExpectedPcscScenario());
}

TEST(FakePcsc, InstalledForTheCardLayer)
{
    // The card outlives the fake that holds it.
    CardModel model(MakeCardFiles(LargestCard()));
    FakePcsc fake;
    fake.Install();
    fake.Insert(model, kRigReader);
    const smartcard::TSCardApi& api = smartcard::SCardApi();
    SCARDCONTEXT context = 0;
    ASSERT_EQ(api.SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context), SCARD_S_SUCCESS);
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    ASSERT_EQ(api.SCardConnect(context, kRigReader, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, &card, &protocol),
              SCARD_S_SUCCESS);
    Bytes answer(256);
    DWORD length = 256;
    const Bytes command = SelectApplicationCommand();
    ASSERT_EQ(api.SCardTransmit(card, &kPciT0, command.data(), static_cast<DWORD>(command.size()), nullptr,
                                answer.data(), &length),
              SCARD_S_SUCCESS);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + length), (Bytes{0x90, 0x00}));
    ASSERT_EQ(model.Log().size(), 1u);
    EXPECT_EQ(model.Log()[0].command, command);
    EXPECT_EQ(fake.Calls(), (std::vector<std::string>{"SCardEstablishContext", "SCardConnect", "SCardTransmit"}));
    // pcsc-lite has no such entry points: the card layer's guards answer for them.
    EXPECT_EQ(api.SCardLocateCards, nullptr);
    EXPECT_EQ(api.SCardIntroduceReader, nullptr);
}

TEST(FakePcsc, StatusChangeFollowsInsertAndRemove)
{
    CardModel model(MakeCardFiles(SmallestCard()));
    FakePcsc fake;
    const smartcard::TSCardApi api = fake.Table();
    SCARDCONTEXT context = 0;
    ASSERT_EQ(api.SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context), SCARD_S_SUCCESS);
    SCARD_READERSTATE state{};
    state.szReader = kRigReader;
    ASSERT_EQ(api.SCardGetStatusChange(context, INFINITE, &state, 1), SCARD_S_SUCCESS);
    EXPECT_EQ(state.dwEventState & 0xFFFF, DWORD{SCARD_STATE_EMPTY | SCARD_STATE_CHANGED});
    state.dwCurrentState = state.dwEventState & ~DWORD{SCARD_STATE_CHANGED};
    EXPECT_EQ(api.SCardGetStatusChange(context, INFINITE, &state, 1), SCARD_E_TIMEOUT);

    model.RemoveAfter(1);
    fake.Insert(model, kRigReader);
    ASSERT_EQ(api.SCardGetStatusChange(context, 0, &state, 1), SCARD_S_SUCCESS);
    EXPECT_EQ(state.dwEventState & 0xFFFF, DWORD{SCARD_STATE_PRESENT | SCARD_STATE_CHANGED});
    EXPECT_EQ(state.dwEventState >> 16, 1u);
    EXPECT_EQ(Bytes(state.rgbAtr, state.rgbAtr + state.cbAtr), AtrT0());
    state.dwCurrentState = state.dwEventState & ~DWORD{SCARD_STATE_CHANGED};

    // The card's own removal after its first command shows as an event too.
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    ASSERT_EQ(api.SCardConnect(context, kRigReader, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card,
                               &protocol),
              SCARD_S_SUCCESS);
    ASSERT_EQ(api.SCardGetStatusChange(context, 0, &state, 1), SCARD_S_SUCCESS);
    EXPECT_EQ(state.dwEventState & 0xFFFF, DWORD{SCARD_STATE_PRESENT | SCARD_STATE_INUSE | SCARD_STATE_CHANGED});
    state.dwCurrentState = state.dwEventState & ~DWORD{SCARD_STATE_CHANGED};
    Bytes answer(256);
    DWORD length = 256;
    const Bytes command = SelectFileCommand(kFidIcc);
    EXPECT_EQ(api.SCardTransmit(card, &kPciT0, command.data(), 7, nullptr, answer.data(), &length), SCARD_S_SUCCESS);
    ASSERT_EQ(api.SCardGetStatusChange(context, 0, &state, 1), SCARD_S_SUCCESS);
    EXPECT_EQ(state.dwEventState & 0xFFFF, DWORD{SCARD_STATE_EMPTY | SCARD_STATE_CHANGED});
    EXPECT_EQ(state.dwEventState >> 16, 2u);
    EXPECT_EQ(state.cbAtr, 0u);

    SCARD_READERSTATE unknown{};
    unknown.szReader = "No Such Reader";
    EXPECT_EQ(api.SCardGetStatusChange(context, 0, &unknown, 1), SCARD_E_UNKNOWN_READER);
}
