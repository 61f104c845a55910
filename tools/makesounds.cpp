// Writes the short sample sounds: tones as PCM WAV files in the four layouts
// the sound loader takes (8 and 16-bit, mono and stereo).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Tone {
    const char* name;
    uint16_t channels;
    uint16_t bits;
    uint32_t rate;
    double frequency;
    double seconds;
};

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

std::vector<uint8_t> MakeWav(const Tone& tone)
{
    std::vector<uint8_t> samples;
    uint32_t frames = uint32_t(tone.rate * tone.seconds);
    for (uint32_t i = 0; i < frames; ++i) {
        // A short fade at both ends keeps the tone from clicking.
        double envelope = std::fmin(1.0, std::fmin(i, frames - i) / (0.01 * tone.rate));
        double value = 0.4 * envelope * std::sin(2.0 * M_PI * tone.frequency * i / tone.rate);
        for (uint16_t channel = 0; channel < tone.channels; ++channel) {
            double side = channel == 0 ? value : value * 0.5;
            if (tone.bits == 8)
                samples.push_back(uint8_t(std::lround(128.0 + side * 127.0)));
            else
                Put16(samples, uint16_t(int16_t(std::lround(side * 32767.0))));
        }
    }
    uint16_t blockAlign = uint16_t(tone.channels * tone.bits / 8);
    std::vector<uint8_t> wav{'R', 'I', 'F', 'F'};
    Put32(wav, uint32_t(36 + samples.size()));
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(wav, 16);
    Put16(wav, 1);
    Put16(wav, tone.channels);
    Put32(wav, tone.rate);
    Put32(wav, tone.rate * blockAlign);
    Put16(wav, blockAlign);
    Put16(wav, tone.bits);
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
    const Tone tones[] = {
        {"click", 1, 16, 22050, 880.0, 0.05},
        {"chime", 2, 16, 44100, 660.0, 0.3},
        {"blip", 1, 8, 11025, 1320.0, 0.08},
        {"buzz", 2, 8, 22050, 220.0, 0.2},
    };
    for (const Tone& tone : tones) {
        std::string path = std::string(argv[1]) + "/" + tone.name + ".wav";
        std::vector<uint8_t> wav = MakeWav(tone);
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(wav.data(), 1, wav.size(), out) != wav.size() || std::fclose(out) != 0) {
            std::fprintf(stderr, "makesounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
