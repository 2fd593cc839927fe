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
    const std::string path = SelectedPath();
    if (path.empty())
        return {};
    // Nothing of the master collection may become deletable, not even a
    // folder inside it.
    if (role_ != dtReference && Profile().GetDirPriority(path) == dtReference)
        return QStringLiteral("\"%1\" is in a master directory: nothing is ever deleted there. Please choose a "
                              "directory that holds duplicates.")
            .arg(QString::fromStdString(path));
    const std::string* listed = ListedDirectory(path);
    if (listed && Profile().GetDirPriority(*listed) != role_)
        return QStringLiteral("\"%1\" is a directory of duplicates already. Please choose another directory.")
            .arg(QString::fromStdString(*listed));
    return {};
}
