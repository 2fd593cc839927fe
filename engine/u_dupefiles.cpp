#include "engine/u_dupefiles.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <optional>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "base/platform/u_wholefile.h"
#include "base/u_bwfunc.h"
#include "engine/u_cvprofile.h"
#include "engine/u_scanrecord.h"
#include "engine/u_workthreads.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsmp3.h"

namespace {

// Up to this many links a walk is cheaper than hashing.
constexpr std::size_t kLinearLinks = 16;

// The most files whose links are asked for at a time.
constexpr std::size_t kMostAsked = 1024;

struct TSortKeySet {
    std::int32_t set;
    TBWKey key;
};
constexpr TSortKeySet kSortKeySets[] = {
    {TBWDupeFileList::kNameSet, fkName},         {TBWDupeFileList::kIdentitySet, kDupeIdentityKey},
    {TBWDupeFileList::kPathSet, fkDirPath},      {TBWDupeFileList::kSizeSet, fkSize},
    {TBWDupeFileList::kDurationSet, fkDuration}, {TBWDupeFileList::kBitrateSet, fkBitrate},
    {TBWDupeFileList::kTitleSet, fkTitle},       {TBWDupeFileList::kArtistSet, fkArtist},
    {TBWDupeFileList::kAlbumSet, fkAlbum},       {TBWDupeFileList::kCommentSet, fkComment},
    {TBWDupeFileList::kGenreSet, fkGenre},
};

constexpr std::string_view kSingleModeMark = "!";
constexpr std::string_view kLineEnd = "\r\n";

template <class T>
std::int32_t Order(const T& a, const T& b)
{
    return (a > b) - (a < b);
}

std::int32_t CompareIdentities(const TBWFile* a, const TBWFile* b)
{
    if (!a || !b)
        return Order(a != nullptr, b != nullptr);
    return Order(a->Serial(), b->Serial());
}

// Entries whose files are read on a thread of their own: the results of a
// scan of a million names hold some hundred thousand entries, and a short
// list is read by the calling thread, which spares a thread its memory.
constexpr std::size_t kEntriesPerThread = 8192;

// The places of files in identity order, as CompareIdentities orders them;
// files mostly come in that order already.
std::vector<std::uint32_t> IdentityOrder(const std::vector<TBWFile*>& files)
{
    std::vector<std::pair<bool, std::uint64_t>> identities(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        identities[i] = {files[i] != nullptr, files[i] ? files[i]->Serial() : 0};
    std::vector<std::uint32_t> order(files.size());
    std::iota(order.begin(), order.end(), 0u);
    if (!std::is_sorted(identities.begin(), identities.end()))
        std::sort(order.begin(), order.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return identities[a] < identities[b]; });
    return order;
}

// A file's value on one sort key, read once. Missing files come first,
// then files by the kind of the key (should a list ever mix classes that
// disagree on it), then by value, then by identity. Texts compared without
// regard to case are kept folded, and the first eight bytes of a text are
// kept as a number too, so that most comparisons of a sort never reach
// the texts themselves.
struct TKeyValue {
    bool present = false;
    TBWKeyKind kind = kkInteger;
    std::uint64_t leading = 0;    // the integer, or the text's first bytes
    std::uint64_t following = 0;  // the text's next bytes
    std::string text;
    std::uint64_t serial = 0;
};

// Zeros pad a short text, which keeps it before any longer text it opens.
std::uint64_t EightBytes(std::string_view text, std::size_t from)
{
    std::uint64_t value = 0;
    for (std::size_t i = from; i < from + sizeof value; ++i)
        value = value << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return value;
}

// Folds as CompareTexts does when it ignores case.
void FoldToUpper(std::string& text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

TKeyValue ReadKey(const TBWFile* file, TBWKey key)
{
    TKeyValue value;
    if (!file)
        return value;
    value.present = true;
    value.serial = file->Serial();
    value.kind = file->KeyKind(key);
    if (value.kind == kkInteger) {
        // Biased so that unsigned order is the integers' order.
        value.leading = static_cast<std::uint64_t>(file->KeyInt(key)) ^ (std::uint64_t{1} << 63);
        return value;
    }
    value.text = file->KeyText(key);
    if (value.kind == kkTextNoCase)
        FoldToUpper(value.text);
    value.leading = EightBytes(value.text, 0);
    value.following = EightBytes(value.text, sizeof value.leading);
    return value;
}

std::int32_t CompareKeyValues(const TKeyValue& a, const TKeyValue& b)
{
    if (a.present != b.present || !a.present)
        return Order(a.present, b.present);
    if (a.kind != b.kind)
        return Order(a.kind, b.kind);
    if (a.leading != b.leading || a.following != b.following)
        return a.leading != b.leading ? Order(a.leading, b.leading) : Order(a.following, b.following);
    if (const std::int32_t result = CompareTexts(a.text, b.text, false))
        return result;
    return Order(a.serial, b.serial);
}

// An entry's place in the grouped order on one key. Groups go by their
// references' files; within a group the reference leads the walk, so in
// stored order it comes first ascending and last descending, as the walk
// of a descending list is mirrored; duplicates go by their own files.
struct TGroupedPlace {
    TKeyValue group;
    bool follower;
    TKeyValue own;  // only for duplicates
};

TGroupedPlace PlaceOf(const TBWDupeFile& entry, TBWKey key, bool descending)
{
    const bool duplicate = entry.State() == dsDuplicate && entry.Reference();
    const TBWDupeFile& leader = duplicate ? *entry.Reference() : entry;
    TGroupedPlace place{ReadKey(leader.File(), key), duplicate != descending, {}};
    if (duplicate)
        place.own = ReadKey(entry.File(), key);
    return place;
}

// Where a place's order begins: its group's presence and kind as a rank,
// then the first bytes, as CompareKeyValues looks at them first.
struct TPlaceHead {
    std::uint32_t rank;
    std::uint32_t at;  // in the places sorted
    std::uint64_t leading;
    std::uint64_t following;

    auto Head() const { return std::tie(rank, leading, following); }
};

TPlaceHead HeadOf(const TKeyValue& group, std::uint32_t at)
{
    return {group.present ? 1u + static_cast<std::uint32_t>(group.kind) : 0u, at, group.leading, group.following};
}

std::int32_t CompareGroupedPlaces(const TGroupedPlace& a, const TGroupedPlace& b)
{
    if (const std::int32_t result = CompareKeyValues(a.group, b.group))
        return result;
    if (a.follower != b.follower)
        return Order(a.follower, b.follower);
    return CompareKeyValues(a.own, b.own);
}

std::int64_t FileValue(const TBWFile* file, TBWKey key)
{
    return file ? file->KeyInt(key) : 0;
}

std::string ExtensionOf(const TBWFile* file)
{
    return file ? file->ExtensionKey() : std::string();
}

// A file with the role of its folder, as the choice of the file to keep sees it.
struct TRoledFile {
    const TBWFile* file;
    std::int32_t dirType;
};

// Above 0 when a is the better one to keep, below 0 when b is.
std::int64_t PriorityOrder(const TRoledFile& a, const TRoledFile& b, const TBWCVProfile& profile,
                           const TBWExtensionOrder& extensions)
{
    std::int64_t result = DirTypeRank(a.dirType) - DirTypeRank(b.dirType);
    for (const char criterion : profile.PriorityList()) {
        if (result != 0)
            break;
        switch (criterion) {
        case 'B': result = FileValue(a.file, fkBitrate) - FileValue(b.file, fkBitrate); break;
        case 'D': result = FileValue(a.file, fkDuration) - FileValue(b.file, fkDuration); break;
        case 'E': result = extensions.Rank(ExtensionOf(b.file)) - extensions.Rank(ExtensionOf(a.file)); break;
        case 'S': result = FileValue(a.file, fkSize) - FileValue(b.file, fkSize); break;
        }
    }
    return result;
}

// A path the result file can hold: ";" ends a path there, a line break a line.
bool Writable(const std::string& path)
{
    return path.find_first_of(";\r\n") == std::string::npos;
}

std::string_view WithoutCarriageReturn(std::string_view line)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

// Empty pieces between two ";" count; a final ";" adds none.

TBWFile* FileAt(TBWDirectory* root, std::string_view path)
{
    return root && !path.empty() ? root->FindFileByPath(std::string(path)) : nullptr;
}

// A list of links holds an entry: through its hash table when it keeps one.
template <class Lookup>
bool Holds(const std::vector<TBWDupeFile*>& entries, const Lookup& lookup, const TBWDupeFile* entry)
{
    if (!lookup.Empty())
        return lookup.Find(entry) != nullptr;
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

// Appends an entry the list does not hold; past a short walk the list keeps
// a hash table beside it.
template <class Lookup>
void Append(std::vector<TBWDupeFile*>& entries, Lookup& lookup, TBWDupeFile* entry)
{
    entries.push_back(entry);
    if (!lookup.Empty())
        lookup.Insert(entry);
    else if (entries.size() > kLinearLinks)
        for (TBWDupeFile* listed : entries)
            lookup.Insert(listed);
}

}  // namespace

// ------------------------------------------------------------- TBWDupeLinks

class TBWDupeLinks::TShared {
public:
    // Each of given once, in the order first given; none left out.
    explicit TShared(const std::vector<TBWDupeFile*>& given)
    {
        for (TBWDupeFile* entry : given)
            if (entry && !Contains(entry))
                Append(entries, lookup, entry);
    }

    bool Contains(const TBWDupeFile* entry) const { return Holds(entries, lookup, entry); }

    std::vector<TBWDupeFile*> entries;
    TBWPointerTable<TBWDupeFile, TItself> lookup;
};

const std::vector<TBWDupeFile*>& TBWDupeLinks::Listed() const
{
    return shared_ ? shared_->entries : entries_;
}

bool TBWDupeLinks::Contains(const TBWDupeFile* entry) const
{
    if (shared_)
        return entry != self_ && shared_->Contains(entry);
    return Holds(entries_, lookup_, entry);
}

void TBWDupeLinks::Add(TBWDupeFile* entry)
{
    if (Contains(entry))
        return;
    Own();
    Append(entries_, lookup_, entry);
}

void TBWDupeLinks::Remove(const TBWDupeFile* entry)
{
    if (!Contains(entry))
        return;
    Own();
    entries_.erase(std::find(entries_.begin(), entries_.end(), entry));
    lookup_.Erase(entry);
}

void TBWDupeLinks::Clear()
{
    shared_.reset();
    self_ = nullptr;
    entries_.clear();
    lookup_.Clear();
}

void TBWDupeLinks::Share(const std::shared_ptr<const TShared>& shared, TBWDupeFile* self, std::size_t selfAt)
{
    if (!Empty()) {
        for (TBWDupeFile* entry : shared->entries)
            if (entry != self)
                Add(entry);
        return;
    }
    Clear();
    shared_ = shared;
    self_ = self;
    selfAt_ = selfAt;
}

std::int32_t TBWDupeLinks::Count() const
{
    if (shared_)
        return static_cast<std::int32_t>(shared_->entries.size() - (selfAt_ < shared_->entries.size()));
    return static_cast<std::int32_t>(entries_.size());
}

TBWDupeFile* TBWDupeLinks::operator[](std::int32_t index) const
{
    auto at = static_cast<std::size_t>(index);
    if (shared_ && at >= selfAt_)
        ++at;
    return Listed()[at];
}

TBWDupeLinks::const_iterator TBWDupeLinks::begin() const
{
    return const_iterator(Listed().begin(), Listed().end(), shared_ ? self_ : nullptr);
}

TBWDupeLinks::const_iterator TBWDupeLinks::end() const
{
    return const_iterator(Listed().end(), Listed().end(), nullptr);
}

void TBWDupeLinks::Own()
{
    if (!shared_)
        return;
    entries_.clear();
    entries_.reserve(shared_->entries.size());
    for (TBWDupeFile* entry : shared_->entries)
        if (entry != self_)
            entries_.push_back(entry);
    shared_.reset();
    self_ = nullptr;
    RebuildLookup();
}

void TBWDupeLinks::RebuildLookup()
{
    lookup_.Clear();
    if (entries_.size() > kLinearLinks)
        for (TBWDupeFile* entry : entries_)
            lookup_.Insert(entry);
}

// -------------------------------------------------------------- TBWDupeFile

BW_IMPLEMENT_CLASS(TBWDupeFile, TBWComparable)

TBWDupeFile::TBWDupeFile(TBWObject* owner)
    : TBWComparable(owner), list_(dynamic_cast<TBWDupeFileList*>(owner))
{
}

std::int32_t TBWDupeFile::Compare(const TBWComparable* other, TBWKey key) const
{
    const auto* that = dynamic_cast<const TBWDupeFile*>(other);
    if (!that || that == this)
        return 0;
    if (key == kDefaultKey)
        key = DefaultKey();
    if (key == kDupeIdentityKey)
        return CompareIdentities(file_, that->file_);
    const bool descending = list_ && list_->Descending();
    return CompareGroupedPlaces(PlaceOf(*this, key, descending), PlaceOf(*that, key, descending));
}

void TBWDupeFile::Assign(const TBWComparable& source)
{
    const auto* entry = dynamic_cast<const TBWDupeFile*>(&source);
    if (!entry) {
        TBWComparable::Assign(source);
        return;
    }
    file_ = entry->file_;
    state_ = entry->state_;
    reference_ = entry->reference_;
    for (TBWDupeFile* linked : entry->links_)
        Link(linked);
}

void TBWDupeFile::Link(TBWDupeFile* other)
{
    if (other && other != this)
        links_.Add(other);
}

std::int64_t TBWDupeFile::ComparePriority(const TBWDupeFile& other) const
{
    if (list_)
        return ComparePriority(other, list_->Profile(), list_->ExtensionOrder());
    const TBWCVProfile& profile = CurrentProfile();
    return ComparePriority(other, profile, TBWExtensionOrder(profile.ExtPri));
}

std::int64_t TBWDupeFile::ComparePriority(const TBWDupeFile& other, const TBWCVProfile& profile,
                                          const TBWExtensionOrder& extensions) const
{
    return PriorityOrder({file_, dirType_}, {other.file_, other.dirType_}, profile, extensions);
}

TBWDupeFile* TBWDupeFile::BestLinked(std::initializer_list<TBWDupeState> states) const
{
    TBWDupeFile* best = nullptr;
    for (TBWDupeFile* candidate : links_) {
        if (std::find(states.begin(), states.end(), candidate->state_) == states.end())
            continue;
        if (!best || best->ComparePriority(*candidate) < 0)
            best = candidate;
    }
    return best;
}

void TBWDupeFile::SetState(TBWDupeState newState)
{
    if (newState == state_)
        return;
    if (list_)
        list_->UpdateCounters(state_, newState);
    state_ = newState;
    if (newState == dsReference)
        ClaimLinks();
}

void TBWDupeFile::ClaimLinks()
{
    links_.KeepIf([this](TBWDupeFile* linked) {
        if (linked->state_ != dsUndecided || linked->dirType_ == dtReference)
            return false;
        linked->SetState(dsDuplicate);
        linked->reference_ = this;
        return true;
    });
}

void TBWDupeFile::Unlink()
{
    if (reference_) {
        reference_->links_.Remove(this);
        reference_ = nullptr;
    }
    if (state_ == dsReference)
        for (TBWDupeFile* duplicate : links_)
            duplicate->reference_ = nullptr;
    SetState(dsUndecided);
}

bool TBWDupeFile::SwitchWithReference()
{
    TBWDupeFile* oldReference = reference_;
    if (!oldReference)
        return false;
    links_.Clear();
    for (TBWDupeFile* duplicate : oldReference->links_)
        if (duplicate != this)
            links_.Add(duplicate);
    links_.Add(oldReference);
    for (TBWDupeFile* duplicate : links_)
        duplicate->reference_ = this;
    reference_ = nullptr;
    // One entry goes from duplicate to reference and one back, so the
    // counters stay right without SetState, which would claim links.
    oldReference->state_ = dsDuplicate;
    oldReference->links_.Clear();
    state_ = dsReference;
    if (list_)
        list_->GroupChanged();
    return true;
}

// ---------------------------------------------------------- TBWDupeFileList

const void* TBWDupeFileList::TFileOf::operator()(const TBWDupeFile* entry) const
{
    return entry->file_;
}

BW_IMPLEMENT_CLASS(TBWDupeFileList, TBWSelChain)

TBWDupeFileList::TBWDupeFileList(TBWObject* owner) : TBWSelChain(owner), profile_(&CurrentProfile())
{
    SetItemClass(TBWDupeFile::StaticClass());
    SetValueCount(1);
    for (const TSortKeySet& keySet : kSortKeySets)
        SetSortKeys(keySet.set, {keySet.key});
    SetActiveKeys(kIdentitySet);
}

void TBWDupeFileList::SetProfile(const TBWCVProfile& profile)
{
    profile_ = &profile;
}

void TBWDupeFileList::SetExtensionOrder(const std::string& maskText)
{
    extensionOrderGiven_ = !maskText.empty();
    extensionOrder_.SetText(maskText);
}

const TBWExtensionOrder& TBWDupeFileList::ExtensionOrder() const
{
    // The profile may change while no order is given (a profile loaded
    // after the list was made); its list is read as it stands.
    if (!extensionOrderGiven_ && extensionOrder_.Text() != profile_->ExtPri)
        extensionOrder_.SetText(profile_->ExtPri);
    return extensionOrder_;
}

TBWDupeFile* TBWDupeFileList::Entry(TBWFile* file)
{
    if (TBWDupeFile* found = entries_.Find(file))
        return found;
    return NewEntry(file, file ? profile_->GetDirPriority(file->DirPath()) : dtPriority3);
}

TBWDupeFile* TBWDupeFileList::NewEntry(TBWFile* file, std::int32_t dirType)
{
    auto* entry = new TBWDupeFile(this);
    entry->file_ = file;
    entry->dirType_ = dirType;
    Add(entry);
    return entry;
}

void TBWDupeFileList::AddEntries(std::vector<TBWFile*> files)
{
    std::erase_if(files, [this](const TBWFile* file) { return !file || entries_.Find(file); });
    std::sort(files.begin(), files.end(), [](const TBWFile* a, const TBWFile* b) { return a->Serial() < b->Serial(); });
    files.erase(std::unique(files.begin(), files.end()), files.end());
    const TBWDirectory* directory = nullptr;
    std::int32_t dirType = dtPriority3;
    for (TBWFile* file : files) {
        // Files of one folder mostly follow each other in identity order.
        if (!directory || file->Directory() != directory) {
            directory = file->Directory();
            dirType = profile_->GetDirPriority(file->DirPath());
        }
        NewEntry(file, dirType);
    }
}

void TBWDupeFileList::AddPair(TBWFile* a, TBWFile* b)
{
    if (!singleMode_ && (!a || !b || a == b))
        return;
    TBWDupeFile* first = a ? Entry(a) : nullptr;
    TBWDupeFile* second = b ? Entry(b) : nullptr;
    if (first && second && first != second) {
        first->Link(second);
        second->Link(first);
    }
}

void TBWDupeFileList::LinkAsClass(const std::vector<TBWFile*>& members, const std::vector<TBWFile*>& linked)
{
    std::vector<TBWDupeFile*> given;
    given.reserve(linked.size());
    for (TBWFile* file : linked)
        given.push_back(file ? Entry(file) : nullptr);
    const auto shared = std::make_shared<const TBWDupeLinks::TShared>(given);
    const std::vector<TBWDupeFile*>& entries = shared->entries;
    // Most classes are one file: a walk finds its place sooner than a hash
    // table of places is made.
    std::unordered_map<const TBWDupeFile*, std::size_t> placeOf;
    if (members.size() > 1 && entries.size() > kLinearLinks)
        for (std::size_t at = 0; at < entries.size(); ++at)
            placeOf.emplace(entries[at], at);
    const auto placeIn = [&](const TBWDupeFile* entry) {
        if (placeOf.empty())
            return static_cast<std::size_t>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
        const auto at = placeOf.find(entry);
        return at == placeOf.end() ? entries.size() : at->second;
    };
    for (TBWFile* file : members)
        if (file) {
            TBWDupeFile* entry = Entry(file);
            entry->links_.Share(shared, entry, placeIn(entry));
        }
}

std::vector<TBWDupeFile*> TBWDupeFileList::EntriesInOrder()
{
    std::vector<TBWDupeFile*> entries;
    entries.reserve(static_cast<std::size_t>(Count()));
    for (TBWComparable* item = First(); !Eof(); item = Next())
        if (auto* entry = dynamic_cast<TBWDupeFile*>(item))
            entries.push_back(entry);
    return entries;
}

void TBWDupeFileList::ResolveReferences()
{
    const std::vector<TBWDupeFile*> entries = EntriesInOrder();
    if (singleMode_) {
        for (TBWDupeFile* entry : entries)
            entry->SetState(dsSingle);
    } else {
        for (TBWDupeFile* entry : entries)
            if (entry->dirType_ == dtReference)
                entry->SetState(dsReference);
        for (TBWDupeFile* entry : entries) {
            if (entry->state_ != dsUndecided)
                continue;
            const TBWDupeFile* best = entry->BestLinked({dsUndecided});
            if (best && entry->ComparePriority(*best) >= 0)
                entry->SetState(dsReference);
        }
        Purge();
        // Nothing reads a duplicate's links again: a switch takes its
        // reference's, and a duplicate leaves only its reference's.
        for (TBWComparable* item = First(); !Eof(); item = Next())
            if (auto* entry = dynamic_cast<TBWDupeFile*>(item); entry && entry->state_ == dsDuplicate)
                entry->links_.Clear();
    }
    SortBy(kNameSet);
    RecalcTotals();
}

// As the links kept for every pair would be resolved: the files of the
// reference folders first, each claiming its linked files outside them;
// then every file left, in the list's (identity) order, becomes the
// reference of the files linked to it that are in no group yet, unless one
// of them is better. A file once in a group, and a file of a reference
// folder, is never claimed again, so links to them need not be found.
void TBWDupeFileList::ResolveReferences(TBWLinkFinder& finder)
{
    const std::vector<TBWFile*>& files = finder.Files();
    const std::vector<std::uint32_t> order = IdentityOrder(files);
    // The files of a folder mostly follow each other.
    std::vector<std::int32_t> roles(files.size());
    std::unordered_map<const TBWDirectory*, std::int32_t> roleOf;
    const TBWDirectory* directory = nullptr;
    std::int32_t role = dtPriority3;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i == 0 || files[i]->Directory() != directory) {
            directory = files[i]->Directory();
            const auto [known, added] = roleOf.try_emplace(directory, dtPriority3);
            if (added)
                known->second = profile_->GetDirPriority(files[i]->DirPath());
            role = known->second;
        }
        roles[i] = role;
    }
    std::vector<bool> grouped(files.size());
    std::vector<std::uint32_t> references, others;
    for (std::uint32_t file : order)
        (roles[file] == dtReference ? references : others).push_back(file);
    for (std::uint32_t file : references)
        grouped[file] = true;
    std::vector<std::vector<std::uint32_t>> groups;
    ResolveTurns(finder, references, false, roles, grouped, groups);
    ResolveTurns(finder, others, true, roles, grouped, groups);
    // The entries go into the list in identity order, each to its end.
    std::vector<bool> inGroup(files.size());
    for (const std::vector<std::uint32_t>& members : groups)
        for (std::uint32_t member : members)
            inGroup[member] = true;
    std::vector<TBWDupeFile*> entryOf(files.size());
    for (std::uint32_t file : order)
        if (inGroup[file])
            entryOf[file] = NewEntry(files[file], roles[file]);
    std::vector<TBWDupeFile*> group;
    for (const std::vector<std::uint32_t>& members : groups) {
        group.clear();
        for (std::uint32_t member : members)
            group.push_back(entryOf[member]);
        PlaceGroup(group, true);
    }
    SortBy(kNameSet);
    RecalcTotals();
}

