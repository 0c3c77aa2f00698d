#include "forms/Background.h"

#include "net/transport.h"

#include <condition_variable>
#include <mutex>

namespace linkvane {

namespace {
// Never destroyed: a worker abandoned at the program's end may still use them while the
// program's statics are being destroyed.
std::mutex& g_workersMutex = *new std::mutex;
std::condition_variable& g_workersChanged = *new std::condition_variable;
int g_workersRunning = 0;
}  // namespace

namespace detail {

void WorkerStarted() {
    std::lock_guard lock(g_workersMutex);
    ++g_workersRunning;
}

void WorkerFinished() {
    std::lock_guard lock(g_workersMutex);
    --g_workersRunning;
    g_workersChanged.notify_all();
}

}  // namespace detail

bool WaitForWorkers(std::chrono::milliseconds patience) {
    std::unique_lock lock(g_workersMutex);
    return g_workersChanged.wait_for(lock, patience, [] { return g_workersRunning == 0; });
}

bool AbandonBackgroundWork(std::chrono::milliseconds patience) {
    AbandonDownloads();
    return WaitForWorkers(patience);
}

}  // namespace linkvane
