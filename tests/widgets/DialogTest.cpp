#include "framework/widgets/Dialog.h"

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/DialogButtonLabels.h"
#include "framework/widgets/DialogTable.h"
#include "tests/widgets/WidgetTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace WidgetTests {
namespace {

using ::testing::ElementsAre;

class AppButtons : public Lumo::ButtonListener {
public:
    void OnButtonPressed(int id) override { mLog.push_back("pressed " + std::to_string(id)); }
    void OnButtonClicked(int id) override { mLog.push_back("clicked " + std::to_string(id)); }
    std::vector<std::string> mLog;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // What the start-up routine sets.
        Lumo::gDialogYesLabel = "YES";
        Lumo::gDialogNoLabel = "NO";
        Lumo::gDialogOkLabel = "OK";
        Lumo::gDialogCancelLabel = "CANCEL";
        mManager.SetScreenRect(Lumo::Rect{0, 0, 800, 600}, Lumo::Rect{0, 0, 800, 600});
        mApp.mDialogListener = &mTable;
        mApp.mCloseDialog = [this](int id) { return mTable.CloseDialogById(id); };
    }
    void TearDown() override
    {
        mTable.CloseDialogById(7);
        mApp.RunDeferredDeletes();
    }

    FakeAppHost mApp;
    Lumo::WidgetManager mManager{&mApp};
    AppButtons mButtons;
    Lumo::DialogTable mTable{mManager, mApp, mButtons};
};

TEST_F(DialogTest, NewDialogIsPlacedAndItsButtonsLaidOut)
{
    Lumo::Dialog* dialog = mTable.OpenDialog(7, true, "Header", "Body", "", Lumo::Dialog::kYesNo);
    // Fixed font: header 10, one body line 10, buttons 8 + 24, gaps 10 and 8, insets 48.
    EXPECT_EQ(dialog->GetPreferredHeight(400), 48 + 10 + 10 + 10 + 8 + 32);
    EXPECT_EQ(dialog->GetBounds(), (Lumo::Rect{200, 120, 400, 118}));
    EXPECT_EQ(dialog->mYesButton->GetBounds(), (Lumo::Rect{224, 190, 172, 24}));
    EXPECT_EQ(dialog->mNoButton->GetBounds(), (Lumo::Rect{404, 190, 172, 24}));
    EXPECT_EQ(dialog->mYesButton->mLabel, "YES");
    EXPECT_EQ(dialog->mNoButton->mLabel, "NO");
    EXPECT_EQ(mManager.mModalWidget, dialog);
    EXPECT_EQ(mApp.mModalOpened, 1);
    // The buttons are the dialog's siblings, in front of it.
    EXPECT_THAT(mManager.mChildren, ElementsAre(dialog, dialog->mYesButton.get(), dialog->mNoButton.get()));
}

TEST_F(DialogTest, ButtonModesAndPreferredHeights)
{
    Lumo::Dialog none(&mApp, 1, false, "", "", "", Lumo::Dialog::kNoButtons);
    EXPECT_EQ(none.mYesButton, nullptr);
    EXPECT_EQ(none.GetPreferredHeight(400), 48);
    Lumo::Dialog single(&mApp, 2, false, "", "", "Continue", Lumo::Dialog::kFooterButton);
    EXPECT_EQ(single.mYesButton->mLabel, "Continue");
    EXPECT_EQ(single.mNoButton, nullptr);
    EXPECT_EQ(single.GetPreferredHeight(400), 48 + 32);
    Lumo::Dialog footer(&mApp, 3, false, "", "", "Continue", Lumo::Dialog::kOkCancel);
    EXPECT_EQ(footer.mNoButton->mLabel, "CANCEL");
    EXPECT_EQ(footer.GetPreferredHeight(400), 48 + 12 + 8 + 32);
}

