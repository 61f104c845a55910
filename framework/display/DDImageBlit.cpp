#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"
#include "framework/display/D3DInterface.h"
#include "framework/graphics/FRect.h"
#include "framework/graphics/images/PixelKernels.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Lumo {

using namespace Platform;

namespace {

// Walks each row of the source rectangle run by run: body(source index of
// the run's first pixel, destination pixel of it, run length, pixels of the
// row from it on), the length cut at the row's end. Mirrored rows are
// written right to left.
template <bool Mirrored, typename Raster, typename Body>
void WalkRuns(const Raster& raster, const uint8_t* runs, int32_t sourceWidth, int x, int y, const Rect& srcRect,
              Body&& body)
{
    for (int32_t row = 0; row < srcRect.mHeight; ++row) {
        const size_t first = size_t(srcRect.mY + row) * size_t(sourceWidth) + size_t(srcRect.mX);
        auto* destRow = raster.Row(y + row);
        for (int32_t i = 0; i < srcRect.mWidth;) {
            const int32_t run = std::clamp(int32_t(runs[first + size_t(i)]), 1, srcRect.mWidth - i);
            body(first + size_t(i), destRow, Mirrored ? x + srcRect.mWidth - 1 - i : x + i, run, srcRect.mWidth - i);
            i += run;
        }
    }
}

template <bool Mirrored>
constexpr int32_t kColumnStep = Mirrored ? -1 : 1;

#if defined(__SSE2__)

__m128i Load(const void* p)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

void Store(void* p, __m128i v)
{
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

// One run of 16-bit pixels from source index on, within room pixels of its
// row: group(first destination pixel, source index) over whole groups of
// eight; the rest as one more group whose lanes past the run keep their
// pixels where the row has room for it, else single(destination pixel,
// source index) one by one.
template <bool Mirrored, typename Pixel, typename Group, typename Single>
void SplitRun(Pixel* row, int32_t column, size_t index, int32_t run, int32_t room, Group&& group, Single&& single)
{
    static_assert(sizeof(Pixel) == 2);
    constexpr int32_t kLanes = 8;
    auto first = [&](int32_t i) { return row + (Mirrored ? column - i - (kLanes - 1) : column + i); };
    int32_t i = 0;
    for (; i + kLanes <= run; i += kLanes)
        group(first(i), index + size_t(i));
    if (i < run && room - i >= kLanes) {
        Pixel* pixels = first(i);
        const __m128i before = Load(pixels);
        group(pixels, index + size_t(i));
        // A mirrored group holds the run's pixels in its last lanes.
        const __m128i lane = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
        const short rest = short(run - i);
        const __m128i ours = Mirrored ? _mm_cmpgt_epi16(lane, _mm_set1_epi16(short(kLanes - 1 - rest)))
                                      : _mm_cmplt_epi16(lane, _mm_set1_epi16(rest));
        Store(pixels, _mm_or_si128(_mm_and_si128(ours, Load(pixels)), _mm_andnot_si128(ours, before)));
        return;
    }
    for (; i < run; ++i)
        single(row[Mirrored ? column - i : column + i], index + size_t(i));
}

__m128i Quad(DirectTexels texels, size_t index)
{
    return Load(texels.words + index);
}

__m128i Quad(IndexedTexels texels, size_t index)
{
    return _mm_setr_epi32(int(texels[index]), int(texels[index + 1]), int(texels[index + 2]),
                          int(texels[index + 3]));
}

// Four source words, in destination order.
template <bool Mirrored, typename Texels>
__m128i Words(const Texels& texels, size_t index)
{
    const __m128i words = Quad(texels, index);
    return Mirrored ? _mm_shuffle_epi32(words, 0x1B) : words;
}

// Eight source words in 16-bit lanes, in destination order: the low halves,
// or with High the top bytes.
template <bool Mirrored, bool High, typename Texels>
__m128i Halves(const Texels& texels, size_t index)
{
    auto narrow = [](__m128i words) {
        return High ? _mm_srli_epi32(words, 24) : _mm_srai_epi32(_mm_slli_epi32(words, 16), 16);
    };
    return _mm_packs_epi32(narrow(Words<Mirrored>(texels, index + (Mirrored ? 4 : 0))),
                           narrow(Words<Mirrored>(texels, index + (Mirrored ? 0 : 4))));
}

// The 16-bit lanes of one channel of a 16-bit surface, whose value is at most 8 bits wide.
struct ChannelLanes {
    __m128i mask;
    __m128i shift;
    __m128i maximum;
    __m128i tint;

    __m128i Value(__m128i pixels) const { return _mm_srl_epi16(_mm_and_si128(pixels, mask), shift); }
    __m128i Place(__m128i value) const { return _mm_sll_epi16(value, shift); }
};

// The channels of a 16-bit surface as lanes, when each fits 8 bits.
bool MakeChannelLanes(const uint32_t masks[3], const uint32_t shifts[3], const uint32_t maxima[3],
                      const uint32_t tints[3], ChannelLanes lanes[3])
{
    for (int c = 0; c < 3; ++c) {
        if (masks[c] > 0xFFFF || shifts[c] > 15 || (masks[c] >> shifts[c]) > 255)
            return false;
        lanes[c] = {_mm_set1_epi16(short(masks[c])), _mm_cvtsi32_si128(int(shifts[c])),
                    _mm_set1_epi16(short(maxima[c])), _mm_set1_epi16(short(tints[c]))};
    }
    return true;
}

// The lanes of a 16-bit surface whose channels are each one run of at most 8 bits.
bool SurfaceLanes(const uint32_t masks[3], const uint32_t tints[3], ChannelLanes lanes[3])
{
    uint32_t shifts[3];
    uint32_t maxima[3];
    for (int c = 0; c < 3; ++c) {
        shifts[c] = masks[c] ? uint32_t(std::countr_zero(masks[c])) : 0;
        maxima[c] = masks[c] >> shifts[c];
    }
    const bool contiguous = std::all_of(maxima, maxima + 3, [](uint32_t m) { return (m & (m + 1)) == 0; });
    return contiguous && MakeChannelLanes(masks, shifts, maxima, tints, lanes);
}

// x / 255 for x at most 255 * 255.
__m128i DivideBy255(__m128i x)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)), 8);
}

