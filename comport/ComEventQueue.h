#pragma once
// A dispatcher whose "UI thread" is whoever pumps it: posted work waits in a queue until
// that thread calls ProcessPending or WaitAndProcess. Used by tests and benchmarks.

#include "comport/ComDispatcher.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

/// A pumpable queue of work for the thread that pumps it.
class TComEventQueue final : public TComDispatcher {
public:
    void Post(std::function<void()> Task) override;
    /// Records the error's text (see Shown).
    void ShowException(const std::exception& E) override;

    /// Runs the work queued now, in order; returns how many ran.
    int ProcessPending();
    /// Waits up to Timeout for work, then runs what is queued; returns how many ran.
    int WaitAndProcess(std::chrono::milliseconds Timeout);
    /// Pumps until Condition holds or Timeout passes; returns Condition's last value.
    bool ProcessUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Timeout);
    /// The texts of the errors shown so far.
    std::vector<std::string> Shown() const;

private:
    mutable std::mutex FLock;
    std::condition_variable FPosted;
    std::deque<std::function<void()>> FTasks;
    std::vector<std::string> FShown;
};
