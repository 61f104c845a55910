#pragma once

// The one geometry the block sprites, hover frames, stencils and border plates
// are drawn from, and that gamefields.xml must repeat.
struct BlockGeometry {
    static constexpr int kWidth = 64;  // sprite
    static constexpr int kHeight = 40;
    static constexpr int kSide = 8;    // the side faces hang this far below the top face
    static constexpr int kHIndent = 24; // top corner's x
    static constexpr int kVIndent = 12; // left corner's y
    static constexpr int kSpacing = 2;
    static constexpr int kFieldSize = 8;
    // The scratch image a block is masked in.
    static constexpr int kScratchWidth = 80;
    static constexpr int kScratchHeight = 40;

    // Top face corners in sprite pixels: top, right, bottom, left.
    static constexpr float kTopX = kHIndent, kTopY = 0;
    static constexpr float kRightX = kWidth, kRightY = (kHeight - kSide) - kVIndent;
    static constexpr float kBottomX = kWidth - kHIndent, kBottomY = kHeight - kSide;
    static constexpr float kLeftX = 0, kLeftY = kVIndent;

    // Stencils: 256 x 128, the "V" (directions 0, 1) visible above
    // y = kStencilApex - |x - 128| / 2, the "A" (2, 3) below y = kStencilFoot + |x - 128| / 2.
    static constexpr int kStencilWidth = 256;
    static constexpr int kStencilHeight = 128;
    static constexpr float kStencilApex = 96;
    static constexpr float kStencilFoot = 32;
    static constexpr float kEdgeSlope = 0.5f;
};
