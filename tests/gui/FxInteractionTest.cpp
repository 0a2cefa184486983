#include "ltf/gui/FxInteraction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using LTF::GUI::FxInteraction;
using Sound = FxInteraction::Sound;

namespace {

enum class Ev { Move, DragMove, Press, ReleaseOver, ReleaseOutside, Hover, Leave, FocusOut };

FxInteraction::Effects Apply(FxInteraction& machine, Ev ev) {
    switch (ev) {
    case Ev::Move:
        return machine.Move(false);
    case Ev::DragMove:
        return machine.Move(true);
    case Ev::Press:
        return machine.Press();
    case Ev::ReleaseOver:
        return machine.Release(true);
    case Ev::ReleaseOutside:
        return machine.Release(false);
    case Ev::Hover:
        return machine.Hover();
    case Ev::Leave:
        return machine.Leave();
    case Ev::FocusOut:
        return machine.FocusOut();
    }
    return {};
}

struct Case {
    const char* name;
    std::vector<Ev> events;
    Sound sound;         // of the last event
    const char* effects; // what the last event asks for: pass track follow check release
    const char* state;   // afterwards: entered over dragging
};

const Case kCases[] = {
    {"first move asks for tracking and plays over", {Ev::Move}, Sound::Over, "pass track", ""},
    // Until the hover notice the sound may start again; tracking is asked for once.
    {"second move before hover", {Ev::Move, Ev::Move}, Sound::Over, "pass", ""},
    {"move after hover is silent", {Ev::Move, Ev::Hover, Ev::Move}, Sound::None, "pass", "over"},
    {"leave makes the next move track again",
     {Ev::Move, Ev::Hover, Ev::Leave, Ev::Move},
     Sound::Over,
     "pass track",
     ""},
    {"press plays pushed and captures",
     {Ev::Move, Ev::Hover, Ev::Press},
     Sound::Pushed,
     "pass",
     "over dragging"},
    {"drag after press follows the pointer",
     {Ev::Press, Ev::DragMove},
     Sound::None,
     "follow",
     "dragging"},
    {"release over after press acts",
     {Ev::Press, Ev::DragMove, Ev::ReleaseOver},
     Sound::None,
     "pass check",
     ""},
    {"release outside does not act", {Ev::Press, Ev::ReleaseOutside}, Sound::None, "pass", ""},
    {"entering with the button down", {Ev::DragMove}, Sound::None, "", "entered"},
    {"release after entering pressed does not act",
     {Ev::DragMove, Ev::ReleaseOver},
     Sound::None,
     "pass",
     "entered"},
    {"a new press forgets the foreign drag",
     {Ev::DragMove, Ev::ReleaseOver, Ev::Press},
     Sound::Pushed,
     "pass",
     "dragging"},
    {"focus loss drops the capture", {Ev::Press, Ev::FocusOut}, Sound::None, "pass release", ""},
    // The press no longer holds the pointer: the rest of the drag is foreign.
    {"drag and release after focus loss",
     {Ev::Press, Ev::FocusOut, Ev::DragMove, Ev::ReleaseOver},
     Sound::None,
     "pass",
     "entered"},
    {"focus loss without capture", {Ev::Move, Ev::FocusOut}, Sound::None, "pass", ""},
};

bool Has(const char* words, const std::string& word) {
    // Appended, not " " + string: GCC 12 at -O3 misreads that as overlapping copies.
    return std::string(" ").append(words).append(" ").find(std::string(" ").append(word) += ' ') !=
           std::string::npos;
}

TEST(FxInteraction, SequencesEndInTheirLastEventsEffectsAndFlags) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        FxInteraction machine;
        FxInteraction::Effects effects;
        for (Ev ev : c.events)
            effects = Apply(machine, ev);
        EXPECT_EQ(effects.sound, c.sound);
        EXPECT_EQ(effects.passOn, Has(c.effects, "pass"));
        EXPECT_EQ(effects.requestTracking, Has(c.effects, "track"));
        EXPECT_EQ(effects.followPointer, Has(c.effects, "follow"));
        EXPECT_EQ(effects.applyCheck, Has(c.effects, "check"));
        EXPECT_EQ(effects.releaseCapture, Has(c.effects, "release"));
        EXPECT_EQ(machine.EnteredPressed(), Has(c.state, "entered"));
        EXPECT_EQ(machine.MouseOver(), Has(c.state, "over"));
        EXPECT_EQ(machine.Dragging(), Has(c.state, "dragging"));
    }
}

TEST(FxInteraction, PressCancelsHoverTrackingOnlyWhenActive) {
    FxInteraction machine;
    EXPECT_FALSE(machine.Press().cancelTracking);
    machine.Release(true);
    machine.Move(false);
    EXPECT_TRUE(machine.HoverTracking());
    EXPECT_TRUE(machine.Press().cancelTracking);
    EXPECT_FALSE(machine.HoverTracking());
}

TEST(FxInteraction, CapturedPaintTracksMouseOver) {
    FxInteraction machine;
    machine.Move(false);
    machine.Hover();
    machine.Press();
    machine.PointerSeenDuringCapture(false);
    EXPECT_FALSE(machine.MouseOver());
    // Back over the button, the hover notice must not be needed again.
    machine.PointerSeenDuringCapture(true);
    EXPECT_TRUE(machine.MouseOver());
    EXPECT_FALSE(machine.Hover().repaint);
}

} // namespace
