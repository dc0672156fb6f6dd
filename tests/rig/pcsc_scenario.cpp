#include "tests/rig/pcsc_scenario.h"

#include "tests/support/card_files.h"
#include "tests/support/download_commands.h"
#include "tests/support/vpcd_client.h"

#include <cstring>

namespace rigtest {

using namespace testsupport;

namespace {

class Recorder {
public:
    void Step(const std::string& name, LONG result, bool valuesAsExpected = true)
    {
        steps.push_back({valuesAsExpected ? name : name + " (unexpected values)", result});
    }
    std::vector<ScenarioStep> steps;
};

}  // namespace

std::vector<ScenarioStep> RunPcscScenario(const smartcard::TSCardApi& api, CardSlot& slot)
{
    Recorder r;
    SCARDCONTEXT context = 0;
    r.Step("establish", api.SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context));
    DWORD length = 0;
    const LONG sized = api.SCardListReaders(context, nullptr, nullptr, &length);
    r.Step("list readers: length", sized, length > std::strlen(kRigSecondReader));
    char small[4];
    length = sizeof small;
    r.Step("list readers: short buffer", api.SCardListReaders(context, nullptr, small, &length));

    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    r.Step("connect: no card",
           api.SCardConnect(context, kRigSecondReader, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, &card, &protocol));
    r.Step("connect: unknown reader", api.SCardConnect(context, "No Such Reader 00 00", SCARD_SHARE_EXCLUSIVE,
                                                       SCARD_PROTOCOL_T0, &card, &protocol));
    {
        CardModel t1(MakeCardFiles(SmallestCard()));
        t1.OfferOnlyT1();
        slot.Insert(t1);
        r.Step("connect: T=0 to a T=1 card",
               api.SCardConnect(context, kRigSecondReader, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, &card, &protocol));
        slot.Remove();
    }

    CardModel model(MakeCardFiles(SmallestCard()));
    model.LengthenAnswer(3, 10);
    model.RemoveAfter(5);
    slot.Insert(model);
    const LONG connected =
        api.SCardConnect(context, kRigSecondReader, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, &card, &protocol);
    r.Step("connect", connected, protocol == SCARD_PROTOCOL_T0);
    SCARD_READERSTATE state{};
    state.szReader = kRigSecondReader;
    const LONG status = api.SCardGetStatusChange(context, 0, &state, 1);
    const bool presentExclusive = (state.dwEventState & (SCARD_STATE_PRESENT | SCARD_STATE_EXCLUSIVE)) ==
                                      (SCARD_STATE_PRESENT | SCARD_STATE_EXCLUSIVE) &&
                                  Bytes(state.rgbAtr, state.rgbAtr + state.cbAtr) == AtrT0();
    r.Step("status change: present, exclusive", status, presentExclusive);

    Bytes answer(256);
    const auto transmit = [&](const SCARD_IO_REQUEST* pci, const Bytes& command, DWORD capacity = 256) {
        length = capacity;
        return api.SCardTransmit(card, pci, command.data(), static_cast<DWORD>(command.size()), nullptr, answer.data(),
                                 &length);
    };
    const LONG select = transmit(&kPciT0, SelectApplicationCommand());
    r.Step("transmit", select, length == 2 && answer[0] == 0x90);
    r.Step("transmit: T=1 header on T=0", transmit(&kPciT1, SelectFileCommand(kFidPlaces)));
    r.Step("transmit: select", transmit(&kPciT0, SelectFileCommand(kFidPlaces)));
    const LONG overLong = transmit(&kPciT0, ReadBinaryCommand(0, 254));
    r.Step("transmit: answer over the buffer", overLong, length == 254 + 10 + 2);
    r.Step("transmit: after the long answer", transmit(&kPciT0, ReadBinaryCommand(0, 4)));
    r.Step("transmit: last before removal", transmit(&kPciT0, ReadBinaryCommand(0, 4)));
    slot.AwaitRemoval();
    r.Step("transmit: card removed", transmit(&kPciT0, ReadBinaryCommand(0, 4)));
    r.Step("reconnect: card removed",
           api.SCardReconnect(card, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, SCARD_RESET_CARD, &protocol));
    r.Step("disconnect", api.SCardDisconnect(card, SCARD_RESET_CARD));
    r.Step("disconnect again", api.SCardDisconnect(card, SCARD_RESET_CARD));
    slot.Remove();
    r.Step("release", api.SCardReleaseContext(context));
    r.Step("release again", api.SCardReleaseContext(context));
    return r.steps;
}

std::vector<ScenarioStep> ExpectedPcscScenario()
{
    return {
        {"establish", SCARD_S_SUCCESS},
        {"list readers: length", SCARD_S_SUCCESS},
        {"list readers: short buffer", SCARD_E_INSUFFICIENT_BUFFER},
        {"connect: no card", SCARD_E_NO_SMARTCARD},
        {"connect: unknown reader", SCARD_E_UNKNOWN_READER},
        {"connect: T=0 to a T=1 card", SCARD_E_PROTO_MISMATCH},
        {"connect", SCARD_S_SUCCESS},
        {"status change: present, exclusive", SCARD_S_SUCCESS},
        {"transmit", SCARD_S_SUCCESS},
        {"transmit: T=1 header on T=0", SCARD_E_PROTO_MISMATCH},
        {"transmit: select", SCARD_S_SUCCESS},
        {"transmit: answer over the buffer", SCARD_E_INSUFFICIENT_BUFFER},
        {"transmit: after the long answer", SCARD_S_SUCCESS},
        {"transmit: last before removal", SCARD_S_SUCCESS},
        {"transmit: card removed", SCARD_W_REMOVED_CARD},
        {"reconnect: card removed", SCARD_E_NO_SMARTCARD},
        {"disconnect", SCARD_S_SUCCESS},
        {"disconnect again", SCARD_E_INVALID_HANDLE},
        {"release", SCARD_S_SUCCESS},
        {"release again", SCARD_E_INVALID_HANDLE},
    };
}

}  // namespace rigtest
