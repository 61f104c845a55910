#include "game/data/effects/CParticleEmitter.h"
#include "game/data/effects/CParticleSystem.h"

#include "framework/core/RuntimeRandom.h"
#include "tests/game/data/SampleTables.h"

#include <gtest/gtest.h>

namespace GameTest {
namespace {

class ParticlesTest : public ::testing::Test {
protected:
    ~ParticlesTest() override
    {
        for (CParticleEmitter* emitter : {&mA, &mB})
            emitter->Release();
        System().Emitters().clear();
        EXPECT_EQ(System().ParticlePoolSize(), 0);
        EXPECT_EQ(System().RunPoolSize(), 0);
        EXPECT_EQ(System().FreeRangeCount(), 0u);
    }

    static CParticleSystem& System() { return CParticleSystem::Get(); }

    // One live run of n particles that lose `speed` energy per update, emitted at the origin.
    void Prepare(CParticleEmitter& emitter, int32_t n, float speed)
    {
        emitter.Resize(1);
        emitter.AllocParticles(0, n);
        emitter.Run(0).state = ParticleRun::kLive;
        emitter.Run(0).energySpeed = speed;
        ParticleConfig config;
        config.dragBase = 1.0f;
        emitter.Emit(0, config, n, 0.0f, 0.0f, 0);
    }