// Eight premultiplied source pixels over eight of a 16-bit surface: each
// channel kept by (256 - alpha) / 256, the spread formats' weight cut to a
// multiple of 8 as their one multiplication takes it, and the source added.
template <bool Spread, bool Mirrored, typename Texels>
__m128i OverNative16(__m128i dest, const Texels& texels, size_t index, bool opaque, const ChannelLanes (&lanes)[3])
{
    __m128i weight = _mm_setzero_si128();
    if (!opaque) {
        weight = _mm_sub_epi16(_mm_set1_epi16(256), Halves<Mirrored, true>(texels, index));
        if (Spread)
            weight = _mm_and_si128(weight, _mm_set1_epi16(~7));
    }
    __m128i kept = _mm_setzero_si128();
    for (const ChannelLanes& channel : lanes)
        kept = _mm_or_si128(kept, channel.Place(_mm_srli_epi16(_mm_mullo_epi16(channel.Value(dest), weight), 8)));
    return _mm_add_epi16(kept, Halves<Mirrored, false>(texels, index));
}

// A channel of eight pixels of a spread format: the source's value times the
// grey tint plus the destination's times the weight.
template <uint32_t Mask>
[[gnu::always_inline]] inline __m128i SpreadChannelSum(__m128i source, __m128i dest, __m128i tint, __m128i weight)
{
    constexpr int shift = std::countr_zero(Mask);
    const __m128i mask = _mm_set1_epi16(short(Mask));
    return _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(_mm_and_si128(source, mask), shift), tint),
                         _mm_mullo_epi16(_mm_srli_epi16(_mm_and_si128(dest, mask), shift), weight));
}

