#include "base/u_bwxmlwriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/fake_system.h"

namespace {

void AddValue(pugi::xml_node root, const char* key, const char* text)
{
    root.append_child(key).append_child(pugi::node_pcdata).set_value(text);
}

void AddItem(pugi::xml_node list, const char* text, int number)
{
    pugi::xml_node item = list.append_child("item");
    item.append_attribute("intval").set_value(number);
    item.append_child(pugi::node_pcdata).set_value(text);
}

// A settings document with each kind of content the files hold: numbers,
// empty values (with and without a text node), characters that must be
// escaped, a line break inside a value, lists with and without entries.
void BuildProfile(pugi::xml_document& document)
{
    document.append_child(pugi::node_comment).set_value("not written");
    pugi::xml_node root = document.append_child("bwprofile");
    AddValue(root, "CreationDate", "45000");
    AddValue(root, "profile_version", "3");
    AddValue(root, "MinPerc", "80");
    AddValue(root, "ProfileComment", "");
    root.append_child("NoText");
    root.append_child(pugi::node_comment).set_value("nor this");
    AddValue(root, "Escapes", "a & b <c> \"q\" 'a' cr\rend");
    AddValue(root, "Lines", "first\nsecond");
    pugi::xml_node list = root.append_child("DirPri");
    AddItem(list, "%mymusic%/Rock", 5);
    AddItem(list, "", 0);
    AddItem(list, "/media/ann/My Disc/\xC3\x9C" "ber", -1);
    root.append_child("Exclusions");
    pugi::xml_node quoted = root.append_child("Quoted");
    quoted.append_attribute("name").set_value("say \"hi\" & <go>");
    quoted.append_child(pugi::node_pcdata).set_value("x");
}

std::string GoldenFile()
{
    std::ifstream file(CORVELLA_TEST_DATA "/base/profile_layout.xml", std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

TEST(XmlWriter, WritesTheSettingsFileLayoutByteForByte)
{
    pugi::xml_document document;
    BuildProfile(document);
    EXPECT_EQ(XmlFileText(document), GoldenFile());
}

TEST(XmlWriter, EmptyDocumentIsTheDeclarationAlone)
{
    EXPECT_EQ(XmlFileText(pugi::xml_document()), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
}

TEST(XmlWriter, SavedFileReadsBackWithEveryValueIntact)
{
    TFakeSystem system;
    pugi::xml_document written;
    BuildProfile(written);
    ASSERT_TRUE(SaveXmlFile(written, system.Path("settings.xml")));
    EXPECT_EQ(system.ReadFile("settings.xml"), GoldenFile());

    pugi::xml_document read;
    ASSERT_TRUE(read.load_file(system.Path("settings.xml").c_str()));
    const pugi::xml_node root = read.first_child();
    EXPECT_STREQ(root.child("Escapes").text().get(), "a & b <c> \"q\" 'a' cr\rend");
    EXPECT_STREQ(root.child("Lines").text().get(), "first\nsecond");
    EXPECT_STREQ(root.child("Quoted").attribute("name").value(), "say \"hi\" & <go>");
    EXPECT_EQ(root.child("DirPri").last_child().attribute("intval").as_int(), -1);

    EXPECT_FALSE(SaveXmlFile(written, system.Path("missing/settings.xml")));
}

}  // namespace
