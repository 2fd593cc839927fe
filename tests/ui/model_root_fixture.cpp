#include "model_root_fixture.h"

#include <QDir>

TestModelRoot::TestModelRoot()
{
    manager_.SetFolder(QDir(folder_.path()).filePath("lists").toStdString());
    manager_.Reload();
    root_ = std::make_unique<TBWFSDrive>(manager_, [this] { return drives_; });
    AddDrive("disk", dkFixed);
}

TestModelRoot::~TestModelRoot()
{
    // Unsaved test lists are not wanted on disk.
    manager_.Reload();
}

void TestModelRoot::MakeFolders(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders)
        QDir(folder_.path()).mkpath(QString::fromStdString(folder));
}

std::string TestModelRoot::AddDrive(const std::string& name, TBWDriveKind kind)
{
    MakeFolders({name});
    drives_.push_back({PathOf(name), kind, "LABEL", "/dev/null"});
    return drives_.back().root;
}

std::string TestModelRoot::PathOf(const std::string& folder) const
{
    return folder_.path().toStdString() + "/" + folder + "/";
}

TBWDirectory* TestModelRoot::Dir(const std::string& folder)
{
    return root_->FindDir(PathOf(folder), false);
}