// A channel's sum from its fifth bit up, back in the channel's place.
template <uint32_t Mask>
[[gnu::always_inline]] inline __m128i SpreadChannelPlace(__m128i sum)
{
    constexpr int shift = std::countr_zero(Mask);
    const __m128i placed = shift >= 5 ? _mm_slli_epi16(sum, shift - 5) : _mm_srli_epi16(sum, 5 - shift);
    return _mm_and_si128(placed, _mm_set1_epi16(short(Mask)));
}

// Eight pixels of a spread format as its one multiplication of the whole
// spread word gives them. The word holds blue and red in place in its low
// half and green in its high half, so each channel's sum carries into the
// channels above it, as the lanes do here.
template <typename Format>
[[gnu::always_inline]] inline __m128i SpreadSums(__m128i source, __m128i dest, __m128i tint, __m128i weight)
{
    constexpr uint32_t low = Format::kSpreadMask & 0xFFFF;
    constexpr uint32_t green = Format::kSpreadMask >> 16;
    constexpr uint32_t blue = low & ~(low + (low & (0u - low)));
    constexpr uint32_t red = low ^ blue;
    constexpr int toRed = std::countr_zero(red);
    constexpr int toGreen = std::countr_zero(green) + 16 - toRed;
    const __m128i blueSum = SpreadChannelSum<blue>(source, dest, tint, weight);
    const __m128i redSum =
        _mm_add_epi16(_mm_srli_epi16(blueSum, toRed), SpreadChannelSum<red>(source, dest, tint, weight));
    const __m128i greenSum =
        _mm_add_epi16(_mm_srli_epi16(redSum, toGreen), SpreadChannelSum<green>(source, dest, tint, weight));
    return _mm_or_si128(_mm_or_si128(SpreadChannelPlace<red>(redSum), SpreadChannelPlace<green>(greenSum)),
                        SpreadChannelPlace<blue>(blueSum));
}

#endif

// The tint's weights for the bytes of a 32-bit pixel (blue first), then
// alpha, when the colour channels fill bytes 0 to 2 or the tint is grey.
bool TintBytes(const uint32_t masks[3], const uint32_t tints[3], bool grey, uint32_t alpha, uint32_t bytes[4])
{
    for (uint32_t b = 0; b < 3; ++b) {
        const uint32_t* match = std::find(masks, masks + 3, 0xFFu << (8 * b));
        if (!grey && match == masks + 3)
            return false;
        bytes[b] = grey ? tints[0] : tints[match - masks];
    }
    bytes[3] = alpha;
    return true;
}

// Each row of the source rectangle on a 32-bit surface as words in the
// destination's order: row(destination pixels, words).
template <bool Mirrored, typename Texels, typename Row>
void WordRows(const RasterFormat<Format32>& raster, const Texels& texels, int32_t sourceWidth, int x, int y,
              const Rect& srcRect, Row&& row)
{
    constexpr bool inPlace = !Mirrored && std::is_same_v<Texels, DirectTexels>;
    std::vector<uint32_t> scratch(inPlace ? 0 : size_t(srcRect.mWidth));
    for (int32_t r = 0; r < srcRect.mHeight; ++r) {
        const size_t first = size_t(srcRect.mY + r) * size_t(sourceWidth) + size_t(srcRect.mX);
        if constexpr (inPlace) {
            row(raster.Row(y + r) + x, texels.words + first);
        } else {
            for (int32_t i = 0; i < srcRect.mWidth; ++i)
                scratch[size_t(i)] = texels[first + size_t(Mirrored ? srcRect.mWidth - 1 - i : i)];
            row(raster.Row(y + r) + x, scratch.data());
        }
    }
}

} // namespace

