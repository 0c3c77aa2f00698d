#include "forms/Background.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace linkvane {

namespace {

struct Worker {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> tasks;
    int unfinished = 0;  // queued or running
    bool started = false;
    std::vector<AbandonWork> abandoners;  // every kind of work ever queued that can be ended early
};

// Never destroyed: the worker may still be running an abandoned download while the program's
// statics are being destroyed.
Worker& TheWorker() {
    static Worker& worker = *new Worker;
    return worker;
}

[[noreturn]] void Serve() {
    Worker& worker = TheWorker();
    std::unique_lock lock(worker.mutex);
    for (;;) {
        worker.changed.wait(lock, [&worker] { return !worker.tasks.empty(); });
        std::function<void()> task = std::move(worker.tasks.front());
        worker.tasks.pop_front();
        lock.unlock();
        task();
        task = nullptr;  // what it holds goes before the task counts as done
        lock.lock();
        --worker.unfinished;
        worker.changed.notify_all();
    }
}

}  // namespace

namespace detail {

void RunInBackground(std::function<void()> task, AbandonWork abandon) {
    Worker& worker = TheWorker();
    std::lock_guard lock(worker.mutex);
    if (abandon && std::find(worker.abandoners.begin(), worker.abandoners.end(), abandon) == worker.abandoners.end())
        worker.abandoners.push_back(abandon);
    worker.tasks.push_back(std::move(task));
    ++worker.unfinished;
    if (!worker.started) {
        worker.started = true;
        std::thread(Serve).detach();
    }
    worker.changed.notify_all();
}

}  // namespace detail

bool WaitForWorkers(std::chrono::milliseconds patience) {
    Worker& worker = TheWorker();
    const auto deadline = std::chrono::steady_clock::now() + patience;
    std::unique_lock lock(worker.mutex);
    while (worker.unfinished > 0) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= left.zero())
            return false;
        worker.changed.wait_for(lock, left);
    }
    return true;
}

bool AbandonBackgroundWork(std::chrono::milliseconds patience) {
    Worker& worker = TheWorker();
    std::vector<AbandonWork> abandoners;
    {
        std::lock_guard lock(worker.mutex);
        abandoners = worker.abandoners;
    }
    for (const AbandonWork abandon : abandoners)
        abandon();
    return WaitForWorkers(patience);
}

}  // namespace linkvane
