#include "game/data/CGameConfig.h"

#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "framework/graphics/fonts/ImageFont.h"
#include "framework/graphics/fonts/Font.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/effects/CParticleEmitter.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/NumberLists.h"
#include "game/data/XmlLoading.h"

#include <tinyxml.h>

#include <algorithm>

CGameConfig::Values CGameConfig::parsed;
CGameConfig::Values CGameConfig::live;
CGameConfig::Names CGameConfig::names;
CGameConfig::HiscoreLayout CGameConfig::hiscoreLayout;
float CGameConfig::titreSpeed = 0.0f;
float CGameConfig::titreStart = 0.0f;
int32_t CGameConfig::titreGap = 0;
int32_t CGameConfig::titrePos = 0;
int32_t CGameConfig::titreWidth = 0;
ParticleConfig CGameConfig::gameOverEmitter;
bool CGameConfig::HudControlsLoaded = false;

namespace {

constexpr const char* kFontNames[CGameConfig::kFontCount] = {"service", "hud_score", "combo", "bonusbanner",
                                                              "header",  "big",       "gold",  "sky",
                                                              "sky_sel", "normal",    "rating", "input"};

// Bounds of the file's numbers that no other range covers.
constexpr int32_t kMaxBannerCells = 64;
constexpr int32_t kMaxBannerSide = 1024;
constexpr int32_t kFullEnergy = 1000;
constexpr int32_t kMaxIndex = 1000;
constexpr float kMaxZoom = 16.0f;

void Log(const char* format, const char* text)
{
    Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile, format, text);
}

// Reads the attributes of one element of the file; the first element or
// required attribute that is missing is remembered and fails the load.
class Reader {
public:
    Reader(const TiXmlElement* root, const char* tag) : mElement(root ? root->FirstChildElement(tag) : nullptr)
    {
        if (!mElement)
            Missing(tag);
    }

    const TiXmlElement* Element() const { return mElement; }
    static bool Failed() { return !sMissing.empty(); }
    static void Start() { sMissing.clear(); }
    static const std::string& FirstMissing() { return sMissing; }

    // The attribute's text; null, and the load failed, when it is absent.
    // A child element that the file must hold.
    const TiXmlElement* Child(const char* tag)
    {
        const TiXmlElement* child = mElement ? mElement->FirstChildElement(tag) : nullptr;
        if (!child && mElement)
            Missing(std::string(mElement->Value()) + "/" + tag);
        return child;
    }
    const char* Text(const char* name)
    {
        const char* text = mElement ? mElement->Attribute(name) : nullptr;
        if (!text && mElement)
            Missing(std::string(mElement->Value()) + "/" + name);
        return text;
    }
    // A number outside the range the game can take is logged and keeps the value.
    void Int(const char* name, int32_t& out, int32_t low, int32_t high)
    {
        const char* text = Text(name);
        if (text && XmlValueInRange(mElement, name, TextToInt(text), low, high))
            out = TextToInt(text);
    }
    void Float(const char* name, float& out, float low = -kMaxMagnitude, float high = kMaxMagnitude)
    {
        const char* text = Text(name);
        if (text && XmlValueInRange(mElement, name, TextToFloat(text), low, high))
            out = TextToFloat(text);
    }
    void Pixels(const char* name, int32_t& out) { Int(name, out, -kMaxPixels, kMaxPixels); }
    // A track speed something waits on: a refused one ends its track at once.
    void Speed(const char* name, float& out)
    {
        out = kRefusedSpeed;
        Float(name, out, kMinSpeed, kMaxSpeed);
    }
    void Name(const char* name, std::string& out)
    {
        if (const char* text = Text(name))
            out = text;
    }
    void Point(const char* name, CGameConfig::Point& out, int32_t low = -kMaxPixels, int32_t high = kMaxPixels)
    {
        CGameConfig::Point point;
        if (const char* text = Text(name)) {
            ParsePoint(text, &point.x, &point.y);
            if (XmlValueInRange(mElement, name, point.x, low, high) &&
                XmlValueInRange(mElement, name, point.y, low, high))
                out = point;
        }
    }
    // Looked up at once; an unknown name keeps the value.
    void Image(const char* name, const CImageTable& images, int32_t& out)
    {
        if (const char* text = Text(name))
            images.FindByName(text, &out);
    }
    void FontSlot(const char* name, int32_t& out)
    {
        if (const char* text = Text(name))
            FontIndexByName(text, &out);
    }

private:
    static void Missing(const std::string& what)
    {
        if (sMissing.empty())
            sMissing = what;
    }

