#include "tests/lumoapp/AppFixture.h"

#include "framework/app/DemoJumpDialog.h"
#include "framework/app/DemoMarkerDialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/windows/Messages.h"
#include "platform/windows/VirtualKeys.h"

#include <functional>
#include <set>
#include <string>

namespace LumoTest {
namespace {

using namespace Platform;

// A replay of key records every 15 updates up to update 600, driven through
// the live window procedure while a playback dialog is open.
class DemoDialogTest : public AppFixture {
protected:
    ~DemoDialogTest() override
    {
        if (mApp)
            mApp->mPlaying = false;
    }

    void Play()
    {
        Lumo::Buffer records;
        for (int i = 0; i < 40; ++i) {
            records.WriteBits(15, 4);
            records.WriteBits(0, 1);
            records.WriteBits(3, 5);
            records.WriteBits('K', 8);
        }
        mApp->mDemoBuffer = records;
        mApp->mDemoBuffer.RewindRead();
        mApp->mPlaying = true;
        mApp->mDemoLoadingComplete = mApp->mLoadingDoneHandled = true;
        mApp->mUpdateCount = 0;
        mApp->mDemoTotalUpdates = 600;
        mApp->mWidgetManager->AppGotFocus(); // as the replayed activation would
    }
    void RunUntilUpdate(int update)
    {
        for (int pass = 0; pass < 100000 && mApp->mUpdateCount < update; ++pass)
            mApp->PumpAndStep(nullptr);
    }
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    void Post(uint32_t message, WPARAM wParam, LPARAM lParam) { PostMessageA(mApp->mHWnd, message, wParam, lParam); }
    void Click(const Lumo::Widget& widget)
    {
        const LPARAM where = At(widget.mX + widget.mWidth / 2, widget.mY + widget.mHeight / 2);
        Post(WM_MOUSEMOVE, 0, where);
        Post(WM_LBUTTONDOWN, 0, where);
        Post(WM_LBUTTONUP, 0, where);
    }
    // Opens a dialog by its key; `act` runs at the first held draw with the
    // open dialog. The updates seen while it was open are kept.
    void OpenByKey(char key, int dialogId, const std::function<void(Lumo::Dialog&)>& act)
    {
        mUpdatesWhileOpen.clear();
        int draws = 0;
        mApp->mOnDraw = [&] {
            Lumo::Dialog* dialog = mApp->FindDialog(dialogId);
            if (!mApp->mDemoDialogOpen || dialog == nullptr)
                return;
            mUpdatesWhileOpen.insert(mApp->mUpdateCount);
            if (draws == 0)
                act(*dialog);
            if (++draws > 500)
                dialog->mResult = -2; // the test failed; let it end
        };
        Send(WM_CHAR, WPARAM(key), 0);
        mApp->mOnDraw = nullptr;
        EXPECT_GT(draws, 0);
        EXPECT_LT(draws, 500);
        EXPECT_FALSE(mApp->mDemoDialogOpen);
        EXPECT_EQ(mApp->FindDialog(dialogId), nullptr);
    }

    std::set<int> mUpdatesWhileOpen;
};

TEST_F(DemoDialogTest, MarkerListHoldsTheReplayAndADoubleClickJumps)
{
    ASSERT_NE(StartApp(), nullptr);
    Play();
    mApp->mDemoMarkers = {{"start", 10}, {"middle", 300}, {"late", 450}};
    RunUntilUpdate(30);
    OpenByKey('l', Lumo::DemoMarkerDialog::kDialogId, [&](Lumo::Dialog& dialog) {
        auto& markers = static_cast<Lumo::DemoMarkerDialog&>(dialog);
        ASSERT_EQ(markers.mRows.size(), 2u); // "start" lies behind
        EXPECT_EQ(markers.mRows[1]->mLabel, "late (00:00:01)");
        const Lumo::Widget& row = *markers.mRows[1];
        const LPARAM where = At(dialog.mX + row.mX + 5, dialog.mY + row.mY + 5);
        Post(WM_MOUSEMOVE, 0, where);
        Post(WM_LBUTTONDOWN, 0, where);
        Post(WM_LBUTTONUP, 0, where);
        Post(WM_LBUTTONDBLCLK, 0, where);
        Post(WM_LBUTTONUP, 0, where);
    });
    EXPECT_EQ(mUpdatesWhileOpen, std::set<int>{30});
    EXPECT_EQ(mApp->mJumpTarget, 450);
    RunUntilUpdate(450);
    EXPECT_EQ(mApp->mUpdateCount, 450); // the replay went on to the marker
}

TEST_F(DemoDialogTest, JumpToTimeTakesTypedTimesAndRemembersThem)
{
    struct Case {
        const char* stored;
        const char* typed;
        bool enter;
        int target;
    };
    // Total 600 updates of 10 ms: "0:03" is 600 - 400. Each case opens the
    // dialog where the one before jumped to.
    const Case cases[] = {{"", "0:03", false, 200}, {"9", "0:0:2", true, 300}};
    ASSERT_NE(StartApp(), nullptr);
    mApp->RegistryWriteInteger("Touch", 1); // makes the key
    Play();
    RunUntilUpdate(30);
    for (const Case& c : cases) {
        if (*c.stored != 0)
            mApp->JumpToDemoTime(c.stored);
        mApp->mJumpTarget = 0;
        const int openedAt = mApp->mUpdateCount;
        OpenByKey('j', Lumo::DemoJumpDialog::kDialogId, [&](Lumo::Dialog& dialog) {
            auto& jump = static_cast<Lumo::DemoJumpDialog&>(dialog);
            EXPECT_EQ(jump.mEdit->mText, c.stored);
            EXPECT_EQ(mApp->mWidgetManager->mFocusWidget, jump.mEdit.get());
            for (const char* ch = c.typed; *ch != 0; ++ch)
                Post(WM_CHAR, WPARAM(*ch), 0); // replaces the selected text
            if (c.enter)
                Post(WM_KEYDOWN, WPARAM(VK_RETURN), 0);
            else
                Click(*dialog.mYesButton);
        });
        EXPECT_EQ(mUpdatesWhileOpen, std::set<int>{openedAt}) << c.typed;
        EXPECT_EQ(mApp->StoredDemoJumpTime(), c.typed);
        EXPECT_EQ(mApp->mJumpTarget, c.target) << c.typed;
        RunUntilUpdate(c.target);
        EXPECT_EQ(mApp->mUpdateCount, c.target);
    }
}

// Cancel ends either dialog without a jump or a remembered text, and the
// replay carries on from where it was held.
TEST_F(DemoDialogTest, CancelChangesNothing)
{
    ASSERT_NE(StartApp(), nullptr);
    mApp->RegistryWriteInteger("Touch", 1);
    Play();
    mApp->mDemoMarkers = {{"late", 450}};
    RunUntilUpdate(30);
    OpenByKey('L', Lumo::DemoMarkerDialog::kDialogId,
              [&](Lumo::Dialog& dialog) { Click(*dialog.mYesButton); });
    OpenByKey('J', Lumo::DemoJumpDialog::kDialogId, [&](Lumo::Dialog& dialog) {
        Post(WM_CHAR, WPARAM('1'), 0);
        Click(*dialog.mNoButton);
    });
    EXPECT_EQ(mUpdatesWhileOpen, std::set<int>{30});
    EXPECT_EQ(mApp->mJumpTarget, 0);
    EXPECT_EQ(mApp->StoredDemoJumpTime(), "");
    RunUntilUpdate(60);
    EXPECT_EQ(mApp->mUpdateCount, 60);
}

} // namespace
} // namespace LumoTest