void TBWDupeFileList::ResolveTurns(TBWLinkFinder& finder, const std::vector<std::uint32_t>& turns, bool mustBeBest,
                                   const std::vector<std::int32_t>& roles, std::vector<bool>& grouped,
                                   std::vector<std::vector<std::uint32_t>>& groups) const
{
    const std::vector<TBWFile*>& files = finder.Files();
    const TBWLinkFinder::TOpen open = [&grouped](std::uint32_t file) { return !grouped[file]; };
    const auto roled = [&](std::uint32_t file) { return TRoledFile{files[file], roles[file]}; };
    std::vector<std::uint32_t> asked, links;
    std::vector<std::vector<std::uint32_t>> found;
    // The links of the next files are found together: more of them while
    // few are grouped before their turn, whose links were found for nothing.
    const std::size_t fewest = std::max<std::size_t>(finder.Batch(), 1);
    std::size_t batch = fewest;
    for (std::size_t next = 0; next < turns.size();) {
        asked.clear();
        for (; next < turns.size() && asked.size() < batch; ++next)
            if (!mustBeBest || !grouped[turns[next]])
                asked.push_back(turns[next]);
        found.assign(asked.size(), {});
        finder.LinksOf(asked, open, found);
        std::size_t groupedBefore = 0;
        for (std::size_t i = 0; i < asked.size(); ++i) {
            const std::uint32_t file = asked[i];
            if (mustBeBest && grouped[file]) {
                ++groupedBefore;
                continue;
            }
            links.clear();
            std::copy_if(found[i].begin(), found[i].end(), std::back_inserter(links), open);
            if (links.empty())
                continue;
            if (mustBeBest) {
                // Among equals the first linked is the best.
                std::uint32_t best = links.front();
                for (std::uint32_t linked : links)
                    if (PriorityOrder(roled(best), roled(linked), *profile_, ExtensionOrder()) < 0)
                        best = linked;
                if (PriorityOrder(roled(file), roled(best), *profile_, ExtensionOrder()) < 0)
                    continue;
            }
            std::vector<std::uint32_t>& group = groups.emplace_back(1, file);
            group.insert(group.end(), links.begin(), links.end());
            for (std::uint32_t member : group)
                grouped[member] = true;
        }
        batch = groupedBefore * 8 <= asked.size() ? std::min(2 * batch, std::max(fewest, kMostAsked))
                                                 : std::max(batch / 2, fewest);
    }
}

