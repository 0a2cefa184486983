#pragma once

#include <type_traits>
#include <utility>

namespace Vellmar::Testing {

// The Message() of the E that `call` throws; empty when it throws nothing.
template <typename E, typename Call>
auto ThrownMessage(Call&& call) -> std::decay_t<decltype(std::declval<const E&>().Message())> {
    try {
        std::forward<Call>(call)();
    } catch (const E& e) {
        return e.Message();
    }
    return {};
}

} // namespace Vellmar::Testing
