// The emulated driver card for the PC/SC rig: serves one card to a vpcd reader until the
// reader goes away, logging every command and answer to standard output.
#include "tests/support/card_files.h"
#include "tests/support/card_model.h"
#include "tests/support/vpcd_client.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

namespace {

void PrintHex(const testsupport::Bytes& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        std::printf(i == 0 ? "%02X" : " %02X", bytes[i]);
}

void Trace(const testsupport::ApduExchange& exchange)
{
    std::printf("> ");
    PrintHex(exchange.command);
    std::printf("\n< ");
    PrintHex(exchange.answer);
    std::printf("\n");
    std::fflush(stdout);
}

int Usage()
{
    std::fprintf(stderr, "usage: card_emulator [--port N] [--card smallest|largest]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned long port = testsupport::kVpcdStandardPort;
    testsupport::CardCounts counts = testsupport::LargestCard();
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const std::string_view value = argv[++i];
        if (arg == "--port") {
            char* end = nullptr;
            port = std::strtoul(argv[i], &end, 10);
            if (*end != '\0' || port == 0 || port > 65535)
                return Usage();
        } else if (arg == "--card" && value == "smallest") {
            counts = testsupport::SmallestCard();
        } else if (arg == "--card" && value == "largest") {
            counts = testsupport::LargestCard();
        } else {
            return Usage();
        }
    }
    try {
        testsupport::CardModel card(testsupport::MakeCardFiles(counts));
        testsupport::VpcdClient client(card, static_cast<std::uint16_t>(port), std::chrono::seconds(20));
        std::printf("card in the reader on port %lu\n", port);
        std::fflush(stdout);
        client.Serve(Trace);
        std::printf("reader closed the connection\n");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "card_emulator: %s\n", e.what());
        return 1;
    }
}
