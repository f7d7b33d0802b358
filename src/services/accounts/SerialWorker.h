#pragma once

// One worker thread at a time that runs posted tasks one after another, in the order they
// were posted: blocking calls leave the main loop free while keeping their order.

#include <glib.h>

#include <functional>
#include <memory>

namespace quorin {

class SerialWorker {
public:
    SerialWorker();
    // Waits for the tasks already posted, so nothing they use may go before the worker.
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    // Any thread.
    void post(std::function<void()> task);

private:
    struct PoolDeleter {
        void operator()(GThreadPool* pool) const { g_thread_pool_free(pool, FALSE, TRUE); }
    };
    std::unique_ptr<GThreadPool, PoolDeleter> m_pool;
};

} // namespace quorin
