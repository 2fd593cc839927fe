#include "model/u_bwfs.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <unordered_set>

#include "base/u_bwdatetime.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "model/u_bwdigest.h"

namespace {

// The object as a T when it is one, else none.
template <class T>
T* As(TBWObject* object)
{
    return object && object->InheritsFrom(T::StaticClass()) ? static_cast<T*>(object) : nullptr;
}

// The items a chain lists, read off its nodes: unlike its cursor this
// fires no before-access event, so nothing loads.
std::unordered_set<const TBWObject*> ListedIn(const TBWChain& chain)
{
    std::unordered_set<const TBWObject*> listed;
    for (TBWChainNode* node = chain.Head(); node; node = node->Next())
        listed.insert(node->Item());
    return listed;
}

// Frees the Ts that owner owns and chain does not list.
template <class T>
void FreeOwnedUnlisted(const TBWObject& owner, const TBWChain& chain)
{
    const std::unordered_set<const TBWObject*> listed = ListedIn(chain);
    std::vector<T*> retired;
    for (TBWObject* owned = owner.FirstOwned(); owned; owned = owned->NextSibling())
        if (T* item = As<T>(owned); item && !listed.contains(item))
            retired.push_back(item);
    for (T* item : retired)
        delete item;
}

// A new object of a class reference the owner was given, which must make Ts.
template <class T>
T* MakeOf(const TBWClass& madeClass, TBWObject* owner, const char* role)
{
    TBWObject* made = madeClass.Create(owner);
    if (!made || !made->InheritsFrom(T::StaticClass())) {
        delete made;
        throw EBWClassError(std::string("The ") + role + " class " + madeClass.Name() + " of " +
                            owner->ClassName() + " does not make " + T::StaticClass().Name() + " instances");
    }
    return static_cast<T*>(made);
}

// Subdirectories are indexed by the first component of their names, so that
// a name with separators in it ("C:/", "/") is found from the path it opens.
std::string_view FirstComponent(std::string_view path)
{
    return path.substr(0, path.find(kPathDelimiter));
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

// The candidate named exactly name; else, when allowed, the oldest one whose
// name differs from it only in case.
template <class T>
T* NamedAmong(const std::vector<TBWObject*>& candidates, const std::string& name, bool orOtherCase)
{
    T* otherCase = nullptr;
    for (TBWObject* candidate : candidates) {
        auto* item = static_cast<T*>(candidate);
        if (item->Name() == name)
            return item;
        if (orOtherCase && !otherCase && SameTextAscii(item->Name(), name))
            otherCase = item;
    }
    return otherCase;
}

// Counts by walking the listed entries, so that a stale list is not loaded
// again just to be counted.
std::int32_t CountSelectedAsListed(TBWSelChain& items)
{
    std::int32_t count = 0;
    for (TBWChainNode* node = items.Head(); node; node = node->Next())
        count += items.IsSelected(node->Item());
    return count;
}

double DaysOf(const struct statx_timestamp& stamp)
{
    return DaysFromTime(static_cast<std::time_t>(stamp.tv_sec));
}

}  // namespace

std::vector<TBWObject*> TBWListedNames::Candidates(std::string_view key)
{
    if (!built_) {
        for (TBWChainNode* node = chain_.Head(); node; node = node->Next())
            if (TBWObject* item = node->Item(); item && item->InheritsFrom(itemClass_))
                index_.Add(keyOf_(*item), item);
        built_ = true;
    }
    return index_.Candidates(key);
}

TBWLoadStamp NextLoadStamp()
{
    static std::atomic<TBWLoadStamp> lastStamp{0};
    return ++lastStamp;
}

// ------------------------------------------------------------- TBWDirectory

BW_IMPLEMENT_CLASS(TBWDirectory, TBWComparable)

TBWDirectory::TBWDirectory(TBWObject* owner)
    : TBWComparable(owner), subDirs_(new TBWChain(this)), fileListClass_(&TBWFileList::StaticClass()),
      dirIndex_(*subDirs_, StaticClass(),
                [](const TBWObject& dir) { return FirstComponent(static_cast<const TBWDirectory&>(dir).Name()); })
{
    // One set, the caption, for the subdirectories of every directory.
    static const auto byCaption = std::make_shared<const TBWKeySets>(TBWKeySets{{0}});
    subDirs_->ShareSortKeys(byCaption);
    subDirs_->OnBeforeAccess = [this](TBWStruct*) { RefreshIfNeeded(); };
    subDirs_->OnNodeEvent = [this](TBWStructNode* node, std::int32_t code) { OnSubDirNode(node, code); };
}

TBWDirectory::~TBWDirectory()
{
    // The chain goes first among the owned objects; unlisting its nodes then
    // must not reach a directory that is half gone.
    subDirs_->OnBeforeAccess = nullptr;
    subDirs_->OnNodeEvent = nullptr;
}

void TBWDirectory::OnSubDirNode(TBWStructNode* node, std::int32_t code)
{
    // Only attaching and detaching concern us; a node freed long after it
    // was detached may hold a directory that is gone by then.
    if (code != necAttaching && code != necDetaching)
        return;
    TBWDirectory* dir = As<TBWDirectory>(node->Item());
    if (!dir)
        return;
    if (code == necAttaching && !node->Attached())
        dirIndex_.Listing(dir, [this, dir] { DirChanged(dir, ckDirAdded); });
    else if (code == necDetaching)
        dirIndex_.Unlisting(dir, [this, dir] { DirChanged(dir, ckDirRemoved); });
}

TBWDirectory* TBWDirectory::NewChildDir()
{
    return MakeOf<TBWDirectory>(ClassType(), this, "directory");
}

TBWDirectory* TBWDirectory::AddSubDir(const std::string& name, const std::string& caption)
{
    TBWDirectory* dir = NewChildDir();
    dir->SetName(name);
    if (!caption.empty())
        dir->SetDisplayName(caption);
    subDirs_->Add(dir);
    return dir;
}

TBWDirectory* TBWDirectory::AddSubDirTouch(const std::string& name, const std::string& caption)
{
    TBWDirectory* dir = AddSubDir(name, caption);
    if (dir)
        Touch();
    return dir;
}

void TBWDirectory::SetName(const std::string& name)
{
    const std::string oldName = std::exchange(name_, name);
    displayName_ = LastPathPart(name);
    if (TBWDirectory* parent = ParentDir())
        parent->dirIndex_.Renamed(FirstComponent(oldName), this);
}

std::string TBWDirectory::Path() const
{
    // Made in one piece: a path of as many parts as the folder is deep is
    // asked for every folder a walk loads.
    std::vector<const std::string*> names;
    std::size_t length = 0;
    for (const TBWDirectory* dir = this; dir; dir = dir->ParentDir()) {
        names.push_back(&dir->name_);
        length += dir->name_.size() + 1;
    }
    std::string path;
    path.reserve(length);
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        path += **name;
        if (!path.empty() && path.back() != kPathDelimiter)
            path += kPathDelimiter;
    }
    return path;
}

