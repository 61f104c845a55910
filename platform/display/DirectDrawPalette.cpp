#include "platform/display/DirectDrawPalette.h"

#include <algorithm>

namespace Platform {

DirectDrawPalette::DirectDrawPalette(const DDPALETTEENTRY* entries)
{
    if (entries)
        std::copy(entries, entries + mEntries.size(), mEntries.begin());
}

HRESULT DirectDrawPalette::GetEntries(uint32_t, uint32_t first, uint32_t count, DDPALETTEENTRY* entries)
{
    if (!entries || first > mEntries.size() || count > mEntries.size() - first)
        return DDERR_INVALIDPARAMS;
    std::copy_n(mEntries.begin() + first, count, entries);
    return DD_OK;
}

HRESULT DirectDrawPalette::SetEntries(uint32_t, uint32_t first, uint32_t count, const DDPALETTEENTRY* entries)
{
    if (!entries || first > mEntries.size() || count > mEntries.size() - first)
        return DDERR_INVALIDPARAMS;
    std::copy_n(entries, count, mEntries.begin() + first);
    return DD_OK;
}

} // namespace Platform
