// Shared pieces of the card component tests: the in-process PC/SC service with an emulated
// driver card, and a log of the component's events.
#pragma once

#include "smartcard/apdudemocard.h"
#include "smartcard/hextext.h"
#include "smartcard/scard_error.h"
#include "tests/support/card_files.h"
#include "tests/support/card_model.h"
#include "tests/support/card_model_pcsc.h"
#include "tests/support/message_recorder.h"
#include "tests/support/vpcd_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cardtest {

inline std::string Hex(const testsupport::Bytes& bytes)
{
    return smartcard::BytesToHex(bytes.data(), static_cast<int>(bytes.size()));
}

// The code of the ESCardError `action` raises; 0 when it raises none.
inline LONG RaisedCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const smartcard::ESCardError& e) {
        return e.Code();
    }
    return 0;
}

// Every event of a component, by name, in the order fired.
struct EventLog {
    std::vector<std::string> events;
    std::vector<std::string> readers;

    void Attach(smartcard::TAPDUDemoCard& card)
    {
        card.OnCardSwallowed = Recorder("swallowed");
        card.OnCardAbsent = Recorder("absent");
        card.OnConnected = Recorder("connected");
        card.OnNotConnected = Recorder("not connected");
        card.OnDisconnected = Recorder("disconnected");
        card.OnReaderNameChange = Recorder("name");
        card.OnReaderStateChange = Recorder("state");
    }
    int Count(const std::string& name) const
    {
        return static_cast<int>(std::count(events.begin(), events.end(), name));
    }

private:
    smartcard::TReaderEvent Recorder(const char* name)
    {
        return [this, name](smartcard::TAPDUDemoCard&, const std::string& reader, smartcard::TReaderStates) {
            events.emplace_back(name);
            readers.push_back(reader);
        };
    }
};

// The two rig readers, both empty, and two small driver cards to put into them.
class CardComponentTest : public ::testing::Test {
protected:
    CardComponentTest() { fake.Install(); }

    // A component as the card form sets it up: T=0, everything else at the defaults.
    static std::unique_ptr<smartcard::TAPDUDemoCard> MakeCard()
    {
        auto card = std::make_unique<smartcard::TAPDUDemoCard>();
        card->SetProtocolOnReset(smartcard::prT0);
        return card;
    }
    // Sends one command; the answer as hex text.
    static std::string Send(smartcard::TAPDUDemoCard& card, const testsupport::Bytes& command)
    {
        card.SetCommand(command);
        EXPECT_EQ(card.Execute(), 0);
        return card.AnswerHex();
    }
    int CallsOf(const std::string& name) const
    {
        return static_cast<int>(std::count(fake.Calls().begin(), fake.Calls().end(), name));
    }

    testsupport::MessageRecorder boxes;
    // The cards outlive every component of a test, which disconnects from them as it goes.
    testsupport::CardModel model{testsupport::MakeCardFiles(testsupport::SmallestCard())};
    // A second card, for a swap or the other reader.
    testsupport::CardModel other{testsupport::MakeCardFiles(testsupport::SmallestCard(), 2)};
    testsupport::FakePcsc fake;
};

}  // namespace cardtest
