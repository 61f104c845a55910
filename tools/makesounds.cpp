// Synthesises the game's 24 sound effects as mono 16-bit 22050 Hz WAV files,
// s00.wav .. s23.wav, each peaking at -3 dBFS with short fades at both ends
// (the tally tick, s20, instead loops seamlessly).
//
//   makesounds <output folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.708; // -3 dBFS
constexpr int kLoopingId = 20;

// The tool's own noise, so every run writes the same bytes.
class Rng {
public:
    double Next() // -1..1
    {
        mState = mState * 1664525u + 1013904223u;
        return double(mState >> 8) / double(1u << 23) - 1.0;
    }

private:
    uint32_t mState = 0x5EED5EEDu;
};

using Signal = std::vector<double>;

Signal Blank(double seconds) { return Signal(size_t(std::lround(seconds * kRate)), 0.0); }

double Time(size_t i) { return double(i) / kRate; }

// A tone whose frequency follows f(t); the phase is integrated so sweeps stay smooth.
void AddTone(Signal& s, double start, double length, const std::function<double(double)>& frequency,
             const std::function<double(double)>& envelope, const std::function<double(double)>& wave, double gain)
{
    double phase = 0;
    const size_t first = size_t(start * kRate);
    const size_t count = size_t(length * kRate);
    for (size_t i = 0; i < count && first + i < s.size(); ++i) {
        const double t = Time(i);
        s[first + i] += gain * envelope(t / length) * wave(phase);
        phase += frequency(t) / kRate;
    }
}

double Sine(double phase) { return std::sin(2 * kPi * phase); }
double Triangle(double phase) { return 4 * std::abs(phase - std::floor(phase + 0.5)) - 1; }
// A square with its harsh top cut: the first few odd harmonics.
double SoftSquare(double phase)
{
    return Sine(phase) + Sine(3 * phase) / 3 + Sine(5 * phase) / 5 + Sine(7 * phase) / 7;
}

std::function<double(double)> Constant(double f)
{
    return [f](double) { return f; };
}
std::function<double(double)> Sweep(double from, double to, double length)
{
    return [=](double t) { return from * std::pow(to / from, std::min(1.0, t / length)); };
}
std::function<double(double)> Decay(double rate)
{
    return [rate](double u) { return std::exp(-rate * u); };
}
std::function<double(double)> Swell()
{
    return [](double u) { return std::sin(kPi * u); };
}
std::function<double(double)> Pluck(double attack, double rate)
{
    return [=](double u) { return std::min(1.0, u / attack) * std::exp(-rate * u); };
}

void AddNoise(Signal& s, double start, double length, const std::function<double(double)>& envelope,
              const std::function<double(double)>& cutoff, Rng& rng, double gain)
{
    double low = 0;
    const size_t first = size_t(start * kRate);
    const size_t count = size_t(length * kRate);
    for (size_t i = 0; i < count && first + i < s.size(); ++i) {
        const double u = Time(i) / length;
        const double k = 1 - std::exp(-2 * kPi * cutoff(u) / kRate);
        low += (rng.Next() - low) * k;
        s[first + i] += gain * envelope(u) * low;
    }
}

