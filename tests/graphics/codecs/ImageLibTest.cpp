#include "framework/graphics/codecs/ImageLib.h"
#include "tests/graphics/codecs/GifBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace ImageLibTests {
namespace {

using ImageLib::Image;
using LumoTest::TempFolder;

std::unique_ptr<Image> MakeImage(int width, int height, std::vector<uint32_t> pixels)
{
    auto image = std::make_unique<Image>(width, height);
    std::copy(pixels.begin(), pixels.end(), image->GetBits());
    return image;
}

std::vector<uint32_t> PixelsOf(const Image& image)
{
    return std::vector<uint32_t>(image.GetBits(), image.GetBits() + size_t(image.Width()) * size_t(image.Height()));
}

std::string TgaFile(int width, int height, int bitsPerPixel, int descriptor, const std::vector<uint32_t>& pixels)
{
    std::string file(18, '\0');
    file[12] = char(width);
    file[13] = char(width >> 8);
    file[14] = char(height);
    file[15] = char(height >> 8);
    file[16] = char(bitsPerPixel);
    file[17] = char(descriptor);
    file.append(reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4);
    return file;
}

void WritePng(const TempFolder& folder, const std::string& name, int width, int height, std::vector<uint32_t> pixels)
{
    ASSERT_TRUE(ImageLib::WritePNGImage(folder / name, MakeImage(width, height, std::move(pixels)).get()));
}

TEST(ImageLibSelection, ExtensionPicksExactlyOneReaderAndNoneTriesAll)
{
    TempFolder folder;
    WritePng(folder, "logo.png", 1, 1, {0xFF112233});
    folder.Write("a.b/logo.gif", GifBuilder{1, 1, {0x445566, 0}, false, false, -1, 0, {0}}.Build());

    std::unique_ptr<Image> found(ImageLib::GetImage(folder / "logo", false));
    ASSERT_TRUE(found);
    EXPECT_EQ(0xFF112233u, found->GetBits()[0]);
    std::unique_ptr<Image> upper(ImageLib::GetImage(folder / "logo.PNG", false));
    ASSERT_TRUE(upper);
    EXPECT_EQ(nullptr, ImageLib::GetImage(folder / "logo.bmp", false));
    EXPECT_EQ(nullptr, ImageLib::GetImage(folder / "logo.jpg", false));
    EXPECT_EQ(nullptr, ImageLib::GetImage(folder / "logo.jpeg", false));
    // The dot lies before the last separator: no extension, so every reader is tried.
    std::unique_ptr<Image> dotted(ImageLib::GetImage(folder.Path() + "\\a.b\\logo", false));
    ASSERT_TRUE(dotted);
    EXPECT_EQ(0xFF445566u, dotted->GetBits()[0]);
}

TEST(ImageLibSelection, SeparateAlphaImages)
{
    TempFolder folder;
    WritePng(folder, "pic.png", 2, 1, {0xFF102030, 0xFF405060});
    WritePng(folder, "_pic.png", 2, 1, {0xFF0000AA, 0xFF000011});
    WritePng(folder, "odd.png", 2, 1, {0xFF102030, 0xFF405060});
    WritePng(folder, "odd_.png", 2, 2, {0xFF0000AA, 0xFF000011, 0, 0});
    WritePng(folder, "lone_.png", 1, 1, {0xFF123480});
    WritePng(folder, "mask.png", 2, 1, {0xFF000001, 0xFF000002});

    std::unique_ptr<Image> merged(ImageLib::GetImage(folder / "pic", true));
    EXPECT_EQ((std::vector<uint32_t>{0xAA102030, 0x11405060}), PixelsOf(*merged));
    std::unique_ptr<Image> mismatched(ImageLib::GetImage(folder / "odd", true));
    EXPECT_EQ((std::vector<uint32_t>{0xFF102030, 0xFF405060}), PixelsOf(*mismatched));
    std::unique_ptr<Image> lone(ImageLib::GetImage(folder / "lone", true));
    EXPECT_EQ((std::vector<uint32_t>{0x80FFFFFF}), PixelsOf(*lone));
    std::unique_ptr<Image> named(ImageLib::GetImageWithAlphaFile(folder / "pic", folder / "mask"));
    EXPECT_EQ((std::vector<uint32_t>{0x01102030, 0x02405060}), PixelsOf(*named));
}

TEST(ImageLibTga, ReadsOnlyTopLeft32BitFilesThatHoldTheirPixels)
{
    TempFolder folder;
    const std::vector<uint32_t> pixels{0x80112233, 0xFF445566, 0x00778899, 0x01ABCDEF, 0xFFFFFFFF, 0};
    folder.Write("good.tga", TgaFile(3, 2, 32, 0x28, pixels));
    folder.Write("rgb.tga", TgaFile(3, 2, 24, 0x28, pixels));
    folder.Write("bottom.tga", TgaFile(3, 2, 32, 0x08, pixels));
    folder.Write("short.tga", TgaFile(3, 3, 32, 0x28, pixels));
    folder.Write("huge.tga", TgaFile(65535, 65535, 32, 0x28, pixels));

    std::unique_ptr<Image> good(ImageLib::GetTGAImage(folder / "good.tga"));
    ASSERT_TRUE(good);
    EXPECT_EQ(3, good->Width());
    EXPECT_EQ(pixels, PixelsOf(*good));
    for (const char* name : {"rgb.tga", "bottom.tga", "short.tga", "huge.tga", "missing.tga"})
        EXPECT_EQ(nullptr, ImageLib::GetTGAImage(folder / name)) << name;
}

TEST(ImageLibGif, DecodesLzwRoundTripsAcrossCodeSizesAndTableResets)
{
    TempFolder folder;
    struct Case {
        int width, height, colors;
        bool local, interlaced;
    };
    const Case cases[] = {{1, 1, 2, false, false}, {7, 5, 4, true, false}, {64, 48, 16, false, true},
                          {200, 150, 256, false, false}, {33, 10, 2, true, true}};
    uint32_t seed = 1;
    for (const Case& c : cases) {
        GifBuilder gif;
        gif.width = c.width;
        gif.height = c.height;
        gif.localTable = c.local;
        for (int i = 0; i < c.colors; ++i)
            gif.palette.push_back(uint32_t(i * 0x010305) & 0xFFFFFF);
        std::vector<uint8_t> image(size_t(c.width) * size_t(c.height));
        for (size_t i = 0; i < image.size(); ++i) {
            seed = seed * 1103515245 + 12345;
            // Runs make table entries; noise fills the table to its limit.
            image[i] = uint8_t(((i / 7) % 3 == 0 ? (seed >> 16) : i / 13) % unsigned(c.colors));
        }
        gif.interlaced = c.interlaced;
        std::vector<int> rowOrder;
        for (int pass = 0, starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2}; pass < 4; ++pass)
            for (int row = c.interlaced ? starts[pass] : (pass == 0 ? 0 : c.height); row < c.height;
                 row += c.interlaced ? steps[pass] : 1)
                rowOrder.push_back(row);
        for (int row : rowOrder)
            gif.indices.insert(gif.indices.end(), image.begin() + row * c.width, image.begin() + (row + 1) * c.width);
        folder.Write("round.gif", gif.Build());

        std::unique_ptr<Image> decoded(ImageLib::GetGIFImage(folder / "round.gif"));
        ASSERT_TRUE(decoded) << c.width << "x" << c.height;
        std::vector<uint32_t> expected;
        for (uint8_t index : image)
            expected.push_back(0xFF000000u | gif.palette[index]);
        EXPECT_EQ(expected, PixelsOf(*decoded)) << c.width << "x" << c.height;
    }
}

