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

} // namespace
