#include "UpdateHTTPClient.h"

#include "PartialDownloadFile.h"

#include "core/glib/GError.h"
#include "core/glib/MainLoop.h"

#include <libsoup/soup.h>

#include <algorithm>
#include <array>
#include <memory>

namespace quorin::UpdateHTTPClient {

namespace {

// Always a whole buffer: libsoup 3.2 stalls on a 1-byte read at the end of a chunked body.
constexpr std::size_t readChunkBytes = 65536;

bool isPermitted(const Url& url)
{
    return url.scheme() == "https" && !url.user() && !url.password() && url.hasHost();
}

// A timer that cancels `cancellable` when it fires, removed when the value goes away.
class CancellingTimer {
public:
    CancellingTimer(std::chrono::milliseconds delay, GCancellable* cancellable)
        : m_source(g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay.count()), fire, g_object_ref(cancellable), g_object_unref))
    {
    }
    CancellingTimer(const CancellingTimer&) = delete;
    CancellingTimer& operator=(const CancellingTimer&) = delete;
    ~CancellingTimer() { stop(); }

    void stop()
    {
        if (m_source)
            g_source_remove(std::exchange(m_source, 0));
    }

private:
    static gboolean fire(gpointer cancellable)
    {
        g_cancellable_cancel(static_cast<GCancellable*>(cancellable));
        return G_SOURCE_CONTINUE; // removed by stop(), which owns the id
    }

    guint m_source;
};

class Transfer : public std::enable_shared_from_this<Transfer> {
public:
    Transfer(std::string destination, std::optional<std::int64_t> expectedSize, std::int64_t limit, Progress progress, Completion completion)
        : m_destination(std::move(destination))
        , m_expectedSize(expectedSize)
        , m_limit(limit)
        , m_progress(std::move(progress))
        , m_completion(std::move(completion))
    {
    }
    ~Transfer() { disconnectCaller(); }

    void start(const Url& url, GCancellable* callerCancellable, const UpdateHTTPSettings& settings);

private:
    using Step = void (Transfer::*)(GAsyncResult*);

    // Callback and data for one asynchronous call that keeps the transfer alive until it ends.
    GAsyncReadyCallback callback() const
    {
        return [](GObject*, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::pair<std::shared_ptr<Transfer>, Step>> call(static_cast<std::pair<std::shared_ptr<Transfer>, Step>*>(data));
            auto& [transfer, step] = *call;
            if (transfer->m_completion)
                ((*transfer).*step)(result);
        };
    }
    gpointer keep(Step step) { return new std::pair<std::shared_ptr<Transfer>, Step>(shared_from_this(), step); }

    void receiveHead(GAsyncResult* result);
    void read();
    void receiveBytes(GAsyncResult* result);
    void report();
    void finishBody();
    void finish(Result<std::string, UpdateFailure> outcome);
    void failNetwork() { finish(fail(UpdateFailure(LauncherUpdateError::network()))); }
    void disconnectCaller();

    std::string m_destination;
    std::optional<std::int64_t> m_expectedSize;
    std::int64_t m_limit;
    Progress m_progress;
    Completion m_completion; // empty once it has run
    glib::GRef<GCancellable> m_cancellable { glib::adoptGRef(g_cancellable_new()) };
    glib::GRef<GCancellable> m_callerCancellable;
    gulong m_callerHandler { 0 };
    glib::GRef<SoupSession> m_session;
    glib::GRef<SoupMessage> m_message;
    glib::GRef<GInputStream> m_body;
    std::optional<PartialDownloadFile> m_file;
    std::unique_ptr<CancellingTimer> m_responseTimer;
    std::unique_ptr<CancellingTimer> m_transferTimer;
    std::optional<std::int64_t> m_announcedLength;
    std::int64_t m_lastPercent { -1 };
    std::array<char, readChunkBytes> m_buffer {};
};