// Once the code table is full an encoder may go on without a clear code; the
// reader keeps decoding with the full table rather than stopping there, so
// the whole picture arrives.
TEST(ImageLibGif, AFullCodeTableKeepsDecoding)
{
    TempFolder folder;
    GifBuilder gif;
    gif.width = 200;
    gif.height = 150;
    gif.keepFullTable = true;
    for (uint32_t i = 0; i < 256; ++i)
        gif.palette.push_back(i * 0x010101);
    uint32_t seed = 7;
    for (int i = 0; i < gif.width * gif.height; ++i) {
        seed = seed * 1103515245 + 12345;
        gif.indices.push_back(uint8_t(seed >> 16));
    }
    folder.Write("full.gif", gif.Build());

    std::unique_ptr<Image> decoded(ImageLib::GetGIFImage(folder / "full.gif"));
    ASSERT_TRUE(decoded);
    std::vector<uint32_t> expected;
    for (uint8_t index : gif.indices)
        expected.push_back(0xFF000000u | gif.palette[index]);
    EXPECT_EQ(expected, PixelsOf(*decoded));
}

TEST(ImageLibGif, InterlacedRowsFollowThePasses)
{
    TempFolder folder;
    GifBuilder gif{1, 10, {}, false, true, -1, 0, {}};
    for (int i = 0; i < 16; ++i)
        gif.palette.push_back(uint32_t(i));
    // The n-th stored row holds the value n.
    for (uint8_t n = 0; n < 10; ++n)
        gif.indices.push_back(n);
    folder.Write("lace.gif", gif.Build());
    std::unique_ptr<Image> image(ImageLib::GetGIFImage(folder / "lace.gif"));
    ASSERT_TRUE(image);
    // Rows are filled in the order 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
    const std::vector<uint32_t> expected{0, 5, 3, 6, 2, 7, 4, 8, 1, 9};
    std::vector<uint32_t> stored;
    for (uint32_t pixel : PixelsOf(*image))
        stored.push_back(pixel & 0xFF);
    EXPECT_EQ(expected, stored);
}

