#include "SerialWorker.h"

#include "core/Result.h"
#include "core/glib/GError.h"

namespace quorin {

namespace {

using Task = std::function<void()>;

void runTask(gpointer data, gpointer)
{
    std::unique_ptr<Task> task(static_cast<Task*>(data));
    (*task)();
}

} // namespace

SerialWorker::SerialWorker()
{
    // A shared (not exclusive) pool starts its thread on demand and cannot fail to be made.
    glib::GErrorOut error;
    m_pool.reset(g_thread_pool_new(runTask, nullptr, 1, FALSE, error.out()));
    MUST(m_pool != nullptr);
}

SerialWorker::~SerialWorker() = default;

void SerialWorker::post(std::function<void()> task)
{
    glib::GErrorOut error;
    // Pushing fails only when a new thread cannot be started: the process is out of resources.
    MUST(g_thread_pool_push(m_pool.get(), new Task(std::move(task)), error.out()));
}

} // namespace quorin
