#pragma once
// Work that must not stop the windows (a download): it runs on a worker thread while the
// user-interface thread keeps serving the desktop, and its result comes back to the handler that
// asked for it, which then goes on as if the call had been an ordinary blocking one.

#include "forms/Desktop.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

namespace linkvane {

// How work of a kind is made to end early when the program ends (for downloads, the transport's
// AbandonDownloads): safe from any thread, and it also makes later work of the kind end at once.
using AbandonWork = void (*)();

namespace detail {
// Queues `task` for the program's one worker thread, started at the first task, which runs the
// tasks one after another in the order they came. One long-lived thread rather than one per
// download: under Wine a thread started while the previous one was ending sometimes never ran.
// `abandon`, when given, is kept for AbandonBackgroundWork.
void RunInBackground(std::function<void()> task, AbandonWork abandon = nullptr);
}  // namespace detail

// Runs `work` on the worker thread and returns its result on the calling (user-interface) thread.
// Meanwhile the desktop repaints, fires timers and handles close requests; input waits until the
// result is back. When the program ends meanwhile, returns Result{} at once and leaves the work
// to finish on its own, ended early by `abandon` at the program's end (AbandonBackgroundWork).
// `work` must own everything it uses.
template <class Result>
Result WithoutFreezing(std::function<Result()> work, AbandonWork abandon = nullptr) {
    struct Shared {
        std::atomic<bool> finished{false};
        Result result{};
        // The desktop waiting for the result; null once it waits no more (the program is
        // ending), when the work must no longer reach it.
        std::mutex waiterMutex;
        Desktop* waiter = nullptr;
    };
    Desktop& desktop = CurrentDesktop();
    if (desktop.IsEnding())
        return Result{};
    auto shared = std::make_shared<Shared>();
    shared->waiter = &desktop;
    detail::RunInBackground([shared, work = std::move(work)] {
        shared->result = work();
        shared->finished = true;
        std::lock_guard lock(shared->waiterMutex);
        if (shared->waiter)
            shared->waiter->WakeEventLoop();
    }, abandon);
    const bool finished = desktop.RunEventsUntil(shared->finished);
    {
        std::lock_guard lock(shared->waiterMutex);
        shared->waiter = nullptr;
    }
    if (!finished)
        return Result{};
    return std::move(shared->result);
}

// Waits at most `patience` for the work queued or running; true when none is left.
bool WaitForWorkers(std::chrono::milliseconds patience);

// At the program's end: abandons the work still queued or running, each kind by the way it was
// handed over with, and waits at most `patience` for the worker to finish it. False when some is
// still running; the program must then end without running static destructors, which it may
// still be using.
bool AbandonBackgroundWork(std::chrono::milliseconds patience);

}  // namespace linkvane