std::string TBWDirectory::RealPath() const
{
    return Path();
}

void TBWDirectory::Detach()
{
    if (TBWDirectory* parent = ParentDir())
        parent->RemoveDir(this);
}

void TBWDirectory::DirChanged(TBWDirectory* dir, TBWChangeKind kind)
{
    if (TBWDirectory* parent = ParentDir())
        parent->DirChanged(dir, kind);
}

void TBWDirectory::RefreshIfNeeded()
{
    if (loadedAt_ == 0)
        Refresh();
}

void TBWDirectory::Refresh()
{
    // Stamped before reading, so that looks made while reading do not start
    // a second load.
    Touch();
    subDirs_->Clear();
    LoadSubDirs();
}

void TBWDirectory::FreeRetired()
{
    // Depth first without recursion: a folder tree may nest deeply.
    std::vector<TBWDirectory*> pending = {this};
    while (!pending.empty()) {
        TBWDirectory* dir = pending.back();
        pending.pop_back();
        FreeOwnedUnlisted<TBWDirectory>(*dir, *dir->subDirs_);
        if (dir->fileList_)
            dir->fileList_->FreeRetired();
        for (TBWChainNode* node = dir->subDirs_->Head(); node; node = node->Next())
            if (auto* child = As<TBWDirectory>(node->Item()); child && child->Owner() == dir)
                pending.push_back(child);
    }
}

