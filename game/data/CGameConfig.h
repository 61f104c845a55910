#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "game/data/effects/ParticleConfig.h"

#include <cstdint>
#include <functional>
#include <string>

class CAnimBase;
class CImageTable;
class CTrackBase;
class TiXmlElement;

namespace Lumo {
class Font;
class LumoAppBase;
} // namespace Lumo

// The game-wide tuning of "res\globals.xml". LoadGameConfig reads it into
// `parsed`; LoadHudControls makes the fonts, turns names into ids and
// publishes the block as `live`, which is what the game reads.
class CGameConfig {
public:
    static constexpr int32_t kFontCount = 12;
    // The font slots, in FontIndexByName's numbering.
    enum FontSlot : int32_t {
        kService, kHudScore, kCombo, kBonusBanner, kHeader, kBig, kGold, kSky, kSkySel, kNormal, kRating, kInput
    };

    struct Point {
        int32_t x = 0;
        int32_t y = 0;
    };

    // Ids are track definition indexes, animation ids and image indexes.
    struct Values {
        int32_t levelGraph = 0;
        int32_t levelIdx = 0;
        int32_t circlesPassed = 0;
        // Owned; null when absent.
        Lumo::Font* fonts[kFontCount] = {};
        int32_t interline = 0;
        int32_t bannerWidth = 0;
        int32_t bannerHeight = 0;
        int32_t maxCount = 0;
        bool comboImgSizeGiven = false;
        Point comboImgSize;
        int32_t interSymbol = 0;
        float energySpeed = 0.0f;
        int32_t ctrlMatchpointsBaner = 0;
        int32_t ctrlMatchpointsBanerFader = 0;
        int32_t ctrlComboBaner = 0;
        int32_t ctrlComboBanerFader = 0;
        int32_t ctrlSuperbonusBaner = 0;
        int32_t ctrlSuperbonusBanerFader = 0;
        int32_t ctrlBombBanerFader = 0;
        int32_t ctrlBombBaner = 0;
        int32_t ctrlLevelCrazyPulse = 0;
        int32_t ctrlHazardTime = 0;
        int32_t ctrlHazardBall = 0;
        int32_t ctrlHazardEnergy = 0;
        int32_t ballSlideOn = 0;
        int32_t ballSlideOff = 0;
        int32_t varbFlyCtrl = 0;
        int32_t varbFlyColor = 0;
        int32_t varbZoomout = 0;
        int32_t varaFlyCtrl = 0;
        int32_t varaWordflyCtrl = 0;
        int32_t varaWordbonceCtrl = 0;
        int32_t varcFadeinCtrl = 0;
        int32_t varcWordmoveCtrl = 0;
        int32_t varcWordfadeoutCtrl = 0;
        int32_t outroVar1Borderfade = 0;
        int32_t outroVar1Borderfall = 0;
        int32_t outroVar2Borderfade = 0;
        int32_t outroVar3Borderfall = 0;
        int32_t introVar1Borderfall = 0;
        int32_t introVar2Borderfade = 0;
        int32_t introVar3Borderfall = 0;
        float blockrotateSpd = 0.0f;
        float introBlockspd = 0.0f;
        float introBlockspdRng = 0.0f;
        float outroBlockfadeoutspd = 0.0f;
        float outroBlockfadeoutspdRng = 0.0f;
        float introVar3Rowtimer = 0.0f;
        float introVar1Balltimer = 0.0f;
        float introVar2Balltimer = 0.0f;
        float introVar2Bordertimer = 0.0f;
        float introVar3Balltimer = 0.0f;
        float outroVar3Bordertimer = 0.0f;
        float outroVar1Blockspd = 0.0f;
        float outroVar1BlockspdRng = 0.0f;
        float outroVar2Blockspd = 0.0f;
        float outroVar2BlockspdRng = 0.0f;
        float superbonusFadespd = 0.0f;
        float superbonusEndzoom = 0.0f;
        float superbonusZoomspd = 0.0f;
        float superbonusMovespd = 0.0f;
        float superbonusRaisespd = 0.0f;
        float varbWordstayTime = 0.0f;
        float varbFadeoutstartTime = 0.0f;
        float varbNextletterTime = 0.0f;
        float varaNextletterTime = 0.0f;
        float varaWordstayTime = 0.0f;
        float varcNextletterTime = 0.0f;
        float varcWordstayTime = 0.0f;
        int32_t crazylevelAnim[4] = {};
        int32_t imgArrow = 0;
        float arrowOffset[2] = {};
        float arrowStepY = 0.0f;
        float arrowFlashspeed = 0.0f;
        float arrowShowspeed = 0.0f;
        float undoSpeed = 0.0f;
        float undoBallfadeSpeed = 0.0f;
        float crazyWaiting = 0.0f;
        float crazyFlipspeedperc = 0.0f;
        float crazyRotspeed = 0.0f;
        float crazyHudcolorStatic = 0.0f;
        int32_t crazyRandcolor = 0;
        int32_t crazyDumbturnsCount = 0;
        int32_t crazyAfterdumbCount = 0;
        int32_t vertical = 0;
        float period = 0.0f;
        int32_t onTimePercLessThan = 0;
        int32_t onEnergyValueLessThan = 0;
        int32_t menuImg = 0;
        int32_t menubgImg = 0;
        float menubgSpd = 0.0f;
        float loadscreenBgfadespeed = 0.0f;
        float loadscreenWheelFadespeed = 0.0f;
        float loadscreenWheelSpeed = 0.0f;
        int32_t ctrlShake = 0;
        int32_t ctrlShakeAmplitude = 0;
        int32_t ctrlExplosionAcceleration = 0;
        int32_t outroGameoverExplosionAnim = 0;
        float outroGameoverBallfadeSpd = 0.0f;
        float outroGameoverExplosionDelay = 0.0f;
        float outroGameoverExplosionTime = 0.0f;
        float outroGameoverExplosionInterval = 0.0f;
        float outroGameoverLastexplosionTime = 0.0f;
    };

