#include "MusicSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace DemoArt {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kBeat = 60.0 / 96.0; // seconds at 96 beats per minute
constexpr int kBeatsPerChord = 4;

double Frequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

std::size_t SampleAt(double seconds) {
    return std::size_t(std::max(0.0, seconds) * MusicSynth::kSampleRate);
}

} // namespace

std::vector<float> MusicSynth::TitleTheme() {
    // i - VI - III - VII - i - VI - V (major) - V: A minor with a harmonic-minor turn back.
    const Chord progression[] = {
        {45, {57, 60, 64}}, {41, {53, 57, 60}}, {48, {55, 60, 64}}, {43, {55, 59, 62}},
        {45, {57, 60, 64}}, {41, {53, 57, 60}}, {40, {52, 56, 59}}, {40, {56, 59, 64}},
    };
    // Eighth-note pattern over the chord tones, index 3 = the root an octave up.
    const int pattern[8] = {0, 1, 2, 1, 3, 2, 1, 2};

    const double chordLength = kBeat * kBeatsPerChord;
    const double total = chordLength * std::size(progression);
    std::vector<float> out(SampleAt(total), 0.0f);

    for (std::size_t i = 0; i < std::size(progression); ++i) {
        const Chord& chord = progression[i];
        const double start = i * chordLength;
        AddPad(out, chord, start, chordLength);
        AddBass(out, chord.bass, start);
        AddBass(out, chord.bass, start + 2 * kBeat);
        for (int step = 0; step < 2 * kBeatsPerChord; ++step) {
            const int which = pattern[step];
            const int note = which == 3 ? chord.tones[0] + 24 : chord.tones[which] + 12;
            const float accent = step % 4 == 0 ? 0.22f : 0.15f;
            AddPluck(out, note, start + step * kBeat / 2, accent);
        }
    }
    AddEcho(out, kBeat * 0.75, 0.28f);
    Normalise(out, 0.7f);

    // Short fades keep the ends free of clicks.
    const std::size_t fade = SampleAt(0.05);
    for (std::size_t i = 0; i < fade && i < out.size(); ++i) {
        const float gain = float(i) / float(fade);
        out[i] *= gain;
        out[out.size() - 1 - i] *= gain;
    }
    return out;
}

std::vector<float> MusicSynth::Click() {
    std::vector<float> out(SampleAt(0.045), 0.0f);
    std::mt19937 noise(7);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kSampleRate;
        const double tone = std::sin(kTwoPi * 1750.0 * t) * std::exp(-t / 0.008);
        const double burst = uniform(noise) * std::exp(-t / 0.0015);
        out[i] = float(0.45 * tone + 0.25 * burst);
    }
    return out;
}

void MusicSynth::AddPad(std::vector<float>& out, const Chord& chord, double start, double length) {
    const double attack = 0.45;
    const double release = 0.6;
    const std::size_t first = SampleAt(start);
    const std::size_t last = std::min(out.size(), SampleAt(start + length + release));
    for (std::size_t i = first; i < last; ++i) {
        const double t = double(i) / kSampleRate - start;
        double envelope = 1.0;
        if (t < attack)
            envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * t / attack);
        else if (t > length)
            envelope = 0.5 + 0.5 * std::cos(std::numbers::pi * (t - length) / release);
        // A slow swell keeps the pad alive over a long chord.
        envelope *= 0.85 + 0.15 * std::sin(kTwoPi * 0.4 * t);
        double sum = 0.0;
        for (int note : chord.tones) {
            const double f = Frequency(note);
            sum += std::sin(kTwoPi * f * 0.9985 * t) + std::sin(kTwoPi * f * 1.0015 * t);
            sum += 0.3 * std::sin(kTwoPi * 2 * f * t);
        }
        out[i] += float(0.05 * envelope * sum);
    }
}

void MusicSynth::AddBass(std::vector<float>& out, int note, double start) {
    const double f = Frequency(note);
    const std::size_t first = SampleAt(start);
    const std::size_t last = std::min(out.size(), SampleAt(start + 2 * kBeat));
    for (std::size_t i = first; i < last; ++i) {
        const double t = double(i) / kSampleRate - start;
        const double envelope = std::min(1.0, t / 0.01) * std::exp(-t / 0.7);
        const double wave = std::sin(kTwoPi * f * t) + 0.25 * std::sin(kTwoPi * 3 * f * t);
        out[i] += float(0.28 * envelope * wave);
    }
}

void MusicSynth::AddPluck(std::vector<float>& out, int note, double start, float gain) {
    const double f = Frequency(note);
    const std::size_t first = SampleAt(start);
    const std::size_t last = std::min(out.size(), SampleAt(start + 1.2));
    for (std::size_t i = first; i < last; ++i) {
        const double t = double(i) / kSampleRate - start;
        const double envelope = std::min(1.0, t / 0.004) * std::exp(-t / 0.28);
        // Upper partials fade faster than the fundamental, as on a plucked string.
        const double wave = std::sin(kTwoPi * f * t) +
                            0.4 * std::sin(kTwoPi * 2 * f * t) * std::exp(-t / 0.08) +
                            0.15 * std::sin(kTwoPi * 3 * f * t) * std::exp(-t / 0.05);
        out[i] += float(gain * envelope * wave);
    }
}

void MusicSynth::AddEcho(std::vector<float>& out, double delay, float feedback) {
    const std::size_t offset = SampleAt(delay);
    for (std::size_t i = offset; i < out.size(); ++i)
        out[i] += feedback * out[i - offset];
}

void MusicSynth::Normalise(std::vector<float>& out, float peak) {
    float loudest = 0.0f;
    for (float sample : out)
        loudest = std::max(loudest, std::abs(sample));
    if (loudest <= 0.0f)
        return;
    for (float& sample : out)
        sample *= peak / loudest;
}

} // namespace DemoArt
