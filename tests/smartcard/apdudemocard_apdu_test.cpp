// The card component's commands, answers and texts.
#include "tests/smartcard/card_component_fixture.h"
#include "tests/smartcard/scripted_pcsc.h"
#include "tests/support/download_commands.h"

#include <ostream>
#include <stdexcept>

using namespace smartcard;
using cardtest::Hex;
using cardtest::RaisedCode;

namespace {

class CardCommands : public cardtest::CardComponentTest {
protected:
    // A component connected to the emulated card in the first reader.
    std::unique_ptr<TAPDUDemoCard> Connected()
    {
        fake.Insert(model, testsupport::kRigReader);
        auto card = MakeCard();
        card->UseFirstReader();
        EXPECT_TRUE(card->Connected());
        return card;
    }
};

TEST_F(CardCommands, HexCommandGoesToTheCardAndTheWholeAnswerComesBack)
{
    auto card = Connected();
    EXPECT_EQ(Send(*card, testsupport::SelectApplicationCommand()), "90 00");
    card->SetCommandHex("00 A4 02 0C 02 05 01");
    ASSERT_EQ(card->Execute(), 0);
    card->SetCommandHex("00 b0 00 00 a");
    EXPECT_EQ(card->Command().SaveHex(0), "00 B0 00 00 0A");
    ASSERT_EQ(card->Execute(), 0);
    testsupport::Bytes expected = testsupport::ApplicationIdentification(testsupport::SmallestCard());
    expected.insert(expected.end(), {0x90, 0x00});
    EXPECT_EQ(card->AnswerHex(), Hex(expected));
    EXPECT_EQ(card->SW1(), 0x90);
    EXPECT_EQ(card->SW2(), 0x00);
    const std::vector<testsupport::ApduExchange> log = model.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().command, testsupport::ReadBinaryCommand(0, 10));

    unsigned char bytes[16] = {};
    EXPECT_EQ(card->GetAnswerBytes(bytes, 0, 3), 3);
    EXPECT_TRUE(std::equal(bytes, bytes + 3, expected.begin()));
    EXPECT_EQ(card->GetAnswerBytes(bytes, 10, 16), 2);
    EXPECT_EQ(bytes[0], 0x90);
    EXPECT_EQ(card->GetAnswerBytes(bytes, 12, 1), 0);
}

TEST_F(CardCommands, StatusOfAnErrorAnswer)
{
    auto card = Connected();
    EXPECT_EQ(Send(*card, testsupport::SelectFileCommand(0x0999)), "6A 82");
    EXPECT_EQ(card->SW(), 0x6A82);
    EXPECT_EQ(card->StatusText(), "Error:Wrong parameter(s) P1-P2, file not found");
}

