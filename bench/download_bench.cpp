// A card read by the program's own read path, next to a raw replay of the same commands.
//
// Each round runs the main window's card read (Tf_tcGlow::ReadDriverCard): the card component
// of the card form, its APDU channel, the window's hooks (progress window, result labels),
// the card download file and the ZOLT file written to disk. Then the commands that read sent
// are replayed through SCardTransmit on the same card handle, with nothing of the program in
// between. The card is reset before each of the two, outside the timing. The first round
// (cold caches, and the round that records the commands) is left out of the figures.
//
// Start a rig first: scripts/rig-start.sh --card largest, or a private rig with
// KARTOVAN_RIG_DIR and PCSCLITE_CSOCK_NAME=<that folder>/pcscd.comm. Then:
//   download_bench [rounds, default 20]
#include "app/tc_glow.h"
#include "bench/bench_run.h"
#include "smartcard/apdudemocard.h"
#include "smartcard/scard_calls.h"
#include "smartcard/smartcard_reader.h"
#include "smartcard/smartcardform.h"
#include "smartcard/winscard_api.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

// Answers every box with OK and counts the errors.
class CountedBoxes final : public utility::MessageBoxes {
public:
    bool Show(utility::MessageKind kind, const std::string& text) override
    {
        if (kind == utility::MessageKind::Error) {
            ++errors;
            std::fprintf(stderr, "error box: %s\n", utility::Cp1250ToUtf8(text).c_str());
        }
        return true;
    }
    int errors = 0;
};

// The commands of one read, taken down on their way to the library.
std::vector<Bytes>* g_recorded = nullptr;
decltype(&::SCardTransmit) g_libraryTransmit = nullptr;

LONG RecordingTransmit(SCARDHANDLE card, const SCARD_IO_REQUEST* sendPci, LPCBYTE send, DWORD sendLength,
                       SCARD_IO_REQUEST* receivePci, LPBYTE receive, LPDWORD receiveLength)
{
    g_recorded->emplace_back(send, send + sendLength);
    return g_libraryTransmit(card, sendPci, send, sendLength, receivePci, receive, receiveLength);
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Min(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

std::size_t FilesIn(const fs::path& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

void Empty(const fs::path& folder)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        fs::remove(entry.path());
}

// The raw replay: every command straight to the library, answers into one buffer.
bool Replay(SCARDHANDLE card, const std::vector<Bytes>& commands)
{
    static const SCARD_IO_REQUEST t0{SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
    Bytes answer(258);
    for (const Bytes& command : commands) {
        DWORD length = static_cast<DWORD>(answer.size());
        if (smartcard::SCardTransmit(card, &t0, command.data(), static_cast<DWORD>(command.size()), nullptr,
                                     answer.data(), &length) != SCARD_S_SUCCESS)
            return false;
    }
    return true;
}

int Run(int rounds, const fs::path& scratch)
{
    CountedBoxes boxes;
    utility::SetMessageBoxes(&boxes);
    smartcard::InitSCardBinding();
    app::Tf_tcGlow window;
    const fs::path ddd = scratch / "DDD";
    const fs::path zolt = scratch / "ZOLT";
    fs::create_directories(ddd);
    fs::create_directories(zolt);
    window.DddFolder = utility::Utf8ToCp1250(ddd.string());
    window.ZoltFolder = utility::Utf8ToCp1250(zolt.string()) + "/";
    if (!window.CheckReader()) {
        std::fprintf(stderr, "no card (is the rig running?): %s\n", window.Memo1->toPlainText().toUtf8().constData());
        return 1;
    }
    smartcard::TAPDUDemoCard& card = *smartcard::f_smartCard()->APDUDemoCard1;
    std::vector<Bytes> commands;
    std::vector<double> program, raw, ratio;
    for (int round = 0; round <= rounds; ++round) {
        Empty(ddd);
        Empty(zolt);
        // Every read in the program starts on a freshly reset card.
        card.Connect();
        std::optional<smartcard::TScopedSCardApi> recording;
        if (round == 0) {
            smartcard::TSCardApi table = smartcard::SCardApi();
            g_libraryTransmit = table.SCardTransmit;
            g_recorded = &commands;
            table.SCardTransmit = RecordingTransmit;
            recording.emplace(table);
        }
        const auto t0 = Clock::now();
        const int result = window.ReadDriverCard();
        const auto t1 = Clock::now();
        recording.reset();
        if (result != 0 || FilesIn(ddd) != 1 || FilesIn(zolt) != 1 || boxes.errors != 0) {
            std::fprintf(stderr, "round %d: the read failed (result %d, \"%s\")\n", round, result,
                         window.Label4->text().toUtf8().constData());
            return 1;
        }
        card.Connect();
        const auto t2 = Clock::now();
        const bool replayed = Replay(card.Reader()->Handle(), commands);
        const auto t3 = Clock::now();
        if (!replayed) {
            std::fprintf(stderr, "round %d: the raw replay failed\n", round);
            return 1;
        }
        if (round == 0)
            continue;
        program.push_back(Ms(t1 - t0));
        raw.push_back(Ms(t3 - t2));
        ratio.push_back(Ms(t1 - t0) / Ms(t3 - t2));
    }
    std::printf("reader \"%s\", %zu commands per read, %d rounds after a cold one\n\n", card.ReaderName().c_str(),
                commands.size(), rounds);
    std::printf("| per round                                | median    | min       |\n");
    std::printf("|------------------------------------------|-----------|-----------|\n");
    std::printf("| program's read (DDD and ZOLT file saved) | %6.1f ms | %6.1f ms |\n", Median(program), Min(program));
    std::printf("| raw replay of the same commands          | %6.1f ms | %6.1f ms |\n", Median(raw), Min(raw));
    std::printf("| ratio program / raw (per round)          | %9.3f | %9.3f |\n", Median(ratio), Min(ratio));
    std::printf("| program's own share per command          | %6.3f ms |           |\n",
                (Median(program) - Median(raw)) / static_cast<double>(commands.size()));
    smartcard::FreeSmartCardForm();
    utility::SetMessageBoxes(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = bench::CountArgument(argc, argv, 1, 20);
    if (rounds < 1) {
        std::fprintf(stderr, "usage: download_bench [ROUNDS]\n");
        return 2;
    }
    bench::OffscreenUnlessAsked();
    // Settings and data of this run stay in a folder of its own, never the user's.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;
    bench::KeepSettingsIn(scratch);
    QApplication app(argc, argv);
    return Run(rounds, fs::path(scratch.path().toStdString()));
}