void DDImage::BltFromSurface(DDImage* source, int x, int y, const Rect& srcRect)
{
    IDirectDrawSurface* surface = GetSurface();
    if (!surface)
        return;
    if (mLockDepth > 0)
        surface->Unlock(nullptr);
    DDBLTFX fx;
    fx.dwSize = sizeof(DDBLTFX);
    const uint32_t flags = DDBLT_WAIT | (source->hasTransparency ? DDBLT_KEYSRC : 0);
    RECT dest{x, y, x + srcRect.mWidth, y + srcRect.mHeight};
    RECT from{srcRect.mX, srcRect.mY, srcRect.mX + srcRect.mWidth, srcRect.mY + srcRect.mHeight};
    surface->Blt(&dest, source->mSurface, &from, flags, &fx);
    if (mLockDepth > 0)
        surface->Lock(nullptr, &mLockDesc, DDLOCK_WAIT, nullptr);
    mSurfaceWritten = true;
}

void DDImage::Blit(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    source->mDrawn = true;
    CheckAlpha();
    if (IsScreen3D()) {
        auto* surfaced = dynamic_cast<DDImage*>(source);
        if (surfaced && surfaced->mSurface && drawMode == 0 && color.IsWhite() && !surfaced->hasTranslucency)
            BltFromSurface(surfaced, x, y, srcRect);
        else
            mDDInterface->mD3DInterface->Blt(source, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    const bool cursorArea = this == mDDInterface->mOldCursorAreaImage || this == mDDInterface->mNewCursorAreaImage;
    if (hasTranslucency || hasTransparency || (mDDInterface->mIs3D && !cursorArea)) {
        MemoryImage::Blit(source, x, y, srcRect, color, drawMode);
        return;
    }
    mSurfaceWritten = false;
    if (drawMode == 0)
        BlitNormal(source, x, y, srcRect, color);
    else if (drawMode == 1)
        BlitAdditive(source, x, y, srcRect, color);
    if (mSurfaceWritten)
        DiscardMemoryCopies();
}

void DDImage::BlitMirrored(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    CheckAlpha();
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->BltMirror(source, float(x), float(y), srcRect, color, drawMode);
        return;
    }
    // The memory image has no mirrored blit, and a surface would lose this
    // image's alpha: such a destination is left as it is.
    if (hasTranslucency || hasTransparency)
        return;
    mSurfaceWritten = false;
    if (drawMode == 0)
        BlitMirrorNormal(source, x, y, srcRect, color);
    else if (drawMode == 1)
        BlitMirrorAdditive(source, x, y, srcRect, color);
    if (mSurfaceWritten)
        DiscardMemoryCopies();
}

void DDImage::BlitFloat(Image* source, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                        int drawMode)
{
    source->mDrawn = true;
    if (IsScreen3D()) {
        const FRect dest{x, y, double(srcRect.mWidth), double(srcRect.mHeight)};
        const FRect shown =
            dest.Intersect(FRect{double(clip.mX), double(clip.mY), double(clip.mWidth), double(clip.mHeight)});
        if (shown.mWidth == dest.mWidth && shown.mHeight == dest.mHeight)
            mDDInterface->mD3DInterface->Blt(source, x, y, srcRect, color, drawMode, true);
        else if (shown.mWidth != 0 && shown.mHeight != 0)
            mDDInterface->mD3DInterface->BltF(source, x, y, srcRect, clip, color, drawMode);
        return;
    }
    BlitRotated(source, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

void DDImage::BlitNormal(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    source->mDrawn = true;
    auto* memory = dynamic_cast<MemoryImage*>(source);
    if (!memory)
        return;
    auto* surfaced = dynamic_cast<DDImage*>(source);
    const bool sourceSurface = surfaced && surfaced->mSurface;
    memory->CheckAlpha();
    const bool untinted = color.IsWhite();

    if (memory->blitShortcut && !sourceSurface && !mNoSoftwareDraw && untinted) {
        const uint32_t* words = memory->colorTable ? memory->colorTable.get() : memory->GetPixelBits();
        if (!words || !LockSurface())
            return;
        const bool ordered = DDInterface::gChannelOrderFlag != 0;
        mSurfaceWritten = WithRasterFormat<true>(mLockDesc, [&](auto raster) {
            using Pixel = typename decltype(raster)::Pixel;
            WithTexels(words, memory->colorIndices.get(), [&](auto texels) {
                for (int32_t row = 0; row < srcRect.mHeight; ++row) {
                    const size_t first = size_t(srcRect.mY + row) * size_t(memory->mWidth) + size_t(srcRect.mX);
                    Pixel* dest = raster.Row(y + row) + x;
                    for (int32_t i = 0; i < srcRect.mWidth; ++i) {
                        const uint32_t s = texels[first + size_t(i)];
                        dest[i] = Pixel(ShortcutBlend(raster, s, dest[i], s >> 24, ordered));
                    }
                }
            });
        });
        UnlockSurface();
        return;
    }

    if (!memory->hasTranslucency && untinted) {
        if (sourceSurface && (mInVideoMemory || !surfaced->mInVideoMemory)) {
            BltFromSurface(surfaced, x, y, srcRect);
            return;
        }
        if (mNoSoftwareDraw || !LockSurface())
            return;
        const uint32_t* native = memory->GetNativeAlphaData(mDDInterface);
        const bool keyed = memory->hasTransparency;
        mSurfaceWritten = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
            using Pixel = typename decltype(raster)::Pixel;
            WithTexels(native, memory->colorIndices.get(), [&](auto texels) {
                for (int32_t row = 0; row < srcRect.mHeight; ++row) {
                    const size_t first = size_t(srcRect.mY + row) * size_t(memory->mWidth) + size_t(srcRect.mX);
                    Pixel* dest = raster.Row(y + row) + x;
                    if constexpr (sizeof(Pixel) == 4 && std::is_same_v<decltype(texels), DirectTexels>) {
                        if (!keyed) {
                            std::memcpy(dest, native + first, size_t(srcRect.mWidth) * sizeof(Pixel));
                            continue;
                        }
                    }
                    for (int32_t i = 0; i < srcRect.mWidth; ++i) {
                        const uint32_t n = texels[first + size_t(i)];
                        if (!keyed || (n >> 24) != 0)
                            dest[i] = Pixel(n);
                    }
                }
            });
        });
        UnlockSurface();
        return;
    }
    BlitAlpha<false>(source, x, y, srcRect, color);
}

void DDImage::BlitMirrorNormal(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    source->mDrawn = true;
    auto* memory = dynamic_cast<MemoryImage*>(source);
    if (!memory)
        return;
    memory->CheckAlpha();
    BlitAlpha<true>(source, x, y, srcRect, color);
}

template <bool Mirrored>
void DDImage::BlitAlpha(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    auto* memory = static_cast<MemoryImage*>(source);
    if (mNoSoftwareDraw || !LockSurface())
        return;
    const uint32_t* native = memory->GetNativeAlphaData(mDDInterface);
    const uint8_t* runs = memory->GetRunLengthAlphaData();
    const Tint tint(color);
    const bool untinted = color.IsWhite();
    constexpr int32_t step = kColumnStep<Mirrored>;
    mSurfaceWritten = WithRasterFormat<true>(mLockDesc, [&](auto raster) {
        using Raster = decltype(raster);
        using Pixel = typename Raster::Pixel;
        using Format = typename Raster::Tag;
        auto scaleDest = [&](uint32_t d, uint32_t k) -> uint32_t {
            if (Format::kSpread)
                return Raster::Fold(((Raster::Spread(d) * (k >> 3)) >> 5) & Format::kSpreadMask);
            if (sizeof(Pixel) == 4)
                return ((((d & 0x00FF00FF) * k) >> 8) & 0x00FF00FF) + ((((d & 0x0000FF00) * k) >> 8) & 0x0000FF00);
            return ((((d & raster.mRed) * k) >> 8) & raster.mRed) +
                       ((((d & raster.mGreen) * k) >> 8) & raster.mGreen) +
                       ((((d & raster.mBlue) * k) >> 8) & raster.mBlue);
        };
        const uint32_t masks[3] = {raster.mRed, raster.mGreen, raster.mBlue};
        const uint32_t tints[3] = {tint.red, tint.green, tint.blue};
        if constexpr (sizeof(Pixel) == 4) {
            uint32_t weights[4];
            if (untinted || TintBytes(masks, tints, tint.Grey(), tint.alpha, weights)) {
                WithTexels(native, memory->colorIndices.get(), [&](auto texels) {
                    WordRows<Mirrored>(raster, texels, memory->mWidth, x, y, srcRect,
                                       [&](uint32_t* dest, const uint32_t* words) {
                                           if (untinted)
                                               PixelKernels::OverNative(dest, words, srcRect.mWidth);
                                           else
                                               PixelKernels::OverNativeTinted(dest, words, srcRect.mWidth, weights);
                                       });
                });
                return;
            }
        }
        if (untinted) {
#if defined(__SSE2__)
            ChannelLanes lanes[3];
            const bool inLanes = sizeof(Pixel) == 2 && SurfaceLanes(masks, tints, lanes);
#endif
            WithTexels(native, memory->colorIndices.get(), [&](auto texels) {
                auto single = [&](Pixel& pixel, uint32_t n, bool opaque) {
                    pixel = opaque ? Pixel(n) : Pixel(scaleDest(pixel, 256 - (n >> 24)) + n);
                };
                WalkRuns<Mirrored>(
                    raster, runs, memory->mWidth, x, y, srcRect,
                    [&](size_t index, Pixel* row, int32_t column, int32_t run, int32_t room) {
                        const uint32_t alpha = texels[index] >> 24;
                        if (alpha == 0)
                            return;
                        const bool opaque = alpha == 255;
#if defined(__SSE2__)
                        if constexpr (sizeof(Pixel) == 2) {
                            if (inLanes) {
                                SplitRun<Mirrored>(
                                    row, column, index, run, room,
                                    [&](Pixel* group, size_t at) {
                                        Store(group, OverNative16<Format::kSpread, Mirrored>(Load(group), texels, at,
                                                                                             opaque, lanes));
                                    },
                                    [&](Pixel& pixel, size_t at) { single(pixel, texels[at], opaque); });
                                return;
                            }
                        }
#endif
                        for (int32_t i = 0; i < run; ++i, column += step)
                            single(row[column], texels[index + size_t(i)], opaque);
                    });
            });
            return;
        }
        const bool spreadGrey = Format::kSpread && tint.Grey();
        const bool packedGrey = sizeof(Pixel) == 4 && tint.Grey();
        auto tinted = [&](uint32_t n, uint32_t d, uint32_t k, bool opaque) -> uint32_t {
            if (spreadGrey) {
                const uint32_t colour = Raster::Spread(n & 0xFFFF) * (tint.red >> 3);
                const uint32_t dest = opaque ? 0 : Raster::Spread(d) * (k >> 3);
                return Raster::Fold(((colour + dest) >> 5) & Format::kSpreadMask);
            }
            if (packedGrey) {
                const uint32_t t = tint.red;
                const uint32_t low = (opaque ? 0 : (d & 0x00FF00FF) * k) + (n & 0x00FF00FF) * t;
                const uint32_t middle = (opaque ? 0 : (d & 0x0000FF00) * k) + (n & 0x0000FF00) * t;
                return ((low >> 8) & 0x00FF00FF) + ((middle >> 8) & 0x0000FF00);
            }
            auto one = [&](uint32_t mask, uint32_t t) {
                const uint64_t dest = opaque ? 0 : uint64_t(d & mask) * k;
                return uint32_t(((dest + uint64_t(n & mask) * t) >> 8) & mask);
            };
            return one(raster.mRed, tint.red) + one(raster.mGreen, tint.green) + one(raster.mBlue, tint.blue);
        };
        WithTexels(native, memory->colorIndices.get(), [&](auto texels) {
            // span(row, column, source index, run, room, opaque) over the runs not transparent.
            auto walk = [&](auto&& span) {
                WalkRuns<Mirrored>(raster, runs, memory->mWidth, x, y, srcRect,
                                   [&](size_t index, Pixel* row, int32_t column, int32_t run, int32_t room) {
                                       const uint32_t alpha = texels[index] >> 24;
                                       if (alpha != 0)
                                           span(row, column, index, run, room, alpha == 255 && tint.alpha == 255);
                                   });
            };
            auto single = [&](Pixel& pixel, uint32_t n, bool opaque) {
                pixel = Pixel(tinted(n, pixel, 256 - (n >> 24) * tint.alpha / 255, opaque));
            };
#if defined(__SSE2__)
            if constexpr (sizeof(Pixel) == 2) {
                ChannelLanes lanes[3];
                if (spreadGrey || SurfaceLanes(masks, tints, lanes)) {
                    const __m128i tintAlpha = _mm_set1_epi16(short(tint.alpha));
                    const __m128i greyTint = _mm_set1_epi16(short(tint.red >> 3));
                    walk([&](Pixel* row, int32_t column, size_t index, int32_t run, int32_t room, bool opaque) {
                        SplitRun<Mirrored>(
                            row, column, index, run, room,
                            [&](Pixel* group, size_t at) {
                                const __m128i n = Halves<Mirrored, false>(texels, at);
                                const __m128i d = Load(group);
                                const __m128i k =
                                    opaque ? _mm_setzero_si128()
                                           : _mm_sub_epi16(_mm_set1_epi16(256),
                                                           DivideBy255(_mm_mullo_epi16(
                                                               Halves<Mirrored, true>(texels, at), tintAlpha)));
                                if constexpr (Format::kSpread) {
                                    if (spreadGrey) {
                                        Store(group, SpreadSums<Format>(n, d, greyTint, _mm_srli_epi16(k, 3)));
                                        return;
                                    }
                                }
                                __m128i pixels = _mm_setzero_si128();
                                for (const ChannelLanes& channel : lanes) {
                                    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(channel.Value(d), k),
                                                                      _mm_mullo_epi16(channel.Value(n), channel.tint));
                                    pixels = _mm_or_si128(
                                        pixels, channel.Place(_mm_and_si128(_mm_srli_epi16(sum, 8), channel.maximum)));
                                }
                                Store(group, pixels);
                            },
                            [&](Pixel& pixel, size_t at) { single(pixel, texels[at], opaque); });
                    });
                    return;
                }
            }
#endif
            walk([&](Pixel* row, int32_t column, size_t index, int32_t run, int32_t, bool opaque) {
                for (int32_t i = 0; i < run; ++i, column += step)
                    single(row[column], texels[index + size_t(i)], opaque);
            });
        });
    });
    UnlockSurface();
}

