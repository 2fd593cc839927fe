#include "engine/u_registryconversion.h"

#include <gtest/gtest.h>

#include "base/platform/u_registrystore.h"
#include "engine/u_cvprofile.h"
#include "tests/support/temp_tree.h"

namespace {

const std::string kKey = "Software\\Maker\\App";

TEST(RegistryConversion, ProfilesAndSettingsBecomeFilesOnceAndTheKeyIsMarked)
{
    TTempTree folder;
    TRegistryStore store(folder.Path("registry.txt"));
    store.WriteValue(kKey + "\\profiles\\Ёлка 音楽", RegistryString("ProfileComment", "old days"));
    store.WriteValue(kKey + "\\profiles\\Rock", RegistryDword("MinPerc", 70));
    store.WriteValue(kKey + "\\settings", RegistryDword("ShowTips", 0));
    // A name with a path would be written outside the profiles folder.
    store.WriteValue(kKey + "\\profiles\\../escape", RegistryDword("MinPerc", 70));

    std::vector<std::string> notConverted;
    ASSERT_TRUE(ConvertRegistryProfiles(store, kKey, folder.Path(), &notConverted));
    EXPECT_EQ(notConverted, std::vector<std::string>{"../escape"});
    EXPECT_EQ(folder.Names(""), (std::vector<std::string>{"profiles", "registry.txt", "settings.xml"}));
    EXPECT_EQ(folder.Names("profiles"), (std::vector<std::string>{"Rock.xml", "Ёлка 音楽.xml"}));
    EXPECT_FALSE(folder.ReadFile("settings.xml").empty());
    TBWCVProfile profile(folder.Path());
    ASSERT_TRUE(profile.LoadProfile("Ёлка 音楽"));
    EXPECT_EQ(profile.ProfileComment, "old days");

    TRegistryStore saved(folder.Path("registry.txt"));
    ASSERT_TRUE(saved.Load());
    EXPECT_NE(saved.FindValue(kKey, "ConvertedToXML"), nullptr);
    // Done once: a profile deleted since is not made again.
    folder.WriteFile("profiles/Rock.xml", "");
    EXPECT_FALSE(ConvertRegistryProfiles(saved, kKey, folder.Path()));
    EXPECT_EQ(folder.ReadFile("profiles/Rock.xml"), "");
}

TEST(RegistryConversion, AStoreWithoutTheKeyIsLeftAsItIs)
{
    TTempTree folder;
    TRegistryStore store(folder.Path("registry.txt"));
    store.WriteValue("Software\\Other", RegistryDword("x", 1));
    EXPECT_FALSE(ConvertRegistryProfiles(store, kKey, folder.Path()));
    EXPECT_EQ(folder.Names(""), std::vector<std::string>{});
}

}  // namespace
