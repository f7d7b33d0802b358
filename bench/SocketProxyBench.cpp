// The socket proxy's relay against its floor and against websockify; run it with
// run-socket-proxy-bench.sh, which starts the three processes.
//
//     quorin_bench_socket_proxy echo          TCP echo server on 127.0.0.1; prints its port
//     quorin_bench_socket_proxy relay PORT    plain TCP relay to 127.0.0.1:PORT; prints its port
//     quorin_bench_socket_proxy port          prints a free port on 127.0.0.1
//     quorin_bench_socket_proxy ROUNDS FLOOR SUBJECT RIVAL [OTHER...]
//         each NAME=tcp:PORT or NAME=ws://127.0.0.1:PORT/PATH. In each round every target in
//         turn echoes 64 KiB messages (four in flight), then 64-byte ones one at a time; a
//         table row per target gives its MB/s over all rounds and the p50/p99 round trip
//         (microseconds) of all its small messages, then the ratios of the subject and the
//         others to the floor and to the rival. The same client for every target: raw bytes
//         to a TCP endpoint, masked binary frames to a WebSocket endpoint.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <semaphore>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int loopbackSocket(std::uint16_t port, bool listens)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    if (listens ? (bind(fd, generic, sizeof address) != 0 || listen(fd, 16) != 0) : connect(fd, generic, sizeof address) != 0)
        throw std::runtime_error("cannot reach 127.0.0.1:" + std::to_string(port));
    return fd;
}