TBWDirectory* TBWDirectory::FirstDir()
{
    return As<TBWDirectory>(subDirs_->First());
}

TBWDirectory* TBWDirectory::NextDir()
{
    return As<TBWDirectory>(subDirs_->Next());
}

TBWDirectory* TBWDirectory::CurrentDir() const
{
    return As<TBWDirectory>(subDirs_->GetCurrent());
}

TBWDirectory* TBWDirectory::DirAt(std::int32_t index)
{
    return As<TBWDirectory>(subDirs_->GoTo(index));
}

TBWFileList* TBWDirectory::Files()
{
    if (!fileList_)
        fileList_ = MakeOf<TBWFileList>(*fileListClass_, this, "file list");
    return fileList_;
}

TBWDirectory* TBWDirectory::ParentDir() const
{
    return As<TBWDirectory>(Owner());
}

TBWDirectory* TBWDirectory::Root()
{
    TBWDirectory* dir = this;
    while (TBWDirectory* parent = dir->ParentDir())
        dir = parent;
    return dir;
}

TBWDirectory* TBWDirectory::TopOfKind()
{
    TBWDirectory* dir = this;
    for (TBWDirectory* parent = dir->ParentDir(); parent && &parent->ClassType() == &dir->ClassType();
         parent = dir->ParentDir())
        dir = parent;
    return dir;
}

TBWDirectory* TBWDirectory::FindChild(const std::string& name)
{
    RefreshIfNeeded();
    return NamedAmong<TBWDirectory>(dirIndex_.Candidates(FirstComponent(name)), name, true);
}

TBWDirectory* TBWDirectory::FindChildExact(const std::string& name)
{
    RefreshIfNeeded();
    return NamedAmong<TBWDirectory>(dirIndex_.Candidates(FirstComponent(name)), name, false);
}

void TBWDirectory::AddDir(TBWDirectory* dir)
{
    if (!dir)
        return;
    subDirs_->Add(dir);
    Touch();
}

void TBWDirectory::RemoveDir(TBWDirectory* dir)
{
    if (dir)
        subDirs_->Remove(dir);
}

void TBWDirectory::Delete()
{
    TBWDirectory* parent = ParentDir();
    if (!parent)
        return;
    Detach();
    parent->Touch();
}

void TBWDirectory::Reload()
{
    subDirs_->Clear();
    Touch();
}

std::vector<TBWDirectory*> TBWDirectory::ListedDirs()
{
    std::vector<TBWDirectory*> dirs;
    dirs.reserve(static_cast<std::size_t>(subDirs_->Count()));
    for (TBWChainNode* node = subDirs_->Head(); node; node = node->Next())
        if (TBWDirectory* dir = As<TBWDirectory>(node->Item()))
            dirs.push_back(dir);
    return dirs;
}

TBWDirectory* TBWDirectory::FindDir(const std::string& path, bool create)
{
    const std::string own = Path();
    const std::string wanted = AddTrailingBackslash(path);
    switch (PathRelation(LowerCaseAscii(own), LowerCaseAscii(wanted))) {
    case prEqual:
        return this;
    case prBInsideA:
        return FindBelow(std::string_view(wanted).substr(own.size()), create);
    default:
        return nullptr;
    }
}