void TBWDupeFileList::Purge()
{
    for (TBWComparable* item = First(); !Eof();) {
        const auto* entry = dynamic_cast<TBWDupeFile*>(item);
        const bool groupless = entry && (entry->state_ == dsUndecided ||
                                         (entry->state_ == dsReference && entry->links_.Empty()));
        if (groupless) {
            DeleteCurrent();
            item = GetCurrent();
        } else {
            item = Next();
        }
    }
}

void TBWDupeFileList::RemoveSelected()
{
    for (TBWComparable* item = First(); !Eof();) {
        if (IsSelected(item)) {
            DeleteCurrent();
            item = GetCurrent();
        } else {
            item = Next();
        }
    }
    Purge();
}

void TBWDupeFileList::UpdateCounters(TBWDupeState oldState, TBWDupeState newState)
{
    const auto counts = [](TBWDupeState state) { return state == dsDuplicate || state == dsSingle; };
    dupeCount_ += counts(newState) - counts(oldState);
    refCount_ += (newState == dsReference) - (oldState == dsReference);
}

void TBWDupeFileList::SortBy(std::int32_t keySet)
{
    if (ActiveKeySet() == keySet)
        Sort();
    else
        SetActiveKeys(keySet);
}

void TBWDupeFileList::GroupChanged()
{
    if (HasActiveKeys())
        Sort();
    RecalcTotals();
}

