// PNG and JPEG load times through ImageLib (archive-layer reads, decoding
// into the image's ARGB words) against a plain library decode of the same
// files; prints the ratio of the median times.
#include "framework/graphics/codecs/ImageLib.h"

#include "MedianRuns.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kSize = 512;

// A picture with smooth areas and noise, written once per run.
const std::string& SampleFile(const char* extension)
{
    static const std::string folder = [] {
        const auto path = std::filesystem::temp_directory_path() / "lumo-decode-bench";
        std::filesystem::create_directories(path);
        ImageLib::Image image(kSize, kSize);
        uint32_t seed = 7;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                seed = seed * 1664525 + 1013904223;
                const uint32_t noise = (x / 64 + y / 64) % 2 == 0 ? (seed >> 24) & 0x1F : 0;
                image.GetBits()[y * kSize + x] =
                    0xFF000000u | uint32_t(x / 2 + noise) << 16 | uint32_t(y / 2) << 8 | uint32_t((x + y) / 4);
            }
        }
        ImageLib::WritePNGImage((path / "sample.png").string(), &image);
        ImageLib::WriteJPEGImage((path / "sample.jpg").string(), &image);
        return path.string();
    }();
    static const std::string png = folder + "/sample.png";
    static const std::string jpg = folder + "/sample.jpg";
    return std::string(extension) == "png" ? png : jpg;
}

void ImageLibPng(benchmark::State& state)
{
    const std::string& file = SampleFile("png");
    for (auto _ : state) {
        std::unique_ptr<ImageLib::Image> image(ImageLib::GetPNGImage(file));
        benchmark::DoNotOptimize(image->GetBits());
    }
}
BENCHMARK(ImageLibPng);

void PlainLibpng(benchmark::State& state)
{
    const std::string& file = SampleFile("png");
    std::vector<uint32_t> pixels(size_t(kSize) * kSize);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_file(&image, file.c_str());
        image.format = PNG_FORMAT_BGRA;
        png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(PlainLibpng);

void ImageLibJpeg(benchmark::State& state)
{
    const std::string& file = SampleFile("jpg");
    for (auto _ : state) {
        std::unique_ptr<ImageLib::Image> image(ImageLib::GetJPEGImage(file));
        benchmark::DoNotOptimize(image->GetBits());
    }
}
BENCHMARK(ImageLibJpeg);

void PlainLibjpeg(benchmark::State& state)
{
    const std::string& file = SampleFile("jpg");
    std::vector<JSAMPLE> pixels(size_t(kSize) * kSize * 3);
    for (auto _ : state) {
        FILE* in = std::fopen(file.c_str(), "rb");
        jpeg_decompress_struct info;
        jpeg_error_mgr error;
        info.err = jpeg_std_error(&error);
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, in);
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels.data() + size_t(info.output_scanline) * info.output_width * 3;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        std::fclose(in);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(PlainLibjpeg);

} // namespace

int main(int argc, char** argv)
{
    MedianRuns::Initialize(argc, argv, 9);
    MedianRuns times([](const MedianRuns::Run& run) { return run.GetAdjustedCPUTime(); });
    benchmark::RunSpecifiedBenchmarks(&times);
    std::printf("\n%-8s %14s %14s %10s\n", "format", "ImageLib ns", "plain ns", "ratio");
    for (const auto& [format, ours, plain] : {std::tuple{"PNG", "ImageLibPng", "PlainLibpng"},
                                              std::tuple{"JPEG", "ImageLibJpeg", "PlainLibjpeg"}}) {
        const auto mine = times.Find(ours);
        const auto theirs = times.Find(plain);
        if (mine && theirs)
            std::printf("%-8s %14.0f %14.0f %10.3f\n", format, *mine, *theirs, *mine / *theirs);
    }
    benchmark::Shutdown();
    return 0;
}
