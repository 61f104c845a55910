#include "tests/content/ContentFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace ContentTest {
namespace {

using F = ContentFiles;

std::set<std::string> Tags(const std::string& file)
{
    const auto document = F::Xml(file);
    const auto tags = document ? F::ChildTags(document->RootElement()) : std::vector<std::string>{};
    return {tags.begin(), tags.end()};
}

int Channels(const TiXmlElement* element)
{
    int count = 0;
    for (const char* channel : {"x", "y", "z", "w"})
        if (const TiXmlElement* c = element->FirstChildElement(channel)) {
            EXPECT_TRUE(c->Attribute("src")) << element->Value() << " " << channel;
            EXPECT_FALSE(c->Attribute("file")) << element->Value();
            EXPECT_GE(F::Numbers(F::Attribute(c, "src")).size(), 2u) << element->Value() << " " << channel;
            ++count;
        }
    return count;
}

// A track definition: a speed above 0 (a zero speed never ends), no "name"
// (its curve would register under it), a repeat of at least 1.
void ExpectTrack(const TiXmlElement* track)
{
    EXPECT_GT(std::atof(F::Attribute(track, "speed").c_str()), 0.0) << track->Value();
    EXPECT_FALSE(track->Attribute("name")) << track->Value();
    if (track->Attribute("repeat")) {
        EXPECT_GE(std::atoi(track->Attribute("repeat")), 1) << track->Value();
    }
}

TEST(ContentData, CurvesTracksAndAnimationsFollowTheLoadersRules)
{
    const auto curves = F::Xml("curves.xml");
    const auto tracks = F::Xml("trackbase.xml");
    const auto animations = F::Xml("animations.xml");
    ASSERT_TRUE(curves && tracks && animations);
    for (const TiXmlElement* c = curves->RootElement()->FirstChildElement(); c; c = c->NextSiblingElement()) {
        // The curve lookup by name reads two-channel curves only.
        EXPECT_EQ(Channels(c), 2) << c->Value();
        EXPECT_FALSE(c->Attribute("name")) << c->Value();
    }
    for (const TiXmlElement* t = tracks->RootElement()->FirstChildElement(); t; t = t->NextSiblingElement()) {
        ExpectTrack(t);
        EXPECT_GE(Channels(t), 1) << t->Value();
    }
    // Curve names are one namespace: the first of a name wins silently.
    std::set<std::string> names = Tags("curves.xml");
    for (const std::string& tag : Tags("trackbase.xml"))
        EXPECT_TRUE(names.insert(tag).second) << tag << " is defined twice";
    std::map<std::string, std::string> frameCurves;
    for (const TiXmlElement* a = animations->RootElement()->FirstChildElement(); a; a = a->NextSiblingElement()) {
        SCOPED_TRACE(a->Value());
        const TiXmlElement* first = a->FirstChildElement("frames");
        ASSERT_TRUE(first);
        const std::string curve = F::Attribute(first, "curve");
        ASSERT_FALSE(curve.empty());
        int frames = 0;
        for (const TiXmlElement* f = first; f; f = f->NextSiblingElement("frames")) {
            EXPECT_EQ(F::Attribute(f, "src").find('%'), std::string::npos);
            frames += std::atoi(f->Attribute("end")) - std::atoi(f->Attribute("start")) + 1;
        }
        const TiXmlElement* track = a->FirstChildElement(curve.c_str());
        ASSERT_TRUE(track);
        ExpectTrack(track);
        // N frames run 0 .. N-0.5 (or back): truncating and rounding readers both show each once.
        const std::string points = F::Attribute(track->FirstChildElement("x"), "src");
        const std::vector<float> x = F::Numbers(points);
        ASSERT_EQ(x.size(), 2u);
        EXPECT_FLOAT_EQ(std::max(x[0], x[1]), frames - 0.5f);
        EXPECT_FLOAT_EQ(std::min(x[0], x[1]), 0.0f);
        EXPECT_FALSE(names.count(curve)) << curve << " is also a curve or track";
        const auto [known, added] = frameCurves.emplace(curve, points);
        EXPECT_EQ(known->second, points) << curve << " has two shapes";
    }
}

// A name another file looks up must be defined in a file read before it (or in
// the same file's own table): tracks, animations, scene objects, pieces,
// fields, levels and objects.
TEST(ContentData, EveryNameTheFilesLookUpExists)
{
    const std::set<std::string> tracks = Tags("trackbase.xml");
    const std::set<std::string> animations = Tags("animations.xml");
    const std::set<std::string> objects = Tags("objects.xml");
    std::set<std::string> sceneObjects, pieces, fields, levels;
    const auto collect = [](const char* file, const char* tag, std::set<std::string>* into) {
        const auto document = F::Xml(file);
        for (const TiXmlElement* e : F::Elements(document->RootElement()))
            if (std::string(e->Value()) == tag && e->Attribute("name"))
                into->insert(e->Attribute("name"));
    };
    collect("sceneobjects.xml", "sceneobject", &sceneObjects);
    collect("pieces.xml", "piece", &pieces);
    collect("fields.xml", "field", &fields);
    collect("levels.xml", "level", &levels);
    struct Lookup {
        const char* file;
        const char* attribute;
        const std::set<std::string>* table;
        const char* element = nullptr; // only on this element, when given
    };
    const Lookup lookups[] = {
        {"globals.xml", "ball_slide_on", &tracks},
        {"globals.xml", "ball_slide_off", &tracks},
        {"globals.xml", "outro_var1_borderfade", &tracks},
        {"globals.xml", "outro_var1_borderfall", &tracks},
        {"globals.xml", "outro_var2_borderfade", &tracks},
        {"globals.xml", "outro_var3_borderfall", &tracks},
        {"globals.xml", "intro_var1_borderfall", &tracks},
        {"globals.xml", "intro_var2_borderfade", &tracks},
        {"globals.xml", "intro_var3_borderfall", &tracks},
        {"globals.xml", "vara_fly_ctrl", &tracks},
        {"globals.xml", "vara_wordbonce_ctrl", &tracks},
        {"globals.xml", "vara_wordfly_ctrl", &tracks},
        {"globals.xml", "varb_fly_ctrl", &tracks},
        {"globals.xml", "varb_fly_color", &tracks},
        {"globals.xml", "varb_zoomout", &tracks},
        {"globals.xml", "varc_fadein_ctrl", &tracks},
        {"globals.xml", "varc_wordmove_ctrl", &tracks},
        {"globals.xml", "varc_wordfadeout_ctrl", &tracks},
        {"globals.xml", "outro_gameover_explosion_anim", &animations},
        {"globals.xml", "particleanim", &animations},
        {"gameborders.xml", "beforecells", &objects},
        {"gameborders.xml", "aftercells", &objects},
        {"sceneobjects.xml", "frame_animation", &animations},
        {"sceneobjects.xml", "track_animation", &tracks},
        {"sceneobjects.xml", "color_animation", &tracks},
        {"backgrounds.xml", "src", &animations, "star"},
        {"backgrounds.xml", "src", &sceneObjects, "obj"},
        {"bonusbase.xml", "frames", &animations},
        {"bonusbase.xml", "fadein", &tracks},
        {"bonusbase.xml", "fadeout", &tracks},
        {"bonusbase.xml", "action_pulse", &tracks},
        {"bonusbase.xml", "unfade", &tracks},
        {"bonusbase.xml", "fadetoblack", &tracks},
        {"bonusbase.xml", "powerball_anim", &animations},
        {"bonusbase.xml", "anim_ballglow", &animations},
        {"bonusbase.xml", "anim_hitlight", &animations},
        {"bonusbase.xml", "anim_hitlight_fade", &animations},
        {"bonusbase.xml", "explosion_anim", &animations},
        {"bonusbase.xml", "particleanim", &animations},
        {"levels.xml", "src", &pieces, "piece"},
        {"levels.xml", "src", &fields, "content"},
        {"levelgraphs.xml", "name", &levels, "level"},
        {"gamepanel.xml", "slide_on", &tracks},
        {"gamepanel.xml", "slide_off", &tracks},
        {"gamefields.xml", "falling_track", &tracks},
        {"gamefields.xml", "fading_track", &tracks},
        {"gamefields.xml", "spring_track", &tracks},
        {"gamefields.xml", "spin_track", &tracks},
        {"gamefields.xml", "start_hover_anim", &animations},
        {"gamefields.xml", "onhover_anim", &animations},
        {"gamefields.xml", "endhover_anim", &animations},
        {"gamefields.xml", "fall_anim_1", &animations},
        {"gamefields.xml", "fall_anim_2", &animations},
        {"gamefields.xml", "spin_anim1", &animations},
        {"gamefields.xml", "spin_anim2", &animations},
        {"gamefields.xml", "hover_fadein", &tracks},
        {"gamefields.xml", "hover_fadeout", &tracks},
        {"gamefields.xml", "up", &tracks},
        {"gamefields.xml", "down", &tracks},
        {"balls.xml", "src", &animations, "renderable"},
        {"levelmap.xml", "crossfade_frames", &animations},
    };
    for (const Lookup& lookup : lookups) {
        const auto document = F::Xml(lookup.file);
        ASSERT_TRUE(document);
        int found = 0;
        for (const TiXmlElement* e : F::Elements(document->RootElement())) {
            if (!e->Attribute(lookup.attribute) || (lookup.element && std::string(e->Value()) != lookup.element))
                continue;
            ++found;
            EXPECT_TRUE(lookup.table->count(e->Attribute(lookup.attribute)))
                << lookup.file << ": " << lookup.attribute << "=\"" << e->Attribute(lookup.attribute) << "\"";
        }
        EXPECT_GT(found, 0) << lookup.file << " names no " << lookup.attribute;
    }
    // Names the code itself asks for.
    for (const char* name : {"crazylevel_anim_1", "crazylevel_anim_2", "crazylevel_anim_3", "crazylevel_anim_4",
                             "gamemap_icon_anim_classic", "gamemap_icon_anim_time", "gamemap_icon_anim_puzzle",
                             "gamemap_icon_anim_crazy", "gamemap_handmove_1", "gamemap_handmove_2", "gamemap_radar_anim"})
        EXPECT_TRUE(animations.count(name)) << name;
    for (const char* name : {"ctrl_matchpoints_baner", "ctrl_matchpoints_baner_fader", "ctrl_combo_baner",
                             "ctrl_combo_baner_fader", "ctrl_superbonus_baner", "ctrl_superbonus_baner_fader",
                             "ctrl_bomb_baner_fader", "ctrl_bomb_baner", "ctrl_level_crazy_pulse", "ctrl_hazard_time",
                             "ctrl_hazard_ball", "ctrl_hazard_energy", "ctrl_shake", "ctrl_shake_amplitude",
                             "ctrl_explosion_acceleration", "ctrl_hud_piece_show", "ctrl_hud_piece_hide"})
        EXPECT_TRUE(tracks.count(name)) << name;
    for (int map = 1; map <= 2; ++map)
        for (int i = 0; i < 9; ++i)
            EXPECT_TRUE(Tags("curves.xml").count("map" + std::to_string(map) + "_" + std::to_string(i)));
}

// A zero speed never finishes what it times, and whatever waits for it waits
// for ever; a negative one only where the sign is a direction. A random spread
// must stay below its speed, or the speed can reach zero.
TEST(ContentData, NoSpeedIsZero)
{
    int speeds = 0;
    for (const std::string& name : F::List(LUMO_CONTENT_WRITTEN)) {
        if (name.size() < 4 || name.substr(name.size() - 4) != ".xml")
            continue;
        const auto document = F::Xml(name.substr(4));
        ASSERT_TRUE(document);
        for (const TiXmlElement* e : F::Elements(document->RootElement()))
            for (const TiXmlAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
                const std::string attribute = a->Name();
                if (attribute.find("speed") == std::string::npos && attribute.find("spd") == std::string::npos)
                    continue;
                ++speeds;
                EXPECT_NE(std::atof(a->Value()), 0.0) << name << ": " << attribute;
                if (attribute.size() > 4 && attribute.substr(attribute.size() - 4) == "_rng") {
                    const std::string base = attribute.substr(0, attribute.size() - 4);
                    EXPECT_LT(std::atof(a->Value()), std::atof(F::Attribute(e, base.c_str()).c_str())) << attribute;
                }
            }
    }
    EXPECT_GT(speeds, 100);
}

// Scene objects mirror the animations, so an animation id and a scene-object
// index name the same thing whichever way the code reads them.
TEST(ContentData, SceneObjectsMirrorTheAnimations)
{
    const auto animations = F::Xml("animations.xml");
    const auto scene = F::Xml("sceneobjects.xml");
    ASSERT_TRUE(animations && scene);
    const std::vector<std::string> names = F::ChildTags(animations->RootElement());
    const TiXmlElement* object = scene->RootElement()->FirstChildElement("sceneobject");
    for (const std::string& name : names) {
        ASSERT_TRUE(object) << name;
        EXPECT_EQ(F::Attribute(object, "name"), name);
        EXPECT_EQ(F::Attribute(object, "frame_animation"), name);
        object = object->NextSiblingElement("sceneobject");
    }
}

TEST(ContentData, LevelsFieldsAndGraphsStayInBounds)
{
    const auto levels = F::Xml("levels.xml");
    const auto fields = F::Xml("fields.xml");
    const auto graphs = F::Xml("levelgraphs.xml");
    const auto balls = F::Xml("balls.xml");
    const auto borders = F::Xml("gameborders.xml");
    ASSERT_TRUE(levels && fields && graphs && balls && borders);
    std::map<std::string, std::vector<float>> shapes;
    for (const TiXmlElement* f = fields->RootElement()->FirstChildElement("field"); f; f = f->NextSiblingElement("field")) {
        const std::string text = f->GetText() ? f->GetText() : "";
        EXPECT_EQ(text.find_first_of("\r\n|"), std::string::npos) << F::Attribute(f, "name");
        shapes[F::Attribute(f, "name")] = F::Numbers(text);
        EXPECT_EQ(F::Attribute(f, "w"), "8");
        EXPECT_EQ(F::Attribute(f, "h"), "8");
    }
    int levelCount = 0;
    for (const TiXmlElement* level = levels->RootElement()->FirstChildElement("level"); level;
         level = level->NextSiblingElement("level"), ++levelCount) {
        SCOPED_TRACE(F::Attribute(level, "name"));
        EXPECT_GT(std::atoi(F::Attribute(level, "points_to_complete").c_str()), 0);
        EXPECT_TRUE(level->FirstChildElement("match") && level->FirstChildElement("match")->FirstChildElement("match"));
        const TiXmlElement* checkpoints = level->FirstChildElement("checkpoints");
        ASSERT_TRUE(checkpoints && checkpoints->FirstChildElement("checkpoint"));
        for (const TiXmlElement* c = checkpoints->FirstChildElement("checkpoint"); c; c = c->NextSiblingElement("checkpoint")) {
            const int types = std::atoi(F::Attribute(c, "blocktypes").c_str());
            EXPECT_GE(types, 2);
            EXPECT_LE(types, 4);
            EXPECT_GE(std::atoi(F::Attribute(c, "maxgroups").c_str()), std::atoi(F::Attribute(c, "mingroups").c_str()));
            EXPECT_GT(std::atof(F::Attribute(c, "bonus_time").c_str()), 0.0);
        }
        if (const TiXmlElement* bonuses = level->FirstChildElement("bonuses")) {
            EXPECT_EQ(F::ChildTags(bonuses).size(), 8u);
            EXPECT_GT(std::atof(F::Attribute(level, "bonus_shell_actionspeed").c_str()), 0.0);
            EXPECT_GT(std::atof(F::Attribute(level, "bonus_shadowball_actionspeed").c_str()), 0.0);
        }
        for (const TiXmlElement* e : F::Elements(level))
            if (std::string(e->Value()) == "cmd") {
                EXPECT_EQ(F::Numbers(F::Attribute(e, "params")).size(), 2u);
            }
        if (const TiXmlElement* content = level->FirstChildElement("fieldcontent")) {
            const auto& shape = shapes[F::Attribute(content->FirstChildElement("content"), "src")];
            EXPECT_EQ(shape.size(), 64u);
            // Grey stone (the reserved colour 4) is a puzzle's finished cell; elsewhere it would never leave.
            const float highest = F::Attribute(level, "do_generation") == "1" ? 4.0f : 3.0f;
            for (float colour : shape)
                EXPECT_LE(colour, highest);
        }
    }
    const int ballCount = int(F::ChildTags(balls->RootElement()).size());
    const int borderCount = int(F::ChildTags(borders->RootElement()).size());
    int graphIndex = 0;
    for (const TiXmlElement* graph = graphs->RootElement()->FirstChildElement("graph"); graph;
         graph = graph->NextSiblingElement("graph"), ++graphIndex) {
        SCOPED_TRACE(graphIndex);
        int entries = 0;
        for (const TiXmlElement* e = graph->FirstChildElement(); e; e = e->NextSiblingElement()) {
            if (std::string(e->Value()) == "level")
                ++entries;
            if (std::string(e->Value()) == "onload") {
                EXPECT_EQ(F::Attribute(e, "background_idx"), "0");
                EXPECT_LT(std::atoi(F::Attribute(e, "ball_idx").c_str()), ballCount);
                EXPECT_LT(std::atoi(F::Attribute(e, "gameborder_idx").c_str()), borderCount);
            }
        }
        if (!graph->Attribute("easy")) {
            EXPECT_EQ(entries % 10, 0) << "a map graph fills whole maps of ten";
            continue;
        }
        const auto easy = F::Numbers(F::Attribute(graph, "easy"));
        const auto medium = F::Numbers(F::Attribute(graph, "medium"));
        const auto hard = F::Numbers(F::Attribute(graph, "hard"));
        for (const auto* range : {&easy, &medium, &hard}) {
            ASSERT_EQ(range->size(), 2u);
            EXPECT_LT((*range)[0], (*range)[1]);
            EXPECT_GE((*range)[0], 0);
            EXPECT_LE((*range)[1], entries);
        }
        EXPECT_EQ(medium[1], hard[0]);
    }
    EXPECT_EQ(levelCount, 9);
}

} // namespace
} // namespace ContentTest