    CParticleEmitter mA;
    CParticleEmitter mB;
};

// The runtime generator's sequence, written out.
struct Lcg {
    uint32_t state;
    int32_t Next()
    {
        state = state * 214013u + 2531011u;
        return int32_t((state >> 16) & 0x7FFF);
    }
    float U() { return float(1.0 - double(Next() % 1000) * 0.002); }
};

TEST_F(ParticlesTest, EmittingDrawsEachValueInItsTurn)
{
    Lumo::SRand(77);
    Lcg lcg{77};
    mA.Resize(1);
    mA.AllocParticles(0, 2);
    mA.Run(0).frameCount = 5;
    ParticleConfig config;
    config.flags = ParticleConfig::kAnimated | ParticleConfig::kEmitSquare;
    config.accelX = 0.5f;
    config.accelXRange = 2.0f;
    config.accelY = -1.0f;
    config.accelYRange = 3.0f;
    config.dragBase = 0.9f;
    config.dragRange = 0.05f;
    config.vxBase = 4.0f;
    config.vxRange = 1.5f;
    config.vyBase = -2.0f;
    config.vyRange = 0.25f;
    config.emitSquareSide = 10.0f;
    const Lumo::Color colour(1, 2, 3, 4);
    mA.EmitAt(0, config, 1, 100.0f, 50.0f, colour, 1);

    const Particle& untouched = System().GetParticle(mA.Run(0).begin);
    EXPECT_EQ(untouched.energy, 0.0f);
    const Particle& p = System().GetParticle(mA.Run(0).begin + 1);
    EXPECT_EQ(p.energy, 1.0f);
    EXPECT_EQ(p.colour, colour);
    EXPECT_FLOAT_EQ(p.ax, lcg.U() * 2.0f + 0.5f);
    EXPECT_FLOAT_EQ(p.ay, lcg.U() * 3.0f - 1.0f);
    EXPECT_FLOAT_EQ(p.drag, 0.9f + float(lcg.Next() % 1000) * 0.001f * 0.05f);
    EXPECT_FLOAT_EQ(p.vx, lcg.U() * 1.5f + 4.0f);
    EXPECT_FLOAT_EQ(p.vy, lcg.U() * 0.25f - 2.0f);
    EXPECT_EQ(p.frameOffset, lcg.Next() % 5);
    EXPECT_FLOAT_EQ(p.x, lcg.U() * 10.0f + 100.0f);
    EXPECT_FLOAT_EQ(p.y, lcg.U() * 10.0f + 50.0f);

    EXPECT_FLOAT_EQ((Lcg{0}.U()), 1.0f - float(Lcg{0}.Next() % 1000) * 0.002f);
}

TEST_F(ParticlesTest, TheEmitterFinishesOnceItsLastParticleDiesEvenAtExactlyZero)
{
    // -0.25 reaches exactly 0.0 on the fourth update; -0.3 goes below it then.
    for (float speed : {-0.3f, -0.25f}) {
        SCOPED_TRACE(speed);
        int calls = 0;
        Prepare(mA, 3, speed);
        mA.mCallback = [](void* argument) { ++*static_cast<int*>(argument); };
        mA.mCallbackArgument = &calls;
        mA.Register();
        mA.Register();
        ASSERT_EQ(System().Emitters().size(), 1u);
        for (int update = 1; update <= 3; ++update) {
            System().UpdateEmitters(1.0f);
            EXPECT_EQ(mA.mLive, 3) << update;
        }
        System().UpdateEmitters(1.0f);
        EXPECT_EQ(mA.mLive, 0);
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(mA.mDone);
        EXPECT_EQ(mA.Run(0).state, ParticleRun::kFinished);
        EXPECT_TRUE(System().Emitters().empty());
        EXPECT_EQ(mA.mListIndex, -2);
        System().UpdateEmitters(1.0f);
        EXPECT_EQ(calls, 1);
        mA.Release();
    }
}

TEST_F(ParticlesTest, MotionFollowsAccelerationDragAndTheStep)
{
    Prepare(mA, 1, -0.1f);
    Particle& p = System().GetParticle(mA.Run(0).begin);
    p.vx = 2.0f;
    p.ax = 1.0f;
    p.drag = 0.5f;
    mA.Update(2.0f);
    // vx = (2 + 1 * 2) * 0.5 = 2, then x moves by vx * dt.
    EXPECT_FLOAT_EQ(p.vx, 2.0f);
    EXPECT_FLOAT_EQ(p.x, 4.0f);
    EXPECT_FLOAT_EQ(p.energy, 0.8f);
}

TEST_F(ParticlesTest, ReturnedRangesShrinkThePoolMergeAndAreHandedOutAgain)
{
    CParticleEmitter c;
    Prepare(mA, 4, -0.5f);
    Prepare(mB, 6, -0.5f);
    Prepare(c, 2, -0.5f);
    ASSERT_EQ(System().ParticlePoolSize(), 12);

    c.Release();
    EXPECT_EQ(System().ParticlePoolSize(), 10);
    EXPECT_EQ(System().RunPoolSize(), 2);
    EXPECT_EQ(System().FreeRangeCount(), 0u);

    mA.AllocParticles(0, 0);
    EXPECT_EQ(System().ParticlePoolSize(), 10);
    EXPECT_EQ(System().FreeRangeCount(), 1u);
    mA.AllocParticles(0, 3);
    EXPECT_EQ(mA.Run(0).begin, 0) << "first fit";
    EXPECT_EQ(System().ParticlePoolSize(), 10);
    mA.AllocParticles(0, 0);

    mB.Release();
    EXPECT_EQ(System().ParticlePoolSize(), 0) << "merged with the free range before it, then trimmed";

    for (int round = 0; round < 10; ++round) {
        Prepare(mA, 5, -0.5f);
        Prepare(mB, 5, -0.5f);
        mA.Release();
        Prepare(mA, 5, -0.5f);
        mB.Release();
    }
    EXPECT_LE(System().ParticlePoolSize(), 10);
    c.Release();
}

TEST_F(ParticlesTest, ReallocatingTheSameSizeKeepsTheRangeAndTheLiveCount)
{
    Prepare(mA, 4, -0.5f);
    const int32_t begin = mA.Run(0).begin;
    mA.AllocParticles(0, 4);
    EXPECT_EQ(mA.Run(0).begin, begin);
    EXPECT_EQ(mA.mLive, 4);
    EXPECT_EQ(System().ParticlePoolSize(), 4);
    mA.AllocParticles(0, 2);
    EXPECT_EQ(mA.mLive, 2);
}

TEST_F(ParticlesTest, ClearedSlotsAndFinishedEmittersLeaveTheListWithoutSkippingOthers)
{
    CParticleEmitter c;
    Prepare(mA, 1, -0.5f);
    Prepare(mB, 1, -2.0f);
    Prepare(c, 1, -0.5f);
    mA.Register();
    mB.Register();
    c.Register();
    System().Emitters()[size_t(mA.mListIndex)] = nullptr;
    mA.mListIndex = -2;
    System().UpdateEmitters(1.0f);
    ASSERT_EQ(System().Emitters().size(), 1u);
    EXPECT_EQ(System().Emitters()[0], &c);
    EXPECT_EQ(c.mListIndex, 0);
    EXPECT_FLOAT_EQ(System().GetParticle(c.Run(0).begin).energy, 0.5f);
    EXPECT_FLOAT_EQ(System().GetParticle(mA.Run(0).begin).energy, 1.0f);
    c.Release();
}

class ParticleLooksTest : public SampleTables {
protected:
    ParticleLooksTest()
    {
        App().AddImage("res\\star.png", 36, 9);
        LoadTables();
        CParticleSystem::Get().Attach(&mAnims, &mImages);
    }
    ~ParticleLooksTest() override
    {
        mEmitter.Release();
        CParticleSystem::Get().Attach(nullptr, nullptr);
    }

