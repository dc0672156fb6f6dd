// The resource manager and readers over the real libpcsclite, talking to pcscd with the vpcd
// readers and the emulated card (the kartovan_rig fixture starts them).
#include "smartcard/hextext.h"
#include "smartcard/resource_manager.h"
#include "smartcard/scard_error.h"
#include "smartcard/winscard_api.h"
#include "tests/support/card_files.h"
#include "tests/support/card_model.h"
#include "tests/support/download_commands.h"
#include "tests/support/message_recorder.h"
#include "tests/support/vpcd_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

using namespace smartcard;

namespace {

bool InCi()
{
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

std::string Hex(const testsupport::Bytes& bytes) { return BytesToHex(bytes.data(), static_cast<int>(bytes.size())); }

// Refreshes (one second at a time, up to 15 s) until the reader shows a card or no card.
bool WaitForCard(TSmartcardReader& reader, bool present)
{
    for (int round = 0; round < 15 && reader.CardPresent() != present; ++round)
        (void)reader.Refresh(1000);
    return reader.CardPresent() == present;
}

class PcscRig : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSCardApi();
        ASSERT_NE(SCardLibraryHandle(), nullptr) << "libpcsclite.so.1 did not load";
        manager_ = std::make_unique<TResourceManager>();
        manager_->SetScope(dsSystem);
        if (manager_->IsConnected() && manager_->ReaderExists(testsupport::kRigReader))
            return;
        if (InCi())
            FAIL() << "no pcscd with the vpcd readers: the kartovan_rig fixture did not bring the rig up";
        GTEST_SKIP() << "no pcscd with the vpcd readers (run scripts/rig-start.sh)";
    }
    void TearDown() override { manager_.reset(); }

    TResourceManager& Manager() { return *manager_; }

    testsupport::MessageRecorder boxes_;
    std::unique_ptr<TResourceManager> manager_;
};

TEST_F(PcscRig, ListsBothVirtualReaders)
{
    const std::vector<std::string> names = Manager().KnownReaders().Names();
    EXPECT_NE(std::find(names.begin(), names.end(), testsupport::kRigReader), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), testsupport::kRigSecondReader), names.end());
    EXPECT_TRUE(boxes_.Messages().empty());
    EXPECT_TRUE(Manager().Available());
    EXPECT_TRUE(Manager().Groups().Names().Contains(""));
}

TEST_F(PcscRig, ExclusiveT0ConnectAndOneRoundTrip)
{
    TSmartcardReader& reader = Manager().GetReader(testsupport::kRigReader);
    ASSERT_TRUE(WaitForCard(reader, true));
    EXPECT_EQ(reader.Atr().Hex(), Hex(testsupport::AtrT0()));
    reader.Connect(smExclusive, prT0);
    ASSERT_TRUE(reader.IsConnected());
    EXPECT_EQ(reader.Protocol(), prT0);
    EXPECT_EQ(reader.ShareMode(), smExclusive);

    reader.SendBuffer().LoadHex(0, "00 A4 04 0C 06 FF 54 41 43 48 4F");
    EXPECT_EQ(reader.SendBuffer().SaveHex(0), Hex(testsupport::SelectApplicationCommand()));
    reader.ReceiveBuffer().SetCapacity(256);
    reader.Transmit();
    EXPECT_EQ(reader.ReceiveBuffer().SaveHex(0), "90 00");
    EXPECT_TRUE(reader.Disconnect(diReset));
    EXPECT_FALSE(reader.IsConnected());
}

TEST_F(PcscRig, CardRemovalShowsAsEmpty)
{
    testsupport::CardModel model(testsupport::MakeCardFiles(testsupport::SmallestCard()));
    TSmartcardReader& reader = Manager().GetReader(testsupport::kRigSecondReader);
    // An earlier test's card may still be leaving the reader.
    ASSERT_TRUE(WaitForCard(reader, false));
    auto card = std::make_unique<testsupport::InsertedCard>(model, testsupport::RigVpcdPort(1));
    ASSERT_TRUE(WaitForCard(reader, true));
    EXPECT_GT(reader.Atr().Length(), 0);

    card->Remove();
    ASSERT_TRUE(WaitForCard(reader, false));
    EXPECT_TRUE(reader.NewlySet().Has(rsEmpty));
    EXPECT_TRUE(reader.CurrentState().Has(rsEmpty));
    EXPECT_EQ(reader.Atr().Length(), 0);
    EXPECT_FALSE(reader.IsConnected());
}

}  // namespace
