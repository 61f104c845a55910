// Writes the game's music: a four-channel tracker module ("M.K." layout) of
// six songs. Each song is a section of two patterns whose last row jumps back
// to the section's first order, so a song started at its order loops on its
// own. Melodies are drawn from a pentatonic scale with a fixed seed.
//
//   makemodule <output.mod>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kRows = 64;
constexpr int kChannels = 4;
constexpr int kSongs = 6;
constexpr int kPatternsPerSong = 2;

// Samples, numbered from 1 as the patterns name them.
enum Instrument { kLead = 1, kBass = 2, kSnare = 3, kPad = 4 };

// Amiga periods of three octaves, C-1 .. B-3.
const uint16_t kPeriods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                               428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                               214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

struct Cell {
    uint16_t period = 0;
    uint8_t sample = 0;
    uint8_t effect = 0;
    uint8_t parameter = 0;
};

using Pattern = std::vector<Cell>; // kRows x kChannels

// How a song goes: its key, scale, note lengths and which parts play.
struct Mood {
    int key;           // semitones above C
    bool minor;
    int leadStep;      // rows between melody notes
    int bassStep;      // rows between bass notes
    bool snare;
    bool arpeggioPad;  // the pad spells its chord out instead of holding it
    int progression[4]; // scale degrees of the four chords, one per 32 rows
};

const Mood kMoods[kSongs] = {
    {0, false, 4, 16, false, false, {0, 3, 2, 4}}, // title and menu: calm
    {2, false, 2, 8, true, false, {0, 2, 3, 4}},   // stage 1: bright
    {7, false, 2, 4, true, true, {0, 4, 3, 4}},    // stage 2: bouncy
    {9, true, 4, 8, true, false, {0, 3, 2, 4}},    // stage 3: minor
    {5, false, 2, 2, true, true, {0, 3, 4, 4}},    // stage 4 and the endless game: driving
    {4, true, 1, 4, true, true, {0, 2, 3, 4}},     // stage 5: climactic
};

class Rng {
public:
    explicit Rng(uint32_t seed) : mState(seed) {}
    int Below(int n)
    {
        mState = mState * 1103515245u + 12345u;
        return int((mState >> 16) % uint32_t(n));
    }

private:
    uint32_t mState;
};

// Semitone of a scale degree (any integer; 5 degrees an octave).
int Degree(const Mood& mood, int degree)
{
    static const int major[5] = {0, 2, 4, 7, 9};
    static const int minor[5] = {0, 3, 5, 7, 10};
    const int octave = degree >= 0 ? degree / 5 : -((-degree + 4) / 5);
    const int step = degree - octave * 5;
    return mood.key + octave * 12 + (mood.minor ? minor : major)[step];
}

uint16_t Period(int semitone) // 0 = C-1
{
    while (semitone < 0)
        semitone += 12;
    while (semitone >= 36)
        semitone -= 12;
    return kPeriods[semitone];
}

void Put(Pattern& p, int row, int channel, int semitone, Instrument sample)
{
    Cell& cell = p[size_t(row * kChannels + channel)];
    cell.period = Period(semitone);
    cell.sample = uint8_t(sample);
}

std::vector<Pattern> Compose(int song)
{
    const Mood& mood = kMoods[song];
    Rng rng(0x2E1707u + uint32_t(song) * 7919u);
    std::vector<Pattern> patterns(kPatternsPerSong, Pattern(kRows * kChannels));
    int melody = 7; // a scale degree an octave up
    for (int row = 0; row < kRows * kPatternsPerSong; ++row) {
        Pattern& p = patterns[size_t(row / kRows)];
        const int r = row % kRows;
        const int chord = mood.progression[(row / 32) % 4];
        if (row % mood.leadStep == 0 && (mood.leadStep > 1 || rng.Below(4) != 0)) {
            // A short walk over the scale, pulled back to the chord on strong beats.
            melody += rng.Below(5) - 2;
            if (row % 8 == 0)
                melody = 5 + chord + 2 * rng.Below(2);
            melody = std::max(3, std::min(12, melody));
            if (rng.Below(6) != 0 || row % 8 == 0)
                Put(p, r, 0, 12 + Degree(mood, melody), kLead);
        }
        if (row % mood.bassStep == 0) {
            const bool up = mood.bassStep <= 4 && (row / mood.bassStep) % 2 == 1;
            Put(p, r, 1, Degree(mood, chord) + (up ? 12 : 0), kBass);
        }
        if (mood.snare && row % 8 == 4)
            Put(p, r, 2, 24, kSnare);
        if (mood.arpeggioPad ? row % 4 == 0 : row % 32 == 0) {
            const int tone = mood.arpeggioPad ? chord + 2 * ((row / 4) % 3) : chord + 2;
            Put(p, r, 3, 12 + Degree(mood, tone), kPad);
        }
    }
    // The section loops on itself: its last row jumps back to its first order.
    Cell& last = patterns.back()[size_t((kRows - 1) * kChannels + 3)];
    last.effect = 0xB;
    last.parameter = uint8_t(song * kPatternsPerSong);
    return patterns;
}

