#include <gtest/gtest.h>

#include <string>

// Last: its short macro names would reach the headers after it.
#include "framework/diagnostics/ModVal.h"

namespace {

TEST(ModValSiteTest, MarkedLiteralsReadAsThemselvesAndRegisterTheirFile)
{
    const int count = M(12);
    const double scale = M1(2.5);
    const std::string name = M2("tile");
    EXPECT_EQ(count, 12);
    EXPECT_DOUBLE_EQ(scale, 2.5);
    EXPECT_EQ(name, "tile");
    EXPECT_TRUE(Lumo::ModValFileMap()[__FILE__].mReparse);
    Lumo::ModValFileMap().erase(__FILE__);
}

} // namespace
