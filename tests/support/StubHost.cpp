#include "tests/support/StubHost.h"

#include "engine/ActionEngine.h"
#include "ltf/xml/XmlNode.h"

#include <climits>
#include <utility>

namespace Vellmar::Testing {

void StubHost::SetButtonAttribute(const std::wstring& buttonName,
                                  const LTF::Xml::XmlNode* attribute) {
    Record(L"SetButtonAttribute(" + buttonName + L")");
    buttonAttributeXml.push_back(attribute ? attribute->GetXml() : std::wstring());
}

bool StubHost::FireNext(long long until) {
    // The earliest due timer; started earlier wins a tie, as timers of one loop would.
    std::optional<std::uint64_t> queueId;
    std::optional<Due> best;
    if (timer && timer->at <= until)
        best = timer;
    for (const auto& [id, due] : queueTimers)
        if (due.at <= until &&
            (!best || due.at < best->at || (due.at == best->at && due.order < best->order))) {
            best = due;
            queueId = id;
        }
    if (!best)
        return false;
    now = std::max(now, best->at);
    if (queueId) {
        queueTimers.erase(*queueId);
        if (engine)
            engine->OnQueueTimer(*queueId);
    } else {
        timer.reset();
        if (engine)
            engine->RunTimedAction();
    }
    return true;
}

int StubHost::Advance(int milliseconds) {
    const long long until = now + milliseconds;
    int fired = 0;
    while (FireNext(until))
        ++fired;
    now = until;
    return fired;
}

int StubHost::RunAllTimers(int limit) {
    int fired = 0;
    while (fired < limit && FireNext(LLONG_MAX))
        ++fired;
    return fired;
}

void StubHost::Paint() {
    for (auto waiting = std::exchange(afterPaint, {}); auto& call : waiting)
        call();
}

int StubHost::DeliverPosted() {
    const int announced = postedAnnouncements.exchange(0);
    if (announced > 0 && engine)
        engine->ProcessPostedCalls();
    return announced;
}

} // namespace Vellmar::Testing