bool TBWDupeFileList::SaveToFile(const std::string& fileName, std::vector<std::string>* leftOut)
{
    // The files of each line; their paths and words are read on every
    // processor where there are many, then written in order.
    std::vector<const TBWDupeFile*> members;
    std::vector<std::size_t> lineEnds;
    for (TBWDupeFile* entry : EntriesInOrder()) {
        if (entry->state_ != dsReference && entry->state_ != dsSingle)
            continue;
        const auto add = [&members](const TBWDupeFile* member) {
            if (member->file_)
                members.push_back(member);
        };
        add(entry);
        for (const TBWDupeFile* linked : entry->links_)
            add(linked);
        lineEnds.push_back(members.size());
    }
    struct TWritten {
        std::string path;
        std::optional<std::string> words;  // none where the path cannot be written
    };
    std::vector<TWritten> written(members.size());
    ForEachIndexOnThreads(members.size(), 0, [&](std::size_t at) {
        written[at].path = members[at]->file_->FullPath();
        if (Writable(written[at].path))
            written[at].words = TBWScanRecord::WordsOf(*members[at]->file_);
    }, kEntriesPerThread);
    std::vector<std::string> unwritable;
    std::string text;
    TBWScanRecord record;
    record.TakeSettings(*profile_);
    if (singleMode_)
        (text += kSingleModeMark) += kLineEnd;
    std::size_t lineStart = 0;
    for (const std::size_t lineEnd : lineEnds) {
        std::string line;
        for (std::size_t at = lineStart; at < lineEnd; ++at) {
            if (written[at].words) {
                (line += written[at].path) += ';';
                record.AddFile(members[at]->dirType_, std::move(*written[at].words));
            } else {
                unwritable.push_back(std::move(written[at].path));
            }
        }
        if (!line.empty())
            (text += line) += kLineEnd;
        lineStart = lineEnd;
    }
    if (leftOut)
        *leftOut = std::move(unwritable);
    if (!ReplaceWholeFile(fileName, text))
        return false;
    // Without its record the file still loads, with the references and
    // relevances chosen again.
    ReplaceWholeFile(ScanRecordFileName(fileName), record.Text(text));
    return true;
}

