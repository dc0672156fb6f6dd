// The card read of the main window over the real libpcsclite, talking to pcscd with the vpcd
// readers and the emulated cards (the kartovan_rig fixture starts them).
#include "app/tc_glow.h"
#include "smartcard/apdudemocard.h"
#include "smartcard/resource_manager.h"
#include "smartcard/smartcardform.h"
#include "smartcard/winscard_api.h"
#include "tests/app/card_read_fixture.h"
#include "tests/support/card_model.h"
#include "tests/support/download_commands.h"
#include "tests/support/vpcd_client.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <cstdlib>
#include <memory>

namespace apptest {
namespace {

bool InCi()
{
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// Waits up to `timeoutMs` for pcscd to report the rig's second reader with (or without) a card.
bool SecondReaderShowsCard(bool present, int timeoutMs)
{
    const smartcard::TSCardApi& api = smartcard::SCardApi();
    SCARDCONTEXT context = 0;
    if (!api.SCardEstablishContext ||
        api.SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return false;
    SCARD_READERSTATE state{};
    state.szReader = testsupport::kRigSecondReader;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    bool seen = false;
    for (int waited = 0; !seen && waited < timeoutMs; waited += 200) {
        if (api.SCardGetStatusChange(context, 200, &state, 1) == SCARD_S_SUCCESS) {
            seen = ((state.dwEventState & SCARD_STATE_PRESENT) != 0) == present;
            state.dwCurrentState = state.dwEventState & ~DWORD{SCARD_STATE_CHANGED};
        }
    }
    api.SCardReleaseContext(context);
    return seen;
}

// A card pulled out in the middle of a command leaves vpcd deaf to the next card put into
// that reader (it takes the connection but never powers the card). One card in and out again
// brings the reader back, so the tests after this one find the rig as usual.
void ReseatSecondReader()
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        testsupport::CardModel spare(testsupport::MakeCardFiles(testsupport::SmallestCard()));
        testsupport::InsertedCard card(spare, testsupport::RigVpcdPort(1));
        const bool seen = SecondReaderShowsCard(true, 2000);
        card.Remove();
        (void)SecondReaderShowsCard(false, 5000);
        if (seen)
            return;
    }
    ADD_FAILURE() << "the rig's second reader no longer sees the cards put into it";
}

// Reads the rig's second reader, whose card the test puts in and takes out.
class SecondReaderWindow : public app::Tf_tcGlow {
protected:
    void SelectCardReader(smartcard::TAPDUDemoCard& card) override
    {
        card.SetReaderName(testsupport::kRigSecondReader);
    }
};

class CardReadRig : public CardReadWindowTest {
protected:
    void SetUp() override
    {
        CardReadWindowTest::SetUp();
        smartcard::ResetSCardApi();
        ASSERT_NE(smartcard::SCardLibraryHandle(), nullptr) << "libpcsclite.so.1 did not load";
        smartcard::TResourceManager manager;
        manager.SetScope(smartcard::dsSystem);
        if (manager.IsConnected() && manager.ReaderExists(testsupport::kRigReader) &&
            manager.ReaderExists(testsupport::kRigSecondReader))
            return;
        if (InCi())
            FAIL() << "no pcscd with the vpcd readers: the kartovan_rig fixture did not bring the rig up";
        GTEST_SKIP() << "no pcscd with the vpcd readers (run scripts/rig-start.sh)";
    }
};

TEST_F(CardReadRig, ClickOnReadButtonReadsTheRigCard)
{
    // The rig keeps the largest card in its first reader, the one the reader check takes.
    app::Tf_tcGlow window;
    ASSERT_TRUE(window.CheckReader()) << Cp(window.Memo1->toPlainText());
    window.ButWczytaj->click();
    ExpectCompleteRead(window, testsupport::MakeCardFiles(testsupport::LargestCard()), testsupport::kRigReader);
}

TEST_F(CardReadRig, CardTakenOutDuringTheReadLeavesNothingSaved)
{
    testsupport::CardModel model(testsupport::MakeCardFiles(testsupport::LargestCard(), 9));
    // Gone in the middle of the activity data.
    model.RemoveAfter(60);
    testsupport::InsertedCard inserted(model, testsupport::RigVpcdPort(1));
    {
        SecondReaderWindow window;
        ASSERT_TRUE(ProcessEventsUntil([&] { return window.CheckReader(); })) << Cp(window.Memo1->toPlainText());
        window.ButWczytaj->click();
        ExpectNothingSaved(window);
        EXPECT_EQ(model.CommandCount(), 60u);
    }
    if (smartcard::Tf_smartCard* form = smartcard::f_smartCard())
        form->APDUDemoCard1->DisconnectQuietly(smartcard::diReset);
    smartcard::FreeSmartCardForm();
    inserted.Remove();
    ReseatSecondReader();
}

}  // namespace
}  // namespace apptest