void PutWord(std::vector<uint8_t>& out, size_t at, uint16_t value)
{
    out[at] = uint8_t(value >> 8);
    out[at + 1] = uint8_t(value);
}

struct Sample {
    const char* name;
    std::vector<int8_t> data;
    uint8_t volume;
    bool loops;
};

std::vector<Sample> Samples()
{
    constexpr double kPi = 3.14159265358979323846;
    // One 32-byte cycle plays about middle C at period 428.
    std::vector<Sample> samples(4);
    samples[0] = {"lead", {}, 40, true};
    samples[1] = {"bass", {}, 60, true};
    samples[2] = {"snare", {}, 44, false};
    samples[3] = {"pad", {}, 26, true};
    for (int i = 0; i < 32; ++i) {
        const double phase = i / 32.0;
        double square = 0;
        for (int h = 1; h <= 7; h += 2)
            square += std::sin(2 * kPi * h * phase) / h;
        samples[0].data.push_back(int8_t(std::lround(square * 90)));
        samples[1].data.push_back(int8_t(std::lround((4 * std::abs(phase - std::floor(phase + 0.5)) - 1) * 110)));
        samples[3].data.push_back(int8_t(std::lround(std::sin(2 * kPi * phase) * 100)));
    }
    uint32_t noise = 0x51A3Eu;
    for (int i = 0; i < 2400; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double value = (double(noise >> 24) - 128) * std::exp(-i / 500.0);
        samples[2].data.push_back(int8_t(std::lround(value * 0.9)));
    }
    return samples;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makemodule <output.mod>\n");
        return 2;
    }
    const std::vector<Sample> samples = Samples();
    std::vector<uint8_t> module(20, 0);
    std::memcpy(module.data(), "zentrova", 8);
    for (int slot = 0; slot < 31; ++slot) {
        std::vector<uint8_t> header(30, 0);
        if (size_t(slot) < samples.size()) {
            const Sample& s = samples[size_t(slot)];
            std::memcpy(header.data(), s.name, std::strlen(s.name));
            PutWord(header, 22, uint16_t(s.data.size() / 2));
            header[25] = s.volume;
            PutWord(header, 28, uint16_t(s.loops ? s.data.size() / 2 : 1));
        } else {
            header[29] = 1; // an empty slot still has a loop length of one word
        }
        module.insert(module.end(), header.begin(), header.end());
    }
    const int patternCount = kSongs * kPatternsPerSong;
    module.push_back(uint8_t(patternCount)); // song length in orders
    module.push_back(127);
    std::vector<uint8_t> orders(128, 0);
    for (int i = 0; i < patternCount; ++i)
        orders[size_t(i)] = uint8_t(i);
    module.insert(module.end(), orders.begin(), orders.end());
    const char* tag = "M.K.";
    module.insert(module.end(), tag, tag + 4);

    for (int song = 0; song < kSongs; ++song)
        for (const Pattern& pattern : Compose(song))
            for (const Cell& cell : pattern) {
                module.push_back(uint8_t((cell.sample & 0xF0) | ((cell.period >> 8) & 0x0F)));
                module.push_back(uint8_t(cell.period));
                module.push_back(uint8_t(((cell.sample & 0x0F) << 4) | cell.effect));
                module.push_back(cell.parameter);
            }
    for (const Sample& s : samples)
        for (int8_t v : s.data)
            module.push_back(uint8_t(v));

    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(module.data(), 1, module.size(), out) != module.size()) {
        std::fprintf(stderr, "makemodule: cannot write %s\n", argv[1]);
        return 1;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
