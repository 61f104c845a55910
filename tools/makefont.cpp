// Makes the sample bitmap font: the printable characters of the system face
// drawn white into one glyph strip, and the descriptor that cuts it up, with
// a soft shadow layer under the letters.
//
//   makefont <folder> <name>    writes <name>.png and <name>.txt

#include "framework/graphics/images/DefaultImageHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/codecs/ImageLib.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/graphics/fonts/SysFont.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kPointSize = 12;
constexpr int kPadding = 1;
constexpr char kFirst = ' ';
constexpr char kLast = '~';

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
    if (argc != 3) {
        std::fprintf(stderr, "usage: makefont <folder> <name>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string name = argv[2];

    Lumo::DefaultImageHost host;
    Lumo::SysFont face(nullptr, "DejaVu Sans", kPointSize, 0);
    if (face.mFontHandle == nullptr) {
        std::fprintf(stderr, "makefont: no system face\n");
        return 1;
    }
    std::vector<std::string> chars;
    std::vector<std::string> cellWidths;
    std::vector<std::string> advances;
    int stripWidth = 0;
    for (char c = kFirst; c <= kLast; ++c) {
        const int advance = face.CharWidth(c);
        chars.push_back(Quoted(c));
        cellWidths.push_back(std::to_string(advance + 2 * kPadding));
        advances.push_back(std::to_string(advance));
        stripWidth += advance + 2 * kPadding;
    }

    Lumo::MemoryImage strip(&host);
    strip.SetSize(stripWidth, face.GetHeight());
    Lumo::Graphics graphics(&strip);
    int x = 0;
    for (char c = kFirst; c <= kLast; ++c) {
        face.DrawString(&graphics, x + kPadding, face.GetAscent(), std::string(1, c), Lumo::Color::White,
                        Lumo::Rect{0, 0, strip.mWidth, strip.mHeight});
        x += face.CharWidth(c) + 2 * kPadding;
    }
    ImageLib::Image out(strip.mWidth, strip.mHeight);
    std::copy(strip.GetPixelBits(), strip.GetPixelBits() + size_t(strip.mWidth) * size_t(strip.mHeight), out.GetBits());
    if (!ImageLib::WritePNGImage(folder + "/" + name + ".png", &out)) {
        std::fprintf(stderr, "makefont: cannot write the glyph strip\n");
        return 1;
    }

    const std::string temporary = folder + "/" + name + ".txt.tmp";
    std::ofstream text(temporary, std::ios::binary);
    text << "# " << name << ": the printable characters in one strip, white, with a shadow layer.\n"
         << "SetDefaultPointSize " << kPointSize << ";\n"
         << "Define Chars " << Joined(chars) << ";\n"
         << "CreateHorzSpanRectList Rects (0, 0, 0, " << face.GetHeight() << ") " << Joined(cellWidths) << ";\n"
         << "\n"
         << "CreateLayer Main;\n"
         << "LayerSetImage Main '" << name << ".png';\n"
         << "LayerSetImageMap Main Chars Rects;\n"
         << "LayerSetCharWidths Main Chars " << Joined(advances) << ";\n"
         << "LayerSetOffset Main (-" << kPadding << ", 0);\n"
         << "LayerSetAscent Main " << face.GetAscent() << ";\n"
         << "LayerSetHeight Main " << face.GetHeight() << ";\n"
         << "LayerSetKerningPairs Main ('AV', 'VA', 'To', 'Ta', 'LT') (-1, -1, -1, -1, -1);\n"
         << "\n"
         << "# The shadow: one pixel down and right, half-transparent black, under every letter.\n"
         << "CreateLayerFrom Shadow Main;\n"
         << "LayerSetOffset Shadow (0, 1);\n"
         << "LayerSetColorMult Shadow (0, 0, 0, 0.5);\n"
         << "LayerSetBaseOrder Shadow -1;\n";
    text.close();
    if (!text || std::rename(temporary.c_str(), (folder + "/" + name + ".txt").c_str()) != 0) {
        std::fprintf(stderr, "makefont: cannot write the descriptor\n");
        return 1;
    }
    return 0;
}
