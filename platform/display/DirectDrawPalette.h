#pragma once

#include "platform/display/DirectDrawObject.h"
#include "platform/display/DirectDrawTypes.h"
#include "platform/display/DirectXResults.h"

#include <array>

namespace Platform {

// 256 entries for an 8-bit texture; the flags byte may carry alpha.
class DirectDrawPalette final : public DirectDrawObject {
public:
    explicit DirectDrawPalette(const DDPALETTEENTRY* entries);

    HRESULT GetEntries(uint32_t flags, uint32_t first, uint32_t count, DDPALETTEENTRY* entries);
    HRESULT SetEntries(uint32_t flags, uint32_t first, uint32_t count, const DDPALETTEENTRY* entries);

private:
    ~DirectDrawPalette() override = default;

    std::array<DDPALETTEENTRY, 256> mEntries{};
};

using IDirectDrawPalette = DirectDrawPalette;

} // namespace Platform
