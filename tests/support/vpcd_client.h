// Serves a card model to the vpcd virtual reader of pcscd over TCP, as a card in that reader.
#pragma once

#include "tests/support/card_model.h"

#include <chrono>
#include <cstdint>
#include <thread>

namespace testsupport {

// vpcd listens on one port per reader: the first is "Virtual PCD 00 00", the next "... 00 01".
// The machine's rig uses vpcd's own first port.
inline constexpr std::uint16_t kVpcdStandardPort = 35963;
inline constexpr const char* kRigReader = "Virtual PCD 00 00";
inline constexpr const char* kRigSecondReader = "Virtual PCD 00 01";

// The vpcd port of reader 0 or 1 of the rig the client library talks to. A private rig writes
// its first port to vpcd.port beside its pcscd socket (PCSCLITE_CSOCK_NAME); without that
// variable it is the machine's rig. Throws std::runtime_error when the file holds no port.
[[nodiscard]] std::uint16_t RigVpcdPort(int reader);

// One connection to vpcd. Frames are a two-byte big-endian length and the payload; a one-byte
// payload is a control (0 power off, 1 power on, 2 reset, 4 ATR wanted), anything longer an APDU.
class VpcdClient {
public:
    // Connects to 127.0.0.1:port, retrying until the timeout runs out (pcscd may still be
    // starting). Throws std::runtime_error when no connection could be made.
    VpcdClient(CardModel& card, std::uint16_t port, std::chrono::milliseconds timeout);
    ~VpcdClient();
    VpcdClient(const VpcdClient&) = delete;
    VpcdClient& operator=(const VpcdClient&) = delete;

    // Answers the reader until it closes the connection, Close() is called or the card model is
    // removed (then the connection is closed, which vpcd sees as the card pulled out).
    // Each command and answer is also passed to `trace` when it is set.
    void Serve(void (*trace)(const ApduExchange&) = nullptr);

    // Ends Serve() from another thread; the reader then sees no card.
    void Close();

private:
    void ServeUntilDone(void (*trace)(const ApduExchange&));
    bool ReadExact(std::uint8_t* to, std::size_t count);
    bool Send(const Bytes& payload);

    CardModel& card_;
    int fd_ = -1;
};

// A card in a vpcd reader for as long as the object lives, served on its own thread.
class InsertedCard {
public:
    InsertedCard(CardModel& card, std::uint16_t port = RigVpcdPort(1),
                 std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~InsertedCard();
    InsertedCard(const InsertedCard&) = delete;
    InsertedCard& operator=(const InsertedCard&) = delete;

    // Pulls the card out (idempotent).
    void Remove();

private:
    VpcdClient client_;
    std::thread thread_;
};

}  // namespace testsupport