bool TBWDupeFileList::LoadFromFile(const std::string& fileName, TBWDirectory* root, TBWCVProfile* scanProfile,
                                   bool* asScanned)
{
    std::string text;
    if (!ReadWholeFile(fileName, text))
        return false;
    std::optional<TBWScanRecord> record;
    std::string recordText;
    if (scanProfile && ReadWholeFile(ScanRecordFileName(fileName), recordText))
        record = TBWScanRecord::Parse(recordText, text);
    Clear();
    // A list read back visits its entries in identity order, as a new one
    // does, whatever order it was sorted in before.
    SetActiveKeys(kIdentitySet);
    std::vector<std::string_view> lines = SplitLines(text);
    for (std::string_view& line : lines)
        line = WithoutCarriageReturn(line);
    singleMode_ = !lines.empty() && lines.front() == kSingleModeMark;
    const std::vector<std::vector<TBWFile*>> files = FilesOfLines(lines, root);
    std::size_t paths = 0;
    for (const std::vector<TBWFile*>& line : files)
        paths += line.size();
    if (record && record->Files().size() != paths)
        record.reset();
    if (asScanned)
        *asScanned = record.has_value();
    if (record) {
        record->GiveSettings(*scanProfile);
        SetProfile(*scanProfile);
        LoadAsScanned(files, *record);
    } else if (singleMode_) {
        LoadSingles(files);
    } else {
        LoadGroups(files);
    }
    return true;
}