void DDImage::BlitAdditive(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    BlitAdd<false>(source, x, y, srcRect, color);
}

void DDImage::BlitMirrorAdditive(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    BlitAdd<true>(source, x, y, srcRect, color);
}

template <bool Mirrored>
void DDImage::BlitAdd(Image* source, int x, int y, const Rect& srcRect, const Color& color)
{
    source->mDrawn = true;
    if (mNoSoftwareDraw)
        return;
    auto* memory = dynamic_cast<MemoryImage*>(source);
    if (!memory || !LockSurface())
        return;
    const uint32_t* native = memory->GetNativeAlphaData(mDDInterface);
    memory->CheckAlpha();
    LockSurface();
    const uint8_t* runs = memory->GetRunLengthAdditiveData(mDDInterface);
    SaturationChannel channels[3];
    SaturationChannels(channels);
    const Tint tint(color);
    const uint32_t tints[3] = {tint.red, tint.green, tint.blue};
    const bool untinted = color.IsWhite();
    constexpr int32_t step = kColumnStep<Mirrored>;
    mSurfaceWritten = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
        using Pixel = typename decltype(raster)::Pixel;
        auto add = [&](uint32_t n, uint32_t d) {
            uint32_t pixel = 0;
            for (int c = 0; c < 3; ++c) {
                const SaturationChannel& channel = channels[c];
                const uint32_t value = untinted ? channel.Value(n) : (channel.Value(n) * tints[c]) >> 8;
                pixel |= channel.Add(d, std::min(value, (1u << channel.bits) - 1));
            }
            return pixel;
        };
        if constexpr (sizeof(Pixel) == 4) {
            // The saturation tables of 8-bit channels saturate as bytes do.
            const uint32_t masks[3] = {channels[0].mask, channels[1].mask, channels[2].mask};
            const bool bytes = std::all_of(channels, channels + 3, [](const SaturationChannel& channel) {
                return channel.bits == 8 && channel.mask == 0xFFu << channel.shift;
            });
            uint32_t weights[4];
            if (bytes && TintBytes(masks, tints, false, 0, weights)) {
                WithTexels(native, memory->colorIndices.get(), [&](auto texels) {
                    WordRows<Mirrored>(raster, texels, memory->mWidth, x, y, srcRect,
                                       [&](uint32_t* dest, const uint32_t* words) {
                                           PixelKernels::AddNative(dest, words, srcRect.mWidth,
                                                                   untinted ? nullptr : weights);
                                       });
                });
                return;
            }
        }
        WithTexels(native, memory->colorIndices.get(), [&](auto texels) {
            // span(row, column, source index, run, room) over the lit runs.
            auto walk = [&](auto&& span) {
                WalkRuns<Mirrored>(raster, runs, memory->mWidth, x, y, srcRect,
                                   [&](size_t index, Pixel* row, int32_t column, int32_t run, int32_t room) {
                                       if ((texels[index] & 0x00FFFFFF) != 0)
                                           span(row, column, index, run, room);
                                   });
            };
            auto single = [&](Pixel& pixel, size_t at) { pixel = Pixel(add(texels[at], pixel)); };
#if defined(__SSE2__)
            // The saturation tables clamp at each channel's maximum, which
            // the lanes do by comparison.
            if constexpr (sizeof(Pixel) == 2) {
                const uint32_t masks[3] = {channels[0].mask, channels[1].mask, channels[2].mask};
                const uint32_t shifts[3] = {channels[0].shift, channels[1].shift, channels[2].shift};
                const uint32_t maxima[3] = {(1u << channels[0].bits) - 1, (1u << channels[1].bits) - 1,
                                            (1u << channels[2].bits) - 1};
                ChannelLanes lanes[3];
                if (MakeChannelLanes(masks, shifts, maxima, tints, lanes)) {
                    walk([&](Pixel* row, int32_t column, size_t index, int32_t run, int32_t room) {
                        SplitRun<Mirrored>(
                            row, column, index, run, room,
                            [&](Pixel* group, size_t at) {
                                const __m128i n = Halves<Mirrored, false>(texels, at);
                                const __m128i d = Load(group);
                                __m128i pixels = _mm_setzero_si128();
                                for (const ChannelLanes& channel : lanes) {
                                    __m128i value = channel.Value(n);
                                    if (!untinted)
                                        value = _mm_srli_epi16(_mm_mullo_epi16(value, channel.tint), 8);
                                    const __m128i sum = _mm_add_epi16(_mm_min_epi16(channel.Value(d), channel.maximum),
                                                                      _mm_min_epi16(value, channel.maximum));
                                    pixels = _mm_or_si128(pixels, channel.Place(_mm_min_epi16(sum, channel.maximum)));
                                }
                                Store(group, pixels);
                            },
                            single);
                    });
                    return;
                }
            }
#endif
            walk([&](Pixel* row, int32_t column, size_t index, int32_t run, int32_t) {
                for (int32_t i = 0; i < run; ++i, column += step)
                    single(row[column], index + size_t(i));
            });
        });
    });
    UnlockSurface();
    UnlockSurface();
}

} // namespace Lumo
