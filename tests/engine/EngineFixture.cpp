#include "tests/engine/EngineFixture.h"

EngineFixture::EngineFixture() : LauncherSandbox("vellmar-\u0414\u0432\u0438\u0436\u043e\u043a") {
    host.Attach(*engine);
}

void EngineFixture::Start(const std::wstring& body) {
    engine->Start(&host, WriteConfiguration(body));
    host.calls.clear(); // what start-up did is the business of the start-up tests
}

std::vector<std::wstring> EngineFixture::Pages() const {
    std::vector<std::wstring> pages;
    for (const std::wstring& call : host.calls)
        if (call.starts_with(L"ShowPage("))
            pages.push_back(call.substr(9, call.size() - 10));
    return pages;
}