std::vector<TBWDirectory*> TBWDirectory::DirsOpening(std::string_view rest)
{
    RefreshIfNeeded();
    std::vector<TBWDirectory*> exact, otherCase;
    for (TBWObject* candidate : dirIndex_.Candidates(FirstComponent(rest))) {
        auto* dir = static_cast<TBWDirectory*>(candidate);
        const std::string opening = AddTrailingBackslash(dir->Name());
        if (rest.starts_with(opening))
            exact.push_back(dir);
        else if (StartsWithIgnoringCase(rest, opening))
            otherCase.push_back(dir);
    }
    exact.insert(exact.end(), otherCase.begin(), otherCase.end());
    return exact;
}

TBWDirectory* TBWDirectory::FindBelow(std::string_view rest, bool create)
{
    for (TBWDirectory* dir : DirsOpening(rest))
        if (TBWDirectory* found = dir->FindFrom(rest, create))
            return found;
    // An empty component ("a//b", or a leading "/" the model has no child
    // for) would make a child with this directory's own path, for ever.
    const std::string_view component = FirstComponent(rest);
    if (!create || component.empty())
        return nullptr;
    TBWDirectory* made = AddSubDir(std::string(component));
    // A subclass may name the new directory otherwise; then it is not the
    // way down, and making another would go on without end.
    if (made->Name().empty() || !StartsWithIgnoringCase(rest, AddTrailingBackslash(made->Name())))
        return nullptr;
    return made->FindFrom(rest, create);
}

TBWDirectory* TBWDirectory::FindFrom(std::string_view rest, bool create)
{
    const std::string_view deeper = rest.substr(AddTrailingBackslash(name_).size());
    return deeper.empty() ? this : FindBelow(deeper, create);
}

void TBWDirectory::CollectFiles(TBWStruct* target, bool selectedOnly)
{
    if (!target)
        return;
    LoadForWalk(nullptr);
    TBWSelChain* items = Files()->Items();
    Files()->RefreshIfNeeded();
    for (TBWChainNode* node = items->Head(); node; node = node->Next())
        if (!selectedOnly || items->IsSelected(node->Item()))
            target->Add(node->Item());
    for (TBWDirectory* dir : ListedDirs())
        dir->CollectFiles(target, selectedOnly);
}

TBWFile* TBWDirectory::FindFileByPath(const std::string& path)
{
    const std::size_t slash = path.rfind(kPathDelimiter);
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    TBWDirectory* dir = FindDir(path.substr(0, nameStart), false);
    return dir ? dir->Files()->FindByName(path.substr(nameStart)) : nullptr;
}

void TBWDirectory::CopyTree(TBWDirectory* source)
{
    if (!source)
        return;
    TBWSelChain* sourceItems = source->Files()->Items();
    source->Files()->RefreshIfNeeded();
    for (TBWChainNode* node = sourceItems->Head(); node; node = node->Next())
        if (TBWFile* file = As<TBWFile>(node->Item()))
            Files()->AddFileTouch(file->Name())->Assign(*file);
    // Exact names only: two source folders that differ in case stay two.
    for (TBWDirectory* sourceDir : source->ListedDirs()) {
        TBWDirectory* dir = FindChildExact(sourceDir->Name());
        if (!dir)
            dir = AddSubDirTouch(sourceDir->Name());
        if (dir)
            dir->CopyTree(sourceDir);
    }
}

template <class Visit>
void TBWDirectory::VisitLoadedSubtree(const Visit& visit)
{
    if (fileList_)
        visit(*fileList_);
    // Only what is listed: a directory never loaded lists nothing, though
    // its file list may have been read.
    for (TBWChainNode* node = subDirs_->Head(); node; node = node->Next())
        if (TBWDirectory* dir = As<TBWDirectory>(node->Item()))
            dir->VisitLoadedSubtree(visit);
}

void TBWDirectory::ClearSelections()
{
    VisitLoadedSubtree([](TBWFileList& list) { list.ClearSelection(); });
}

