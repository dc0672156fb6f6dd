// Waits until a PC/SC reader shows a card (or no card), for the rig scripts.
//   rig_probe wait present|empty READER SECONDS
// Exit 0 when the state was seen, 1 when the time ran out, 2 on bad arguments.
#include <winscard.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace {

// One look at the reader; false when the daemon or the reader is not there (yet).
bool ReaderShows(const char* reader, bool wantPresent)
{
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return false;
    SCARD_READERSTATE state{};
    state.szReader = reader;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    const LONG rv = SCardGetStatusChange(context, 0, &state, 1);
    SCardReleaseContext(context);
    if (rv != SCARD_S_SUCCESS)
        return false;
    const bool present = (state.dwEventState & SCARD_STATE_PRESENT) != 0;
    return present == wantPresent;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5 || std::string_view(argv[1]) != "wait")
        return 2;
    const std::string_view what = argv[2];
    if (what != "present" && what != "empty")
        return 2;
    const long seconds = std::strtol(argv[4], nullptr, 10);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    do {
        if (ReaderShows(argv[3], what == "present"))
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    std::fprintf(stderr, "rig_probe: %s did not become %s within %ld s\n", argv[3], argv[2], seconds);
    return 1;
}
