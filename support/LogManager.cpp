#include "support/LogManager.h"

#include "support/Logger.h"
#include "support/LoggerNamespaceBranch.h"

#include <vector>

namespace Vellmar::Diagnostics {

namespace {

std::vector<std::wstring> SplitDotted(const std::wstring& name) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t dot = name.find(L'.', start);
        if (dot == std::wstring::npos)
            dot = name.size();
        if (dot > start)
            parts.push_back(name.substr(start, dot - start));
        start = dot + 1;
    }
    return parts;
}

} // namespace

LogManager::LogManager() : root(std::make_shared<LoggerNamespaceBranch>()) {}

LogManager& LogManager::instance() {
    static LogManager* const manager = new LogManager();
    return *manager;
}

std::shared_ptr<Logger> LogManager::getLogger(const std::wstring& name) {
    LogManager& manager = instance();
    if (auto existing = manager.find(name))
        return existing;
    auto created = std::make_shared<Logger>(name);
    if (manager.add(created))
        return created;
    return manager.find(name);
}

std::shared_ptr<Logger> LogManager::find(const std::wstring& name) {
    std::lock_guard<std::mutex> guard(mutex);
    std::shared_ptr<LoggerNamespaceBranch> node = root;
    for (const std::wstring& part : SplitDotted(name)) {
        node = node->findChild(part);
        if (!node)
            return nullptr;
    }
    return node->sharedLogger();
}

bool LogManager::add(const std::shared_ptr<Logger>& logger) {
    std::lock_guard<std::mutex> guard(mutex);
    std::shared_ptr<LoggerNamespaceBranch> node = root;
    for (const std::wstring& part : SplitDotted(logger->getName()))
        node = node->child(part);
    // Linked before it becomes visible to lock-free level checks.
    logger->branch = node;
    if (node->attach(logger))
        return true;
    logger->branch.reset();
    return false;
}

} // namespace Vellmar::Diagnostics