std::int32_t TBWDirectory::SelectedCount()
{
    std::int32_t count = 0;
    VisitLoadedSubtree([&count](TBWFileList& list) { count += CountSelectedAsListed(*list.Items()); });
    return count;
}

std::vector<TBWFile*> TBWDirectory::SelectedFiles()
{
    std::vector<TBWFile*> files;
    VisitLoadedSubtree([&files](TBWFileList& list) {
        TBWSelChain& items = *list.Items();
        for (TBWChainNode* node = items.Head(); node; node = node->Next())
            if (items.IsSelected(node->Item()))
                if (TBWFile* file = As<TBWFile>(node->Item()))
                    files.push_back(file);
    });
    return files;
}

// -------------------------------------------------------------- TBWFileList

BW_IMPLEMENT_CLASS(TBWFileList, TBWObject)

TBWFileList::TBWFileList(TBWObject* owner)
    : TBWObject(owner), items_(new TBWSelChain(this)), fileClass_(&TBWFile::StaticClass()),
      nameIndex_(*items_, TBWFile::StaticClass(),
                 [](const TBWObject& file) { return std::string_view(static_cast<const TBWFile&>(file).Name()); })
{
    ShareSortKeys(PlainKeySets());
    items_->OnBeforeAccess = [this](TBWStruct*) { RefreshIfNeeded(); };
    items_->OnNodeEvent = [this](TBWStructNode* node, std::int32_t code) { OnItemNode(node, code); };
}

TBWFileList::~TBWFileList()
{
    items_->OnBeforeAccess = nullptr;
    items_->OnNodeEvent = nullptr;
}

void TBWFileList::OnItemNode(TBWStructNode* node, std::int32_t code)
{
    if (code != necAttaching && code != necDetaching)
        return;
    TBWFile* file = As<TBWFile>(node->Item());
    if (!file)
        return;
    const auto notice = [this](TBWChangeKind kind) {
        if (TBWDirectory* dir = Directory())
            dir->DirChanged(dir, kind);
    };
    if (code == necAttaching && !node->Attached())
        nameIndex_.Listing(file, [&notice] { notice(ckFileAdded); });
    else if (code == necDetaching)
        nameIndex_.Unlisting(file, [&notice] { notice(ckFileRemoved); });
}

std::shared_ptr<const TBWKeySets> TBWFileList::PlainKeySets()
{
    static const auto sets = std::make_shared<const TBWKeySets>(TBWKeySets{
        {fkName, fkDirPath}, {fkSize}, {fkDirPath, fkName}, {fkCreated}, {fkModified}, {fkAccessed}});
    return sets;
}

TBWFile* TBWFileList::AddFile(const std::string& name)
{
    if (TBWFile* listed = FindExact(name))
        return listed;
    return AppendFile(name);
}

TBWFile* TBWFileList::AppendFile(std::string name)
{
    TBWFile* file = NewFile();
    file->SetName(std::move(name));
    items_->Add(file);
    return file;
}

TBWFile* TBWFileList::AppendListedFile(std::string name, TBWWords words)
{
    TBWFile* file = NewFile();
    file->SetListedName(std::move(name), std::move(words));
    items_->Add(file);
    return file;
}

TBWFile* TBWFileList::AddFileTouch(const std::string& name)
{
    TBWFile* file = AddFile(name);
    Touch();
    return file;
}

void TBWFileList::RefreshIfNeeded()
{
    const TBWDirectory* dir = Directory();
    if (loadedAt_ == 0 || (dir && dir->LoadedAt() > loadedAt_))
        Refresh();
}

void TBWFileList::Refresh()
{
    Touch();
    const TBWDirectory* dir = Directory();
    if (!dir || dir->Name().empty())
        return;
    items_->Clear();
    LoadFiles();
}

TBWFile* TBWFileList::FirstFile()
{
    return As<TBWFile>(items_->First());
}

TBWFile* TBWFileList::NextFile()
{
    return As<TBWFile>(items_->Next());
}

