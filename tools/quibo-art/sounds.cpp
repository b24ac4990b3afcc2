#include "sounds.h"

#include "synth.h"

#include <cmath>
#include <functional>

namespace {

using Tone = Voice::Tone;
using Noise = Voice::Noise;

// Equal-tempered pitch, in semitones from the A above middle C.
float Note(int semitones)
{
    return 440.0f * std::pow(2.0f, float(semitones) / 12.0f);
}

constexpr int C5 = 3, D5 = 5, E5 = 7, G5 = 10, A5 = 12, C6 = 15, E6 = 19, G6 = 22, C7 = 27;
constexpr int C4 = -9, E4 = -5, G4 = -2;

const std::vector<float> kSine = {1};
const std::vector<float> kBell = {1, 0, 0.35f, 0, 0.15f};
const std::vector<float> kBrass = {1, 0.6f, 0.45f, 0.3f, 0.2f, 0.12f};
const std::vector<float> kReed = {1, 0.5f, 0.33f, 0.25f, 0.2f, 0.16f, 0.14f, 0.12f};
const std::vector<float> kSoft = {1, 0.3f, 0.1f};

struct Recipe {
    int id;
    const char* name;
    WaveFormat format;
    size_t frames;
    std::function<void(Voice&)> play;
};

SoundFile Render(const Recipe& recipe)
{
    Voice voice(recipe.format.rate, recipe.frames);
    recipe.play(voice);
    voice.Finish(0.85f);
    std::vector<std::vector<float>> channels(size_t(recipe.format.channels), voice.Samples());
    return {recipe.id, recipe.name, recipe.format, recipe.frames, EncodeWave(recipe.format, channels)};
}

std::vector<SoundFile> RenderAll(const std::vector<Recipe>& recipes)
{
    std::vector<SoundFile> files;
    for (const Recipe& recipe : recipes)
        files.push_back(Render(recipe));
    return files;
}

// Three tiles that are not a quibo: a low, rough double buzz.
void Buzz(Voice& v)
{
    for (int i = 0; i < 2; ++i)
        v.Add(Tone{0.01f + 0.1f * float(i), 0.095f, 150, 140, kReed, 1.0f, 0.004f, 0});
    v.Add(Tone{0.01f, 0.19f, 153, 143, kReed, 0.5f, 0.004f, 0});
}

// A new high score: a rising brass fanfare ending on a held, shimmering chord.
void Fanfare(Voice& v)
{
    const int steps[] = {G4, C5, E5, G5};
    for (int i = 0; i < 4; ++i)
        v.Add(Tone{0.11f * float(i), 0.14f, Note(steps[i]), Note(steps[i]), kBrass, 0.9f, 0.01f, 0.3f});
    for (const int n : {C5, E5, G5, C6})
        v.Add(Tone{0.44f, 0.66f, Note(n), Note(n), kBrass, 0.55f, 0.015f, 0.6f, 4.0f});
}

// A refused Add or Hint: two soft descending knocks.
void Refused(Voice& v)
{
    v.Add(Tone{0.0f, 0.11f, Note(E4), Note(E4) * 0.97f, kSoft, 1.0f, 0.003f, 0.05f});
    v.Add(Tone{0.12f, 0.12f, Note(C4), Note(C4) * 0.97f, kSoft, 1.0f, 0.003f, 0.05f});
}

// Tiles in flight: a whoosh that rises and falls away.
void Whoosh(Voice& v)
{
    v.Add(Noise{0.0f, 1.1f, 400, 2600, 1.0f, 0.35f, 0x2545F491u});
    v.Add(Noise{0.05f, 1.0f, 700, 3200, 0.6f, 0.3f, 0x9E3779B9u});
}

// A game over without a new high score: a gentle falling cadence.
void Cadence(Voice& v)
{
    const int steps[] = {G5, E5, D5, C5};
    const float starts[] = {0.0f, 0.22f, 0.44f, 0.66f};
    for (int i = 0; i < 4; ++i)
        v.Add(Tone{starts[i], i == 3 ? 0.88f : 0.3f, Note(steps[i]), Note(steps[i]), kBell, 0.9f, 0.006f, i == 3 ? 0.35f : 0.18f});
    v.Add(Tone{0.66f, 0.88f, Note(C4), Note(C4), kSoft, 0.5f, 0.02f, 0.4f});
}

// A quibo taken: a bright two-note chime.
void Chime(Voice& v)
{
    v.Add(Tone{0.0f, 0.13f, Note(E6), Note(E6), kBell, 1.0f, 0.002f, 0.06f});
    v.Add(Tone{0.035f, 0.095f, Note(C7) * 0.75f, Note(C7) * 0.75f, kBell, 0.8f, 0.002f, 0.05f});
}

// A hint: a rising run of little plinks.
void Sparkle(Voice& v)
{
    const int steps[] = {C6, E6, G6, C7};
    for (int i = 0; i < 4; ++i)
        v.Add(Tone{0.09f * float(i), 0.82f - 0.09f * float(i), Note(steps[i]), Note(steps[i]), kBell, 0.8f, 0.002f, 0.15f});
}

// A tile selected: a short, soft wooden click.
void Click(Voice& v)
{
    v.Add(Tone{0.0f, 0.06f, 1400, 900, kSoft, 1.0f, 0.0008f, 0.012f});
    v.Add(Noise{0.0f, 0.01f, 3000, 2000, 0.4f, 0.0005f, 0x1234567u});
}

// The first deal: a riffle of cards, quick flicks that slow down.
void Riffle(Voice& v)
{
    float at = 0.0f;
    for (uint32_t i = 0; i < 12; ++i) {
        v.Add(Noise{at, 0.06f, 1800, 900, 1.0f, 0.002f, 0xA5A5A5u + i * 7919u});
        at += 0.05f + 0.006f * float(i);
    }
}

// A button going down: a low tock; coming up: a lighter tick.
void Press(Voice& v)
{
    v.Add(Tone{0.0f, 0.07f, 520, 380, kSoft, 1.0f, 0.001f, 0.018f});
    v.Add(Noise{0.0f, 0.008f, 2500, 1500, 0.3f, 0.0005f, 0xBEEFu});
}

void Release(Voice& v)
{
    v.Add(Tone{0.0f, 0.09f, 760, 980, kSoft, 0.9f, 0.001f, 0.02f});
}

// The intro: the three shapes fly in, land together, and the name rings out.
void IntroFlight(Voice& v)
{
    v.Add(Noise{0.0f, 0.87f, 300, 3000, 0.8f, 0.5f, 0xC0FFEEu});
    v.Add(Tone{0.0f, 0.87f, Note(C4), Note(C6), kSoft, 0.35f, 0.3f, 0});
}

void IntroLanding(Voice& v)
{
    v.Add(Tone{0.0f, 0.47f, 110, 70, kSoft, 1.0f, 0.002f, 0.08f});
    for (const int n : {C5, E5, G5})
        v.Add(Tone{0.0f, 0.47f, Note(n), Note(n), kBell, 0.45f, 0.003f, 0.12f});
}

void IntroName(Voice& v)
{
    const int steps[] = {C6, E6, G6, C7, G6, C7};
    for (int i = 0; i < 6; ++i)
        v.Add(Tone{0.07f * float(i), 1.0f - 0.07f * float(i), Note(steps[i]), Note(steps[i]), kBell, 0.7f, 0.002f, 0.22f});
    v.Add(Tone{0.0f, 1.0f, Note(C5), Note(C5), kSoft, 0.4f, 0.05f, 0.45f});
}

} // namespace