    const TiXmlElement* mElement;
    static inline std::string sMissing;
};

void ReadFonts(const TiXmlElement* root)
{
    Reader r(root, "fonts");
    CGameConfig::Names& n = CGameConfig::names;
    for (int32_t slot : {CGameConfig::kCombo, CGameConfig::kHudScore, CGameConfig::kService,
                         CGameConfig::kBonusBanner, CGameConfig::kHeader, CGameConfig::kBig, CGameConfig::kGold,
                         CGameConfig::kSky, CGameConfig::kSkySel, CGameConfig::kNormal, CGameConfig::kRating})
        r.Name(kFontNames[slot], n.fonts[slot]);
    const char* input = r.Element() ? r.Element()->Attribute("input") : nullptr;
    if (input && *input)
        n.fonts[CGameConfig::kInput] = input;
}

void ReadHiscore(const TiXmlElement* root, const CImageTable& images)
{
    Reader r(root, "hiscore");
    CGameConfig::HiscoreLayout& h = CGameConfig::hiscoreLayout;
    r.Image("basic_img", images, h.basicImg);
    r.Image("score_img", images, h.scoreImg);
    r.Point("basic_p", h.basicP);
    r.Point("score_p", h.scoreP);
    r.Point("line1_p", h.line1P);
    r.Point("line2_p", h.line2P);
    r.Pixels("linewidth", h.lineWidth);
    r.Pixels("rowspacing", h.rowSpacing);
    r.Point("text_offset", h.textOffset);
    r.Point("digit_offset", h.digitOffset);
    r.Point("rank_offset", h.rankOffset);
    r.Point("score_offset", h.scoreOffset);
    r.FontSlot("entryfont", h.entryFont);
    r.FontSlot("rankfont", h.rankFont);
    r.Speed("spd_typing", h.spdTyping);
    r.Speed("spd_counting", h.spdCounting);
    if (const char* text = r.Text("highlight_rect")) {
        Lumo::Rect rect;
        ParseRect(text, &rect);
        if (XmlPixelsInRange(r.Element(), "highlight_rect", {rect.mX, rect.mY, rect.mWidth, rect.mHeight}))
            h.highlightRect = rect;
    }
    if (r.Text("highlight_color"))
        XmlColorAttribute(r.Element(), "highlight_color", &h.highlightColor);
}

void ReadProperties(const TiXmlElement* root)
{
    Reader r(root, "properties");
    CGameConfig::Values& v = CGameConfig::parsed;
    r.Speed("energyspeed", v.energySpeed);
    r.Speed("loadscreen_bgfadespeed", v.loadscreenBgfadespeed);
    r.Speed("loadscreen_wheel_fadespeed", v.loadscreenWheelFadespeed);
    r.Speed("loadscreen_wheel_speed", v.loadscreenWheelSpeed);
    r.Float("menubg_spd", v.menubgSpd);
    r.Name("menu_img", CGameConfig::names.menuImg);
    r.Name("menubg_img", CGameConfig::names.menubgImg);
    r.Speed("superbonus_fadespd", v.superbonusFadespd);
    r.Float("superbonus_endzoom", v.superbonusEndzoom, 0.0f, kMaxZoom);
    r.Speed("superbonus_zoomspd", v.superbonusZoomspd);
    r.Speed("superbonus_movespd", v.superbonusMovespd);
    r.Speed("superbonus_raisespd", v.superbonusRaisespd);
    r.Speed("titrespeed", CGameConfig::titreSpeed);
    r.Float("titrestart", CGameConfig::titreStart);
    r.Pixels("titregap", CGameConfig::titreGap);
    r.Pixels("titrepos", CGameConfig::titrePos);
    r.Pixels("titrewidth", CGameConfig::titreWidth);
    // Optional: the banner cells' size, else measured from the fonts.
    v.comboImgSizeGiven = r.Element() && r.Element()->Attribute("comboimgsize");
    if (v.comboImgSizeGiven)
        r.Point("comboimgsize", v.comboImgSize, 0, kMaxBannerSide);
}

