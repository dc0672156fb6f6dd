// The card component and the reader selection window over the real libpcsclite, talking to
// pcscd with the vpcd readers and the emulated card (the kartovan_rig fixture starts them).
#include "smartcard/apdudemocard.h"
#include "smartcard/hextext.h"
#include "smartcard/resource_manager.h"
#include "smartcard/scard_error.h"
#include "smartcard/selectreaderform.h"
#include "smartcard/winscard_api.h"
#include "tests/support/card_files.h"
#include "tests/support/card_model.h"
#include "tests/support/download_commands.h"
#include "tests/support/message_recorder.h"
#include "tests/support/vpcd_client.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>

using namespace smartcard;

namespace {

// Bound on waiting for pcscd to notice a card; the watch timer itself ticks every second.
constexpr qint64 kPatienceMs = 15000;

bool InCi()
{
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

std::string Hex(const testsupport::Bytes& bytes) { return BytesToHex(bytes.data(), static_cast<int>(bytes.size())); }

// Runs the event loop (so the timers tick) until `done` holds or patience runs out.
bool RunUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < kPatienceMs) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

class ComponentRig : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSCardApi();
        ASSERT_NE(SCardLibraryHandle(), nullptr) << "libpcsclite.so.1 did not load";
        card_ = std::make_unique<TAPDUDemoCard>();
        card_->SetProtocolOnReset(prT0);
        if (card_->Manager().IsConnected() && card_->Manager().ReaderExists(testsupport::kRigSecondReader)) {
            card_->SetReaderName(testsupport::kRigSecondReader);
            // A card of an earlier test may still be on its way out.
            ASSERT_TRUE(RunUntil([&] { return !card_->IsCardPresent(); }));
            return;
        }
        if (InCi())
            FAIL() << "no pcscd with the vpcd readers: the kartovan_rig fixture did not bring the rig up";
        GTEST_SKIP() << "no pcscd with the vpcd readers (run scripts/rig-start.sh)";
    }
    void TearDown() override { card_.reset(); }

    TAPDUDemoCard& Card() { return *card_; }

    testsupport::MessageRecorder boxes_;
    std::unique_ptr<TAPDUDemoCard> card_;
};

TEST_F(ComponentRig, WatchTimerConnectsAnInsertedCardAndLetsGoOfARemovedOne)
{
    testsupport::CardModel model(testsupport::MakeCardFiles(testsupport::SmallestCard()));
    int ticks = 0;
    Card().OnReaderStateChange = [&](TAPDUDemoCard&, const std::string&, TReaderStates) { ++ticks; };
    for (int round = 0; round < 2; ++round) {
        testsupport::InsertedCard inserted(model, testsupport::RigVpcdPort(1));
        ASSERT_TRUE(RunUntil([&] { return Card().Connected(); })) << round;
        EXPECT_EQ(Card().AtrHex(), Hex(testsupport::AtrT0()));
        Card().SetCommandHex("00 A4 04 0C 06 FF 54 41 43 48 4F");
        ASSERT_EQ(Card().Execute(), 0);
        EXPECT_EQ(Card().AnswerHex(), "90 00");

        inserted.Remove();
        ASSERT_TRUE(RunUntil([&] { return !Card().Connected(); })) << round;
        EXPECT_FALSE(Card().IsCardPresent());
        EXPECT_EQ(Card().AtrHex(), "");
    }
    EXPECT_GE(ticks, 4);
    EXPECT_TRUE(boxes_.Messages().empty());
}

TEST_F(ComponentRig, CardOfferingOnlyT1GivesTheProtocolErrorText)
{
    testsupport::CardModel model(testsupport::MakeCardFiles(testsupport::SmallestCard()));
    model.OfferOnlyT1();
    const std::string text = SCardErrorText(SCARD_E_PROTO_MISMATCH);
    {
        // Noticed by the watch timer: shown in an error box.
        testsupport::InsertedCard inserted(model, testsupport::RigVpcdPort(1));
        ASSERT_TRUE(RunUntil([&] { return !boxes_.Messages().empty(); }));
        EXPECT_EQ(boxes_.TextsOf(utility::MessageKind::Error), (std::vector<std::string>{text}));
        EXPECT_FALSE(Card().Connected());
        EXPECT_TRUE(Card().IsCardPresent());
        EXPECT_EQ(Card().AtrHex(), Hex(testsupport::AtrT1Only()));

        // Choosing the reader with the card in it: raised to the caller.
        try {
            Card().SetReaderName(testsupport::kRigSecondReader);
            FAIL() << "a T=1 card was connected with T=0";
        } catch (const ESCardError& e) {
            EXPECT_EQ(e.Code(), SCARD_E_PROTO_MISMATCH);
            EXPECT_EQ(std::string(e.what()), text);
        }
        EXPECT_FALSE(Card().Connected());
    }
    ASSERT_TRUE(RunUntil([&] { return !Card().IsCardPresent(); }));
}

TEST_F(ComponentRig, SelectionWindowListsTheRigReadersWithTheirAtrs)
{
    // The component would hold the second reader's card exclusively; the window only looks.
    card_.reset();
    testsupport::CardModel model(testsupport::MakeCardFiles(testsupport::SmallestCard(), 5));
    model.OfferOnlyT1();
    TSelectReaderForm form;
    std::map<std::string, QTreeWidgetItem*> rows;
    for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i)
        rows[form.ListView1->topLevelItem(i)->text(0).toStdString()] = form.ListView1->topLevelItem(i);
    ASSERT_TRUE(rows.contains(testsupport::kRigReader));
    ASSERT_TRUE(rows.contains(testsupport::kRigSecondReader));
    // The rig keeps its emulated card in the first reader.
    EXPECT_EQ(rows[testsupport::kRigReader]->text(1).toStdString(), Hex(testsupport::AtrT0()));
    EXPECT_EQ(rows[testsupport::kRigSecondReader]->text(1).toStdString(), "");

    QTreeWidgetItem* second = rows[testsupport::kRigSecondReader];
    testsupport::InsertedCard inserted(model, testsupport::RigVpcdPort(1));
    ASSERT_TRUE(RunUntil([&] { return second->text(1).toStdString() == Hex(testsupport::AtrT1Only()); }));
    inserted.Remove();
    ASSERT_TRUE(RunUntil([&] { return second->text(1).isEmpty(); }));
    EXPECT_EQ(rows[testsupport::kRigReader]->text(1).toStdString(), Hex(testsupport::AtrT0()));
}

}  // namespace