void Transfer::start(const Url& url, GCancellable* callerCancellable, const UpdateHTTPSettings& settings)
{
    if (!isPermitted(url))
        return failNetwork();
    if (callerCancellable) {
        m_callerCancellable = glib::retainGRef(callerCancellable);
        m_callerHandler = g_cancellable_connect(callerCancellable, G_CALLBACK(+[](GCancellable*, gpointer own) {
            g_cancellable_cancel(static_cast<GCancellable*>(own));
        }), m_cancellable.get(), nullptr);
    }
    // A plain session keeps no cookies and no cache; without the content decoder the file
    // holds the bytes the server sent, which the digest covers.
    auto idleSeconds = static_cast<guint>(std::max<std::int64_t>(1, std::chrono::ceil<std::chrono::seconds>(settings.timeouts.idle).count()));
    m_session = glib::adoptGRef(soup_session_new_with_options("timeout", idleSeconds, "idle-timeout", idleSeconds, nullptr));
    soup_session_remove_feature_by_type(m_session.get(), SOUP_TYPE_CONTENT_DECODER);
    if (settings.tlsDatabase)
        soup_session_set_tls_database(m_session.get(), settings.tlsDatabase.get());
    m_message = glib::adoptGRef(soup_message_new("GET", url.string().c_str()));
    if (!m_message)
        return failNetwork();
    soup_message_add_flags(m_message.get(), SOUP_MESSAGE_NO_REDIRECT);
    m_responseTimer = std::make_unique<CancellingTimer>(settings.timeouts.response, m_cancellable.get());
    m_transferTimer = std::make_unique<CancellingTimer>(settings.timeouts.transfer, m_cancellable.get());
    soup_session_send_async(m_session.get(), m_message.get(), G_PRIORITY_DEFAULT, m_cancellable.get(), callback(), keep(&Transfer::receiveHead));
}

void Transfer::receiveHead(GAsyncResult* result)
{
    m_responseTimer->stop();
    glib::GErrorOut error;
    m_body = glib::adoptGRef(soup_session_send_finish(m_session.get(), result, error.out()));
    // A redirect is not followed: its 3xx status is the answer, and it fails here.
    if (error || soup_message_get_status(m_message.get()) != SOUP_STATUS_OK)
        return failNetwork();
    auto* headers = soup_message_get_response_headers(m_message.get());
    if (soup_message_headers_get_encoding(headers) == SOUP_ENCODING_CONTENT_LENGTH)
        m_announcedLength = soup_message_headers_get_content_length(headers);
    if (m_announcedLength && *m_announcedLength > m_limit)
        return failNetwork();
    auto file = PartialDownloadFile::create(m_destination);
    if (file.isError())
        return finish(fail(UpdateFailure(file.releaseError())));
    m_file.emplace(file.releaseValue());
    read();
}

void Transfer::read()
{
    g_input_stream_read_async(m_body.get(), m_buffer.data(), m_buffer.size(), G_PRIORITY_DEFAULT, m_cancellable.get(), callback(), keep(&Transfer::receiveBytes));
}

void Transfer::receiveBytes(GAsyncResult* result)
{
    glib::GErrorOut error;
    auto count = g_input_stream_read_finish(m_body.get(), result, error.out());
    if (error)
        return failNetwork();
    if (count == 0)
        return finishBody();
    if (m_file->size() + count > m_limit)
        return failNetwork();
    auto appended = m_file->append({ m_buffer.data(), static_cast<std::size_t>(count) });
    if (appended.isError())
        return finish(fail(UpdateFailure(appended.releaseError())));
    report();
    read();
}

void Transfer::report()
{
    auto reference = m_expectedSize ? m_expectedSize : m_announcedLength;
    if (!reference || *reference < 1)
        return;
    auto percent = std::min<std::int64_t>(m_file->size() * 100 / *reference, 100);
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    if (m_progress)
        m_progress(static_cast<double>(percent));
}

void Transfer::finishBody()
{
    auto size = m_file->size();
    if (size < 1 || size > m_limit || (m_expectedSize && size != *m_expectedSize))
        return failNetwork();
    auto moved = m_file->moveIntoPlace();
    if (moved.isError())
        return finish(fail(UpdateFailure(moved.releaseError())));
    finish(m_destination);
}

void Transfer::finish(Result<std::string, UpdateFailure> outcome)
{
    // Stops whatever is still pending; its callback then finds the completion gone.
    g_cancellable_cancel(m_cancellable.get());
    m_responseTimer.reset();
    m_transferTimer.reset();
    m_file.reset();
    m_body.reset();
    disconnectCaller();
    glib::runOnMainLoop([completion = std::exchange(m_completion, nullptr), outcome = std::move(outcome)]() mutable {
        completion(std::move(outcome));
    });
}

void Transfer::disconnectCaller()
{
    if (m_callerHandler)
        g_cancellable_disconnect(m_callerCancellable.get(), std::exchange(m_callerHandler, 0));
}

} // namespace

void fetch(const Url& url, const std::string& destination, std::optional<std::int64_t> expectedSize, std::int64_t limit,
    Progress progress, GCancellable* cancellable, Completion completion, UpdateHTTPSettings settings)
{
    auto transfer = std::make_shared<Transfer>(destination, expectedSize, limit, std::move(progress), std::move(completion));
    transfer->start(url, cancellable, settings);
}

} // namespace quorin::UpdateHTTPClient
