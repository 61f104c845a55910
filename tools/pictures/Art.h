#pragma once

class PictureWriter;

// Each draws and writes one family of the game's pictures.
void DrawFieldArt(PictureWriter& out);  // blocks, hover frames, stencils, border plates, piece cell
void DrawEffectArt(PictureWriter& out); // ball, shadows, bonus icons, power ball, particles, explosion, stars
void DrawPanelArt(PictureWriter& out);  // play panel, window frame and widgets, hiscore titles, badges, cups
void DrawMapArt(PictureWriter& out);    // level map and everything on it
void DrawScreenArt(PictureWriter& out); // splash, title, menu layers, scrolling background, cloud, wheel, pointer
