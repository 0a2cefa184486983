#include "ltf/gui/FxInteraction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using LTF::GUI::FxInteraction;
using Sound = FxInteraction::Sound;
using Effects = FxInteraction::Effects;

namespace {

using Ev = FxInteraction::Effects (*)(FxInteraction&);
const Ev Move = [](FxInteraction& m) { return m.Move(false); };
const Ev DragMove = [](FxInteraction& m) { return m.Move(true); };
const Ev Press = [](FxInteraction& m) { return m.Press(); };
const Ev ReleaseOver = [](FxInteraction& m) { return m.Release(true); };
const Ev ReleaseOutside = [](FxInteraction& m) { return m.Release(false); };
const Ev Hover = [](FxInteraction& m) { return m.Hover(); };
const Ev Leave = [](FxInteraction& m) { return m.Leave(); };
const Ev FocusOut = [](FxInteraction& m) { return m.FocusOut(); };
// What the button's paint learns of the pointer while it holds it.
const Ev SeenOver = [](FxInteraction& m) { return m.PointerSeenDuringCapture(true), Effects{}; };
const Ev SeenOut = [](FxInteraction& m) { return m.PointerSeenDuringCapture(false), Effects{}; };

struct Case {
    const char* name;
    std::vector<Ev> events;
    Sound sound;         // of the last event
    const char* effects; // the last event's: pass track cancel follow check release repaint
    const char* state;   // afterwards: entered over dragging
};

// clang-format off
const Case kCases[] = {
    {"first move asks for tracking and plays over", {Move}, Sound::Over, "pass track", ""},
    // Until the hover notice the sound may start again; tracking is asked for once.
    {"second move before hover", {Move, Move}, Sound::Over, "pass", ""},
    {"move after hover is silent", {Move, Hover, Move}, Sound::None, "pass", "over"},
    {"leave makes the next move track again",
     {Move, Hover, Leave, Move}, Sound::Over, "pass track", ""},
    {"press plays pushed, captures and ends hover tracking",
     {Move, Hover, Press}, Sound::Pushed, "pass cancel", "over dragging"},
    {"so the next move asks for tracking again",
     {Move, Press, ReleaseOver, Move}, Sound::Over, "pass track", ""},
    {"the pointer seen outside during a capture",
     {Move, Hover, Press, SeenOut}, Sound::None, "pass", "dragging"},
    // Back over the button, the hover notice must not be needed again.
    {"and seen back over", {Move, Hover, Press, SeenOut, SeenOver, Hover}, Sound::None, "",
     "over dragging"},
    {"drag after press follows the pointer", {Press, DragMove}, Sound::None, "follow", "dragging"},
    {"release over after press acts",
     {Press, DragMove, ReleaseOver}, Sound::None, "pass check", ""},
    {"release outside does not act", {Press, ReleaseOutside}, Sound::None, "pass", ""},
    {"entering with the button down", {DragMove}, Sound::None, "", "entered"},
    {"release after entering pressed does not act",
     {DragMove, ReleaseOver}, Sound::None, "pass repaint", "entered"},
    {"a new press forgets the foreign drag",
     {DragMove, ReleaseOver, Press}, Sound::Pushed, "pass", "dragging"},
    {"focus loss drops the capture", {Press, FocusOut}, Sound::None, "pass release", ""},
    // The press no longer holds the pointer: the rest of the drag is foreign.
    {"drag and release after focus loss",
     {Press, FocusOut, DragMove, ReleaseOver}, Sound::None, "pass repaint", "entered"},
    {"focus loss without capture", {Move, FocusOut}, Sound::None, "pass", ""},
};
// clang-format on

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
            effects = ev(machine);
        EXPECT_EQ(effects.sound, c.sound);
        EXPECT_EQ(effects.passOn, Has(c.effects, "pass"));
        EXPECT_EQ(effects.requestTracking, Has(c.effects, "track"));
        EXPECT_EQ(effects.cancelTracking, Has(c.effects, "cancel"));
        EXPECT_EQ(effects.repaint, Has(c.effects, "repaint"));
        EXPECT_EQ(effects.followPointer, Has(c.effects, "follow"));
        EXPECT_EQ(effects.applyCheck, Has(c.effects, "check"));
        EXPECT_EQ(effects.releaseCapture, Has(c.effects, "release"));
        EXPECT_EQ(machine.EnteredPressed(), Has(c.state, "entered"));
        EXPECT_EQ(machine.MouseOver(), Has(c.state, "over"));
        EXPECT_EQ(machine.Dragging(), Has(c.state, "dragging"));
    }
}

} // namespace
