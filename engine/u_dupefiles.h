// The result list of a scan: the engine links the files it found similar,
// the list chooses in each group the file that remains (the reference) and
// the ones that may go (the duplicates), or holds single files for negative
// and banlist results, and writes and reads the result file. The engine
// fills it; the results window shows it, switches and removes entries; the
// main window saves it and loads it back.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/u_bwselchain.h"
#include "base/u_pointertable.h"
#include "engine/u_extensionorder.h"

class TBWCVProfile;
class TBWDirectory;
class TBWDupeFileList;
class TBWFile;
class TBWScanRecord;

enum TBWDupeState : std::uint8_t {
    dsUndecided = 0,
    dsDuplicate = 1,
    dsReference = 2,
    dsSingle = 3,  // banlist and negative results
};

// Keys of a result entry are those of its file, plus the file's identity.
constexpr TBWKey kDupeIdentityKey = 20;

class TBWDupeFile;

// Finds the links of files while the references are chosen, so that a scan
// that links many files to many others never holds every link at once.
// Files are named by their number in Files().
class TBWLinkFinder {
public:
    // Whether a file may still be linked; once it may not, it never may again.
    using TOpen = std::function<bool(std::uint32_t file)>;

    // Every file that may have links, each once.
    virtual const std::vector<TBWFile*>& Files() const = 0;
    // For each of files (in the list's order), the open files linked to it,
    // in the order in which the walk over every pair links them; the files
    // named have their basic information read. Files not open then are
    // left out.
    virtual void LinksOf(std::span<const std::uint32_t> files, const TOpen& open,
                         std::vector<std::vector<std::uint32_t>>& links) = 0;
    // How many files LinksOf is best asked about at a time.
    virtual std::size_t Batch() const = 0;

protected:
    ~TBWLinkFinder() = default;
};

// The entries found similar to one entry, each at most once, in the order
// they were linked. A file similar to thousands of others must not make
// every new link a walk, so a long list keeps a hash table beside it. The
// entries of a class linked as one (files that are all alike and alike to
// the same others) share one list, which holds each of them: an entry's
// own view leaves itself out, and a change makes the view its own list.
class TBWDupeLinks {
public:
    // The list a class shares, each entry at most once.
    class TShared;
    friend class TShared;

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TBWDupeFile*;
        using difference_type = std::ptrdiff_t;
        using pointer = TBWDupeFile* const*;
        using reference = TBWDupeFile* const&;

        const_iterator(std::vector<TBWDupeFile*>::const_iterator at, std::vector<TBWDupeFile*>::const_iterator end,
                       const TBWDupeFile* left)
            : at_(at), end_(end), left_(left)
        {
            Skip();
        }
        reference operator*() const { return *at_; }
        const_iterator& operator++()
        {
            ++at_;
            Skip();
            return *this;
        }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }

    private:
        void Skip()
        {
            if (at_ != end_ && *at_ == left_)
                ++at_;
        }
        std::vector<TBWDupeFile*>::const_iterator at_, end_;
        const TBWDupeFile* left_;
    };

    bool Contains(const TBWDupeFile* entry) const;
    // Appends unless the entry is there already.
    void Add(TBWDupeFile* entry);
    void Remove(const TBWDupeFile* entry);
    void Clear();
    // Keeps, in order, the entries for which keep answers true; keep sees
    // each entry once, first to last.
    template <class Keep>
    void KeepIf(const Keep& keep);
    // Takes shared as the list of self, which these links belong to, when
    // it has no links yet; else appends its entries but self as Add does.
    // selfAt is the place of self in the shared list, or the list's size.
    void Share(const std::shared_ptr<const TShared>& shared, TBWDupeFile* self, std::size_t selfAt);

    bool Empty() const { return Count() == 0; }
    std::int32_t Count() const;
    TBWDupeFile* operator[](std::int32_t index) const;
    const_iterator begin() const;
    const_iterator end() const;

private:
    struct TItself {
        const void* operator()(const TBWDupeFile* entry) const { return entry; }
    };

    const std::vector<TBWDupeFile*>& Listed() const;
    // Turns a shared view into a list of its own.
    void Own();
    void RebuildLookup();

    std::vector<TBWDupeFile*> entries_;
    // Filled only while the list is longer than a short walk.
    TBWPointerTable<TBWDupeFile, TItself> lookup_;
    std::shared_ptr<const TShared> shared_;
    const TBWDupeFile* self_ = nullptr;  // left out of the shared list
    std::size_t selfAt_ = 0;             // its place there, or the list's size
};

// One result entry: a file with the role of its directory, its state, its
// reference when it is a duplicate, and its links.
class TBWDupeFile : public TBWComparable {
    BW_CLASS(TBWDupeFile)
public:
    // An entry owned by a result list reads that list's profile and order.
    explicit TBWDupeFile(TBWObject* owner = nullptr);