void ReadPuzzleLevel(const TiXmlElement* root)
{
    Reader r(root, "puzzlelevel");
    CGameConfig::Values& v = CGameConfig::parsed;
    r.Name("img_arrow", CGameConfig::names.imgArrow);
    if (const char* text = r.Text("arrow_offset")) {
        float offset[2] = {v.arrowOffset[0], v.arrowOffset[1]};
        ParseFloatList(offset, text);
        const float far = float(kMaxPixels);
        if (XmlValueInRange(r.Element(), "arrow_offset", offset[0], -far, far) &&
            XmlValueInRange(r.Element(), "arrow_offset", offset[1], -far, far))
            std::copy(offset, offset + 2, v.arrowOffset);
    }
    r.Float("arrow_step_y", v.arrowStepY, -float(kMaxPixels), float(kMaxPixels));
    r.Speed("arrow_flashspeed", v.arrowFlashspeed);
    r.Speed("arrow_showspeed", v.arrowShowspeed);
    r.Speed("undo_speed", v.undoSpeed);
    r.Speed("undo_ballfade_speed", v.undoBallfadeSpeed);
}

constexpr const char* kBorderTracks[7] = {"outro_var1_borderfade", "outro_var1_borderfall", "outro_var2_borderfade",
                                          "outro_var3_borderfall", "intro_var1_borderfall", "intro_var2_borderfade",
                                          "intro_var3_borderfall"};

void ReadIntroOutro(const TiXmlElement* root, const CTrackBase& tracks, CAnimBase& anims, const CImageTable& images)
{
    Reader r(root, "intro_outro");
    CGameConfig::Values& v = CGameConfig::parsed;
    CGameConfig::Names& n = CGameConfig::names;
    r.Name("ball_slide_on", n.ballSlideOn);
    r.Name("ball_slide_off", n.ballSlideOff);
    r.Speed("intro_blockspd", v.introBlockspd);
    r.Float("intro_blockspd_rng", v.introBlockspdRng, 0.0f, kMaxSpeed);
    r.Speed("outro_blockfadeoutspd", v.outroBlockfadeoutspd);
    r.Float("outro_blockfadeoutspd_rng", v.outroBlockfadeoutspdRng, 0.0f, kMaxSpeed);
    r.Speed("intro_var3_rowtimer", v.introVar3Rowtimer);
    for (int i = 0; i < 7; ++i)
        r.Name(kBorderTracks[i], n.borderTracks[i]);
    r.Speed("intro_var1_balltimer", v.introVar1Balltimer);
    r.Speed("intro_var2_balltimer", v.introVar2Balltimer);
    r.Speed("intro_var3_balltimer", v.introVar3Balltimer);
    r.Speed("intro_var2_bordertimer", v.introVar2Bordertimer);
    r.Speed("outro_var3_bordertimer", v.outroVar3Bordertimer);
    r.Speed("outro_var1_blockspd", v.outroVar1Blockspd);
    r.Float("outro_var1_blockspd_rng", v.outroVar1BlockspdRng, 0.0f, kMaxSpeed);
    r.Speed("outro_var2_blockspd", v.outroVar2Blockspd);
    r.Float("outro_var2_blockspd_rng", v.outroVar2BlockspdRng, 0.0f, kMaxSpeed);
    r.Speed("blockrotate_spd", v.blockrotateSpd);
    tracks.FindTrack("ctrl_shake", &v.ctrlShake);
    tracks.FindTrack("ctrl_shake_amplitude", &v.ctrlShakeAmplitude);
    tracks.FindTrack("ctrl_explosion_acceleration", &v.ctrlExplosionAcceleration);
    r.Speed("outro_gameover_ballfade_spd", v.outroGameoverBallfadeSpd);
    r.Speed("outro_gameover_explosion_delay", v.outroGameoverExplosionDelay);
    r.Speed("outro_gameover_explosion_time", v.outroGameoverExplosionTime);
    if (const TiXmlElement* emitter = r.Child("outro_gameover_particleconfig"))
        CParticleEmitter::LoadFromXml(emitter, CGameConfig::gameOverEmitter, anims, images);
    r.Speed("outro_gameover_explosion_interval", v.outroGameoverExplosionInterval);
    r.Speed("outro_gameover_lastexplosion_time", v.outroGameoverLastexplosionTime);
    if (const char* text = r.Text("outro_gameover_explosion_anim"))
        anims.FindAnim(text, &v.outroGameoverExplosionAnim);
}

