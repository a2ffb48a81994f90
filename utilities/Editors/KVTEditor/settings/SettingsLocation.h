#pragma once
// Where the settings file lives. A copy of the editor kept in a folder of its
// own (the portable use) keeps its settings beside the program; an installed
// copy, whose program folder the user cannot write, keeps them in the user's
// configuration folder instead.

#include <string>

// The program's full path with its last four characters replaced by ".ini".
std::string SettingsFileBesideProgram(const std::string& sProgram);

// $XDG_CONFIG_HOME/kvteditor/kvted.ini; a relative or empty XDG_CONFIG_HOME
// counts as unset and gives ~/.config/kvteditor/kvted.ini.
std::string SettingsFileInUserConfig();

// Beside the program when the file there can be written or, where it does
// not exist yet, made and the program is not an installed copy (one in
// PREFIX/bin with PREFIX/share/applications/kvteditor.desktop); else in the
// user's configuration folder.
std::string ChooseSettingsFile(const std::string& sProgram);

// Makes the folders leading to sFileName that are missing (each private to
// the user); false when one cannot be made.
bool MakeFoldersFor(const std::string& sFileName);