std::uint16_t boundPort(int fd)
{
    sockaddr_in address {};
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

void readExactly(int fd, char* into, std::size_t size)
{
    while (size > 0) {
        auto count = read(fd, into, size);
        if (count <= 0)
            throw std::runtime_error("connection ended");
        into += count;
        size -= static_cast<std::size_t>(count);
    }
}

void writeAll(int fd, iovec* pieces, int count)
{
    while (count > 0) {
        auto written = writev(fd, pieces, count);
        if (written < 0)
            throw std::runtime_error("write failed");
        auto left = static_cast<std::size_t>(written);
        for (; count > 0 && left >= pieces->iov_len; --count)
            left -= pieces++->iov_len;
        if (count > 0) {
            pieces->iov_base = static_cast<char*>(pieces->iov_base) + left;
            pieces->iov_len -= left;
        }
    }
}

// Listens on 127.0.0.1, prints the port, and serves each client on a thread of its own.
[[noreturn]] void serveEachClient(const std::function<void(int client)>& serve)
{
    int listener = loopbackSocket(0, true);
    std::printf("%u\n", boundPort(listener));
    std::fflush(stdout);
    for (;;) {
        int client = accept(listener, nullptr, nullptr);
        int one = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::thread(serve, client).detach();
    }
}

void echoTo(int client)
{
    std::vector<char> buffer(65536);
    try {
        for (ssize_t count; (count = read(client, buffer.data(), buffer.size())) > 0;) {
            iovec piece { buffer.data(), static_cast<std::size_t>(count) };
            writeAll(client, &piece, 1);
        }
    } catch (const std::runtime_error&) { // the client left mid-echo
    }
    close(client);
}

// The least any relay does: bytes from each side written to the other as they come, at most
// 16 KiB a read, no framing. What an extra hop costs on this machine.
void relayBetween(int client, int server)
{
    std::vector<char> buffer(16384);
    for (pollfd sides[2] = { { client, POLLIN, 0 }, { server, POLLIN, 0 } }; poll(sides, 2, -1) > 0;) {
        for (int side = 0; side < 2; ++side) {
            if (!sides[side].revents)
                continue;
            auto count = read(sides[side].fd, buffer.data(), buffer.size());
            if (count <= 0)
                return close(client), close(server), void();
            iovec piece { buffer.data(), static_cast<std::size_t>(count) };
            writeAll(sides[1 - side].fd, &piece, 1);
        }
    }
}

// One endpoint, spoken to as raw TCP or as a WebSocket client.
class Target {
public:
    explicit Target(const std::string& address)
    {
        bool webSocket = address.starts_with("ws://127.0.0.1:");
        auto portStart = webSocket ? std::string("ws://127.0.0.1:").size() : std::string("tcp:").size();
        auto port = static_cast<std::uint16_t>(std::stoi(address.substr(portStart)));
        m_fd = loopbackSocket(port, false);
        if (webSocket)
            upgrade(address.substr(address.find('/', portStart)), port);
        m_webSocket = webSocket;
    }

    // Sends one message and waits until as many payload bytes came back.
    void roundTrip(const std::string& message)
    {
        send(message);
        for (std::size_t echoed = 0; echoed < message.size();)
            echoed += receive();
    }

    // Sends `count` copies of the message while reading the echoes, with at most `window` of
    // them unanswered at a time.
    void stream(const std::string& message, int count, std::ptrdiff_t window)
    {
        std::counting_semaphore<> room(window);
        std::thread sender([&] {
            for (int i = 0; i < count; ++i) {
                room.acquire();
                send(message);
            }
        });
        std::size_t echoed = 0, answered = 0, total = message.size() * static_cast<std::size_t>(count);
        while (echoed < total) {
            echoed += receive();
            for (; (answered + 1) * message.size() <= echoed; ++answered)
                room.release();
        }
        sender.join();
    }

private:
    void send(const std::string& message)
    {
        unsigned char header[14] = { 0x82 };
        std::size_t headerSize = 2;
        if (message.size() < 126) {
            header[1] = static_cast<unsigned char>(0x80 | message.size());
        } else {
            header[1] = 0x80 | 127;
            for (int i = 0; i < 8; ++i)
                header[2 + i] = static_cast<unsigned char>(message.size() >> (56 - 8 * i));
            headerSize = 10;
        }
        headerSize += 4; // a zero mask key leaves the payload as it is
        iovec pieces[2] = { { header, m_webSocket ? headerSize : 0 }, { const_cast<char*>(message.data()), message.size() } };
        writeAll(m_fd, pieces, 2);
    }

    void upgrade(const std::string& path, std::uint16_t port)
    {
        std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port)
            + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
              "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n";
        iovec piece { request.data(), request.size() };
        writeAll(m_fd, &piece, 1);
        std::string response;
        for (char c; !response.ends_with("\r\n\r\n"); response.push_back(c))
            readExactly(m_fd, &c, 1);
        if (!response.starts_with("HTTP/1.1 101"))
            throw std::runtime_error("handshake refused");
    }

    // Payload bytes that one read brings: all of it from the TCP echo; from a WebSocket
    // endpoint the payloads of the frames it completes. Whatever a read brings is taken at
    // once, so neither kind of target pays extra system calls per frame.
    std::size_t receive()
    {
        auto count = read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (count <= 0)
            throw std::runtime_error("connection ended");
        if (!m_webSocket)
            return static_cast<std::size_t>(count);
        m_end += static_cast<std::size_t>(count);
        std::size_t payload = 0, offset = 0;
        for (std::optional<Frame> frame; (frame = completeFrameAt(offset)); offset += frame->size)
            payload += frame->payload;
        std::memmove(m_buffer.data(), m_buffer.data() + offset, m_end - offset);
        m_end -= offset;
        return payload;
    }

    struct Frame {
        std::size_t payload;
        std::size_t size;
    };
    std::optional<Frame> completeFrameAt(std::size_t offset) const
    {
        std::size_t available = m_end - offset;
        if (available < 2)
            return std::nullopt;
        const auto* header = reinterpret_cast<const unsigned char*>(m_buffer.data() + offset);
        std::size_t length = header[1] & 0x7F, headerSize = 2;
        if (length >= 126) {
            headerSize = length == 126 ? 4 : 10;
            if (available < headerSize)
                return std::nullopt;
            length = 0;
            for (std::size_t i = 2; i < headerSize; ++i)
                length = (length << 8) | header[i];
        }
        if (available < headerSize + length)
            return std::nullopt;
        return Frame { length, headerSize + length };
    }

    int m_fd { -1 };
    bool m_webSocket { false };
    std::vector<char> m_buffer = std::vector<char>(1 << 20);
    std::size_t m_end { 0 }; // bytes of frames not yet complete, at the buffer's start
};

double microseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}

struct Measured {
    Measured(std::string measuredName, const std::string& address)
        : name(std::move(measuredName))
        , target(address)
    {
    }

    std::string name;
    Target target;
    double largeBytes { 0 };
    double largeMicroseconds { 0 };
    std::vector<double> trips;

    double megabytesPerSecond() const { return largeBytes / largeMicroseconds; }
    double percentile(int percent) const { return trips[trips.size() * static_cast<std::size_t>(percent) / 100]; }
};

void measureRound(Measured& measured)
{
    static const std::string large(64 * 1024, 'x'), small(64, 'y');
    constexpr int largeCount = 400, smallCount = 1000;
    auto begin = Clock::now();
    measured.target.stream(large, largeCount, 4);
    measured.largeMicroseconds += microseconds(Clock::now() - begin);
    measured.largeBytes += largeCount * static_cast<double>(large.size());
    for (int i = 0; i < smallCount; ++i) {
        auto start = Clock::now();
        measured.target.roundTrip(small);
        measured.trips.push_back(microseconds(Clock::now() - start));
    }
}

void compare(int rounds, const std::vector<std::string>& targets)
{
    std::vector<Measured> all;
    all.reserve(targets.size());
    for (const auto& target : targets) {
        auto split = target.find('=');
        all.emplace_back(target.substr(0, split), target.substr(split + 1));
    }
    for (auto& measured : all) { // warm up, then start from nothing
        measureRound(measured);
        measured.largeBytes = measured.largeMicroseconds = 0;
        measured.trips.clear();
    }
    for (int round = 0; round < rounds; ++round) {
        for (auto& measured : all)
            measureRound(measured);
    }
    std::printf("%-12s %10s %10s %10s\n", "target", "MB/s", "p50 us", "p99 us");
    for (auto& measured : all) {
        std::sort(measured.trips.begin(), measured.trips.end());
        std::printf("%-12s %10.1f %10.1f %10.1f\n", measured.name.c_str(), measured.megabytesPerSecond(), measured.percentile(50), measured.percentile(99));
    }
    const auto& [floor, rival] = std::tie(all[0], all[2]);
    for (const auto& measured : all) {
        if (&measured == &floor || &measured == &rival)
            continue;
        std::printf("%s: throughput %.2f of %s's and %.2fx %s's; p99 %.2f of %s's\n", measured.name.c_str(),
            measured.megabytesPerSecond() / floor.megabytesPerSecond(), floor.name.c_str(),
            measured.megabytesPerSecond() / rival.megabytesPerSecond(), rival.name.c_str(),
            measured.percentile(99) / rival.percentile(99), rival.name.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "echo")
        serveEachClient(echoTo);
    if (mode == "relay" && argc == 3) {
        auto serverPort = static_cast<std::uint16_t>(std::atoi(argv[2]));
        serveEachClient([serverPort](int client) { relayBetween(client, loopbackSocket(serverPort, false)); });
    }
    if (mode == "port") {
        int fd = loopbackSocket(0, true);
        std::printf("%u\n", boundPort(fd));
        return 0;
    }
    int rounds = std::atoi(mode.c_str());
    if (argc < 5 || rounds <= 0) {
        std::fprintf(stderr, "usage: quorin_bench_socket_proxy echo | relay SERVER_PORT | port | ROUNDS FLOOR SUBJECT RIVAL [OTHER...] (each NAME=tcp:PORT or NAME=ws://127.0.0.1:PORT/PATH)\n");
        return 64;
    }
    try {
        compare(rounds, std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
