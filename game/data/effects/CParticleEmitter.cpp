#include "game/data/effects/CParticleEmitter.h"

#include "framework/core/RuntimeRandom.h"
#include "game/data/XmlLoading.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/effects/CParticleSystem.h"
#include "game/data/pictures/CImageTable.h"

#include <algorithm>

namespace {

// -0.998 to 1.0 from the next runtime random number.
float U() { return float(1.0 - double(Lumo::Rand() % 1000) * 0.002); }

} // namespace

void CParticleEmitter::LoadFromXml(const TiXmlElement* element, ParticleConfig& config, CAnimBase& anims,
                                   const CImageTable& images)
{
    config.flags = 0;
    const float most = kMaxMagnitude;
    config.energySpeed = XmlRangedAttribute(element, "energyspeed", 0.0f, -kMaxSpeed, kMaxSpeed);
    config.particleCount = XmlRangedAttribute(element, "particlecount", 0, 0, kMaxParticles);
    if (element->Attribute("emitsquare_side")) {
        config.emitSquareSide = XmlRangedAttribute(element, "emitsquare_side", 0.0f, 0.0f, float(kMaxPixels));
        config.flags |= ParticleConfig::kEmitSquare;
    }
    config.accelX = XmlRangedAttribute(element, "accel_x", 0.0f, -most, most);
    config.accelY = XmlRangedAttribute(element, "accel_y", 0.0f, -most, most);
    config.accelXRange = XmlRangedAttribute(element, "accel_x_range", 0.0f, -most, most);
    config.accelYRange = XmlRangedAttribute(element, "accel_y_range", 0.0f, -most, most);
    config.vxBase = XmlRangedAttribute(element, "vx_base", 0.0f, -most, most);
    config.vyBase = XmlRangedAttribute(element, "vy_base", 0.0f, -most, most);
    config.vxRange = XmlRangedAttribute(element, "vx_range", 0.0f, -most, most);
    config.vyRange = XmlRangedAttribute(element, "vy_range", 0.0f, -most, most);
    config.dragBase = XmlRangedAttribute(element, "drag_base", 0.0f, -most, most);
    config.dragRange = XmlRangedAttribute(element, "drag_range", 0.0f, -most, most);
    config.visual = -2;
    const char* anim = element->Attribute("particleanim");
    if (anim) {
        if (*anim && anims.FindAnim(anim, &config.visual)) {
            config.flags |= ParticleConfig::kAnimated;
            config.animInstance = anims.CreateInstance(config.visual, nullptr);
        }
        return;
    }
    const char* face = element->Attribute("particleface");
    if (face && *face && !images.FindByName(face, &config.visual))
        config.visual = -2;
}

ParticleRun& CParticleEmitter::Run(int32_t i) { return CParticleSystem::Get().GetRun(mFirst + i); }

void CParticleEmitter::Resize(int32_t n)
{
    CParticleSystem& system = CParticleSystem::Get();
    if (mEnd - mFirst < n) {
        if (mEnd > mFirst)
            Release();
        mFirst = system.TakeRange(CParticleSystem::kRuns, n);
        mEnd = mFirst + n;
        for (int32_t i = mFirst; i < mEnd; ++i)
            system.GetRun(i) = ParticleRun();
    }
    for (int32_t i = mFirst; i < mFirst + n; ++i)
        system.GetRun(i).state = ParticleRun::kIdle;
    mActiveEnd = mFirst + n;
}

void CParticleEmitter::AllocParticles(int32_t run, int32_t n)
{
    CParticleSystem& system = CParticleSystem::Get();
    ParticleRun& target = Run(run);
    // The run's particles are replaced: they no longer count, and a range of
    // the right size is used again.
    mLive -= target.live;
    target.live = 0;
    if (target.end - target.begin != n) {
        system.ReturnRange(CParticleSystem::kParticles, target.begin, target.end);
        target.begin = n > 0 ? system.TakeRange(CParticleSystem::kParticles, n) : 0;
        target.end = target.begin + n;
    }
    for (int32_t i = target.begin; i < target.end; ++i)
        system.GetParticle(i) = Particle();
    target.live = n;
    mLive += n;
}

