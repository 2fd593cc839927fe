#include "model/u_bwfsmpl.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>

#include "base/u_bwfunc.h"
#include "base/u_bwselchain.h"
#include "base/u_bwtextcase.h"
#include "model/u_bwfsmp3.h"

namespace {

constexpr std::string_view kListExtension = ".mpl";

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// What can be one component of a model path and one file or folder name.
bool IsPathComponent(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find(kPathDelimiter) == std::string_view::npos;
}

// The model name of a directory whose stored name cannot be a path
// component (lists written on other systems hold "CD 1/2", "." or ".."):
// "%", "/" and "." written as %25, %2F and %2E, the empty name as %00. No
// stored name holds a zero byte, so two such names never meet.
std::string EscapedComponent(std::string_view stored)
{
    if (stored.empty())
        return "%00";
    std::string escaped;
    for (const char c : stored) {
        if (c == '%')
            escaped += "%25";
        else if (c == kPathDelimiter)
            escaped += "%2F";
        else if (c == '.')
            escaped += "%2E";
        else
            escaped += c;
    }
    return escaped;
}

// The path without the extension of its last component.
std::string WithoutExtension(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind(kPathDelimiter);
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}

std::string NamePart(const std::string& path)
{
    return path.substr(path.rfind(kPathDelimiter) + 1);
}

std::int32_t Clamped(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// What the list keeps of an entry. Entries of a list or copied from a disc
// hold every kind of information already, so nothing is read from disk.
TMplFileRecord RecordOf(TBWFile& file)
{
    TMplFileRecord record;
    record.name = file.Name();
    record.sizeKB = Clamped(file.Size());
    if (auto* audio = dynamic_cast<TBWMp3File*>(&file)) {
        record.duration = audio->Duration();
        record.bitrate = audio->Bitrate();
        record.title = audio->Title();
        record.artist = audio->Artist();
        record.album = audio->Album();
        record.genre = audio->Genre();
        record.comment = audio->Comment();
    }
    record.digest = file.GetDigest();
    return record;
}

// The entry counts every kind as loaded, so it never reads the disk.
void Fill(TBWFile& file, const TMplFileRecord& record)
{
    file.SetLoadedInfo(TBWInfoKinds().set(ikBasic).set(ikDigest).set(ikTags));
    file.SetSize(record.sizeKB);
    if (auto* audio = dynamic_cast<TBWMp3File*>(&file)) {
        audio->SetDuration(record.duration);
        audio->SetBitrate(record.bitrate);
        audio->SetTitle(record.title);
        audio->SetArtist(record.artist);
        audio->SetAlbum(record.album);
        audio->SetGenre(record.genre);
        audio->SetComment(record.comment);
    }
    file.SetDigest(record.digest);
}

template <class Item>
std::vector<Item*> ItemsOf(const TBWChain& chain)
{
    std::vector<Item*> items;
    for (TBWChainNode* node = chain.Head(); node; node = node->Next())
        if (auto* item = dynamic_cast<Item*>(node->Item()))
            items.push_back(item);
    return items;
}

// The .mpl files of a folder, by name.
std::vector<std::string> ListFilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const std::string stem = WithoutExtension(name);
        std::error_code statError;
        if (SameTextAscii(name.substr(stem.size()), kListExtension) && IsValidListName(stem) &&
            std::filesystem::is_regular_file(entry->path(), statError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Why a list file that is there gave no list (see TBWDirMpl::ReadProblem);
// empty when it was read or is not there.
std::string ReadProblemOf(TMplState state, const std::string& readFailure, const std::string& fileName)
{
    std::error_code error;
    switch (state) {
    case msMissing:
        if (!readFailure.empty())
            return readFailure;
        return std::filesystem::exists(fileName, error) ? "the file is empty" : "";
    case msBadMagic:
        return "the file is no Mp3 List";
    case msBadDigest:
        return "the file is damaged or cut short";
    case msBadVersion:
        return "the file is of another version";
    default:
        return {};
    }
}

}  // namespace

bool IsValidListName(std::string_view name)
{
    return IsPathComponent(name) && std::none_of(name.begin(), name.end(), IsControl);
}

bool IsMplPath(std::string_view path)
{
    return path.starts_with('@');
}

// ----------------------------------------------------------------- TBWDirMpl

BW_IMPLEMENT_CLASS(TBWDirMpl, TBWDirectory)

TBWDirMpl::TBWDirMpl(TBWObject* owner) : TBWDirectory(owner)
{
    SetFileListClass(TBWFileListMpl::StaticClass());
    SetSortOrder(0);
}

TBWDirMpl::~TBWDirMpl() = default;

TBWDirectory* TBWDirMpl::AddSubDirTouch(const std::string& name, const std::string& caption)
{
    SetState(msModified);
    return TBWDirectory::AddSubDirTouch(name, caption);
}

void TBWDirMpl::LoadSubDirs()
{
    if (!Readable() || recordOffset_ < 0 || DepthInList() >= kMaxListDepth)
        return;
    for (const TMplDirEntry& entry : ListIO().ReadSubDirs(recordOffset_)) {
        // The record is known before the directory is listed, so a listener
        // that looks into it at once reads it.
        auto* dir = static_cast<TBWDirMpl*>(NewChildDir());
        dir->SetStoredName(entry.name);
        dir->recordOffset_ = entry.recordOffset;
        SubDirs()->Add(dir);
    }
}

void TBWDirMpl::Detach()
{
    if (!ParentDir()) {
        if (manager_)
            manager_->DeleteList(this);
        return;
    }
    SetState(msModified);
    TBWDirectory::Detach();
}

void TBWDirMpl::DirChanged(TBWDirectory* dir, TBWChangeKind kind)
{
    if (TMplManager* manager = Manager())
        manager->DoDirChanged(dir, kind);
}

void TBWDirMpl::Refresh()
{
    const TMplState state = State();
    if (state == msNone || state == msLoaded)
        TBWDirectory::Refresh();
}

TBWDirMpl* TBWDirMpl::ListRoot()
{
    return static_cast<TBWDirMpl*>(TopOfKind());
}

TMplState TBWDirMpl::State()
{
    return ListRoot()->state_;
}

void TBWDirMpl::SetState(TMplState state)
{
    TBWDirMpl* root = ListRoot();
    if (root->state_ == state)
        return;
    // Read while the old state still allows it.
    if (state == msModified)
        root->ReadWholeTree();
    root->state_ = state;
}

void TBWDirMpl::ReadWholeTree()
{
    Files()->RefreshIfNeeded();
    RefreshIfNeeded();
    for (TBWDirMpl* dir : ItemsOf<TBWDirMpl>(*SubDirs()))
        dir->ReadWholeTree();
}

const std::string& TBWDirMpl::ListName()
{
    return ListRoot()->listName_;
}

void TBWDirMpl::SetListName(const std::string& name)
{
    TBWDirMpl* root = ListRoot();
    const std::string listName = WithoutExtension(name);
    const std::string extension = name.substr(listName.size());
    root->extension_ = SameTextAscii(extension, kListExtension) ? extension : std::string(kListExtension);
    root->NameList(listName);
}

void TBWDirMpl::NameList(const std::string& listName)
{
    listName_ = listName;
    Load();
}

void TBWDirMpl::Load()
{
    TBWDirMpl* root = ListRoot();
    if (root != this) {
        root->Load();
        return;
    }
    if (listName_.empty()) {
        state_ = msNone;
    } else {
        const std::string name = NamePart(listName_);
        const std::string folder = name.size() < listName_.size()
                                       ? listName_.substr(0, listName_.size() - name.size())
                                       : AddTrailingBackslash(FolderOfManager());
        if (IsValidListName(name)) {
            SetName("@" + name + kPathDelimiter);
            SetDisplayName(name);
            recordOffset_ = 0;
            std::string readFailure;
            state_ = ListIO().LoadFromFile(folder + name + extension_, &readFailure);
            readProblem_ = ReadProblemOf(state_, readFailure, folder + name + extension_);
        } else {
            state_ = msMissing;
            readProblem_.clear();
        }
    }
    Refresh();
}

std::string TBWDirMpl::FileName()
{
    TBWDirMpl* root = ListRoot();
    return AddTrailingBackslash(FolderOfManager()) + NamePart(root->listName_) + root->extension_;
}

TMplIO& TBWDirMpl::ListIO()
{
    TBWDirMpl* root = ListRoot();
    if (!root->listIO_)
        root->listIO_ = std::make_unique<TMplIO>();
    return *root->listIO_;
}

const std::string& TBWDirMpl::ReadProblem()
{
    return ListRoot()->readProblem_;
}

const std::string& TBWDirMpl::SaveFailure()
{
    return ListRoot()->saveFailure_;
}

bool TBWDirMpl::Save()
{
    TBWDirMpl* root = ListRoot();
    if (root != this)
        return root->Save();
    saveFailure_.clear();
    if (state_ != msModified)
        return true;
    if (!readProblem_.empty()) {
        saveFailure_ = "its file cannot be read (" + readProblem_ + "), so it is not written over";
        return false;
    }
    if (!IsValidListName(NamePart(listName_))) {
        saveFailure_ = "its name is not valid";
        return false;
    }
    TMplIO& io = ListIO();
    io.Clear();
    std::vector<TMplFileRecord> scratch;
    WriteRecords(io, scratch);
    if (!io.SaveToFile(FileName())) {
        saveFailure_ = std::strerror(errno);
        return false;
    }
    // The sections just written stay in memory, so that a refresh of the
    // saved list reads them instead of emptying it.
    state_ = msNone;
    return true;
}

TBWDirMpl* TBWDirMpl::AddVolume(const std::string& name, TBWDirectory* source)
{
    TBWDirMpl* root = ListRoot();
    if (root != this)
        return root->AddVolume(name, source);
    if (!source || !readProblem_.empty() || !IsValidListName(name) || FindChild(name))
        return nullptr;
    auto* volume = static_cast<TBWDirMpl*>(AddSubDirTouch(name));
    volume->CopyTree(source);
    return volume;
}

void TBWDirMpl::SetStoredName(const std::string& stored)
{
    if (IsPathComponent(stored)) {
        SetName(stored);
        return;
    }
    SetName(EscapedComponent(stored));
    SetDisplayName(stored);
    storedName_ = stored;
}

std::string TBWDirMpl::StoredName() const
{
    return storedName_.value_or(Name());
}

TMplManager* TBWDirMpl::Manager()
{
    return ListRoot()->manager_;
}

bool TBWDirMpl::Readable()
{
    TBWDirMpl* root = ListRoot();
    return root->state_ == msLoaded || (root->state_ == msNone && root->listIO_ && root->listIO_->HasRecords());
}

std::int32_t TBWDirMpl::DepthInList()
{
    const TBWDirectory* root = ListRoot();
    std::int32_t depth = 0;
    for (const TBWDirectory* dir = this; dir != root; dir = dir->ParentDir())
        ++depth;
    return depth;
}

void TBWDirMpl::ReadFiles(TBWFileList& files)
{
    if (!Readable() || recordOffset_ < 0)
        return;
    for (const TMplFileRecord& record : ListIO().ReadFiles(recordOffset_))
        Fill(*files.AddFileTouch(record.name), record);
}

std::int32_t TBWDirMpl::WriteRecords(TMplIO& io, std::vector<TMplFileRecord>& scratch)
{
    RefreshIfNeeded();
    const std::vector<TBWDirMpl*> dirs = ItemsOf<TBWDirMpl>(*SubDirs());
    TBWSelChain* items = Files()->Items();
    Files()->RefreshIfNeeded();
    scratch.clear();
    for (TBWFile* file : ItemsOf<TBWFile>(*items))
        scratch.push_back(RecordOf(*file));
    recordOffset_ = io.WriteDir(StoredName(), static_cast<std::int32_t>(dirs.size()), scratch);
    std::vector<std::int32_t> childOffsets;
    childOffsets.reserve(dirs.size());
    for (TBWDirMpl* dir : dirs)
        childOffsets.push_back(dir->WriteRecords(io, scratch));
    io.WriteChildOffsets(recordOffset_, childOffsets);
    return recordOffset_;
}

std::string TBWDirMpl::FolderOfManager()
{
    TMplManager* manager = Manager();
    return manager ? manager->Folder() : MplManager().Folder();
}

// ------------------------------------------------------------ TBWFileListMpl

BW_IMPLEMENT_CLASS(TBWFileListMpl, TBWFileList)

TBWFileListMpl::TBWFileListMpl(TBWObject* owner) : TBWFileList(owner)
{
    SetFileClass(TBWMp3File::StaticClass());
}

void TBWFileListMpl::LoadFiles()
{
    if (auto* dir = dynamic_cast<TBWDirMpl*>(Directory()))
        dir->ReadFiles(*this);
}

void TBWFileListMpl::Refresh()
{
    auto* dir = dynamic_cast<TBWDirMpl*>(Directory());
    const TMplState state = dir ? dir->State() : msNone;
    if (state == msNone || state == msLoaded)
        TBWFileList::Refresh();
}

// --------------------------------------------------------------- TMplManager

BW_IMPLEMENT_CLASS(TMplManager, TBWChain)

TMplManager::TMplManager(TBWObject* owner) : TBWChain(owner)
{
    SetItemClass(TBWDirMpl::StaticClass());
}

TMplManager::~TMplManager()
{
    // Nothing is read again at exit: the lists go right after.
    SaveModified(nullptr);
    OnListChanged = nullptr;
    Clear();
}

void TMplManager::SetFolder(const std::string& path)
{
    folder_ = AddTrailingBackslash(path);
    CreateDirectoryPath(folder_);
}

void TMplManager::Reload()
{
    ReloadKeeping({});
}

void TMplManager::ReloadKeeping(const std::vector<TBWDirMpl*>& kept)
{
    auto isKept = [&kept](TBWDirMpl* list) { return std::find(kept.begin(), kept.end(), list) != kept.end(); };
    for (TBWDirMpl* list : Lists()) {
        if (isKept(list))
            continue;
        Remove(list);
        Retire(list);
    }
    if (folder_.empty())
        return;
    for (const std::string& name : ListFilesIn(folder_)) {
        const std::string listName = WithoutExtension(name);
        if (std::any_of(kept.begin(), kept.end(),
                        [&listName](TBWDirMpl* list) { return SameTextAscii(list->ListName(), listName); }))
            continue;
        TBWDirMpl* list = MakeList();
        list->SetListName(name);
        Add(list);
    }
}

TBWDirMpl* TMplManager::FindList(const std::string& name)
{
    return ListNamed(WithoutExtension(StripTrailingBackslash(name)));
}

TBWDirMpl* TMplManager::NewList(const std::string& name, bool unique)
{
    const std::string base = WithoutExtension(name);
    if (!IsValidListName(base))
        return nullptr;
    std::string chosen = base;
    if (ListNamed(base)) {
        if (!unique)
            return nullptr;
        // The numbered names keep every dot: they are taken as they are.
        for (std::int64_t number = 0; ListNamed(chosen = base + std::to_string(number)); ++number) {
        }
    }
    TBWDirMpl* list = MakeList();
    list->NameList(chosen);
    list->SetState(msModified);
    Add(list);
    return list;
}

void TMplManager::DeleteList(TBWDirMpl* list)
{
    if (!list || IndexOf(list) < 0)
        return;
    Remove(list);
    // Unlinking needs write access to the folder only, whatever the
    // file's own permissions.
    std::error_code ignored;
    std::filesystem::remove(list->FileName(), ignored);
    Retire(list);
}

bool TMplManager::SaveAll()
{
    std::vector<TBWDirMpl*> unsaved;
    SaveModified(&unsaved);
    ReloadKeeping(unsaved);
    return unsaved.empty();
}

void TMplManager::SaveModified(std::vector<TBWDirMpl*>* unsaved)
{
    for (TBWDirMpl* list : Lists())
        if (list->State() == msModified && !list->Save() && unsaved)
            unsaved->push_back(list);
}

bool TMplManager::IsModified()
{
    const std::vector<TBWDirMpl*> lists = Lists();
    return std::any_of(lists.begin(), lists.end(), [](TBWDirMpl* list) { return list->State() == msModified; });
}

std::int32_t TMplManager::SelectedCount()
{
    std::int32_t count = 0;
    for (TBWDirMpl* list : Lists())
        count += list->SelectedCount();
    return count;
}

void TMplManager::ClearSelections()
{
    for (TBWDirMpl* list : Lists())
        list->ClearSelections();
}

void TMplManager::DoDirChanged(TBWDirectory* dir, TBWChangeKind kind)
{
    if (OnListChanged)
        OnListChanged(dir, kind);
}

void TMplManager::FreeRetiredLists()
{
    for (TBWDirMpl* list : retired_)
        delete list;
    retired_.clear();
}

TBWDirMpl* TMplManager::FirstList()
{
    return dynamic_cast<TBWDirMpl*>(First());
}

TBWDirMpl* TMplManager::NextList()
{
    return dynamic_cast<TBWDirMpl*>(Next());
}

TBWDirMpl* TMplManager::CurrentList() const
{
    return dynamic_cast<TBWDirMpl*>(GetCurrent());
}

std::vector<TBWDirMpl*> TMplManager::Lists() const
{
    return ItemsOf<TBWDirMpl>(*this);
}

void TMplManager::DoNodeEvent(TBWStructNode* node, std::int32_t code)
{
    // Only these codes look at the item: a node detached earlier may hold a
    // list that FreeRetiredLists has freed since.
    if (code == necAttaching && !node->Attached())
        DoDirChanged(static_cast<TBWDirMpl*>(node->Item()), ckDirAdded);
    else if (code == necDetaching)
        DoDirChanged(static_cast<TBWDirMpl*>(node->Item()), ckDirRemoved);
    TBWChain::DoNodeEvent(node, code);
}

TBWDirMpl* TMplManager::MakeList()
{
    auto* list = new TBWDirMpl(&listKeeper_);
    list->manager_ = this;
    return list;
}

TBWDirMpl* TMplManager::ListNamed(const std::string& listName) const
{
    for (TBWDirMpl* list : Lists())
        if (SameTextAscii(list->ListName(), listName))
            return list;
    return nullptr;
}

void TMplManager::Retire(TBWDirMpl* list)
{
    if (list->manager_ == this && std::find(retired_.begin(), retired_.end(), list) == retired_.end())
        retired_.push_back(list);
}

TMplManager& MplManager()
{
    static TMplManager manager;
    return manager;
}