TEST_F(CardCommands, AnswerFillingTheBufferIsTakenALongerOneFails)
{
    auto card = Connected();
    model.LengthenAnswer(1, 254);
    EXPECT_EQ(card->Execute(), 0);
    EXPECT_EQ(card->Answer().Length(), TAPDUDemoCard::kAnswerCapacity);
    model.LengthenAnswer(2, 255);
    EXPECT_EQ(RaisedCode([&] { (void)card->Execute(); }), SCARD_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(card->AnswerHex(), "");
    EXPECT_EQ(card->SW(), 0);
}

struct RefusedCase {
    const char* name;
    bool selectReader;
    const char* message;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class TransmitRefused : public cardtest::CardComponentTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(TransmitRefused, WithoutReaderOrConnection)
{
    auto card = MakeCard();
    if (GetParam().selectReader)
        card->UseFirstReader();
    card->SetCommand(testsupport::SelectApplicationCommand());
    try {
        (void)card->Execute();
        FAIL() << "sent without a card";
    } catch (const ESCardError&) {
        FAIL() << "no PC/SC code belongs to this failure";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
    EXPECT_EQ(card->SW(), 0);
    EXPECT_EQ(card->SW1(), 0);
    EXPECT_EQ(card->SW2(), 0);
    EXPECT_EQ(card->AnswerHex(), "");
    EXPECT_EQ(CallsOf("SCardTransmit"), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, TransmitRefused,
                         ::testing::Values(RefusedCase{"NoReader", false, "Reader not selected!"},
                                           RefusedCase{"NoCard", true, "Not connected to a card!"}),
                         [](const ::testing::TestParamInfo<RefusedCase>& p) { return std::string(p.param.name); });

TEST_F(CardCommands, ConnectWithoutReaderRaisesTheComponentMessage)
{
    auto card = MakeCard();
    try {
        card->Connect();
        FAIL() << "connected without a reader";
    } catch (const ESCardError& e) {
        EXPECT_EQ(e.Code(), kMessageOnly);
        EXPECT_EQ(std::string(e.what()), "Reader not selected!");
    }
    EXPECT_FALSE(card->Connected());
}

TEST_F(CardCommands, BuildingACommand)
{
    auto card = MakeCard();
    EXPECT_EQ(card->Command().SaveHex(0), "00 00 00 00");
    card->SetHeader(0x00, 0xD6, 0x01, 0x02);
    const unsigned char data[] = {0xA1, 0xA2, 0xA3};
    card->SetCommandData(data, 0, 3);
    EXPECT_EQ(card->Command().SaveHex(0), "00 D6 01 02 03 A1 A2 A3");
    card->SetCommandData(data, 3, 1);
    EXPECT_EQ(card->Command().SaveHex(0), "00 D6 01 02 03 A1 A2 A3 A1");
    card->SetCommandData(data, -1, 1);
    EXPECT_EQ(card->Command().SaveHex(0), "00 D6 01 02 03 A1 A2 A3 A1");
    card->SetCommandDataHex(0x00CCBBAAu, 3);
    EXPECT_EQ(card->Command().SaveHex(0), "00 D6 01 02 AA BB CC A3 A1");
    card->SetCommandHexAt(1, 1, "B0 FF");
    EXPECT_EQ(card->Command().SaveHex(0), "00 B0 01 02 AA BB CC A3 A1");
    card->SetCommand({0x80, 0x2A, 0x90, 0x00});
    EXPECT_EQ(card->Command().SaveHex(0), "80 2A 90 00");
    const std::vector<unsigned char> tooLong(256, 0x11);
    EXPECT_THROW(card->SetCommandData(tooLong.data(), 0, 256), std::length_error);
    EXPECT_EQ(card->Command().SaveHex(0), "80 2A 90 00");
}

TEST_F(CardCommands, CommandTextThatIsNotHexIsRefused)
{
    auto card = MakeCard();
    card->SetCommandHex("00 A4 04 0C");
    try {
        card->SetCommandHex("00 G4");
        FAIL() << "took a command that is not hex";
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid hex block:'00 G4'");
    }
    EXPECT_EQ(card->Command().Length(), 0);
}

TEST_F(CardCommands, AtrBytesOnlyFromInsideTheAtr)
{
    auto card = Connected();
    const testsupport::Bytes& atr = testsupport::AtrT0();
    const int length = static_cast<int>(atr.size());
    std::vector<unsigned char> bytes(atr.size() + 4, 0xEE);
    EXPECT_EQ(card->GetAtrBytes(bytes.data(), 0, length), length);
    EXPECT_TRUE(std::equal(atr.begin(), atr.end(), bytes.begin()));
    EXPECT_EQ(card->GetAtrBytes(bytes.data(), 1, length - 1), length - 1);
    EXPECT_EQ(bytes[0], atr[1]);
    std::fill(bytes.begin(), bytes.end(), 0xEE);
    for (const auto& [index, count] : {std::pair{1, length}, std::pair{-1, 2}, std::pair{0, -1}})
        EXPECT_EQ(card->GetAtrBytes(bytes.data(), index, count), 0) << index << " " << count;
    EXPECT_EQ(bytes[0], 0xEE);
}

TEST(CardComponentTexts, StateTexts)
{
    EXPECT_EQ(TAPDUDemoCard::StateText(rsExclusive),
              "There is a card in the reader. The card is connected to in exclusive mode.");
    EXPECT_EQ(TAPDUDemoCard::StateText(rsEmpty), "There is no card in the reader.");
    EXPECT_EQ(TAPDUDemoCard::StateText(rsNoReader), "The object is not connected to any reader.");
}

TEST(CardComponentTexts, AnswerOfOneByteHasNoStatus)
{
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    fake->Attach("R");
    fake->Insert("R", {0x3B, 0x02, 0x14, 0x50});
    fake->answer = {0x90};
    TAPDUDemoCard card;
    card.SetProtocolOnReset(prT0);
    card.UseFirstReader();
    ASSERT_TRUE(card.Connected());
    EXPECT_EQ(card.Execute(), 0);
    EXPECT_EQ(card.AnswerHex(), "90");
    EXPECT_EQ(card.SW(), 0);
    EXPECT_EQ(card.SW1(), 0);
    EXPECT_EQ(card.StatusText(), "Answer to short or no answer");
}

}  // namespace
