// The socket proxy's relay against its floor and against websockify; run it with
// run-socket-proxy-bench.sh, which starts the three processes.
//
//     quorin_bench_socket_proxy echo          TCP echo server on 127.0.0.1; prints its port
//     quorin_bench_socket_proxy port          prints a free port on 127.0.0.1
//     quorin_bench_socket_proxy NAME tcp:PORT | ws://127.0.0.1:PORT/PATH
//         one table row: 64 KiB messages echoed one at a time (MB/s), and the p50/p99 round
//         trip of 64-byte messages (microseconds). The same client for every target: raw
//         bytes to the TCP echo, masked binary frames to a WebSocket endpoint.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
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

[[noreturn]] void echo()
{
    int listener = loopbackSocket(0, true);
    std::printf("%u\n", boundPort(listener));
    std::fflush(stdout);
    for (;;) {
        int client = accept(listener, nullptr, nullptr);
        int one = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::thread([client] {
            std::vector<char> buffer(65536);
            for (ssize_t count; (count = read(client, buffer.data(), buffer.size())) > 0;) {
                for (ssize_t sent = 0, step; sent < count; sent += step) {
                    if ((step = write(client, buffer.data() + sent, static_cast<std::size_t>(count - sent))) <= 0)
                        break;
                }
            }
            close(client);
        }).detach();
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
        for (std::size_t echoed = 0; echoed < message.size();)
            echoed += receive(message.size() - echoed);
    }

private:
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

    // Payload bytes of one server frame (WebSocket) or of one read (TCP), at most `wanted`.
    std::size_t receive(std::size_t wanted)
    {
        if (!m_webSocket) {
            auto count = read(m_fd, m_buffer.data(), std::min(wanted, m_buffer.size()));
            if (count <= 0)
                throw std::runtime_error("connection ended");
            return static_cast<std::size_t>(count);
        }
        unsigned char header[10];
        readExactly(m_fd, reinterpret_cast<char*>(header), 2);
        std::uint64_t length = header[1] & 0x7F;
        if (length >= 126) {
            std::size_t extra = length == 126 ? 2 : 8;
            readExactly(m_fd, reinterpret_cast<char*>(header) + 2, extra);
            length = 0;
            for (std::size_t i = 0; i < extra; ++i)
                length = (length << 8) | header[2 + i];
        }
        for (std::size_t left = length; left > 0;) {
            std::size_t piece = std::min(left, m_buffer.size());
            readExactly(m_fd, m_buffer.data(), piece);
            left -= piece;
        }
        return length;
    }

    int m_fd { -1 };
    bool m_webSocket { false };
    std::vector<char> m_buffer = std::vector<char>(1 << 20);
};

double microseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}

void measure(const std::string& name, const std::string& address)
{
    Target target(address);
    std::string large(64 * 1024, 'x'), small(64, 'y');
    for (int i = 0; i < 50; ++i)
        target.roundTrip(large);
    constexpr int largeCount = 2000;
    auto begin = Clock::now();
    for (int i = 0; i < largeCount; ++i)
        target.roundTrip(large);
    double megabytesPerSecond = largeCount * large.size() / microseconds(Clock::now() - begin);

    std::vector<double> trips;
    for (int i = 0; i < 5000; ++i) {
        auto start = Clock::now();
        target.roundTrip(small);
        if (i >= 200)
            trips.push_back(microseconds(Clock::now() - start));
    }
    std::sort(trips.begin(), trips.end());
    std::printf("%-12s %10.1f %10.1f %10.1f\n", name.c_str(), megabytesPerSecond, trips[trips.size() / 2], trips[trips.size() * 99 / 100]);
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "echo")
        echo();
    if (mode == "port") {
        int fd = loopbackSocket(0, true);
        std::printf("%u\n", boundPort(fd));
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorin_bench_socket_proxy echo | port | NAME tcp:PORT|ws://127.0.0.1:PORT/PATH\n");
        return 64;
    }
    try {
        measure(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
