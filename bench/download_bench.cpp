// A full driver card download over the real rig, next to the same commands sent raw.
// Start the rig first (scripts/rig-start.sh --card largest), then run:
//   download_bench [rounds] [reader]
#include "smartcard/driver_card_download.h"
#include "smartcard/scard_calls.h"
#include "smartcard/winscard_api.h"
#include "utility/dialogi.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class PcscChannel final : public smartcard::TApduChannel {
public:
    explicit PcscChannel(SCARDHANDLE card) : card_(card) {}
    smartcard::Bytes Transmit(std::span<const std::uint8_t> command) override
    {
        log.emplace_back(command.begin(), command.end());
        return Raw(card_, command);
    }
    static smartcard::Bytes Raw(SCARDHANDLE card, std::span<const std::uint8_t> command)
    {
        smartcard::Bytes answer(258);
        DWORD length = static_cast<DWORD>(answer.size());
        // The library is loaded at run time, so its T=0 header block is not linked in.
        static const SCARD_IO_REQUEST t0{SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
        const LONG rc = smartcard::SCardTransmit(card, &t0, command.data(), static_cast<DWORD>(command.size()),
                                                 nullptr, answer.data(), &length);
        if (rc != SCARD_S_SUCCESS)
            throw std::runtime_error("SCardTransmit failed: " + std::to_string(rc));
        answer.resize(length);
        return answer;
    }
    std::vector<smartcard::Bytes> log;

private:
    SCARDHANDLE card_;
};

class NoHooks final : public smartcard::TDownloadHooks {
public:
    void ProgressOpen(int, int, const std::string&) override {}
    void ProgressStep(int) override {}
    void ProgressClose() override {}
    void SetReadResult(const std::string& text) override { read = text; }
    void SetSaveResult(const std::string&) override {}
    void SaveCardAsDdd() override {}
    std::string read;
};

class PrintedBoxes final : public utility::MessageBoxes {
public:
    bool Show(utility::MessageKind, const std::string& text) override
    {
        std::fprintf(stderr, "box: %s\n", text.c_str());
        return true;
    }
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::stoi(argv[1]) : 5;
    const std::string reader = argc > 2 ? argv[2] : "Virtual PCD 00 00";
    PrintedBoxes boxes;
    utility::SetMessageBoxes(&boxes);
    smartcard::InitSCardBinding();
    SCARDCONTEXT context = 0;
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    if (smartcard::SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS ||
        smartcard::SCardConnect(context, reader.c_str(), SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, &card,
                                &protocol) != SCARD_S_SUCCESS) {
        std::fprintf(stderr, "no card in reader \"%s\" (is the rig running?)\n", reader.c_str());
        return 1;
    }
    QTemporaryDir folder;
    PcscChannel channel(card);
    double downloadMs = 0;
    double rawMs = 0;
    // Every read in the program starts on a freshly reset card (the reader check reconnects),
    // so each run here does too, outside the timing.
    const auto reset = [&] {
        DWORD active = 0;
        if (smartcard::SCardReconnect(card, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, SCARD_RESET_CARD, &active) !=
            SCARD_S_SUCCESS)
            throw std::runtime_error("SCardReconnect failed");
    };
    for (int i = 0; i < rounds; ++i) {
        channel.log.clear();
        reset();
        NoHooks hooks;
        const auto t0 = Clock::now();
        const smartcard::TDownloadOutcome outcome =
            smartcard::ReadDriverCard(channel, hooks, {folder.path().toStdString(), {}, {}});
        const auto t1 = Clock::now();
        reset();
        const auto t1raw = Clock::now();
        for (const smartcard::Bytes& command : channel.log)
            (void)PcscChannel::Raw(card, command);
        const auto t2 = Clock::now();
        downloadMs += Ms(t1 - t0);
        rawMs += Ms(t2 - t1raw);
        std::printf("round %d: %zu commands, read \"%s\", result %d: download %.1f ms, raw %.1f ms\n", i + 1,
                    channel.log.size(), hooks.read.c_str(), outcome.result, Ms(t1 - t0), Ms(t2 - t1raw));
    }
    std::printf("mean of %d: download %.1f ms, raw %.1f ms, ratio %.3f\n", rounds, downloadMs / rounds, rawMs / rounds,
                downloadMs / rawMs);
    smartcard::SCardDisconnect(card, SCARD_LEAVE_CARD);
    smartcard::SCardReleaseContext(context);
    smartcard::FinalizeSCardBinding();
    utility::SetMessageBoxes(nullptr);
    return 0;
}
