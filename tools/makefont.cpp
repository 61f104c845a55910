// Makes a bitmap font: the printable characters of DejaVu Sans drawn white
// into one glyph strip, and the descriptor that cuts the strip up.
//
//   makefont <folder> <name> <pixels> <regular|bold> [--strip <font>] [--tint r,g,b,a] [--shadow dx,dy,alpha]
//
// writes <name>.txt and, unless --strip names another font's strip to share,
// <name>.png. --tint multiplies the letters' colour; --shadow adds a black
// layer under them.
#include "framework/graphics/codecs/ImageLib.h"
#include "tools/GlyphFace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kPadding = 2;
constexpr char kFirst = ' ';
constexpr char kLast = '~';

struct Options {
    std::string folder;
    std::string name;
    int pixels = 0;
    bool bold = false;
    std::string strip;  // the strip's font name; this font's own when empty
    std::string tint;   // "r, g, b, a"
    std::string shadow; // "dx, dy, alpha"
};

// "1,2,3" as the descriptor writes a list: "1, 2, 3".
std::string Spaced(const std::string& list)
{
    std::string out;
    for (char c : list)
        out += c == ',' ? std::string(", ") : std::string(1, c);
    return out;
}

bool Parse(int argc, char** argv, Options* options)
{
    if (argc < 5)
        return false;
    options->folder = argv[1];
    options->name = argv[2];
    options->pixels = std::atoi(argv[3]);
    if (std::strcmp(argv[4], "bold") != 0 && std::strcmp(argv[4], "regular") != 0)
        return false;
    options->bold = std::strcmp(argv[4], "bold") == 0;
    for (int i = 5; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--strip") == 0)
            options->strip = argv[i + 1];
        else if (std::strcmp(argv[i], "--tint") == 0)
            options->tint = Spaced(argv[i + 1]);
        else if (std::strcmp(argv[i], "--shadow") == 0)
            options->shadow = argv[i + 1];
        else
            return false;
    }
    return options->pixels > 0 && (argc - 5) % 2 == 0;
}

// A character as the descriptor language writes it inside a list.
std::string Quoted(char c)
{
    if (c == '\'')
        return "\"'\"";
    if (c == '\\')
        return "'\\\\'";
    return std::string("'") + c + "'";
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : ", ") + items[i];
    return "(" + text + ")";
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, &options)) {
        std::fprintf(stderr, "usage: makefont <folder> <name> <pixels> <regular|bold> [--strip <font>] "
                             "[--tint r,g,b,a] [--shadow dx,dy,alpha]\n");
        return 2;
    }
    const GlyphFace face(options.bold, options.pixels);
    if (!face.IsOpen()) {
        std::fprintf(stderr, "makefont: no DejaVu Sans face\n");
        return 1;
    }
    const int height = face.Ascent() + face.Descent();
    std::vector<GlyphFace::Glyph> glyphs;
    std::vector<std::string> chars, cellWidths, advances;
    int stripWidth = 0;
    for (char c = kFirst; c <= kLast; ++c) {
        glyphs.push_back(face.Render(c));
        const GlyphFace::Glyph& glyph = glyphs.back();
        // Every character a name may use needs a width, so none is narrower than 1.
        const int advance = std::max(1, glyph.advance);
        const int cell = std::max(advance, glyph.left + glyph.width) + 2 * kPadding;
        chars.push_back(Quoted(c));
        cellWidths.push_back(std::to_string(cell));
        advances.push_back(std::to_string(advance));
        stripWidth += cell;
    }

    const std::string stripName = options.strip.empty() ? options.name : options.strip;
    if (options.strip.empty()) {
        ImageLib::Image strip(stripWidth, height);
        uint32_t* bits = strip.GetBits();
        int x = 0;
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const GlyphFace::Glyph& glyph = glyphs[i];
            const int cell = std::stoi(cellWidths[i]);
            for (int gy = 0; gy < glyph.height; ++gy)
                for (int gx = 0; gx < glyph.width; ++gx) {
                    const int px = kPadding + glyph.left + gx;
                    const int py = face.Ascent() - glyph.top + gy;
                    const uint32_t alpha = glyph.coverage[size_t(gy * glyph.width + gx)];
                    if (px >= 0 && px < cell && py >= 0 && py < height && alpha != 0)
                        bits[py * stripWidth + x + px] = alpha << 24 | 0xFFFFFF;
                }
            x += cell;
        }
        if (!ImageLib::WritePNGImage(options.folder + "/" + stripName + ".png", &strip)) {
            std::fprintf(stderr, "makefont: cannot write the glyph strip\n");
            return 1;
        }
    }

    const std::string path = options.folder + "/" + options.name + ".txt";
    const std::string temporary = path + ".tmp";
    std::ofstream text(temporary, std::ios::binary);
    text << "# " << options.name << ": DejaVu Sans" << (options.bold ? " Bold" : "") << " at " << options.pixels
         << " pixels, the printable characters in one strip.\n"
         << "SetDefaultPointSize " << options.pixels << ";\n"
         << "Define Chars " << Joined(chars) << ";\n"
         << "CreateHorzSpanRectList Rects (0, 0, 0, " << height << ") " << Joined(cellWidths) << ";\n"
         << "\n"
         << "CreateLayer Main;\n"
         << "LayerSetImage Main '" << stripName << ".png';\n"
         << "LayerSetImageMap Main Chars Rects;\n"
         << "LayerSetCharWidths Main Chars " << Joined(advances) << ";\n"
         << "LayerSetOffset Main (-" << kPadding << ", 0);\n"
         << "LayerSetAscent Main " << face.Ascent() << ";\n"
         << "LayerSetHeight Main " << height << ";\n";
    if (!options.tint.empty())
        text << "LayerSetColorMult Main (" << options.tint << ");\n";
    if (!options.shadow.empty()) {
        int dx = 0, dy = 0;
        float alpha = 0;
        std::sscanf(options.shadow.c_str(), "%d,%d,%f", &dx, &dy, &alpha);
        char alphaText[16];
        std::snprintf(alphaText, sizeof alphaText, "%g", alpha);
        text << "\n"
             << "# The shadow, under every letter.\n"
             << "CreateLayerFrom Shadow Main;\n"
             << "LayerSetOffset Shadow (" << dx - kPadding << ", " << dy << ");\n"
             << "LayerSetColorMult Shadow (0, 0, 0, " << alphaText << ");\n"
             << "LayerSetBaseOrder Shadow -1;\n";
    }
    text.close();
    if (!text || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "makefont: cannot write the descriptor\n");
        return 1;
    }
    return 0;
}