double Note(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

void Chord(Signal& s, double start, double length, std::initializer_list<int> notes, double gain)
{
    for (int n : notes) {
        AddTone(s, start, length, Constant(Note(n)), Pluck(0.02, 3.5), SoftSquare, gain * 0.5);
        AddTone(s, start, length, Constant(Note(n) * 2.003), Pluck(0.01, 5), Sine, gain * 0.25);
    }
}

Signal Make(int id, Rng& rng)
{
    Signal s;
    switch (id) {
    case 0: // the crazy block reaches its colour
        s = Blank(0.25);
        AddTone(s, 0, 0.25, Sweep(600, 1200, 0.25), Pluck(0.05, 3), Sine, 1);
        break;
    case 1: { // combo level 4
        s = Blank(0.5);
        const int notes[4] = {3, 7, 10, 15}; // C, E, G, C above A4
        for (int i = 0; i < 4; ++i)
            AddTone(s, i * 0.11, 0.2, Constant(Note(notes[i])), Pluck(0.02, 4), SoftSquare, 0.6);
        break;
    }
    case 2: { // superbonus
        s = Blank(0.7);
        const int notes[6] = {3, 7, 10, 15, 19, 22};
        for (int i = 0; i < 6; ++i) {
            AddTone(s, i * 0.08, 0.3, Constant(Note(notes[i])), Pluck(0.02, 4), SoftSquare, 0.45);
            AddTone(s, i * 0.08 + 0.04, 0.3, Constant(Note(notes[i] + 12)), Pluck(0.02, 5), Sine, 0.3);
        }
        AddNoise(s, 0.2, 0.5, Swell(), Constant(7000), rng, 0.15);
        break;
    }
    case 3: // shuffle, first
        s = Blank(0.4);
        AddNoise(s, 0, 0.4, Swell(), [](double u) { return 300 + 5000 * u * u; }, rng, 1);
        break;
    case 4: // landing without score
        s = Blank(0.12);
        AddTone(s, 0, 0.12, Sweep(140, 90, 0.12), Pluck(0.03, 6), Sine, 1);
        break;
    case 5: // scoring landing
        s = Blank(0.15);
        AddTone(s, 0, 0.15, Constant(880), Pluck(0.02, 6), Sine, 0.8);
        AddTone(s, 0, 0.15, Constant(1760), Pluck(0.02, 9), Sine, 0.25);
        break;
    case 6: // a bonus fires
        s = Blank(0.25);
        AddTone(s, 0, 0.25, Constant(1200), Pluck(0.01, 5), Sine, 0.5);
        AddTone(s, 0, 0.25, Constant(1207), Pluck(0.01, 5), Sine, 0.5);
        AddTone(s, 0, 0.25, Constant(3300), Pluck(0.01, 9), Sine, 0.15);
        break;
    case 7: { // bomb fuse: crackles
        s = Blank(0.35);
        for (size_t i = 0; i < s.size(); ++i)
            if (rng.Next() > 0.985)
                for (size_t k = 0; k < 40 && i + k < s.size(); ++k)
                    s[i + k] += rng.Next() * std::exp(-double(k) / 8);
        AddNoise(s, 0, 0.35, Constant(0.15), Constant(3000), rng, 1);
        break;
    }
    case 8: // power ball shot
        s = Blank(0.2);
        AddTone(s, 0, 0.2, Sweep(1500, 300, 0.2), Pluck(0.01, 3), SoftSquare, 0.6);
        break;
    case 9: // shuffle, second: a warble
        s = Blank(0.3);
        AddTone(s, 0, 0.3, [](double t) { return 700 + 120 * std::sin(2 * kPi * 18 * t); }, Swell(), Sine, 1);
        break;
    case 10: // shadow ball: a low drone
        s = Blank(0.5);
        AddTone(s, 0, 0.5, Constant(80), Swell(), Triangle, 0.7);
        AddTone(s, 0, 0.5, Constant(120.5), Swell(), Sine, 0.35);
        break;
    case 11: // shell: a hollow knock
        s = Blank(0.25);
        AddTone(s, 0, 0.25, Constant(180), Pluck(0.005, 12), Sine, 0.7);
        AddTone(s, 0, 0.25, Constant(420), Pluck(0.005, 18), Sine, 0.5);
        break;
    case 12: // sniper: a ping
        s = Blank(0.15);
        AddTone(s, 0, 0.15, Constant(1760), Pluck(0.005, 5), Sine, 1);
        break;
    case 13: // bomb: a boom
        s = Blank(0.5);
        AddNoise(s, 0, 0.5, Pluck(0.01, 6), [](double u) { return 1500 * std::exp(-4 * u) + 100; }, rng, 1.2);
        AddTone(s, 0, 0.5, Sweep(90, 40, 0.5), Pluck(0.01, 5), Sine, 0.8);
        break;
    case 14: // power ball: charging up
        s = Blank(0.4);
        AddTone(s, 0, 0.4, Sweep(200, 900, 0.4), [](double u) { return std::min(1.0, u * 4) * (1 - 0.5 * u); },
                SoftSquare, 0.5);
        break;
    case 15: // energy
        s = Blank(0.3);
        AddTone(s, 0, 0.3, Sweep(400, 1000, 0.3), Pluck(0.05, 2), Triangle, 1);
        break;
    case 16: // time: tick, tock
        s = Blank(0.3);
        AddTone(s, 0, 0.05, Constant(2000), Pluck(0.002, 12), Sine, 1);
        AddTone(s, 0.15, 0.05, Constant(1500), Pluck(0.002, 12), Sine, 1);
        break;
    case 17: // level complete: a major chord
        s = Blank(0.8);
        Chord(s, 0, 0.8, {3, 7, 10}, 0.6);
        break;
    case 18: // click
        s = Blank(0.05);
        AddTone(s, 0, 0.05, Constant(1400), Pluck(0.002, 14), Sine, 1);
        AddNoise(s, 0, 0.02, Decay(8), Constant(6000), rng, 0.3);
        break;
    case 19: // stage complete: three chords
        s = Blank(1.2);
        Chord(s, 0, 0.5, {3, 7, 10}, 0.5);
        Chord(s, 0.25, 0.5, {5, 8, 12}, 0.5);
        Chord(s, 0.5, 0.7, {10, 14, 17, 22}, 0.5);
        break;
    case kLoopingId: // the tally tick: 100 whole cycles of 1 kHz, so the loop joins
        s = Blank(0.1);
        AddTone(s, 0, 0.1, Constant(1000), Decay(25), Sine, 1);
        break;
    case 21: // hover: a soft tick
        s = Blank(0.04);
        AddTone(s, 0, 0.04, Constant(2400), Pluck(0.003, 8), Sine, 1);
        break;
    case 22: { // a cup is awarded: a chime
        s = Blank(0.6);
        const int notes[3] = {15, 19, 22};
        for (int i = 0; i < 3; ++i) {
            AddTone(s, i * 0.1, 0.5, Constant(Note(notes[i])), Pluck(0.005, 4), Sine, 0.5);
            AddTone(s, i * 0.1, 0.5, Constant(Note(notes[i]) * 2.76), Pluck(0.005, 7), Sine, 0.15);
        }
        break;
    }
    default: // 23: game over, a burst
        s = Blank(0.4);
        AddNoise(s, 0, 0.4, Pluck(0.005, 5), [](double u) { return 4000 * std::exp(-3 * u) + 200; }, rng, 1);
        AddTone(s, 0, 0.4, Sweep(120, 50, 0.4), Pluck(0.005, 4), Sine, 0.5);
        break;
    }
    return s;
}

// 5 ms fades keep the ends from clicking, except on the loop; then the peak
// is brought to -3 dBFS.
void Finish(Signal& s, bool loops)
{
    const size_t fade = size_t(0.005 * kRate);
    for (size_t i = 0; i < s.size() && !loops; ++i)
        s[i] *= std::min({1.0, double(i) / fade, double(s.size() - 1 - i) / fade});
    double peak = 0;
    for (double v : s)
        peak = std::max(peak, std::abs(v));
    for (double& v : s)
        v *= peak > 0 ? kPeak / peak : 0;
}

void Put16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, uint16_t(value));
    Put16(out, uint16_t(value >> 16));
}

std::vector<uint8_t> Wav(const Signal& s)
{
    std::vector<uint8_t> samples;
    for (double v : s)
        Put16(samples, uint16_t(int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0))));
    std::vector<uint8_t> wav{'R', 'I', 'F', 'F'};
    Put32(wav, uint32_t(36 + samples.size()));
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(wav, 16);
    Put16(wav, 1);
    Put16(wav, 1);
    Put32(wav, kRate);
    Put32(wav, kRate * 2);
    Put16(wav, 2);
    Put16(wav, 16);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    Put32(wav, uint32_t(samples.size()));
    wav.insert(wav.end(), samples.begin(), samples.end());
    return wav;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makesounds <output folder>\n");
        return 2;
    }
    Rng rng;
    for (int id = 0; id < 24; ++id) {
        Signal s = Make(id, rng);
        Finish(s, id == kLoopingId);
        const std::vector<uint8_t> wav = Wav(s);
        char name[16];
        std::snprintf(name, sizeof name, "/s%02d.wav", id);
        const std::string path = std::string(argv[1]) + name;
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(wav.data(), 1, wav.size(), out) != wav.size() || std::fclose(out) != 0) {
            std::fprintf(stderr, "makesounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