// Per line its paths' files, none where the model holds no such file;
// after the "!" of single mode, one path per line with every ";" removed.
std::vector<std::vector<TBWFile*>> TBWDupeFileList::FilesOfLines(const std::vector<std::string_view>& lines,
                                                                 TBWDirectory* root) const
{
    std::vector<std::vector<TBWFile*>> files;
    files.reserve(lines.size());
    for (std::size_t i = singleMode_ ? 1 : 0; i < lines.size(); ++i) {
        std::vector<TBWFile*>& line = files.emplace_back();
        if (singleMode_) {
            std::string path(lines[i]);
            std::erase(path, ';');
            line.push_back(FileAt(root, path));
        } else {
            for (std::string_view path : CutAtSemicolons(lines[i]))
                line.push_back(FileAt(root, path));
        }
    }
    return files;
}

void TBWDupeFileList::LoadSingles(const std::vector<std::vector<TBWFile*>>& files)
{
    for (const std::vector<TBWFile*>& line : files)
        for (TBWFile* file : line)
            if (file)
                AddPair(file, nullptr);
    ResolveReferences();
}

void TBWDupeFileList::LoadGroups(const std::vector<std::vector<TBWFile*>>& files)
{
    // Every pair of a line is linked, not only the first path with the
    // others: the references are chosen anew, and a file that was a
    // duplicate beside the old reference must still find the new one.
    std::vector<TBWFile*> found;
    std::unordered_set<const TBWFile*> distinct;
    for (const std::vector<TBWFile*>& line : files) {
        found.clear();
        distinct.clear();
        for (TBWFile* file : line)
            if (file) {
                found.push_back(file);
                distinct.insert(file);
            }
        // A line of one file links nothing.
        if (distinct.size() > 1)
            LinkAsClass(found, found);
    }
    ResolveReferences();
}