TEST_F(DialogTest, ClickingNoRoutesToTheApplicationAndDeletesOnlyLater)
{
    Lumo::Dialog* dialog = mTable.OpenDialog(7, false, "", "Sure?", "", Lumo::Dialog::kYesNo);
    mButtons.mLog.clear();
    const Lumo::Rect no = dialog->mNoButton->GetBounds();
    mManager.MouseDown(no.mX + 5, no.mY + 5, 1);
    mManager.MouseUp(no.mX + 5, no.mY + 5, 1);
    EXPECT_THAT(mButtons.mLog, ElementsAre("pressed 3007", "clicked 3007"));
    EXPECT_EQ(dialog->mResult, 1001);
    EXPECT_TRUE(mTable.CloseDialogById(7));
    EXPECT_FALSE(mTable.CloseDialogById(7));
    EXPECT_THAT(mApp.mDeferred, ElementsAre(dialog));
    EXPECT_TRUE(mManager.mChildren.empty());
    EXPECT_EQ(dialog->mResult, 1001);
}

TEST_F(DialogTest, ReopeningAnIdReplacesTheDialog)
{
    Lumo::Dialog* first = mTable.OpenDialog(7, false, "", "", "", Lumo::Dialog::kYesNo);
    Lumo::Dialog* second = mTable.OpenDialog(7, false, "", "", "", Lumo::Dialog::kYesNo);
    EXPECT_EQ(mTable.DialogCount(), 1);
    EXPECT_EQ(mTable.FindDialog(7), second);
    EXPECT_THAT(mApp.mDeferred, ElementsAre(first));
}

TEST_F(DialogTest, RegisteringTheSameDialogAgainKeepsIt)
{
    Lumo::Dialog* dialog = mTable.OpenDialog(7, true, "", "", "", Lumo::Dialog::kYesNo);
    mTable.RegisterDialog(dialog);
    EXPECT_TRUE(mApp.mDeferred.empty());
    EXPECT_EQ(mTable.DialogCount(), 1);
    EXPECT_EQ(mTable.FindDialog(7), dialog);
    EXPECT_EQ(dialog->mManager, &mManager);
}

TEST_F(DialogTest, DraggingStopsEightPixelsOutside)
{
    Lumo::Dialog* dialog = mTable.OpenDialog(7, false, "", "", "", Lumo::Dialog::kNoButtons);
    mManager.MouseDown(250, 130, 1);
    EXPECT_THAT(mApp.mCursors, ElementsAre(2));
    mManager.MouseMoveInput(-500, 130);
    EXPECT_EQ(dialog->mX, -8);
    mManager.MouseMoveInput(5000, 5000);
    EXPECT_EQ(dialog->mX, 800 - 400 + 8);
    EXPECT_EQ(dialog->mY, 600 - dialog->mHeight + 8);
    mManager.MouseUp(5000, 5000, 1);
    EXPECT_THAT(mApp.mCursors, ElementsAre(2, 0));
}

TEST_F(DialogTest, WaitForResultPumpsUntilAButtonIsClicked)
{
    Lumo::Dialog* dialog = mTable.OpenDialog(7, true, "", "", "", Lumo::Dialog::kOkCancel);
    int passes = 0;
    mApp.mPump = [&] {
        if (++passes == 3) {
            const Lumo::Rect ok = dialog->mYesButton->GetBounds();
            mManager.MouseDown(ok.mX + 1, ok.mY + 1, 1);
            mManager.MouseUp(ok.mX + 1, ok.mY + 1, 1);
        }
        return true;
    };
    EXPECT_EQ(dialog->WaitForResult(true), 1000);
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(mTable.DialogCount(), 0);
    EXPECT_EQ(mManager.mModalWidget, nullptr);
    EXPECT_EQ(mApp.mModalClosed, 1);
}

TEST_F(DialogTest, ButtonColoursFollowTheDialog)
{
    Lumo::Dialog dialog(&mApp, 1, false, "", "", "", Lumo::Dialog::kYesNo);
    dialog.SetColor(3, Lumo::Color(1, 2, 3));
    dialog.SetColor(4, Lumo::Color(4, 5, 6));
    for (Lumo::DialogButton* button : {dialog.mYesButton.get(), dialog.mNoButton.get()}) {
        EXPECT_EQ(button->GetColor(0), Lumo::Color(1, 2, 3));
        EXPECT_EQ(button->GetColor(1), Lumo::Color(4, 5, 6));
    }
}

} // namespace
} // namespace WidgetTests