TEST(ImageLibGif, TransparencyAndIndicesOutsideTheTable)
{
    TempFolder folder;
    GifBuilder gif{4, 1, {0x111111, 0x222222, 0x333333, 0x444444}, false, false, 1, 3, {0, 1, 5, 3}};
    folder.Write("t.gif", gif.Build());
    std::unique_ptr<Image> image(ImageLib::GetGIFImage(folder / "t.gif"));
    ASSERT_TRUE(image);
    EXPECT_EQ((std::vector<uint32_t>{0xFF111111, 0, 0, 0xFF444444}), PixelsOf(*image));
}

TEST(ImageLibGif, DamagedFilesNeverReachPastTheImage)
{
    TempFolder folder;
    GifBuilder gif{8, 8, {0x0000FF, 0x00FF00}, false, false, -1, 0, {}};
    gif.indices.assign(64, 1);
    const std::string whole = gif.Build();
    // Cut inside the image data: the rows decoded so far stay, the rest are clear.
    folder.Write("cut.gif", whole.substr(0, whole.size() - 4));
    std::unique_ptr<Image> cut(ImageLib::GetGIFImage(folder / "cut.gif"));
    ASSERT_TRUE(cut);
    EXPECT_EQ(0xFF00FF00u, cut->GetBits()[0]);

    GifBuilder noTable{2, 1, {}, false, false, -1, 2, {0, 1}};
    folder.Write("notable.gif", noTable.Build());
    EXPECT_EQ(nullptr, ImageLib::GetGIFImage(folder / "notable.gif"));

    // More pixels in the stream than the image holds.
    GifBuilder extra{2, 2, {0, 0xFFFFFF}, false, true, -1, 0, std::vector<uint8_t>(40, 1)};
    folder.Write("extra.gif", extra.Build());
    std::unique_ptr<Image> full(ImageLib::GetGIFImage(folder / "extra.gif"));
    ASSERT_TRUE(full);
    EXPECT_EQ(std::vector<uint32_t>(4, 0xFFFFFFFF), PixelsOf(*full));

    for (const std::string& bad : {std::string("GIF90a"), whole.substr(0, 20), std::string("GIF89a\1\0\1\0\0\0\0;")}) {
        folder.Write("bad.gif", bad);
        EXPECT_EQ(nullptr, ImageLib::GetGIFImage(folder / "bad.gif"));
    }
}

