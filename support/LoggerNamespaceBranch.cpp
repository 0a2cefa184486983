#include "support/LoggerNamespaceBranch.h"

namespace Vellmar::Diagnostics {

std::shared_ptr<LoggerNamespaceBranch> LoggerNamespaceBranch::child(const std::wstring& component) {
    auto& slot = children[component];
    if (!slot)
        slot = std::make_shared<LoggerNamespaceBranch>(this);
    return slot;
}

std::shared_ptr<LoggerNamespaceBranch>
LoggerNamespaceBranch::findChild(const std::wstring& component) const {
    const auto found = children.find(component);
    return found == children.end() ? nullptr : found->second;
}

bool LoggerNamespaceBranch::attach(const std::shared_ptr<Logger>& logger) {
    if (owner)
        return false;
    owner = logger;
    attached.store(logger.get(), std::memory_order_release);
    replaceNearest(nearest.load(), logger.get());
    return true;
}

// Nodes below a node with a logger of their own keep pointing at that one.
void LoggerNamespaceBranch::replaceNearest(Logger* previous, Logger* replacement) {
    if (nearest.load() != previous)
        return;
    nearest.store(replacement, std::memory_order_release);
    for (auto& [name, node] : children)
        node->replaceNearest(previous, replacement);
}

} // namespace Vellmar::Diagnostics
