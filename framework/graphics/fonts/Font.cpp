#include "framework/graphics/fonts/Font.h"

namespace Lumo {

int Font::GetAscent() { return mAscent; }

int Font::GetAscentPadding() { return mAscentPadding; }

int Font::GetDescent() { return mHeight - mAscent; }

int Font::GetHeight() { return mHeight; }

int Font::GetLineSpacingOffset() { return mLineSpacingOffset; }

int Font::GetLineSpacing() { return mHeight + mLineSpacingOffset; }

int Font::StringWidth(const std::string&) { return 0; }

int Font::CharWidth(char c) { return StringWidth(std::string(1, c)); }

int Font::CharWidthKerned(char c, char) { return CharWidth(c); }

void Font::DrawString(Graphics*, int, int, const std::string&, const Color&, const Rect&) {}

} // namespace Lumo
