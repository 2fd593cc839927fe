// The user's folders as the XDG conventions name them: the base directories
// ($XDG_DATA_HOME, $XDG_CONFIG_HOME) and the user directories of
// user-dirs.dirs (music, documents, ...). The special folders and the trash
// are built on these. Every value is read afresh, so a test can change the
// environment between calls.
#pragma once

#include <map>
#include <string>
#include <string_view>

// $HOME, or the home folder of the password database when HOME is unset.
std::string HomeFolder();
// $USER, or the name of the password database when USER is unset.
std::string UserName();
// $XDG_DATA_HOME when it holds an absolute path (the convention says to
// ignore relative ones), else the empty text.
std::string XdgDataHomeSetting();
// XdgDataHomeSetting, or its default $HOME/.local/share.
std::string XdgDataHome();
// $XDG_CONFIG_HOME when absolute, else $HOME/.config.
std::string XdgConfigHome();

// The entries of a user-dirs.dirs text: lines NAME="$HOME/folder" or
// NAME="/folder", with "#" comments. Values of any other form are left out;
// folders are given without a trailing "/".
std::map<std::string, std::string> ParseUserDirs(std::string_view text, const std::string& home);

// The folder of one entry of $XDG_CONFIG_HOME/user-dirs.dirs, such as
// "XDG_MUSIC_DIR"; empty when the file or the entry is missing.
std::string UserDir(const std::string& name);