    TBWKey DefaultKey() const override { return kDupeIdentityKey; }
    // The grouped order: groups by their references' files on key, each
    // reference directly followed by its duplicates (also when the list
    // walks descending), duplicates ordered by their own files; equal files
    // by identity, so two entries are never equal. Key 20 alone is the
    // identity of the files.
    std::int32_t Compare(const TBWComparable* other, TBWKey key = kDefaultKey) const override;
    // Copies file, state and reference and adds the other's links.
    void Assign(const TBWComparable& source) override;

    std::int32_t DirType() const { return dirType_; }
    TBWFile* File() const { return file_; }
    TBWDupeState State() const { return state_; }
    TBWDupeFile* Reference() const { return reference_; }
    const TBWDupeLinks& Links() const { return links_; }

    void Link(TBWDupeFile* other);
    // Above 0 when this entry is the better one to keep, below 0 when other
    // is: the directory ranks first, then the profile's criteria in order
    // (S bigger, E earlier extension, D longer, B higher bitrate).
    std::int64_t ComparePriority(const TBWDupeFile& other) const;
    // The best linked entry in one of the states; among equals the first
    // linked. None when no link qualifies.
    TBWDupeFile* BestLinked(std::initializer_list<TBWDupeState> states) const;
    // Becoming a reference claims every undecided link outside the
    // reference directories as a duplicate and drops the other links.
    void SetState(TBWDupeState newState);
    // What leaving the list undoes: a duplicate leaves its reference's
    // links, a reference frees its duplicates; the state falls back to 0.
    void Unlink();
    // Makes this duplicate the reference of its group and the old reference
    // one of its duplicates. False, changing nothing, without a reference.
    bool SwitchWithReference();

private:
    friend class TBWDupeFileList;

    std::int64_t ComparePriority(const TBWDupeFile& other, const TBWCVProfile& profile,
                                 const TBWExtensionOrder& extensions) const;
    void ClaimLinks();

    TBWDupeFileList* list_;  // the owner when it is a result list
    std::int32_t dirType_ = 2;
    TBWFile* file_ = nullptr;  // not owned
    TBWDupeState state_ = dsUndecided;
    TBWDupeFile* reference_ = nullptr;
    TBWDupeLinks links_;
};

// The result list. Its one running total is the file size (KB for audio
// files); only duplicates and singles can be selected.
class TBWDupeFileList : public TBWSelChain {
    BW_CLASS(TBWDupeFileList)
public:
    // Sort-key sets, each of one key: the file's name, size, folder or an
    // audio value, or the entry's identity, which orders entries of equal
    // keys too.
    static constexpr std::int32_t kNameSet = 0;
    static constexpr std::int32_t kSizeSet = 1;
    static constexpr std::int32_t kPathSet = 2;
    static constexpr std::int32_t kBitrateSet = 10;
    static constexpr std::int32_t kDurationSet = 11;
    static constexpr std::int32_t kTitleSet = 12;
    static constexpr std::int32_t kArtistSet = 13;
    static constexpr std::int32_t kAlbumSet = 14;
    static constexpr std::int32_t kCommentSet = 15;
    static constexpr std::int32_t kGenreSet = 16;
    static constexpr std::int32_t kIdentitySet = 20;

    explicit TBWDupeFileList(TBWObject* owner = nullptr);

    // The profile whose roles and criteria order decide; the current
    // profile unless one is given. It must outlive the list.
    void SetProfile(const TBWCVProfile& profile);
    const TBWCVProfile& Profile() const { return *profile_; }
    // The music handler's mask text, which ranks the extensions. Until one
    // is given (or after an empty one) the profile's extension list does.
    void SetExtensionOrder(const std::string& maskText);
    const TBWExtensionOrder& ExtensionOrder() const;

    std::int32_t DupeCount() const { return dupeCount_; }
    std::int32_t RefCount() const { return refCount_; }
    bool SingleMode() const { return singleMode_; }
    void SetSingleMode(bool singleMode) { singleMode_ = singleMode; }

    // The entry of file, made and added when the list has none.
    TBWDupeFile* Entry(TBWFile* file);
    // Makes the entries of the files that have none at once, cheaper than
    // one by one: in identity order each goes to the end of the list.
    void AddEntries(std::vector<TBWFile*> files);
    // Links the entries of two different files both ways. Without both
    // files nothing happens, except in single mode, where a file alone
    // gets its entry.
    void AddPair(TBWFile* a, TBWFile* b);
    // Links the entry of each member to the entries of linked but its own,
    // in the order of linked, as if every pair had been added in the order
    // their links show; one list is kept for all the members that had no
    // links yet. The entries must exist.
    void LinkAsClass(const std::vector<TBWFile*>& members, const std::vector<TBWFile*>& linked);
    // Turns the links into groups (or, in single mode, every entry into a
    // single), drops what belongs to no group and sorts by name. Only a
    // reference keeps its links, its duplicates.
    void ResolveReferences();
    // The same groups from links found by finder when they are needed, on
    // an empty list: the entries are made for the files in groups only.
    void ResolveReferences(TBWLinkFinder& finder);
    // Drops undecided entries and references without duplicates.
    void Purge();
    void RemoveSelected();
    void UpdateCounters(TBWDupeState oldState, TBWDupeState newState);