void CParticleEmitter::SetupRun(int32_t run, const ParticleConfig& config)
{
    ParticleRun& target = Run(run);
    target.flags = config.flags;
    target.visual = config.visual;
    target.colour = Lumo::Color(255, 255, 255, 255);
    const bool animated = (config.flags & ParticleConfig::kAnimated) != 0;
    target.animInstance = animated ? config.animInstance : nullptr;
    target.frameCount = target.animInstance ? target.animInstance->mEndFrame - target.animInstance->mFirstFrame : 0;
    target.energySpeed = config.energySpeed;
}

void CParticleEmitter::Emit(int32_t run, const ParticleConfig& config, int32_t n, float x, float y, int32_t start)
{
    EmitAt(run, config, n, x, y, Run(run).colour, start);
}

void CParticleEmitter::EmitAt(int32_t run, const ParticleConfig& config, int32_t n, float x, float y,
                              const Lumo::Color& colour, int32_t start)
{
    CParticleSystem& system = CParticleSystem::Get();
    const ParticleRun& target = Run(run);
    const int32_t first = target.begin + std::max(start, 0);
    const int32_t last = std::min(first + n, target.end);
    for (int32_t i = first; i < last; ++i) {
        Particle& p = system.GetParticle(i);
        p.energy = 1.0f;
        p.colour = colour;
        p.ax = U() * config.accelXRange + config.accelX;
        p.ay = U() * config.accelYRange + config.accelY;
        p.drag = config.dragBase + float(Lumo::Rand() % 1000) * 0.001f * config.dragRange;
        p.vx = U() * config.vxRange + config.vxBase;
        p.vy = U() * config.vyRange + config.vyBase;
        if ((config.flags & ParticleConfig::kAnimated) && target.frameCount > 0)
            p.frameOffset = Lumo::Rand() % target.frameCount;
        if (config.flags & ParticleConfig::kEmitSquare) {
            p.x = U() * config.emitSquareSide + x;
            p.y = U() * config.emitSquareSide + y;
        } else {
            p.x = x;
            p.y = y;
        }
    }
}

void CParticleEmitter::Register()
{
    if (mListIndex != -2)
        return;
    std::vector<CParticleEmitter*>& list = CParticleSystem::Get().Emitters();
    mListIndex = int32_t(list.size());
    list.push_back(this);
}

void CParticleEmitter::Release()
{
    CParticleSystem& system = CParticleSystem::Get();
    for (int32_t i = mFirst; i < mEnd; ++i) {
        ParticleRun& run = system.GetRun(i);
        system.ReturnRange(CParticleSystem::kParticles, run.begin, run.end);
        run = ParticleRun();
    }
    system.ReturnRange(CParticleSystem::kRuns, mFirst, mEnd);
    mFirst = mEnd = mActiveEnd = 0;
    mLive = 0;
}

void CParticleEmitter::Update(float dt)
{
    CParticleSystem& system = CParticleSystem::Get();
    for (int32_t r = mFirst; r < mActiveEnd; ++r) {
        ParticleRun& run = system.GetRun(r);
        if (run.state != ParticleRun::kLive)
            continue;
        for (int32_t i = run.begin; i < run.end; ++i) {
            Particle& p = system.GetParticle(i);
            if (p.energy <= 0.0f)
                continue;
            p.vx += p.ax * dt;
            p.vy += p.ay * dt;
            p.vx *= p.drag;
            p.vy *= p.drag;
            p.x += p.vx * dt;
            p.y += p.vy * dt;
            p.energy += run.energySpeed * dt;
            // Energy that lands exactly on 0 dies too, or the emitter would never finish.
            if (p.energy > 0.0f)
                continue;
            --mLive;
            if (--run.live == 0)
                run.state = ParticleRun::kFinished;
            if (mLive < 1 && mCallback) {
                mDone = true;
                mCallback(mCallbackArgument);
            }
        }
    }
}