void ReadBanners(const TiXmlElement* root)
{
    Reader r(root, "bonus_banners");
    CGameConfig::Values& v = CGameConfig::parsed;
    CGameConfig::Names& n = CGameConfig::names;
    r.Pixels("vertical", v.vertical);
    r.Pixels("intersymbol", v.interSymbol);
    r.Name("vara_fly_ctrl", n.varaFlyCtrl);
    r.Name("vara_wordbonce_ctrl", n.varaWordbonceCtrl);
    r.Name("vara_wordfly_ctrl", n.varaWordflyCtrl);
    r.Speed("vara_nextletter_time", v.varaNextletterTime);
    r.Speed("vara_wordstay_time", v.varaWordstayTime);
    r.Name("varb_fly_ctrl", n.varbFlyCtrl);
    r.Name("varb_fly_color", n.varbFlyColor);
    r.Name("varb_zoomout", n.varbZoomout);
    r.Speed("varb_wordstay_time", v.varbWordstayTime);
    r.Speed("varb_fadeoutstart_time", v.varbFadeoutstartTime);
    r.Speed("varb_nextletter_time", v.varbNextletterTime);
    r.Name("varc_fadein_ctrl", n.varcFadeinCtrl);
    r.Name("varc_wordmove_ctrl", n.varcWordmoveCtrl);
    r.Name("varc_wordfadeout_ctrl", n.varcWordfadeoutCtrl);
    r.Speed("varc_nextletter_time", v.varcNextletterTime);
    r.Speed("varc_wordstay_time", v.varcWordstayTime);
}

void ReadSmallElements(const TiXmlElement* root)
{
    CGameConfig::Values& v = CGameConfig::parsed;
    Reader points(root, "ingame_matchpoints");
    points.Pixels("interline", v.interline);
    points.Int("maxcount", v.maxCount, 0, kMaxBannerCells);
    Reader hazard(root, "hazard_signal");
    hazard.Int("on_energy_value_less_than", v.onEnergyValueLessThan, 0, kFullEnergy);
    hazard.Int("on_time_perc_less_than", v.onTimePercLessThan, 0, 100);
    hazard.Speed("period", v.period);
    Reader start(root, "start");
    start.Int("levelgraph", v.levelGraph, 0, kMaxIndex);
    start.Int("levelidx", v.levelIdx, 0, kMaxIndex);
    start.Int("circles_passed", v.circlesPassed, 0, kMaxIndex);
    Reader levels(root, "levels");
    levels.Speed("crazy_waiting", v.crazyWaiting);
    levels.Float("crazy_flipspeedperc", v.crazyFlipspeedperc);
    levels.Speed("crazy_rotspeed", v.crazyRotspeed);
    levels.Speed("crazy_hudcolor_static", v.crazyHudcolorStatic);
    levels.Int("crazy_randcolor", v.crazyRandcolor, 0, 1);
    levels.Int("crazy_dumbturns_count", v.crazyDumbturnsCount, 0, kMaxIndex);
    levels.Int("crazy_afterdumb_count", v.crazyAfterdumbCount, 0, kMaxIndex);
}

