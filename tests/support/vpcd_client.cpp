#include "tests/support/vpcd_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace testsupport {

namespace {

int ConnectOnce(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

}  // namespace

std::uint16_t RigVpcdPort(int reader)
{
    if (reader < 0 || reader > 1)
        throw std::invalid_argument("vpcd has readers 0 and 1");
    const char* socket = std::getenv("PCSCLITE_CSOCK_NAME");
    if (socket == nullptr || *socket == '\0')
        return static_cast<std::uint16_t>(kVpcdStandardPort + reader);
    const std::filesystem::path file = std::filesystem::path(socket).parent_path() / "vpcd.port";
    std::ifstream in(file);
    unsigned long first = 0;
    if (!(in >> first) || first == 0 || first + static_cast<unsigned long>(reader) > 65535)
        throw std::runtime_error("no vpcd port in " + file.string() + " (is the rig up?)");
    return static_cast<std::uint16_t>(first + static_cast<unsigned long>(reader));
}

VpcdClient::VpcdClient(CardModel& card, std::uint16_t port, std::chrono::milliseconds timeout) : card_(card)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while ((fd_ = ConnectOnce(port)) < 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            throw std::runtime_error("no vpcd reader listens on 127.0.0.1:" + std::to_string(port));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

VpcdClient::~VpcdClient()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void VpcdClient::Close() { ::shutdown(fd_, SHUT_RDWR); }

bool VpcdClient::ReadExact(std::uint8_t* to, std::size_t count)
{
    while (count > 0) {
        // Quick ACK must be asked for before every receive; otherwise the delayed ACK holds each
        // answer back for tens of milliseconds.
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
        const ssize_t got = ::recv(fd_, to, count, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        to += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

bool VpcdClient::Send(const Bytes& payload)
{
    Bytes frame{static_cast<std::uint8_t>(payload.size() >> 8), static_cast<std::uint8_t>(payload.size() & 0xFF)};
    frame.insert(frame.end(), payload.begin(), payload.end());
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n = ::send(fd_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void VpcdClient::Serve(void (*trace)(const ApduExchange&))
{
    ServeUntilDone(trace);
    // Closing our side is what vpcd sees as the card pulled out.
    ::shutdown(fd_, SHUT_RDWR);
}

void VpcdClient::ServeUntilDone(void (*trace)(const ApduExchange&))
{
    for (;;) {
        std::uint8_t header[2];
        if (!ReadExact(header, 2))
            return;
        Bytes payload(static_cast<std::size_t>(header[0] << 8 | header[1]));
        if (!ReadExact(payload.data(), payload.size()))
            return;
        if (payload.size() == 1) {
            switch (payload[0]) {
            case 1:  // power on
            case 2:  // reset
                card_.Reset();
                break;
            case 4:
                if (!Send(card_.Atr()))
                    return;
                break;
            default:  // power off, and controls this card does not know
                break;
            }
            continue;
        }
        if (payload.empty())
            continue;
        ApduExchange exchange{payload, card_.Transmit(payload)};
        if (trace)
            trace(exchange);
        if (exchange.answer.empty() || !Send(exchange.answer))
            return;
        if (card_.Removed())
            return;
    }
}

InsertedCard::InsertedCard(CardModel& card, std::uint16_t port, std::chrono::milliseconds timeout)
    : client_(card, port, timeout), thread_([this] { client_.Serve(); })
{}

InsertedCard::~InsertedCard() { Remove(); }

void InsertedCard::Remove()
{
    if (thread_.joinable()) {
        client_.Close();
        thread_.join();
    }
}

}  // namespace testsupport