    ParticleConfig Read(const std::string& attributes)
    {
        TiXmlDocument document;
        document.Parse(("<particleconfig " + attributes + "/>").c_str());
        ParticleConfig config;
        CParticleEmitter::LoadFromXml(document.RootElement(), config, mAnims, mImages);
        return config;
    }

    CParticleEmitter mEmitter;
};

TEST_F(ParticleLooksTest, TheLookIsAnAnimationOrAnImageOfTheTables)
{
    int32_t anim = -1, slot = -1;
    ASSERT_TRUE(mAnims.FindAnim("star_anim", &anim));
    ASSERT_TRUE(mImages.FindByName("res\\star.png|2", &slot));
    const struct {
        std::string attributes;
        uint32_t flags;
        int32_t visual;
    } cases[] = {
        {"particleanim=\"star_anim\" particleface=\"res\\star.png|2\"", ParticleConfig::kAnimated, anim},
        {"particleanim=\"nothing\" particleface=\"res\\star.png|2\"", 0, -2},
        {"particleface=\"res\\star.png|2\" emitsquare_side=\"\"", ParticleConfig::kEmitSquare, slot},
        {"particleface=\"nothing\" particlecount=\"5\"", 0, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        const ParticleConfig config = Read(c.attributes);
        EXPECT_EQ(config.flags, c.flags);
        EXPECT_EQ(config.visual, c.visual);
        EXPECT_EQ(config.animInstance != nullptr, c.flags == ParticleConfig::kAnimated);
        EXPECT_EQ(config.emitSquareSide, 0.0f);
    }
    EXPECT_EQ(Read("particlecount=\"5\" drag_range=\"0.5\"").particleCount, 5);
}

TEST_F(ParticleLooksTest, ParticlesAreDrawnFadedByTheirEnergyAtTheirWholePosition)
{
    int32_t slot = -1;
    ASSERT_TRUE(mImages.FindByName("res\\star.png|2", &slot));
    mImages.FetchSlotImage(slot);
    const ParticleConfig config = Read("particleface=\"res\\star.png|2\"");
    mEmitter.Resize(2);
    mEmitter.AllocParticles(0, 2);
    ParticleRun& run = mEmitter.Run(0);
    run.state = ParticleRun::kLive;
    run.visual = config.visual;
    run.colour = Lumo::Color(10, 20, 30);
    mEmitter.Emit(0, config, 2, 4.7f, -3.2f, 0);
    CParticleSystem::Get().GetParticle(run.begin + 1).energy = 0.5f;
    mEmitter.Run(1).state = ParticleRun::kLive;

    RecordingGraphics g;
    CParticleSystem::Get().Draw(g.mGraphics, mEmitter, 100, 200);
    ASSERT_EQ(g.Ops().size(), 2u);
    EXPECT_EQ(g.Ops()[0].mX, 104);
    EXPECT_EQ(g.Ops()[0].mY, 197);
    EXPECT_EQ(g.Ops()[0].mSrcRect, mImages.SourceRect(slot));
    EXPECT_EQ(g.Ops()[0].mColor, Lumo::Color(10, 20, 30, 255));
    EXPECT_EQ(g.Ops()[1].mColor.mAlpha, 127);
    EXPECT_FALSE(g.mGraphics.GetTintImages());
}

} // namespace
} // namespace GameTest
