#include "engine/PostedCallQueue.h"

std::vector<PostedCallQueue::Call> PostedCallQueue::TakeAll() {
    std::vector<Call> taken;
    std::lock_guard guard(lock);
    taken.swap(calls);
    return taken;
}