// The groups as the scan (and the user's switches and removals after it)
// left them: the first path of a line is its reference. Every file gets the
// role and the words it had in the scan. A reference the model no longer
// holds gives way to the best of the rest, by the scan's criteria.
void TBWDupeFileList::LoadAsScanned(const std::vector<std::vector<TBWFile*>>& files, const TBWScanRecord& record)
{
    std::size_t recorded = 0;
    std::vector<TBWDupeFile*> group;
    for (const std::vector<TBWFile*>& line : files) {
        group.clear();
        for (TBWFile* file : line) {
            const TBWRecordedFile& kept = record.Files()[recorded++];
            // A file met before (only a hand-made file lists one twice) stays where it was first.
            if (!file || entries_.Find(file))
                continue;
            RestoreWords(*file, kept.words);
            TBWDupeFile* entry = NewEntry(file, kept.role);
            group.push_back(entry);
        }
        if (singleMode_) {
            for (TBWDupeFile* entry : group)
                entry->SetState(dsSingle);
        } else if (group.size() > 1) {
            PlaceGroup(group, !line.empty() && line.front() && group.front()->file_ == line.front());
        }
    }
    Purge();
    SortBy(kNameSet);
    RecalcTotals();
}

void TBWDupeFileList::PlaceGroup(std::vector<TBWDupeFile*>& group, bool referenceFirst)
{
    if (!referenceFirst) {
        // Among equals the first stays, as when references are chosen.
        const auto best = std::max_element(group.begin(), group.end(), [](const TBWDupeFile* a, const TBWDupeFile* b) {
            return a->ComparePriority(*b) < 0;
        });
        std::rotate(group.begin(), best, best + 1);
    }
    TBWDupeFile* reference = group.front();
    UpdateCounters(reference->state_, dsReference);
    reference->state_ = dsReference;
    for (auto duplicate = group.begin() + 1; duplicate != group.end(); ++duplicate) {
        UpdateCounters((*duplicate)->state_, dsDuplicate);
        (*duplicate)->state_ = dsDuplicate;
        (*duplicate)->reference_ = reference;
        reference->links_.Add(*duplicate);
    }
}

