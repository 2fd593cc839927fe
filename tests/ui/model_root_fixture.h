#pragma once
// A model root of its own for the tree and page tests: folders made on disk
// in a temporary folder that the root shows as its drives, and a list
// folder of its own, so no test depends on the machine's mounts or lists.
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "model/u_bwfsdrive.h"

class TestModelRoot {
public:
    // One fixed drive, "disk"; more with AddDrive before the root is first used.
    TestModelRoot();
    ~TestModelRoot();

    // Makes the folders (relative to the temporary folder, "/" separated) on disk.
    void MakeFolders(const std::vector<std::string>& folders);
    // The drive's root "<temporary folder>/<name>/" with that kind.
    std::string AddDrive(const std::string& name, TBWDriveKind kind);
    // The model path of a folder made with MakeFolders.
    std::string PathOf(const std::string& folder) const;
    TBWDirectory* Dir(const std::string& folder);

    TMplManager& Manager() { return manager_; }
    TBWFSDrive& Root() { return *root_; }

private:
    QTemporaryDir folder_;
    std::vector<TBWDrive> drives_;
    TMplManager manager_;
    std::unique_ptr<TBWFSDrive> root_;
};
