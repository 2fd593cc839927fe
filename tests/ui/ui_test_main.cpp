#include "ui_test_main.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

namespace {

void PointAt(const char* variable, const QString& folder)
{
    QDir().mkpath(folder);
    setenv(variable, QFile::encodeName(folder).constData(), 1);
}

} // namespace

IsolatedDesktop::IsolatedDesktop()
{
    if (!folder_.isValid())
        qFatal("cannot make a temporary home folder");
    const QString home = folder_.path();
    PointAt("HOME", home);
    PointAt("XDG_DATA_HOME", home + "/.local/share");
    PointAt("XDG_CONFIG_HOME", home + "/.config");
    PointAt("XDG_CACHE_HOME", home + "/.cache");
    PointAt("XDG_RUNTIME_DIR", home + "/runtime");
    // Qt refuses a runtime folder others can read.
    QFile::setPermissions(home + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
