#pragma once

#include <vector>

namespace DemoArt {

// The demo's title music and interface sounds, synthesised from scratch (mono samples in
// [-1, 1] at kSampleRate).
class MusicSynth {
public:
    static constexpr int kSampleRate = 44100;

    // A slow minor-key progression (pad, bass, arpeggio, echo); about twenty seconds that end
    // on the dominant, so a player that repeats it loops smoothly.
    static std::vector<float> TitleTheme();
    // A short wooden tick for button presses.
    static std::vector<float> Click();

private:
    struct Chord {
        int bass;     // MIDI note
        int tones[3]; // MIDI notes of the pad
    };

    static void AddPad(std::vector<float>& out, const Chord& chord, double start, double length);
    static void AddBass(std::vector<float>& out, int note, double start);
    static void AddPluck(std::vector<float>& out, int note, double start, float gain);
    static void AddEcho(std::vector<float>& out, double delay, float feedback);
    static void Normalise(std::vector<float>& out, float peak);
};

} // namespace DemoArt
