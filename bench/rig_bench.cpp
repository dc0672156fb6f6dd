// The daemon and socket round trip alone: the full command sequence of a download of the largest
// card (147 commands) sent with SCardTransmit, round after round, to a card emulated in this
// process in "Virtual PCD 00 01". What is timed is the client library, the pcscd socket, vpcd's
// TCP link and the emulator's answer; no code of the program runs. It is the floor under the
// raw replay of download_bench, whose card lives in the rig's own emulator process.
// Needs a running rig: scripts/rig-start.sh, or a private one with KARTOVAN_RIG_DIR and
// PCSCLITE_CSOCK_NAME=<that folder>/pcscd.comm.
//   rig_bench [ROUNDS, default 20]
#include "bench/bench_run.h"
#include "tests/support/card_files.h"
#include "tests/support/card_model.h"
#include "tests/support/download_commands.h"
#include "tests/support/vpcd_client.h"

#include <winscard.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <numeric>
#include <thread>
#include <vector>

namespace {

using namespace testsupport;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Waits (up to 10 s) until the reader shows a card or no card.
bool WaitFor(SCARDCONTEXT context, bool present)
{
    SCARD_READERSTATE state{};
    state.szReader = kRigSecondReader;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    for (int round = 0; round < 10; ++round) {
        if (SCardGetStatusChange(context, 1000, &state, 1) != SCARD_S_SUCCESS)
            continue;
        if (((state.dwEventState & SCARD_STATE_PRESENT) != 0) == present)
            return true;
        state.dwCurrentState = state.dwEventState & ~DWORD{SCARD_STATE_CHANGED};
    }
    return false;
}

// One round: connect, send every command, disconnect with a reset. Fills the time of each command; false
// (with the reason printed) when a command failed or was not answered with 90 00.
bool Round(SCARDCONTEXT context, const std::vector<Bytes>& commands, std::vector<double>& times)
{
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    if (SCardConnect(context, kRigSecondReader, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, &card, &protocol) !=
        SCARD_S_SUCCESS) {
        std::fprintf(stderr, "rig_bench: cannot connect to %s\n", kRigSecondReader);
        return false;
    }
    bool ok = true;
    Bytes answer(258);
    for (std::size_t i = 0; i < commands.size() && ok; ++i) {
        DWORD length = static_cast<DWORD>(answer.size());
        const auto start = Clock::now();
        const LONG rv = SCardTransmit(card, SCARD_PCI_T0, commands[i].data(), static_cast<DWORD>(commands[i].size()),
                                      nullptr, answer.data(), &length);
        times.push_back(Milliseconds(Clock::now() - start));
        if (rv != SCARD_S_SUCCESS || length < 2 || answer[length - 2] != 0x90 || answer[length - 1] != 0x00) {
            std::fprintf(stderr, "rig_bench: command %zu failed (%s, %lu answer bytes, last %02X %02X)\n", i,
                         pcsc_stringify_error(rv), static_cast<unsigned long>(length),
                         length >= 2 ? answer[length - 2] : 0, length >= 2 ? answer[length - 1] : 0);
            ok = false;
        }
    }
    // The next round starts at the master file again, as after an insertion.
    SCardDisconnect(card, SCARD_RESET_CARD);
    return ok;
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

void Print(const char* what, const std::vector<double>& values)
{
    const double mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    std::printf("%-22s median %8.3f ms  mean %8.3f  min %8.3f  p95 %8.3f  max %8.3f\n", what, Percentile(values, 0.5),
                mean, Percentile(values, 0.0), Percentile(values, 0.95), Percentile(values, 1.0));
}

int Run(int rounds)
{
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
        std::fprintf(stderr, "rig_bench: no pcscd (start the rig with scripts/rig-start.sh)\n");
        return 1;
    }
    const std::vector<Bytes> commands = DownloadCommands(LargestCard());
    CardModel model(MakeCardFiles(LargestCard()));
    WaitFor(context, false);
    InsertedCard card(model, RigVpcdPort(1));
    if (!WaitFor(context, true)) {
        std::fprintf(stderr, "rig_bench: the card did not show up in %s\n", kRigSecondReader);
        SCardReleaseContext(context);
        return 1;
    }
    std::vector<double> perCommand;
    std::vector<double> perRound;
    // The first round warms up the daemon's threads and is not counted.
    for (int round = 0; round <= rounds; ++round) {
        std::vector<double> times;
        if (!Round(context, commands, times)) {
            SCardReleaseContext(context);
            return 1;
        }
        if (round == 0)
            continue;
        perCommand.insert(perCommand.end(), times.begin(), times.end());
        perRound.push_back(std::accumulate(times.begin(), times.end(), 0.0));
    }
    SCardReleaseContext(context);
    std::printf("PC/SC round trip alone (client library, pcscd socket, vpcd link, card emulated in this process;\n"
                "no program code): %zu commands of the largest card, %d rounds after a cold one\n",
                commands.size(), rounds);
    Print("per command:", perCommand);
    Print("per round of commands:", perRound);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = bench::CountArgument(argc, argv, 1, 20);
    if (rounds < 1) {
        std::fprintf(stderr, "usage: rig_bench [ROUNDS]\n");
        return 2;
    }
    try {
        return Run(rounds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rig_bench: %s\n", e.what());
        return 1;
    }
}
