#pragma once
// The program from start to end: one copy per user and data folder, the
// program's paths, the general settings and the tip of the day, the Mp3
// Lists, the pictures and the main window, the event loop, and at the end
// the settings and the modified lists written. SIGTERM and SIGINT close the
// main window the way the user would, so nothing is lost.
#include <string>

inline constexpr const char* kMakerName = "Brindlewick";
inline constexpr const char* kProductName = "Corvella";
inline constexpr const char* kHelpFileName = "corvella_help.chm";

// The data folder the program paths will name, without making it.
std::string ExpectedDataFolder();

// A later start while the tip of the day is the program's only window: the
// modal window shown is restored and brought to the front.
void BringModalForward();

class TSingleInstance;

// Whether this start may go on: it may when it now owns the data folder.
// Otherwise the running copy was asked to come forward; when it did not
// answer, a window says so, since nothing else would show why nothing opened.
bool TakeOverOrTell(TSingleInstance& instance);

// The end of a run: the general settings and the modified Mp3 Lists are
// written; settings that were to be written and could not be are told in a
// window, since the changes of the run are lost with them.
void SaveAtExit();

// The whole program; the exit status.
int RunCorvella(int argc, char** argv);
