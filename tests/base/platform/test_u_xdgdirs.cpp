#include "base/platform/u_xdgdirs.h"

#include <gtest/gtest.h>

#include "tests/support/fake_system.h"

namespace {

TEST(XdgDirs, ParseUserDirsResolvesHomeAndAbsoluteEntriesOnly)
{
    const auto folders = ParseUserDirs(
        "# written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "  XDG_MUSIC_DIR = \"$HOME/Mes musiques/\"  \r\n"
        "XDG_PICTURES_DIR=\"/srv/photos\"\n"
        "XDG_VIDEOS_DIR=\"$HOME\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Say \\\"hi\\\"\"\n"
        "XDG_TEMPLATES_DIR=\"relative/path\"\n"
        "XDG_PUBLICSHARE_DIR=$HOME/Public\n"
        "XDG_DOWNLOAD_DIR=\"$HOMEWARD/x\"\n"
        "#XDG_BROKEN_DIR=\"/commented\"\n",
        "/home/ann");
    const std::map<std::string, std::string> expected = {
        {"XDG_DESKTOP_DIR", "/home/ann/Desktop"},
        {"XDG_MUSIC_DIR", "/home/ann/Mes musiques"},
        {"XDG_PICTURES_DIR", "/srv/photos"},
        {"XDG_VIDEOS_DIR", "/home/ann"},
        {"XDG_DOCUMENTS_DIR", "/home/ann/Say \"hi\""},
    };
    EXPECT_EQ(folders, expected);
}

TEST(XdgDirs, BaseDirectoriesIgnoreRelativeSettingsAndFallBackBelowHome)
{
    TFakeSystem system;
    const std::string home = system.Path("home");
    EXPECT_EQ(HomeFolder(), home);
    EXPECT_EQ(XdgDataHomeSetting(), "");
    EXPECT_EQ(XdgDataHome(), home + "/.local/share");
    EXPECT_EQ(XdgConfigHome(), home + "/.config");

    system.SetEnvironment("XDG_DATA_HOME", "relative/data");
    system.SetEnvironment("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(XdgDataHomeSetting(), "");
    EXPECT_EQ(XdgDataHome(), home + "/.local/share");
    EXPECT_EQ(XdgConfigHome(), home + "/.config");

    system.SetEnvironment("XDG_DATA_HOME", "/data/");
    system.SetEnvironment("XDG_CONFIG_HOME", "/config");
    EXPECT_EQ(XdgDataHome(), "/data");
    EXPECT_EQ(XdgConfigHome(), "/config");
}

TEST(XdgDirs, UserDirReadsTheConfigFolderFile)
{
    TFakeSystem system;
    EXPECT_EQ(UserDir("XDG_MUSIC_DIR"), "");
    system.WriteFile("home/.config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n");
    EXPECT_EQ(UserDir("XDG_MUSIC_DIR"), system.Path("home/Tunes"));
    EXPECT_EQ(UserDir("XDG_DESKTOP_DIR"), "");
    system.SetEnvironment("XDG_CONFIG_HOME", system.Path("elsewhere"));
    EXPECT_EQ(UserDir("XDG_MUSIC_DIR"), "");
}

}  // namespace
