#include "support/MethodTrace.h"

#include "support/Logger.h"

#include <exception>

namespace Vellmar::Diagnostics {

MethodTrace::MethodTrace(const std::shared_ptr<Logger>& logger, std::wstring className,
                         std::wstring methodName)
    : className(std::move(className)), methodName(std::move(methodName)), logger(logger.get()) {
    trace(L"Entering method ");
}

MethodTrace::~MethodTrace() {
    try {
        trace(L"Exiting method ");
    } catch (const std::exception&) {
    }
}

bool MethodTrace::isEnabledFor(int level) const {
    return logger->isEnabledFor(level);
}

void MethodTrace::log(int level, std::wstring message) const {
    logger->log(level, std::move(message), className, methodName);
}

void MethodTrace::trace(const wchar_t* what) const {
    if (logger->isEnabledFor(kTraceLevel))
        log(kTraceLevel, what + className + L"::" + methodName);
}

} // namespace Vellmar::Diagnostics
