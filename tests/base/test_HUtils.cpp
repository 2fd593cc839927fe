#include "base/HUtils.h"

#include <gtest/gtest.h>

#include <regex>

#include "tests/support/fake_system.h"

namespace {

TEST(SpecialFolders, SourcesFlagsAndFallbacks)
{
    TFakeSystem system;
    const std::string home = system.Path("home");
    const struct {
        std::int32_t type;
        std::int32_t flags;
        std::string withSettings;     // user-dirs.dirs and XDG_DATA_HOME present
        std::string withoutSettings;  // neither
    } cases[] = {
        {sfMyMusic, 0, home + "/Tunes", ""},
        {sfMyMusic, sffUseFallback, home + "/Tunes", home + "/Music"},
        {sfMyMusic, sffAllUsers, "", ""},
        {sfMyMusic, sffAllUsers | sffUseFallback, home + "/Music", home + "/Music"},
        {sfDesktop, sffUseFallback, "/srv/desk", home + "/Desktop"},
        {sfMyDocuments, sffUseFallback, home + "/Documents", home + "/Documents"},
        {sfMyPictures, 0, home + "/Pics", ""},
        {sfMyPictures, sffUseFallback, home + "/Pics", home + "/Pictures"},
        {sfAppData, 0, "/data", ""},
        {sfAppData, sffUseFallback, "/data", home + "/.local/share"},
        {sfAppData, sffAllUsers, "/usr/share", "/usr/share"},
        {sfStartMenu, 0, "/data/applications", ""},
        {sfStartMenu, sffUseFallback, "/data/applications", home + "/.local/share/applications"},
        {sfStartMenu, sffAllUsers, "/usr/share/applications", "/usr/share/applications"},
        {sfProgramFiles, 0, "/opt", "/opt"},
        {sfCommonFiles, sffAllUsers, "/usr/lib", "/usr/lib"},
        {9, sffUseFallback, "/data/applications", ""},
        {-1, 0, "/data/applications", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetSpecialFolder(c.type, c.flags), c.withoutSettings) << c.type << "/" << c.flags;

    system.WriteFile("home/.config/user-dirs.dirs",
                     "XDG_DESKTOP_DIR=\"/srv/desk\"\n"
                     "XDG_MUSIC_DIR=\"$HOME/Tunes/\"\n"
                     "XDG_PICTURES_DIR=\"$HOME/Pics\"\n");
    system.SetEnvironment("XDG_DATA_HOME", "/data");
    for (const auto& c : cases)
        EXPECT_EQ(GetSpecialFolder(c.type, c.flags), c.withSettings) << c.type << "/" << c.flags;
}

TEST(SpecialFolders, TablesMatchMacrosCaptionsAndOrder)
{
    const struct {
        const char* text;
        TBWSpecialFolder type;
    } cases[] = {
        {"%startmenu%", sfStartMenu},   {"%desktop%", sfDesktop},
        {"%APPDATA%", sfAppData},       {"%programfiles%", sfProgramFiles},
        {"%CommonFiles%", sfCommonFiles}, {"%mydocuments%", sfMyDocuments},
        {"%MYMUSIC%", sfMyMusic},       {"%mypictures%", sfMyPictures},
        {"%mymusic%/x", sfNone},        {"mymusic", sfNone},
        {"%mymusic", sfNone},           {"", sfNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderMacroType(c.text), c.type) << c.text;
    EXPECT_STREQ(SpecialFolderCaption[FolderMacroType("%mymusic%")], "My Music");
    EXPECT_STREQ(SpecialFolderCaption[sfNone], "Invalid");
    for (std::size_t i = 0; i < SpecialFolderOrder.size(); ++i)
        EXPECT_EQ(SpecialFolderOrder[i], static_cast<TBWSpecialFolder>(i));
}

TEST(SpecialFolders, ExpandPathMacrosReplacesOnlyALeadingMacro)
{
    TFakeSystem system;
    const std::string home = system.Path("home");
    system.WriteFile("home/.config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n");
    const struct {
        const char* path;
        std::string expanded;
    } cases[] = {
        {"%MyMusic%/Rock", home + "/Tunes/Rock"},
        {"%mymusic%", home + "/Tunes"},
        {"%mymusic%/", home + "/Tunes/"},
        {"%desktop%/a/b", home + "/Desktop/a/b"},
        {"%nothing%/a", "%nothing%/a"},
        {"%mymusicx%/a", "%mymusicx%/a"},
        {"/home/ann/%mymusic%", "/home/ann/%mymusic%"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandPathMacros(c.path), c.expanded) << c.path;
}

class DriveHelpers : public testing::Test {
protected:
    void SetUp() override
    {
        system_.MakeLink("by-label/ROOT", "../../fakeroot");
        system_.MakeLink("by-label/MyMusic", "../../sr0");
        system_.WriteMountTable(
            TFakeSystem::MountLine("0:50", "/mnt/nas", "nfs", "nas:/music") +
            TFakeSystem::MountLine("11:0", "/media/ann/CD", "iso9660", "/dev/sr0") +
            TFakeSystem::MountLine("11:1", "/media/ann/CD2", "udf", "/dev/sr1"));
    }

    TFakeSystem system_;
};

TEST_F(DriveHelpers, FindDriveOfTypeGivesTheFirstOfItsKindOrTheDefault)
{
    EXPECT_EQ(FindDriveOfType(dkOptical, "/"), "/media/ann/CD/");
    EXPECT_EQ(FindDriveOfType(dkRemote, "/"), "/mnt/nas/");
    EXPECT_EQ(FindDriveOfType(dkFixed, "x"), "/");
    EXPECT_EQ(FindDriveOfType(dkRemovable, "/media/"), "/media/");
    EXPECT_EQ(ListDrives().size(), 4u);
}

TEST_F(DriveHelpers, VolumeNameIsTheLabelOfTheVolumeMountedThereElseTheFolderName)
{
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"/media/ann/CD", "MyMusic"},
        {"/media/ann/CD/", "MyMusic"},
        {"/media/ann/CD/Disc 1", "Disc 1"},
        {"/media/ann/CD2", "CD2"},
        {"/media/ann/CDx", "CDx"},
        {"/", "ROOT"},
        {"/home/ann/Музыка/", "Музыка"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetDriveVolumeName(c.path), c.name) << c.path;
}

TEST(RecycleFile, TrashesEachFileAndReportsEachFailureWithItsPath)
{
    TFakeSystem system;
    system.WriteMountTable("");
    system.WriteFile("music/a.mp3", "a");
    system.WriteFile("music/b.mp3", "b");
    const std::string missing = system.Path("music/gone.mp3");
    std::vector<std::string> errors;
    EXPECT_FALSE(RecycleFile({system.Path("music/a.mp3"), missing, system.Path("music/b.mp3")}, errors));
    EXPECT_EQ(errors, std::vector<std::string>{"Tried to recycle file: " + missing +
                                               "\nNo such file or directory"});
    EXPECT_FALSE(system.Exists("music/a.mp3"));
    EXPECT_FALSE(system.Exists("music/b.mp3"));
    EXPECT_TRUE(system.Exists("home/.local/share/Trash/files/b.mp3"));

    errors.clear();
    system.WriteFile("music/c.mp3", "c");
    EXPECT_TRUE(RecycleFile({system.Path("music/c.mp3")}, errors));
    EXPECT_TRUE(RecycleFile({}, errors));
    EXPECT_TRUE(errors.empty());
}

TEST(AppPaths, InitAppPathsSetsThePathsAndCreatesTheDataFolder)
{
    TFakeSystem system;
    InitAppPaths("Brindlewick", "Corvella", "corvella_help.chm");
    const std::string dataFolder = system.Path("home/.local/share/Brindlewick/Corvella/");
    EXPECT_EQ(AppPaths().dataFolder, dataFolder);
    EXPECT_TRUE(system.Exists("home/.local/share/Brindlewick/Corvella"));
    EXPECT_EQ(AppPaths().registryKey, "Software\\Brindlewick\\Corvella");
    EXPECT_EQ(AppPaths().helpFile, "corvella_help.chm");
    EXPECT_EQ(AppPaths().registryFile, dataFolder + "registry.txt");

    system.SetEnvironment("XDG_DATA_HOME", system.Path("data"));
    InitAppPaths("Brindlewick", "Corvella", "corvella_help.chm");
    EXPECT_EQ(AppPaths().dataFolder, system.Path("data/Brindlewick/Corvella/"));
    EXPECT_TRUE(system.Exists("data/Brindlewick/Corvella"));
}

TEST(ExportRegistryToXml, WritesTheValuesOfTheKeyAsASettingsFile)
{
    TFakeSystem system;
    TRegistryStore registry(system.Path("registry.txt"));
    const std::string key = "Software\\Brindlewick\\Corvella\\profiles\\Rock";
    registry.WriteValue(key, RegistryString("ProfileComment", "Rock & <Roll>"));
    registry.WriteValue(key, RegistryDword("MinPerc", 80));
    registry.WriteValue(key, RegistryDouble("CreationDate", 37.9));
    registry.WriteValue(key, RegistryDouble("Offset", -2.5));
    registry.WriteValue(key, {"Odd", rtBinary, std::string(7, '\x01')});
    registry.WriteValue(key, RegistryString("Empty", ""));
    registry.WriteValue(key, {"List", 7, std::string("a\0", 2)});
    registry.WriteValue(key + "\\Sub", RegistryDword("Ignored", 1));

    ASSERT_TRUE(ExportRegistryToXml(registry, key, system.Path("data/profiles/Rock.xml")));
    EXPECT_EQ(system.ReadFile("data/profiles/Rock.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<bwprofile>\r\n"
              "<ProfileComment>Rock &amp; &lt;Roll&gt;</ProfileComment>\r\n"
              "<MinPerc>80</MinPerc>\r\n<CreationDate>37</CreationDate>\r\n"
              "<Offset>-2</Offset>\r\n<Odd>\r\n</Odd>\r\n<Empty>\r\n</Empty>\r\n"
              "<List>\r\n</List>\r\n</bwprofile>\r\n");

    ASSERT_TRUE(ExportRegistryToXml(registry, "Software\\None", system.Path("data/settings.xml")));
    EXPECT_EQ(system.ReadFile("data/settings.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<bwprofile>\r\n</bwprofile>\r\n");
}

TEST(ExportRegistryToXml, ValueNamesThatCannotBeElementsFailWithoutWriting)
{
    TFakeSystem system;
    for (const char* name : {"", "My Music", "1st", "a<b"}) {
        TRegistryStore store(system.Path("registry.txt"));
        store.WriteValue("Software\\App", RegistryDword(name, 1));
        EXPECT_FALSE(ExportRegistryToXml(store, "Software\\App", system.Path("out.xml"))) << name;
        EXPECT_FALSE(system.Exists("out.xml")) << name;
    }
}

TEST(FileVersion, OnlyTheRunningProgramHasAVersion)
{
    EXPECT_TRUE(std::regex_match(GetFileVersion("/proc/self/exe"), std::regex("\\d+\\.\\d+\\.\\d+")));
    EXPECT_EQ(GetFileVersion(CORVELLA_TEST_DATA "/base/profile_layout.xml"), "");
    EXPECT_EQ(GetFileVersion("/nonexistent"), "");
    EXPECT_TRUE(IsWinNT());
}

}  // namespace