    // The names that LoadHudControls turns into fonts and ids.
    struct Names {
        std::string fonts[kFontCount];
        std::string varaFlyCtrl, varaWordflyCtrl, varaWordbonceCtrl, varbFlyCtrl, varbFlyColor, varbZoomout,
            varcFadeinCtrl, varcWordmoveCtrl, varcWordfadeoutCtrl, ballSlideOn, ballSlideOff;
        std::string borderTracks[7];
        std::string imgArrow, menuImg, menubgImg;
    };

    struct HiscoreLayout {
        int32_t basicImg = 0;
        int32_t scoreImg = 0;
        Point basicP, scoreP, line1P, line2P;
        int32_t lineWidth = 0;
        int32_t rowSpacing = 0;
        Point textOffset, digitOffset, rankOffset, scoreOffset;
        int32_t entryFont = 0;
        int32_t rankFont = 0;
        float spdTyping = 0.0f;
        float spdCounting = 0.0f;
        Lumo::Rect highlightRect{};
        Lumo::Color highlightColor{0, 0, 0, 255};
    };

    // Makes the font of a descriptor name; null when it cannot.
    using FontMaker = std::function<Lumo::Font*(const std::string& descriptor)>;
    // The game's maker: a bitmap font of the application's images.
    static FontMaker ImageFontMaker(Lumo::LumoAppBase& app);

    static Values parsed;
    static Values live;
    static Names names;
    static HiscoreLayout hiscoreLayout;
    static float titreSpeed;
    static float titreStart;
    static int32_t titreGap;
    static int32_t titrePos;
    static int32_t titreWidth;
    static ParticleConfig gameOverEmitter;
    static bool HudControlsLoaded;

    // The published font of a slot, or the "service" font when the slot has none.
    static Lumo::Font* FontAt(int32_t slot);
};

// Reads "res\globals.xml" from its root; false (logged) when an element or a
// required attribute is missing.
bool LoadGameConfig(const TiXmlElement* root, const CTrackBase& tracks, CAnimBase& anims, const CImageTable& images);
// Makes the fonts, resolves the names and publishes the block; false (logged)
// at the first font, track, animation or image that is missing.
bool LoadHudControls(const CGameConfig::FontMaker& makeFont, const CTrackBase& tracks, const CAnimBase& anims,
                     const CImageTable& images);
// Deletes the published fonts.
void FreeHudControls();
// The slot of a font name; false (index unchanged) for an unknown name.
bool FontIndexByName(const std::string& name, int32_t* index);
