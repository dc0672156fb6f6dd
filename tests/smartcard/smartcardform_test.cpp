// The hidden card form and the program's one reference to it.
#include "smartcard/smartcardform.h"

#include "smartcard/smartcard_reader.h"
#include "tests/smartcard/card_component_fixture.h"
#include "tests/smartcard/scripted_pcsc.h"
#include "tests/support/download_commands.h"

#include <QTimer>

using namespace smartcard;

namespace {

class CardForm : public cardtest::CardComponentTest {
protected:
    ~CardForm() override { FreeSmartCardForm(); }
};

TEST_F(CardForm, HoldsAT0ComponentThatConnectsEveryInsertedCard)
{
    ASSERT_EQ(f_smartCard(), nullptr);
    Tf_smartCard& form = CreateSmartCardForm();
    EXPECT_EQ(f_smartCard(), &form);
    EXPECT_EQ(&CreateSmartCardForm(), &form);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), "f_smartCard");
    ASSERT_NE(form.APDUDemoCard1, nullptr);
    TAPDUDemoCard& card = *form.APDUDemoCard1;
    EXPECT_EQ(card.objectName(), "APDUDemoCard1");
    EXPECT_EQ(card.ProtocolOnReset(), prT0);
    EXPECT_EQ(card.ShareModeOnReset(), smExclusive);
    EXPECT_TRUE(card.AutoReset());
    EXPECT_EQ(card.DispositionOnReset(), diReset);
    EXPECT_EQ(card.DispositionOnAutoDisconnect(), diLeave);
    EXPECT_TRUE(card.WatchTimer().isActive());

    bool shouldConnect = false;
    ASSERT_TRUE(card.OnAutoReset);
    card.OnAutoReset(card, testsupport::kRigReader, rsCardPresent, shouldConnect);
    EXPECT_TRUE(shouldConnect);

    card.UseFirstReader();
    fake.Insert(model, testsupport::kRigReader);
    card.WatchTimerTick();
    EXPECT_TRUE(card.Connected());
    EXPECT_EQ(card.Reader()->Protocol(), prT0);
    EXPECT_EQ(Send(card, testsupport::SelectApplicationCommand()), "90 00");

    FreeSmartCardForm();
    EXPECT_EQ(f_smartCard(), nullptr);
    // The card was let go with the form: a new connection gets it at once.
    auto again = MakeCard();
    again->UseFirstReader();
    EXPECT_TRUE(again->Connected());
}

TEST(CardFormContext, FreeingTheFormReleasesItsContext)
{
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    fake->Attach("R");
    CreateSmartCardForm();
    EXPECT_EQ(fake->openContexts, 1);
    FreeSmartCardForm();
    EXPECT_EQ(fake->openContexts, 0);
    EXPECT_EQ(f_smartCard(), nullptr);
}

}  // namespace
