#include "tests/lumoapp/AppFixture.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace LumoTest {
namespace {

// Loading that holds until the test lets it go, and notes where each part ran.
class LoadingApp final : public TestApp {
public:
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mMayFinish = false;
    std::vector<std::thread::id> mLoadThreads;
    std::vector<int> mDoneAtUpdates;
    std::vector<std::thread::id> mDoneThreads;

    void RunLoadingThread() override
    {
        std::unique_lock<std::mutex> hold(mMutex);
        mLoadThreads.push_back(std::this_thread::get_id());
        mChanged.wait(hold, [&] { return mMayFinish; });
    }
    void OnLoadingDone() override
    {
        mDoneAtUpdates.push_back(mUpdateCount);
        mDoneThreads.push_back(std::this_thread::get_id());
    }
    void LetLoadingFinish()
    {
        {
            std::lock_guard<std::mutex> hold(mMutex);
            mMayFinish = true;
        }
        mChanged.notify_all();
        WaitForLoadingThread();
    }
};

class LoadingTest : public AppFixture {};

// Loading runs beside the updates; the switch to the game happens once, on
// the main thread, at the first update after loading finished; a reload
// (the three flags cleared) loads and switches again.
TEST_F(LoadingTest, TheLoadingDoneSwitchRunsOnceOnTheMainThreadAndAgainAfterAReload)
{
    auto app = std::make_unique<LoadingApp>();
    LoadingApp& loading = *app;
    mApp = std::move(app);
    mApp->LoadSettings();
    mApp->Initialize();

    for (int load = 1; load <= 2; ++load) {
        SCOPED_TRACE(load == 1 ? "first load" : "reload");
        loading.mMayFinish = false;
        mApp->StartLoadingThread();
        EXPECT_TRUE(mApp->mLoadingRunning);
        mApp->StartLoadingThread(); // started once only
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(mApp->UpdateTick());
        EXPECT_EQ(loading.mDoneAtUpdates.size(), size_t(load - 1));

        loading.LetLoadingFinish();
        EXPECT_TRUE(mApp->mLoadingFinished);
        const int finishedAt = mApp->mUpdateCount;
        mApp->UpdateTick();
        mApp->UpdateTick();
        ASSERT_EQ(loading.mDoneAtUpdates.size(), size_t(load));
        EXPECT_EQ(loading.mDoneAtUpdates.back(), finishedAt);
        EXPECT_EQ(loading.mDoneThreads.back(), std::this_thread::get_id());
        EXPECT_TRUE(mApp->mLoadingDoneHandled);
        EXPECT_FALSE(mApp->mLoadingRunning);

        mApp->mLoadingStarted = false;
        mApp->mLoadingFinished = false;
        mApp->mLoadingDoneHandled = false;
    }
    ASSERT_EQ(loading.mLoadThreads.size(), 2u);
    EXPECT_NE(loading.mLoadThreads[0], std::this_thread::get_id());
}

} // namespace
} // namespace LumoTest
