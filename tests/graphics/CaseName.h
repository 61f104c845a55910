#pragma once

#include <string>

namespace GraphicsTests {

// Names each case of a parametrised test after its mName.
struct CaseName {
    template <typename Info>
    std::string operator()(const Info& info) const
    {
        return info.param.mName;
    }
};

} // namespace GraphicsTests
