#include "platform/process/ProgramImage.h"

#include <algorithm>
#include <link.h>

namespace Platform {

std::vector<ImageRegion> GetProgramImageRegions()
{
    std::vector<ImageRegion> regions;
    // The program itself is the first object the loader lists.
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* found = static_cast<std::vector<ImageRegion>*>(data);
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const auto& header = info->dlpi_phdr[i];
                if (header.p_type == PT_LOAD && (header.p_flags & PF_R))
                    found->push_back(ImageRegion{reinterpret_cast<const uint8_t*>(info->dlpi_addr + header.p_vaddr),
                                                 size_t(header.p_memsz)});
            }
            return 1;
        },
        &regions);
    std::sort(regions.begin(), regions.end(),
              [](const ImageRegion& a, const ImageRegion& b) { return a.start < b.start; });
    return regions;
}

} // namespace Platform