std::vector<SoundFile> GameSounds()
{
    const WaveFormat mono8k8{1, 8000, 8}, mono11k8{1, 11025, 8}, mono11k16{1, 11025, 16};
    const WaveFormat mono22k8{1, 22050, 8}, mono22k16{1, 22050, 16}, stereo44k16{2, 44100, 16};
    return RenderAll({
        {205, "wrong", mono8k8, FramesFor(8000, 210), Buzz},
        {206, "highscore", mono22k8, FramesFor(22050, 1100), Fanfare},
        {207, "refused", mono11k8, FramesFor(11025, 240), Refused},
        {208, "flight", mono11k16, FramesFor(11025, 1100), Whoosh},
        {209, "gameover", mono8k8, FramesFor(8000, 1540), Cadence},
        {210, "quibo", mono22k8, FramesFor(22050, 130), Chime},
        {211, "hint", mono8k8, FramesFor(8000, 820), Sparkle},
        {212, "select", mono22k16, FramesFor(22050, 60), Click},
        {213, "deal", mono11k16, FramesFor(11025, 1100), Riffle},
        {214, "press", stereo44k16, FramesFor(44100, 70), Press},
        {215, "release", stereo44k16, FramesFor(44100, 90), Release},
    });
}

std::vector<SoundFile> IntroSounds()
{
    // Sized to the byte: 19288, 7664 and 22040 bytes of samples.
    return RenderAll({
        {5001, "intro-1", {1, 22050, 8}, 19288, IntroFlight},
        {5002, "intro-2", {1, 8000, 16}, 7664 / 2, IntroLanding},
        {5003, "intro-3", {1, 22050, 8}, 22040, IntroName},
    });
}
