#pragma once

#include <functional>
#include <mutex>
#include <vector>

// Calls handed over from worker threads to the user-interface thread. The lock is held only
// while a call is appended or the queue is swapped out, never while a call runs.
class PostedCallQueue {
public:
    using Call = std::function<void()>;

    // Any thread. `notify` runs under the lock and tells the receiver that a call is coming;
    // the call is kept only when it returns true. Holding the lock keeps the receiver from
    // going away meanwhile (see ActionEngine::DetachHost).
    template <class Notify> bool Post(Call call, Notify notify) {
        std::lock_guard guard(lock);
        if (!notify())
            return false;
        calls.push_back(std::move(call));
        return true;
    }

    // Runs `change` under the lock; used to swap what Post notifies.
    template <class Change> void WithLock(Change change) {
        std::lock_guard guard(lock);
        change();
    }

    // Everything posted so far, in posting order; the queue is empty afterwards.
    std::vector<Call> TakeAll();

private:
    std::mutex lock;
    std::vector<Call> calls;
};