TBWFile* TBWFileList::CurrentFile() const
{
    return As<TBWFile>(items_->GetCurrent());
}

TBWFile* TBWFileList::FileAt(std::int32_t index)
{
    return As<TBWFile>(items_->GoTo(index));
}

TBWFile* TBWFileList::FindByName(const std::string& name)
{
    RefreshIfNeeded();
    return NamedAmong<TBWFile>(nameIndex_.Candidates(name), name, true);
}

TBWFile* TBWFileList::FindExact(const std::string& name)
{
    RefreshIfNeeded();
    return NamedAmong<TBWFile>(nameIndex_.Candidates(name), name, false);
}

TBWFile* TBWFileList::NewFile()
{
    return MakeOf<TBWFile>(*fileClass_, this, "file");
}

void TBWFileList::RemoveFile(TBWFile* file)
{
    if (!file)
        return;
    items_->Remove(file);
    Touch();
}

void TBWFileList::FreeRetired()
{
    FreeOwnedUnlisted<TBWFile>(*this, *items_);
}

TBWDirectory* TBWFileList::Directory() const
{
    return As<TBWDirectory>(Owner());
}

bool TBWFileList::ToggleSelected(TBWFile* file)
{
    return items_->ToggleSelected(file);
}

void TBWFileList::NameChanged(TBWFile* file, const std::string& oldName)
{
    nameIndex_.Renamed(oldName, file);
}

// ------------------------------------------------------------------ TBWFile

BW_IMPLEMENT_CLASS(TBWFile, TBWWordedComparable)

TBWKeyKind TBWFile::KeyKind(TBWKey key) const
{
    switch (key) {
    case fkName:
    case fkDirPath:
        return kkTextNoCase;
    case fkDigest:
        return kkTextCase;
    case fkSize:
    case fkCreated:
    case fkModified:
    case fkAccessed:
        return kkInteger;
    default:
        return TBWWordedComparable::KeyKind(key);
    }
}

std::string TBWFile::KeyText(TBWKey key) const
{
    switch (key) {
    case fkName:
        return name_;
    case fkDirPath:
        return DirPath();
    case fkDigest:
        // Reading the digest on demand is still a read.
        return const_cast<TBWFile*>(this)->DigestHex();
    default:
        return TBWWordedComparable::KeyText(key);
    }
}

std::int64_t TBWFile::KeyInt(TBWKey key) const
{
    switch (key) {
    case fkSize:
        return const_cast<TBWFile*>(this)->Size();
    case fkCreated:
        return WholeSeconds(Created());
    case fkModified:
        return WholeSeconds(Modified());
    case fkAccessed:
        return WholeSeconds(Accessed());
    default:
        return TBWWordedComparable::KeyInt(key);
    }
}

void TBWFile::Assign(const TBWComparable& source)
{
    TBWWordedComparable::Assign(source);
    const auto* file = dynamic_cast<const TBWFile*>(&source);
    if (!file)
        return;
    // The source reads what it had not read yet: copying it is a read.
    auto* from = const_cast<TBWFile*>(file);
    StoreName(from->Name());
    size_ = from->Size();
    if (const TBWDigest& digest = from->GetDigest(); digest != TBWDigest{} || details_)
        Details().digest = digest;
    loadedInfo_ = from->loadedInfo_;
}

namespace {

// Only the extension goes. Names in a folder hold no "/", so a "/" here is
// part of a tag ("AC/DC") and its words count.
std::string_view WithoutExtension(std::string_view text)
{
    return text.substr(0, text.rfind('.'));
}

}  // namespace

std::string_view TBWFile::WordedPart(std::string_view text) const
{
    return WithoutExtension(text);
}

TBWWords TBWFile::NameWords(std::string_view name)
{
    return WordsOf(WithoutExtension(name));
}

void TBWFile::SetListedName(std::string name, TBWWords words)
{
    if (name == name_)
        return;
    StoreName(std::move(name));
    SetWords(std::move(words));
    Changed();
}

