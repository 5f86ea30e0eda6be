#include "comport/ComEventQueue.h"

#include <algorithm>

void TComEventQueue::Post(std::function<void()> Task) {
    // Notified under the lock: once the pumping thread has taken the task, the queue may be
    // destroyed, and a poster must not touch it after that.
    std::lock_guard guard(FLock);
    FTasks.push_back(std::move(Task));
    FPosted.notify_all();
}

void TComEventQueue::ShowException(const std::exception& E) {
    std::lock_guard guard(FLock);
    FShown.emplace_back(E.what());
}

int TComEventQueue::ProcessPending() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard guard(FLock);
        tasks.swap(FTasks);
    }
    // Tasks run without the lock: they may post more work or pump the queue again.
    for (auto& task : tasks)
        task();
    return static_cast<int>(tasks.size());
}

int TComEventQueue::WaitAndProcess(std::chrono::milliseconds Timeout) {
    {
        std::unique_lock lock(FLock);
        FPosted.wait_for(lock, Timeout, [this] { return !FTasks.empty(); });
    }
    return ProcessPending();
}

bool TComEventQueue::ProcessUntil(const std::function<bool()>& Condition,
                                  std::chrono::milliseconds Timeout) {
    const auto end = std::chrono::steady_clock::now() + Timeout;
    while (!Condition()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return Condition();
        WaitAndProcess(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(end - now),
                                std::chrono::milliseconds(10)));
    }
    return true;
}

std::vector<std::string> TComEventQueue::Shown() const {
    std::lock_guard guard(FLock);
    return FShown;
}
