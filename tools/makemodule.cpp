// Writes a tiny four-channel tracker module ("M.K." layout): one looping
// square-wave instrument and one pattern of a short arpeggio over a bass line.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kRows = 64;
constexpr int kChannels = 4;
constexpr int kSampleBytes = 32;

void PutNote(uint8_t* cell, uint16_t period, uint8_t sample)
{
    cell[0] = uint8_t((sample & 0xF0) | ((period >> 8) & 0x0F));
    cell[1] = uint8_t(period);
    cell[2] = uint8_t((sample & 0x0F) << 4);
    cell[3] = 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makemodule <output.mod>\n");
        return 2;
    }
    std::vector<uint8_t> module(20, 0);
    std::memcpy(module.data(), "zentrova tune", 13);
    for (int sample = 0; sample < 31; ++sample) {
        std::vector<uint8_t> header(30, 0);
        if (sample == 0) {
            std::memcpy(header.data(), "square", 6);
            header[22] = 0;
            header[23] = kSampleBytes / 2; // length in words
            header[25] = 64;               // volume
            header[29] = kSampleBytes / 2; // loop length in words, from 0
        } else {
            header[29] = 1; // an empty instrument still has a loop length of one word
        }
        module.insert(module.end(), header.begin(), header.end());
    }
    module.push_back(1);   // song length in orders
    module.push_back(127); // restart byte
    std::vector<uint8_t> orders(128, 0);
    module.insert(module.end(), orders.begin(), orders.end());
    const char* tag = "M.K.";
    module.insert(module.end(), tag, tag + 4);

    const uint16_t arpeggio[4] = {428, 339, 285, 214}; // C, E, G and the octave above
    const uint16_t bass[2] = {856, 640};
    std::vector<uint8_t> pattern(kRows * kChannels * 4, 0);
    for (int row = 0; row < kRows; row += 4)
        PutNote(&pattern[size_t(row * kChannels) * 4], arpeggio[(row / 4) % 4], 1);
    for (int row = 0; row < kRows; row += 16)
        PutNote(&pattern[size_t(row * kChannels + 1) * 4], bass[(row / 16) % 2], 1);
    module.insert(module.end(), pattern.begin(), pattern.end());

    for (int i = 0; i < kSampleBytes; ++i)
        module.push_back(uint8_t(i < kSampleBytes / 2 ? 48 : -48));

    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(module.data(), 1, module.size(), out) != module.size()) {
        std::fprintf(stderr, "makemodule: cannot write %s\n", argv[1]);
        return 1;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
