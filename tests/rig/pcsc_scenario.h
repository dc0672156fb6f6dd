// One PC/SC session against the second reader, run both on the fake service and on the real rig,
// so that the two can be held to the same answers.
#pragma once

#include "smartcard/winscard_api.h"
#include "tests/support/card_model.h"

#include <string>
#include <vector>

namespace rigtest {

// Send headers of our own: SCARD_PCI_T0/T1 name the client library's globals, which a test of
// the fake does not link.
inline const SCARD_IO_REQUEST kPciT0{SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
inline const SCARD_IO_REQUEST kPciT1{SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};

// Puts cards into the second reader and takes them out, waiting until the service has seen it.
class CardSlot {
public:
    virtual ~CardSlot() = default;
    virtual void Insert(testsupport::CardModel& card) = 0;
    virtual void Remove() = 0;
    // Waits until the service has seen a card that removed itself.
    virtual void AwaitRemoval() = 0;
};

struct ScenarioStep {
    std::string name;
    LONG result;
    bool operator==(const ScenarioStep&) const = default;
};

// Runs the session and returns each call with its result; values a step checks beyond the
// result are folded into the step's name when they differ from what pcsc-lite gives.
[[nodiscard]] std::vector<ScenarioStep> RunPcscScenario(const smartcard::TSCardApi& api, CardSlot& slot);

// What pcsc-lite answers to that session.
[[nodiscard]] std::vector<ScenarioStep> ExpectedPcscScenario();

}  // namespace rigtest
