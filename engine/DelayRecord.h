#pragma once

#include <cstdint>
#include <string>

class ActionEngine;

// A queue waiting on a `delay` child: where it goes on once its timer fires. The engine keeps
// nothing else of a waiting queue; it finds the queue again by name.
struct DelayRecord {
    std::int32_t nextIndex = 0;
    std::wstring queueName;
    ActionEngine* engine = nullptr; // not owned
};