    // The result file: one line per group or single file, each path followed
    // by ";", lines ended by CR LF, "!" first in single mode. Files whose
    // path holds ";" or a line break cannot be written so that they read
    // back, and are left out; leftOut, when given, gets their paths. False
    // when the file could not be written.
    bool SaveToFile(const std::string& fileName, std::vector<std::string>* leftOut = nullptr);
    // The scan record (u_scanrecord) of the list's settings and of every
    // path written, with its file's role and words, goes beside it.
    // Reads the result file, finding each path below root; paths it does
    // not hold are skipped. With scanProfile and the result file's scan
    // record beside it, the list shows what the scan showed: the first
    // path of a line stays its reference, every file gets its recorded role
    // and words, and the list takes scanProfile, filled with the scan's
    // settings (it must outlive the list). Otherwise the references are
    // chosen anew with the list's profile. asScanned, when given, tells
    // which. False, leaving the list as it was, when the file cannot be read.
    bool LoadFromFile(const std::string& fileName, TBWDirectory* root, TBWCVProfile* scanProfile = nullptr,
                      bool* asScanned = nullptr);

    bool IsSelectable(TBWComparable* item) const override;
    // The value event's answer when one is set, else the file's size.
    std::int64_t GetItemValue(TBWComparable* item, std::int32_t index) const override;
    std::int32_t SelectableCount() override { return dupeCount_; }
    // Sorts again: the grouped order depends on the direction.
    void SetDescending(bool descending) override;
    // The grouped order, with every entry's keys read once rather than at
    // each of the n log n comparisons.
    void Sort() override;
    void Clear() override;

protected:
    void NodeAdded(TBWStructNode* node) override;
    void NodeRemoved(TBWStructNode* node) override;

private:
    friend class TBWDupeFile;

    // The entries in walk order, for passes that change the list.
    std::vector<TBWDupeFile*> EntriesInOrder();
    // Sorts by the set even when it is active already: states changed.
    void SortBy(std::int32_t keySet);
    // After a switch the group's place and the selectable entries changed.
    void GroupChanged();
    TBWDupeFile* NewEntry(TBWFile* file, std::int32_t dirType);
    // Puts the items into the nodes in the grouped order on key; false,
    // changing nothing, when an item is not an entry.
    bool PlaceInGroupedOrder(TBWKey key);
    std::vector<std::vector<TBWFile*>> FilesOfLines(const std::vector<std::string_view>& lines,
                                                    TBWDirectory* root) const;
    void LoadSingles(const std::vector<std::vector<TBWFile*>>& files);
    void LoadGroups(const std::vector<std::vector<TBWFile*>>& files);
    void LoadAsScanned(const std::vector<std::vector<TBWFile*>>& files, const TBWScanRecord& record);
    // For each of turns (in the list's order) not yet grouped (unless it is
    // a reference folder's), its links to the files not yet grouped; it
    // becomes their reference, when mustBeBest only if none of them is
    // better. Each group, reference first, goes to groups.
    void ResolveTurns(TBWLinkFinder& finder, const std::vector<std::uint32_t>& turns, bool mustBeBest,
                      const std::vector<std::int32_t>& roles, std::vector<bool>& grouped,
                      std::vector<std::vector<std::uint32_t>>& groups) const;
    // group: entries of files in no group yet; the first (or, unless
    // referenceFirst, the best) becomes their reference.
    void PlaceGroup(std::vector<TBWDupeFile*>& group, bool referenceFirst);

    const TBWCVProfile* profile_;
    bool extensionOrderGiven_ = false;
    mutable TBWExtensionOrder extensionOrder_;
    std::int32_t dupeCount_ = 0;
    std::int32_t refCount_ = 0;
    bool singleMode_ = false;
    bool clearing_ = false;
    struct TFileOf {
        const void* operator()(const TBWDupeFile* entry) const;
    };

    // Every listed entry by its file, so that finding the entry of a file
    // costs no search of the chain.
    TBWPointerTable<TBWDupeFile, TFileOf> entries_;
};

template <class Keep>
void TBWDupeLinks::KeepIf(const Keep& keep)
{
    Own();
    std::size_t kept = 0;
    for (TBWDupeFile* entry : entries_)
        if (keep(entry))
            entries_[kept++] = entry;
    if (kept == entries_.size())
        return;
    entries_.resize(kept);
    RebuildLookup();
}

