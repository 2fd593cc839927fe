#include "ui/configwizard/u_wizroledirsel.h"

#include <algorithm>

#include "engine/u_cvprofile.h"

namespace {

// The profile's entry for the path, compared without regard to case as the
// wizard adds them; null when it has none.
const std::string* ListedDirectory(const std::string& path)
{
    const std::vector<std::string>& dirs = CurrentProfile().DirPath;
    const auto listed = std::find_if(dirs.begin(), dirs.end(), [&path](const std::string& dir) {
        return QString::fromStdString(dir).compare(QString::fromStdString(path), Qt::CaseInsensitive) == 0;
    });
    return listed == dirs.end() ? nullptr : &*listed;
}

}  // namespace

TfrWizRoleDirSel::TfrWizRoleDirSel(QWidget* parent, TBWFSDrive* modelRoot)
    : TfrWizDirSel(parent, modelRoot), role_(dtPriority3)
{
}

void TfrWizRoleDirSel::AskFor(std::int32_t role, bool firstPass)
{
    role_ = role;
    std::string start;
    if (firstPass)
        for (const std::string& path : Profile().DirPath)
            if (Profile().GetDirPriority(path) == role)
                start = path;
    SelectPath(start);
}

QString TfrWizRoleDirSel::Validate()
{
    const std::string* listed = ListedDirectory(SelectedPath());
    if (!listed || Profile().GetDirPriority(*listed) == role_)
        return {};
    const QString name = QString::fromStdString(*listed);
    if (Profile().GetDirPriority(*listed) == dtReference)
        return QStringLiteral("\"%1\" is a master directory already: nothing is ever deleted there. Please "
                              "choose a directory that holds duplicates.")
            .arg(name);
    return QStringLiteral("\"%1\" is a directory of duplicates already. Please choose another directory.").arg(name);
}
