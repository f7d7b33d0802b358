#pragma once

// A TCP server on 127.0.0.1 that echoes what it reads, only swallows it, or sends up to
// 256 MiB as fast as the connection takes them. For the socket proxy tests.

#include "core/glib/AsyncScope.h"
#include "core/glib/GRef.h"
#include "core/glib/SignalConnection.h"

#include <gio/gio.h>

#include <string>

namespace quorin {

enum class Server { Echoes, Swallows, Floods };

struct TcpServer {
    explicit TcpServer(Server serving)
        : kind(serving)
    {
        GSocketAddress* bound = nullptr;
        auto loopback = glib::adoptGRef(g_inet_socket_address_new_from_string("127.0.0.1", 0));
        g_socket_listener_add_address(G_SOCKET_LISTENER(service.get()), loopback.get(), G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, nullptr, &bound, nullptr);
        port = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(glib::adoptGRef(bound).get()));
        incoming = glib::SignalConnection::connect(service.get(), "incoming", G_CALLBACK(+[](GSocketService*, GSocketConnection* connection, GObject*, TcpServer* server) {
            server->serve(connection);
            return TRUE;
        }), this);
    }
    void serve(GSocketConnection* connection)
    {
        latest = glib::retainGRef(connection);
        if (kind == Server::Floods)
            return flood(glib::retainGRef(connection));
        auto sink = glib::adoptGRef(g_memory_output_stream_new_resizable());
        GOutputStream* target = kind == Server::Echoes ? g_io_stream_get_output_stream(G_IO_STREAM(connection)) : sink.get();
        g_output_stream_splice_async(target, g_io_stream_get_input_stream(G_IO_STREAM(connection)), G_OUTPUT_STREAM_SPLICE_CLOSE_SOURCE,
            G_PRIORITY_DEFAULT, nullptr, [](GObject*, GAsyncResult*, gpointer held) { g_object_unref(held); }, g_object_ref(connection));
    }
    void flood(glib::GRef<GSocketConnection> connection)
    {
        static const std::string chunk(1 << 20, 'f');
        if (flooded >= 256 * chunk.size())
            return;
        auto call = scope.call([this, connection](GObject* stream, GAsyncResult* result) {
            gssize written = g_output_stream_write_finish(G_OUTPUT_STREAM(stream), result, nullptr);
            if (written <= 0)
                return;
            flooded += static_cast<std::uint64_t>(written);
            flood(connection);
        });
        g_output_stream_write_async(g_io_stream_get_output_stream(G_IO_STREAM(connection.get())), chunk.data(), chunk.size(),
            G_PRIORITY_DEFAULT, call.cancellable, call.callback, call.data);
    }
    Server kind;
    glib::GRef<GSocketService> service = glib::adoptGRef(g_socket_service_new());
    glib::SignalConnection incoming;
    std::uint16_t port { 0 };
    glib::GRef<GSocketConnection> latest; // the last connection served
    std::uint64_t flooded { 0 };
    glib::AsyncScope scope;
};

} // namespace quorin
