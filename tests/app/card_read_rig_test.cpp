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

// Reads the rig's second reader, whose card the test puts in and takes out.
class SecondReaderWindow : public app::Tf_tcGlow {
protected:
    void SelectCardReader(smartcard::TAPDUDemoCard& card) override { card.SetReaderName(cardrig::kRigSecondReader); }
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
        if (manager.IsConnected() && manager.ReaderExists(cardrig::kRigReader) &&
            manager.ReaderExists(cardrig::kRigSecondReader))
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
    ExpectCompleteRead(window, cardrig::MakeCardFiles(cardrig::LargestCard()), cardrig::kRigReader);
}

TEST_F(CardReadRig, CardTakenOutDuringTheReadLeavesNothingSaved)
{
    cardrig::CardModel model(cardrig::MakeCardFiles(cardrig::LargestCard(), 9));
    // Gone in the middle of the activity data.
    model.RemoveAfter(60);
    cardrig::InsertedCard inserted(model, cardrig::RigVpcdPort(1));
    SecondReaderWindow window;
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.CheckReader(); })) << Cp(window.Memo1->toPlainText());
    window.ButWczytaj->click();
    ExpectNothingSaved(window);
    EXPECT_EQ(model.CommandCount(), 60u);
}

} // namespace
} // namespace apptest
