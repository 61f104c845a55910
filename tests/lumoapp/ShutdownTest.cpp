#include "tests/lumoapp/AppFixture.h"

#include "framework/graphics/images/SharedImageRef.h"
#include "framework/widgets/Dialog.h"

#include <new>

namespace LumoTest {
namespace {

class ShutdownTest : public AppFixture {};

// A dialog the game registered under another id than its own is still
// closed, and the shutdown goes on to write the demo.
TEST_F(ShutdownTest, ADialogRegisteredUnderAnotherIdIsClosed)
{
    ASSERT_TRUE(StartApp());
    bool deleted = false;
    class NotedDialog final : public Lumo::Dialog {
    public:
        NotedDialog(Lumo::WidgetAppHost* app, bool* deleted)
            : Dialog(app, 5, false, "Header", "Lines", "", Lumo::Dialog::kNoButtons), mDeleted(deleted)
        {
        }
        ~NotedDialog() override { *mDeleted = true; }

    private:
        bool* mDeleted;
    };
    mApp->RegisterDialogWithId(40, new NotedDialog(mApp.get(), &deleted));
    mApp.reset();
    EXPECT_TRUE(deleted);
}

// A shared image somebody still holds at shutdown is a display image: it must
// go while the display it belongs to still exists.
TEST_F(ShutdownTest, ASharedImageStillHeldGoesBeforeTheDisplay)
{
    ASSERT_TRUE(StartApp());
    // A holder that is never destroyed, as a font the game never deletes.
    alignas(Lumo::SharedImageRef) unsigned char holder[sizeof(Lumo::SharedImageRef)];
    auto* held = new (holder) Lumo::SharedImageRef(mApp->FindOrLoadSharedImage("!held", "", nullptr));
    ASSERT_NE(held->GetImage(), nullptr);
    mApp.reset();
}

} // namespace
} // namespace LumoTest
