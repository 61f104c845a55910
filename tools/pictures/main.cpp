// Draws every picture of the sample content into a folder:
//
//   makepictures <folder>
//
// Everything is procedural and seeded, so each run writes the same bytes.
#include "tools/pictures/Art.h"
#include "tools/pictures/PictureWriter.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makepictures <folder>\n");
        return 2;
    }
    PictureWriter out(argv[1]);
    DrawFieldArt(out);
    DrawEffectArt(out);
    DrawPanelArt(out);
    DrawMapArt(out);
    DrawScreenArt(out);
    return out.Ok() ? 0 : 1;
}