void TBWFile::LoadInfo(std::int32_t kind)
{
    if (kind == ikDigest)
        SetDigest(DigestFileWindow(FullPath(), DigestOffset, DigestLength));
    if (kind != ikBasic)
        return;
    // The status of the path needs no opening, so a FIFO or a device named
    // like a file never blocks here.
    struct statx status {};
    if (statx(AT_FDCWD, FullPath().c_str(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) {
        SetSize(-1);
        return;
    }
    SetSize(static_cast<std::int64_t>(status.stx_size));
    const double modified = DaysOf(status.stx_mtime);
    // Not every file system records a birth time; the last write is the
    // nearest thing it knows.
    const double created = (status.stx_mask & STATX_BTIME) ? DaysOf(status.stx_btime) : modified;
    SetFileTimes(created, modified, DaysOf(status.stx_atime));
}

void TBWFile::EnsureInfo(std::int32_t kind)
{
    if (kind < 0 || kind >= static_cast<std::int32_t>(loadedInfo_.size()) || loadedInfo_.test(kind))
        return;
    LoadInfo(kind);
    loadedInfo_.set(kind);
}

void TBWFile::SetName(std::string name)
{
    if (name == name_)
        return;
    StoreName(std::move(name));
    SetText(name_);
    Changed();
}

void TBWFile::StoreName(std::string name)
{
    if (name == name_)
        return;
    const std::string oldName = std::exchange(name_, std::move(name));
    if (TBWFileList* list = FileList())
        list->NameChanged(this, oldName);
}

std::int64_t TBWFile::Size()
{
    EnsureInfo(ikBasic);
    return size_;
}

void TBWFile::SetSize(std::int64_t size)
{
    if (size == size_)
        return;
    size_ = size;
    Changed();
}

const TBWDigest& TBWFile::GetDigest()
{
    EnsureInfo(ikDigest);
    static const TBWDigest none{};
    return details_ ? details_->digest : none;
}

std::string TBWFile::DigestHex()
{
    return DigestHexOf(GetDigest());
}

void TBWFile::SetDigest(const TBWDigest& digest)
{
    Details().digest = digest;
    Changed();
}

void TBWFile::SetFileTimes(double created, double modified, double accessed)
{
    TDetails& details = Details();
    details.created = created;
    details.modified = modified;
    details.accessed = accessed;
}

TBWFile::TDetails& TBWFile::Details()
{
    if (!details_)
        details_ = std::make_unique<TDetails>();
    return *details_;
}

TBWFileList* TBWFile::FileList() const
{
    return As<TBWFileList>(Owner());
}

TBWDirectory* TBWFile::Directory() const
{
    const TBWFileList* list = FileList();
    return list ? list->Directory() : nullptr;
}

std::string TBWFile::FullPath() const
{
    const TBWDirectory* dir = Directory();
    return dir ? dir->RealPath() + name_ : name_;
}

std::string TBWFullPaths::Of(const TBWFile& file)
{
    const TBWDirectory* folder = file.Directory();
    if (!folder)
        return file.Name();
    if (folder != folder_) {
        folder_ = folder;
        folderPath_ = folder->RealPath();
    }
    return folderPath_ + file.Name();
}

std::string TBWFile::DirPath() const
{
    const TBWDirectory* dir = Directory();
    return dir ? dir->Path() : std::string();
}

bool TBWFile::IsSelected()
{
    const TBWFileList* list = FileList();
    return list && list->Items()->IsSelected(this);
}

void TBWFile::SetSelected(bool selected)
{
    if (TBWFileList* list = FileList())
        list->Items()->SetSelected(this, selected);
}

void TBWFile::RemoveFromList()
{
    if (TBWFileList* list = FileList())
        list->RemoveFile(this);
}

std::string TBWFile::ExtensionKey() const
{
    return ExtensionUpper(name_).substr(0, 5);
}