bool FindTrack(const CTrackBase& tracks, const std::string& name, int32_t& out)
{
    if (tracks.FindTrack(name, &out))
        return true;
    Log("ERROR: cant load track %s", name.c_str());
    return false;
}

// The steps of LoadHudControls after the fonts; false at the first miss.
bool ResolveNames(const CTrackBase& tracks, const CAnimBase& anims, const CImageTable& images)
{
    CGameConfig::Values& v = CGameConfig::parsed;
    const CGameConfig::Names& n = CGameConfig::names;
    const std::pair<const char*, int32_t*> fixed[] = {
        {"ctrl_matchpoints_baner", &v.ctrlMatchpointsBaner},
        {"ctrl_matchpoints_baner_fader", &v.ctrlMatchpointsBanerFader},
        {"ctrl_combo_baner", &v.ctrlComboBaner},
        {"ctrl_combo_baner_fader", &v.ctrlComboBanerFader},
        {"ctrl_superbonus_baner", &v.ctrlSuperbonusBaner},
        {"ctrl_superbonus_baner_fader", &v.ctrlSuperbonusBanerFader},
        {"ctrl_bomb_baner_fader", &v.ctrlBombBanerFader},
        {"ctrl_bomb_baner", &v.ctrlBombBaner},
        {"ctrl_level_crazy_pulse", &v.ctrlLevelCrazyPulse},
        {"ctrl_hazard_time", &v.ctrlHazardTime},
        {"ctrl_hazard_ball", &v.ctrlHazardBall},
        {"ctrl_hazard_energy", &v.ctrlHazardEnergy},
    };
    for (const auto& [name, out] : fixed) {
        if (!FindTrack(tracks, name, *out))
            return false;
    }
    const std::pair<const std::string*, int32_t*> named[] = {
        {&n.varaFlyCtrl, &v.varaFlyCtrl},
        {&n.varaWordflyCtrl, &v.varaWordflyCtrl},
        {&n.varaWordbonceCtrl, &v.varaWordbonceCtrl},
        {&n.varbFlyCtrl, &v.varbFlyCtrl},
        {&n.varbFlyColor, &v.varbFlyColor},
        {&n.varbZoomout, &v.varbZoomout},
        {&n.varcFadeinCtrl, &v.varcFadeinCtrl},
        {&n.varcWordmoveCtrl, &v.varcWordmoveCtrl},
        {&n.varcWordfadeoutCtrl, &v.varcWordfadeoutCtrl},
        {&n.ballSlideOn, &v.ballSlideOn},
        {&n.ballSlideOff, &v.ballSlideOff},
        {&n.borderTracks[0], &v.outroVar1Borderfade},
        {&n.borderTracks[1], &v.outroVar1Borderfall},
        {&n.borderTracks[2], &v.outroVar2Borderfade},
        {&n.borderTracks[3], &v.outroVar3Borderfall},
        {&n.borderTracks[4], &v.introVar1Borderfall},
        {&n.borderTracks[5], &v.introVar2Borderfade},
        {&n.borderTracks[6], &v.introVar3Borderfall},
    };
    for (const auto& [name, out] : named) {
        if (!FindTrack(tracks, *name, *out))
            return false;
    }
    for (int i = 0; i < 4; ++i) {
        const std::string name = "crazylevel_anim_" + std::to_string(i + 1);
        if (!anims.FindAnim(name, &v.crazylevelAnim[i])) {
            Log("ERROR: cant load animation %s", name.c_str());
            return false;
        }
    }
    const std::pair<const std::string*, int32_t*> pictures[] = {
        {&n.imgArrow, &v.imgArrow}, {&n.menuImg, &v.menuImg}, {&n.menubgImg, &v.menubgImg}};
    for (const auto& [name, out] : pictures) {
        if (!images.FindByName(*name, out)) {
            Log("ERROR: cant load image %s", name->c_str());
            return false;
        }
    }
    return true;
}