TEST(ImageLibPng, WriterAndReaderRoundTripExactly)
{
    TempFolder folder;
    const std::vector<uint32_t> pixels{0x00000000, 0x80FF0000, 0xFF00FF00, 0x7F0000FF, 0x01020304, 0xFFFFFFFF};
    WritePng(folder, "round.png", 3, 2, pixels);
    EXPECT_FALSE(LumoTest::ReadFile(folder / "round.png.tmp").size() > 0);
    std::unique_ptr<Image> image(ImageLib::GetPNGImage(folder / "round.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(pixels, PixelsOf(*image));

    const std::string bytes = LumoTest::ReadFile(folder / "round.png");
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<Image> decoded(ImageLib::DecodePNGBuffer(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                             bytes.size(), &width, &height));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(3, width);
    EXPECT_EQ(2, height);
    EXPECT_EQ(pixels, PixelsOf(*decoded));
    EXPECT_EQ(nullptr, ImageLib::DecodePNGBuffer(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size() - 20,
                                                 &width, &height));
}

TEST(ImageLibPng, SixteenBitInterlacedGreyAndPaletteFiles)
{
    std::unique_ptr<Image> deep(ImageLib::GetPNGImage(LumoTest::FixturePath("images/rgba16.png")));
    ASSERT_TRUE(deep);
    EXPECT_EQ((std::vector<uint32_t>{0xFF12569A, 0x80FF0000, 0x00000000, 0x01ABCDEF}), PixelsOf(*deep));

    std::unique_ptr<Image> laced(ImageLib::GetPNGImage(LumoTest::FixturePath("images/interlaced.png")));
    ASSERT_TRUE(laced);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(0xFF000000u | uint32_t(x * 20) << 16 | uint32_t(y * 20) << 8 | uint32_t(x + y),
                      laced->GetBits()[y * 10 + x])
                << x << "," << y;

    std::unique_ptr<Image> grey(ImageLib::GetPNGImage(LumoTest::FixturePath("images/grey.png")));
    EXPECT_EQ((std::vector<uint32_t>{0xFF000000, 0xFF808080, 0xFFFFFFFF}), PixelsOf(*grey));
    std::unique_ptr<Image> palette(ImageLib::GetPNGImage(LumoTest::FixturePath("images/palette.png")));
    EXPECT_EQ((std::vector<uint32_t>{0x40FF0000, 0xFF0000FF}), PixelsOf(*palette));
}

TEST(ImageLibPng, SubloadFillsTheCornerAndRefusesBiggerPictures)
{
    TempFolder folder;
    WritePng(folder, "small.png", 2, 1, {0xFF000001, 0xFF000002});
    std::vector<uint32_t> buffer(6, 0xDEADBEEF);
    ImageLib::SubloadImagePNG(folder / "small.png", buffer.data(), 3, 2);
    EXPECT_EQ((std::vector<uint32_t>{0xFF000001, 0xFF000002, 0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF, 0xDEADBEEF}),
              buffer);
    std::vector<uint32_t> tiny(1, 0xDEADBEEF);
    ImageLib::SubloadImagePNG(folder / "small.png", tiny.data(), 1, 1);
    EXPECT_EQ(0xDEADBEEFu, tiny[0]);
}

TEST(ImageLibJpeg, WriterReaderAndGreySamples)
{
    TempFolder folder;
    std::vector<uint32_t> pixels(16 * 16, 0x00336699);
    ASSERT_TRUE(ImageLib::WriteJPEGImage(folder / "flat.jpg", MakeImage(16, 16, pixels).get()));
    std::unique_ptr<Image> flat(ImageLib::GetJPEGImage(folder / "flat.jpg"));
    ASSERT_TRUE(flat);
    for (uint32_t pixel : PixelsOf(*flat)) {
        EXPECT_EQ(0xFFu, pixel >> 24);
        EXPECT_NEAR(0x33, int(pixel >> 16 & 0xFF), 3);
        EXPECT_NEAR(0x66, int(pixel >> 8 & 0xFF), 3);
        EXPECT_NEAR(0x99, int(pixel & 0xFF), 3);
    }

    // A one-component file of samples 0x80.
    FILE* file = std::fopen((folder / "grey.jpg").c_str(), "wb");
    ASSERT_TRUE(file);
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_stdio_dest(&info, file);
    jpeg_start_compress(&info, TRUE);
    JSAMPLE row[8] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
    JSAMPROW rows[1] = {row};
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, rows, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
    std::unique_ptr<Image> grey(ImageLib::GetJPEGImage(folder / "grey.jpg"));
    ASSERT_TRUE(grey);
    EXPECT_EQ(std::vector<uint32_t>(64, 0xFF808080), PixelsOf(*grey));

    // A file cut short still decodes (the missing end is supplied); garbage does not.
    std::vector<uint32_t> noise(64 * 64);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = uint32_t(i * 2654435761u);
    ASSERT_TRUE(ImageLib::WriteJPEGImage(folder / "noise.jpg", MakeImage(64, 64, noise).get()));
    const std::string whole = LumoTest::ReadFile(folder / "noise.jpg");
    // Decoded into the image's words, the pixels are the library's own RGB samples.
    {
        jpeg_decompress_struct plain;
        jpeg_error_mgr plainError;
        plain.err = jpeg_std_error(&plainError);
        jpeg_create_decompress(&plain);
        jpeg_mem_src(&plain, reinterpret_cast<const unsigned char*>(whole.data()),
                     static_cast<unsigned long>(whole.size()));
        jpeg_read_header(&plain, TRUE);
        jpeg_start_decompress(&plain);
        std::vector<uint32_t> expected;
        std::vector<JSAMPLE> samples(64 * 3);
        while (plain.output_scanline < plain.output_height) {
            JSAMPROW sampleRow = samples.data();
            jpeg_read_scanlines(&plain, &sampleRow, 1);
            for (size_t x = 0; x < 64; ++x)
                expected.push_back(0xFF000000u | uint32_t(samples[3 * x]) << 16 | uint32_t(samples[3 * x + 1]) << 8 |
                                   samples[3 * x + 2]);
        }
        jpeg_finish_decompress(&plain);
        jpeg_destroy_decompress(&plain);
        std::unique_ptr<Image> decoded(ImageLib::GetJPEGImage(folder / "noise.jpg"));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(expected, PixelsOf(*decoded));
    }
    folder.Write("cut.jpg", whole.substr(0, whole.size() * 3 / 4));
    std::unique_ptr<Image> cut(ImageLib::GetJPEGImage(folder / "cut.jpg"));
    ASSERT_TRUE(cut);
    for (uint32_t pixel : PixelsOf(*cut))
        ASSERT_EQ(0xFFu, pixel >> 24);
    folder.Write("junk.jpg", "not a jpeg at all");
    EXPECT_EQ(nullptr, ImageLib::GetJPEGImage(folder / "junk.jpg"));
    folder.Write("empty.jpg", "");
    EXPECT_EQ(nullptr, ImageLib::GetJPEGImage(folder / "empty.jpg"));
}

TEST(ImageLibWriters, FailWithoutLeavingFiles)
{
    TempFolder folder;
    auto image = MakeImage(1, 1, {0});
    EXPECT_FALSE(ImageLib::WritePNGImage(folder / "missing/dir/a.png", image.get()));
    EXPECT_FALSE(ImageLib::WriteJPEGImage(folder / "missing/dir/a.jpg", image.get()));
    auto empty = std::make_unique<Image>(0, 0);
    EXPECT_FALSE(ImageLib::WritePNGImage(folder / "empty.png", empty.get()));
    EXPECT_EQ("", LumoTest::ReadFile(folder / "empty.png.tmp"));
}

// A link planted by the file's name or by its old temporary's name leads
// elsewhere: the picture takes the name, and what the link leads to stays.
TEST(ImageLibWriters, NeverWriteThroughALink)
{
    using Writer = bool (*)(const std::string&, const Image*);
    using Reader = Image* (*)(const std::string&);
    struct Case {
        const char* name;
        const char* link;
        Writer write;
        Reader read;
    };
    const Case cases[] = {
        {"shot.png", "shot.png", ImageLib::WritePNGImage, ImageLib::GetPNGImage},
        {"shot.png", "shot.png.tmp", ImageLib::WritePNGImage, ImageLib::GetPNGImage},
        {"thumb.jpg", "thumb.jpg", ImageLib::WriteJPEGImage, ImageLib::GetJPEGImage},
        {"thumb.jpg", "thumb.jpg.tmp", ImageLib::WriteJPEGImage, ImageLib::GetJPEGImage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        TempFolder folder;
        folder.Write("elsewhere/letter.txt", "keep me");
        std::filesystem::create_symlink(folder / "elsewhere/letter.txt", folder / c.link);
        ASSERT_TRUE(c.write(folder / c.name, MakeImage(2, 2, std::vector<uint32_t>(4, 0xFF808080)).get()));
        EXPECT_EQ(LumoTest::ReadFile(folder / "elsewhere/letter.txt"), "keep me");
        EXPECT_FALSE(std::filesystem::is_symlink(folder / c.name));
        const std::unique_ptr<Image> written(c.read(folder / c.name));
        ASSERT_TRUE(written);
        EXPECT_EQ(written->Width(), 2);
    }
}

} // namespace
} // namespace ImageLibTests
