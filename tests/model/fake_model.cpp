#include "tests/model/fake_model.h"

#include <algorithm>
#include <stdexcept>

#include "base/u_bwfunc.h"

void TFakeSource::Add(const std::string& path, const std::vector<std::string>& files)
{
    std::string parent;
    folders[parent];
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        // A leading "/" is a folder of its own, named "/".
        const std::string name = slash == start ? "/" : path.substr(start, slash - start);
        const std::string folder = parent + AddTrailingBackslash(name);
        auto& dirs = folders[parent].dirs;
        if (std::find(dirs.begin(), dirs.end(), name) == dirs.end())
            dirs.push_back(name);
        folders[folder];
        parent = folder;
        start = slash + 1;
    }
    auto& listed = folders[parent].files;
    listed.insert(listed.end(), files.begin(), files.end());
}

int TFakeSource::InfoLoads(const std::string& file, std::int32_t kind) const
{
    const auto found = infoLoads.find({file, kind});
    return found == infoLoads.end() ? 0 : found->second;
}

int TFakeSource::TotalDirLoads() const
{
    int total = 0;
    for (const auto& [path, loads] : dirLoads)
        total += loads;
    return total;
}

int TFakeSource::TotalFileLoads() const
{
    int total = 0;
    for (const auto& [path, loads] : fileLoads)
        total += loads;
    return total;
}

BW_IMPLEMENT_CLASS(TFakeDir, TBWDirectory)

TFakeDir::TFakeDir(TBWObject* owner) : TBWDirectory(owner)
{
    SetFileListClass(TFakeFileList::StaticClass());
}

TFakeSource& TFakeDir::Source()
{
    auto* root = dynamic_cast<TFakeDir*>(Root());
    if (!root || !root->source)
        throw std::logic_error("a fake tree needs a source at its root");
    return *root->source;
}

void TFakeDir::LoadSubDirs()
{
    TFakeSource& source = Source();
    ++source.dirLoads[Path()];
    for (const std::string& name : source.folders[Path()].dirs)
        AddSubDir(name);
}

void TFakeDir::DirChanged(TBWDirectory* dir, TBWChangeKind kind)
{
    if (ParentDir())
        TBWDirectory::DirChanged(dir, kind);
    else if (source) {
        source->notices.push_back({dir->Path(), kind});
        if (source->onNotice)
            source->onNotice(dir, kind);
    }
}

BW_IMPLEMENT_CLASS(TFakeFileList, TBWFileList)

TFakeFileList::TFakeFileList(TBWObject* owner) : TBWFileList(owner)
{
    SetFileClass(TFakeFile::StaticClass());
}

void TFakeFileList::LoadFiles()
{
    auto* dir = dynamic_cast<TFakeDir*>(Directory());
    TFakeSource& source = dir->Source();
    ++source.fileLoads[dir->Path()];
    for (const std::string& name : source.folders[dir->Path()].files)
        AddFile(name);
}

BW_IMPLEMENT_CLASS(TFakeFile, TBWFile)

void TFakeFile::LoadInfo(std::int32_t kind)
{
    if (auto* dir = dynamic_cast<TFakeDir*>(Directory()))
        ++dir->Source().infoLoads[{Name(), kind}];
    if (kind == ikBasic)
        SetSize(static_cast<std::int64_t>(Name().size()) * 100);
    else if (kind == ikDigest)
        SetDigest(DigestOfName(Name()));
}

TBWDigest TFakeFile::DigestOfName(const std::string& name)
{
    TBWDigest digest{};
    std::copy_n(name.begin(), std::min(name.size(), digest.size()), digest.begin());
    return digest;
}

BW_IMPLEMENT_CLASS(TMemoryDir, TBWDirectory)

TMemoryDir::TMemoryDir(TBWObject* owner) : TBWDirectory(owner)
{
    SetFileListClass(TMemoryFileList::StaticClass());
}

BW_IMPLEMENT_CLASS(TMemoryFileList, TBWFileList)

TMemoryFileList::TMemoryFileList(TBWObject* owner) : TBWFileList(owner)
{
    SetFileClass(TFakeFile::StaticClass());
}

std::vector<std::string> NamesIn(const TBWChain& items)
{
    std::vector<std::string> names;
    for (TBWChainNode* node = items.Head(); node; node = node->Next()) {
        if (auto* dir = dynamic_cast<TBWDirectory*>(node->Item()))
            names.push_back(dir->Name());
        else if (auto* file = dynamic_cast<TBWFile*>(node->Item()))
            names.push_back(file->Name());
    }
    return names;
}

std::vector<std::string> SubDirNames(TBWDirectory& dir)
{
    dir.DirCount();
    return NamesIn(*dir.SubDirs());
}

std::vector<std::string> FileNames(TBWDirectory& dir)
{
    dir.Files()->Count();
    return NamesIn(*dir.Files()->Items());
}
