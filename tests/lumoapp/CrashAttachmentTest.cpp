#include "tests/lumoapp/AppFixture.h"

#include "framework/StaticInit.h"

#include <string>

namespace LumoTest {
namespace {

class CrashAttachmentTest : public AppFixture {
protected:
    ~CrashAttachmentTest() override { Lumo::gCrashAttachmentPath.clear(); }
};

TEST_F(CrashAttachmentTest, TheWholeFileReplacesTheBuffer)
{
    ASSERT_NE(StartApp(), nullptr);
    std::string demo(70000, '\0');
    for (size_t i = 0; i < demo.size(); ++i)
        demo[i] = char(i * 7);
    mFolder.Write("crash.dmo", demo);
    mFolder.Write("empty.dmo", "");
    struct Case {
        const char* name;
        std::string path;
        bool read;
        std::string contents;
    };
    const Case cases[] = {
        {"a demo", mFolder / "crash.dmo", true, demo},
        {"an empty file", mFolder / "empty.dmo", true, ""},
        {"no file", mFolder / "missing.dmo", false, "old"},
        {"no path set", "", false, "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Lumo::gCrashAttachmentPath = c.path;
        Lumo::Buffer buffer;
        buffer.SetData(reinterpret_cast<const uint8_t*>("old"), 3);
        EXPECT_EQ(mApp->ReadCrashAttachment(buffer), c.read);
        const auto* bytes = reinterpret_cast<const char*>(buffer.GetDataPtr());
        EXPECT_EQ(bytes ? std::string(bytes, size_t(buffer.GetDataLen())) : std::string(), c.contents);
    }
}

} // namespace
} // namespace LumoTest