bool TBWDupeFileList::IsSelectable(TBWComparable* item) const
{
    const auto* entry = dynamic_cast<const TBWDupeFile*>(item);
    return entry && (entry->state_ == dsDuplicate || entry->state_ == dsSingle);
}

std::int64_t TBWDupeFileList::GetItemValue(TBWComparable* item, std::int32_t index) const
{
    if (OnGetValue)
        return TBWSelChain::GetItemValue(item, index);
    const auto* entry = dynamic_cast<const TBWDupeFile*>(item);
    return entry && entry->file_ ? entry->file_->Size() : 0;
}

void TBWDupeFileList::Sort()
{
    const TBWKeySet& keys = ActiveKeys();
    if (keys.size() == 1 && keys.front() != kDupeIdentityKey && keys.front() != kDefaultKey &&
        PlaceInGroupedOrder(keys.front()))
        DropOrderIndex();
    else
        TBWSelChain::Sort();
}

bool TBWDupeFileList::PlaceInGroupedOrder(TBWKey key)
{
    std::vector<TBWComparable*> items;
    items.reserve(static_cast<std::size_t>(StoredCount()));
    for (TBWChainNode* node = Head(); node; node = node->Next()) {
        if (!dynamic_cast<const TBWDupeFile*>(node->Item()))
            return false;
        items.push_back(node->Item());
    }
    // Keys the model holds are read on every processor.
    std::vector<TGroupedPlace> places(items.size());
    ForEachIndexOnThreads(items.size(), TBWFile::KeyHeldInMemory(key) ? 0u : 1u, [&](std::size_t at) {
        places[at] = PlaceOf(*static_cast<const TBWDupeFile*>(items[at]), key, Descending());
    }, kEntriesPerThread);
    // Small records are sorted, not the places: most comparisons end at
    // the group's leading bytes, and moving a place moves its texts.
    std::vector<TPlaceHead> order;
    order.reserve(places.size());
    for (std::size_t at = 0; at < places.size(); ++at)
        order.push_back(HeadOf(places[at].group, static_cast<std::uint32_t>(at)));
    std::stable_sort(order.begin(), order.end(), [&](const TPlaceHead& a, const TPlaceHead& b) {
        if (a.Head() != b.Head())
            return a.Head() < b.Head();
        return CompareGroupedPlaces(places[a.at], places[b.at]) < 0;
    });
    auto head = order.begin();
    for (TBWChainNode* node = Head(); node; node = node->Next())
        node->SetItem(items[(head++)->at]);
    return true;
}

void TBWDupeFileList::SetDescending(bool descending)
{
    TBWSelChain::SetDescending(descending);
    if (HasActiveKeys())
        Sort();
}

void TBWDupeFileList::Clear()
{
    // Every entry goes, so none needs untying from the others one by one.
    clearing_ = true;
    TBWSelChain::Clear();
    clearing_ = false;
    entries_.Clear();
    dupeCount_ = refCount_ = 0;
}

void TBWDupeFileList::NodeAdded(TBWStructNode* node)
{
    TBWSelChain::NodeAdded(node);
    if (auto* entry = dynamic_cast<TBWDupeFile*>(node->Item()))
        if (!entries_.Find(entry->file_))
            entries_.Insert(entry);
}

void TBWDupeFileList::NodeRemoved(TBWStructNode* node)
{
    TBWSelChain::NodeRemoved(node);
    auto* entry = dynamic_cast<TBWDupeFile*>(node->Item());
    if (!entry || clearing_)
        return;
    if (entries_.Find(entry->file_) == entry)
        entries_.Erase(entry->file_);
    entry->Unlink();
}