bool MakeFonts(const CGameConfig::FontMaker& makeFont)
{
    for (int32_t slot : {CGameConfig::kHudScore, CGameConfig::kService, CGameConfig::kCombo,
                         CGameConfig::kBonusBanner, CGameConfig::kHeader, CGameConfig::kBig, CGameConfig::kGold,
                         CGameConfig::kSky, CGameConfig::kSkySel, CGameConfig::kNormal, CGameConfig::kRating,
                         CGameConfig::kInput}) {
        const std::string& name = CGameConfig::names.fonts[slot];
        // The "input" font is optional: made only when the file names it.
        if (slot == CGameConfig::kInput && name.empty())
            continue;
        CGameConfig::parsed.fonts[slot] = makeFont(name);
        if (!CGameConfig::parsed.fonts[slot]) {
            Log("ERROR: cant load font %s", name.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

CGameConfig::FontMaker CGameConfig::ImageFontMaker(Lumo::LumoAppBase& app)
{
    return [&app](const std::string& descriptor) -> Lumo::Font* {
        return new Lumo::ImageFont(&app.GetImageServices(), descriptor);
    };
}

Lumo::Font* CGameConfig::FontAt(int32_t slot)
{
    Lumo::Font* font = slot >= 0 && slot < kFontCount ? live.fonts[slot] : nullptr;
    return font ? font : live.fonts[kService];
}

bool LoadGameConfig(const TiXmlElement* root, const CTrackBase& tracks, CAnimBase& anims, const CImageTable& images)
{
    Reader::Start();
    ReadFonts(root);
    ReadHiscore(root, images);
    ReadProperties(root);
    ReadPuzzleLevel(root);
    ReadIntroOutro(root, tracks, anims, images);
    ReadBanners(root);
    ReadSmallElements(root);
    if (!Reader::Failed())
        return true;
    Log("ERROR config - missing %s", Reader::FirstMissing().c_str());
    Log("%s", "ERROR config - loading from xml");
    return false;
}

bool LoadHudControls(const CGameConfig::FontMaker& makeFont, const CTrackBase& tracks, const CAnimBase& anims,
                     const CImageTable& images)
{
    if (CGameConfig::HudControlsLoaded)
        FreeHudControls();
    CGameConfig::HudControlsLoaded = true;
    CGameConfig::Values& v = CGameConfig::parsed;
    bool ok = MakeFonts(makeFont);
    if (ok) {
        Lumo::Font* combo = v.fonts[CGameConfig::kCombo];
        Lumo::Font* score = v.fonts[CGameConfig::kHudScore];
        v.bannerWidth = v.comboImgSizeGiven
                            ? v.comboImgSize.x
                            : std::max(combo->StringWidth(" supercombo "), score->StringWidth("+ 123456"));
        v.bannerHeight = score->GetHeight() + combo->GetHeight() + v.interline;
        ok = ResolveNames(tracks, anims, images);
    }
    CGameConfig::live = CGameConfig::parsed;
    if (!ok)
        Log("%s", "ERROR loading config");
    return ok;
}

void FreeHudControls()
{
    for (int32_t slot = 0; slot < CGameConfig::kFontCount; ++slot) {
        delete CGameConfig::live.fonts[slot];
        CGameConfig::live.fonts[slot] = nullptr;
        CGameConfig::parsed.fonts[slot] = nullptr;
    }
}

bool FontIndexByName(const std::string& name, int32_t* index)
{
    for (int32_t slot = 0; slot < CGameConfig::kFontCount; ++slot) {
        if (name == kFontNames[slot]) {
            *index = slot;
            return true;
        }
    }
    return false;
}
