#pragma once
// The current comparison profile of a ui test: the program's data folder lies
// in the test's isolated home, and each test starts from a new profile.
#include <QString>

#include "engine/u_cvprofile.h"

// Sets the program paths on first use; a new, unsaved profile with the defaults.
TBWCVProfile& FreshCurrentProfile();
// The file of a stored profile in the profiles folder.
QString StoredProfilePath(const std::string& name);
