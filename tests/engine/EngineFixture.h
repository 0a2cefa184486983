#pragma once

#include "tests/support/LauncherSandbox.h"
#include "tests/support/StubHost.h"

#include <algorithm>
#include <string>
#include <vector>

using Names = std::vector<std::wstring>;
using Boxes = std::vector<std::pair<std::wstring, std::wstring>>; // caption, text

// An engine on a stub host, in a launcher sandbox.
class EngineFixture : public Vellmar::Testing::LauncherSandbox {
public:
    EngineFixture();
    // The engine goes before the host it may still call.
    ~EngineFixture() override { engine.reset(); }

    // Writes <autorun>body</autorun> to data/autorun.xml and starts the engine on the host;
    // the host's record starts empty afterwards.
    void Start(const std::wstring& body);
    // Runs one action element given as XML text, as a button would.
    void Run(const std::wstring& actionXml) { engine->ExecuteActionXml(actionXml); }

    bool Called(const std::wstring& call) const {
        return std::count(host.calls.begin(), host.calls.end(), call) > 0;
    }
    // Only the page names of ShowPage calls, in order: the tests' way of seeing what ran.
    std::vector<std::wstring> Pages() const;

    Vellmar::Testing::StubHost host;
};
