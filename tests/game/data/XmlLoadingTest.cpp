#include "game/data/XmlLoading.h"

#include "tests/game/support/GameFixture.h"

namespace {

class XmlLoadingTest : public GameTest::GameFixture {};

TEST_F(XmlLoadingTest, ReadsFromTheArchiveBeforeTheDisk)
{
    WriteFile("res\\a.xml", "<root><disk/></root>");
    WriteFile("res\\b.xml", "<root><onlydisk/></root>");
    AddArchiveFile("res\\a.xml", "<root><archive/></root>");
    MountArchive();

    TiXmlDocument document;
    ASSERT_TRUE(LoadXmlDocument("res\\a.xml", document));
    EXPECT_NE(document.FirstChildElement("root")->FirstChildElement("archive"), nullptr);
    ASSERT_TRUE(LoadXmlDocument("res/B.XML", document));
    EXPECT_NE(document.FirstChildElement("root")->FirstChildElement("onlydisk"), nullptr);
}

TEST_F(XmlLoadingTest, KeepsLineBreaksInElementText)
{
    WriteFile("p.xml", "<root><piece>0,1\n1,0</piece></root>");
    TiXmlDocument document;
    ASSERT_TRUE(LoadXmlDocument("p.xml", document));
    EXPECT_STREQ(document.RootElement()->FirstChildElement("piece")->GetText(), "0,1\n1,0");
}

TEST_F(XmlLoadingTest, MissingEmptyOrBrokenFilesGiveAnEmptyDocument)
{
    WriteFile("empty.xml", "");
    WriteFile("broken.xml", "<root><a></root>");
    for (const char* name : {"missing.xml", "empty.xml", "broken.xml"}) {
        TiXmlDocument document;
        document.Parse("<old/>");
        EXPECT_FALSE(LoadXmlDocument(name, document)) << name;
        EXPECT_EQ(document.FirstChildElement("root"), nullptr) << name;
        EXPECT_EQ(document.FirstChildElement("old"), nullptr) << name;
    }
    EXPECT_TRUE(LogHas("ERROR: can't open missing.xml"));
}

TEST_F(XmlLoadingTest, CountsChildrenAndFindsWindowsByExactName)
{
    TiXmlDocument document;
    document.Parse("<root><window name=\"main\" id=\"1\"/><item/><window/><item/>"
                   "<window name=\"Main\" id=\"2\"/><window name=\"main\" id=\"3\"/></root>");
    const TiXmlElement* root = document.RootElement();
    EXPECT_EQ(XmlCountChildElements(root, "item"), 2);
    EXPECT_EQ(XmlCountChildElements(root, "window"), 4);
    EXPECT_EQ(XmlCountChildElements(nullptr, "item"), 0);

    EXPECT_STREQ(XmlFindWindowByName(root, "main")->Attribute("id"), "1");
    EXPECT_STREQ(XmlFindWindowByName(root, "Main")->Attribute("id"), "2");
    EXPECT_EQ(XmlFindWindowByName(root, "other"), nullptr);
    EXPECT_EQ(XmlFindWindowByName(nullptr, "main"), nullptr);
}

// The parser recurses once a level: deeper files are refused before it runs.
// Quoted values, comments and empty elements nest nothing.
TEST_F(XmlLoadingTest, RefusesElementsNestedDeeperThanTheBound)
{
    const auto nested = [](int depth, const std::string& inside) {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += "<e a=\"/>\">";
        text += inside;
        for (int i = 0; i < depth; ++i)
            text += "</e>";
        return text;
    };
    struct Case {
        const char* mWhat;
        std::string mText;
        bool mLoads;
    };
    const Case cases[] = {
        {"at the bound", nested(kMaxXmlDepth, "<!-- <a><b> --><x/><x/>"), true},
        {"one past it", nested(kMaxXmlDepth + 1, ""), false},
        {"50000 deep", nested(50000, ""), false},
        {"never closed", [] {
             std::string text;
             for (int i = 0; i < 50000; ++i)
                 text += "<e>";
             return text;
         }(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mWhat);
        WriteFile("deep.xml", c.mText);
        TiXmlDocument document;
        EXPECT_EQ(LoadXmlDocument("deep.xml", document), c.mLoads);
        EXPECT_EQ(document.FirstChildElement("e") != nullptr, c.mLoads);
    }
    EXPECT_TRUE(LogHas("ERROR: deep.xml nests elements deeper than 256"));
}

// Out of range or not a number: one line with the file, the element and the
// value, and the fallback; an absent attribute gives the fallback unlogged.
TEST_F(XmlLoadingTest, RangedAttributesRefuseValuesOutsideTheirRange)
{
    WriteFile("r.xml", "<root><g n=\"7\" big=\"2147483648\" low=\"-1\" f=\"0.5\" nan=\"nan\" inf=\"1e99\"/></root>");
    TiXmlDocument document;
    ASSERT_TRUE(LoadXmlDocument("r.xml", document));
    const TiXmlElement* g = document.RootElement()->FirstChildElement("g");
    EXPECT_EQ(XmlRangedAttribute(g, "n", 1, 0, 10), 7);
    EXPECT_EQ(XmlRangedAttribute(g, "big", 1, 0, 1000), 1);
    EXPECT_EQ(XmlRangedAttribute(g, "low", 1, 0, 1000), 1);
    EXPECT_EQ(XmlRangedAttribute(g, "absent", -5, 0, 1000), -5);
    EXPECT_EQ(XmlRangedAttribute(g, "f", 1.0f, 0.0f, 1.0f), 0.5f);
    EXPECT_EQ(XmlRangedAttribute(g, "nan", 1.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_EQ(XmlRangedAttribute(g, "inf", 1.0f, 0.0f, 1e9f), 1.0f);
    EXPECT_TRUE(LogHas("ERROR r.xml: <g> big=2147483647 is outside 0..1000"));
    EXPECT_TRUE(LogHas("ERROR r.xml: <g> low=-1 is outside 0..1000"));
    EXPECT_TRUE(LogHas("ERROR r.xml: <g> nan=nan is outside 0..1"));
    EXPECT_TRUE(LogHas("ERROR r.xml: <g> inf=inf is outside 0..1e+09"));
    EXPECT_EQ(LogLines().size(), 4u) << LogText();
}

} // namespace
