#include "game/data/effects/CTextLabels.h"

#include "framework/graphics/Graphics.h"
#include "game/data/CGameConfig.h"
#include "game/data/JukeBox.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/effects/CControlTracks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

CTextLabels& CTextLabels::Get()
{
    static CTextLabels labels;
    return labels;
}

void CTextLabels::Attach(CTrackBase* tracks, CControlTracks* control)
{
    mTracks = tracks;
    mControl = control;
}

CTextLabels::Label* CTextLabels::Find(int32_t handle)
{
    return handle >= 0 && handle < kCount ? &mLabels[handle] : nullptr;
}

int32_t CTextLabels::Create(const char* text, int32_t x, int32_t y)
{
    for (int32_t slot = 0; slot < kCount; ++slot) {
        Label& label = mLabels[slot];
        if (label.state != kFree)
            continue;
        label.state = kShown;
        label.font = CGameConfig::hiscoreLayout.entryFont;
        label.x = x;
        label.y = y;
        label.text[kMaxText + 1] = 0;
        label.index = slot;
        if (text)
            std::snprintf(label.text, kMaxText + 1, "%s", text);
        if (mTracks)
            mTracks->StartTimer(label.timer, 0.0f, 0.1f, 1, true, nullptr);
        return slot;
    }
    return kNone;
}

void CTextLabels::Run(Label& label, float speed)
{
    if (!mTracks)
        return;
    // A label started again leaves its old entry before it takes a new one.
    if (label.timer && label.timer->mOwnerTag != CAnimTrack::kNone && mControl)
        mControl->StopTrack(label.timer);
    mTracks->StartTimer(label.timer, 0.0f, speed, 1, true, nullptr);
    if (mControl)
        mControl->StartTrack(label.timer, kTrackKind, label.index, 0);
}

void CTextLabels::Start(int32_t handle, int32_t target)
{
    Label* label = Find(handle);
    if (!label || label->state == kFree)
        return;
    label->kind = kNumber;
    label->state = kAnimating;
    label->current = 0;
    label->target = target;
    Run(*label, CGameConfig::hiscoreLayout.spdCounting);
    JukeBox::Get().StartLoopSample();
}

void CTextLabels::StartTyping(int32_t handle)
{
    Label* label = Find(handle);
    if (!label || label->state == kFree)
        return;
    label->kind = kTyped;
    label->state = kAnimating;
    label->current = 0;
    label->target = int32_t(std::strlen(label->text));
    Run(*label, CGameConfig::hiscoreLayout.spdTyping);
}

void CTextLabels::Complete(int32_t handle)
{
    Label* label = Find(handle);
    if (!label)
        return;
    if (label->kind == kNumber) {
        std::snprintf(label->text, kMaxText + 1, "%d", label->target);
        JukeBox::Get().StopLoopSample();
    } else {
        label->current = label->target;
    }
    label->state = kShown;
}

void CTextLabels::OnAnimFinished(int32_t a) { Complete(a); }

void CTextLabels::Draw(int32_t handle, Lumo::Graphics& g, int32_t alpha)
{
    Label* label = Find(handle);
    if (!label || label->state == kFree)
        return;
    g.SetFont(CGameConfig::FontAt(label->font));
    g.SetColor(Lumo::Color(255, 255, 255, alpha));
    const float t = label->timer ? std::clamp(label->timer->mTime, 0.0f, 1.0f) : 0.0f;
    if (label->state != kShown && label->kind == kTyped) {
        label->current = std::min(int32_t(t * float(label->target)) + 1, label->target);
        g.DrawText(std::string(label->text, size_t(std::max(label->current, 0))), label->x, label->y);
        return;
    }
    if (label->state != kShown) {
        const int32_t value = int32_t(float(label->target - label->current) * t) + label->current;
        std::snprintf(label->text, kMaxText + 1, "%d", value);
    }
    g.DrawText(label->text, label->x, label->y);
}

void CTextLabels::Finish(int32_t handle)
{
    Label* label = Find(handle);
    if (!label)
        return;
    Complete(handle);
    label->state = kFree;
    if (!label->timer)
        return;
    // A label that was never started has no entry to give back.
    if (label->timer->mOwnerTag != CAnimTrack::kNone && mControl)
        mControl->StopTrack(label->timer);
    label->timer->mOwnerTag = CAnimTrack::kNone;
    if (mTracks)
        mTracks->FreeInstance(label->timer);
    label->timer = nullptr;
}
