#include "support/LoggerNamespaceBranch.h"

namespace Vellmar::Diagnostics {

Logger* LoggerNamespaceBranch::nearestAncestorLogger() const {
    for (const LoggerNamespaceBranch* node = parent_; node != nullptr; node = node->parent_) {
        if (Logger* found = node->logger())
            return found;
    }
    return nullptr;
}

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
    return true;
}

} // namespace Vellmar::Diagnostics
