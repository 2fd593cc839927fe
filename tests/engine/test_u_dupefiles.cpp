#include "engine/u_dupefiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <ostream>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/u_cvprofile.h"
#include "engine/u_scanrecord.h"
#include "tests/engine/fake_audio.h"
#include "tests/support/temp_tree.h"
#include "tests/support/fifo_in_place.h"

namespace {

using TTexts = std::vector<std::string>;
using TPairs = std::vector<std::pair<int, int>>;

struct TFileMade {
    TFileMade(std::string path, TFakeAudio audio = {}) : path(std::move(path)), audio(audio) {}
    std::string path;
    TFakeAudio audio;
};

// The links of pairs as a scan finds them when the references are chosen:
// each file's in the order the pairs give them, as AddPair keeps them.
class TPairFinder : public TBWLinkFinder {
public:
    TPairFinder(const std::vector<TBWFile*>& files, const TPairs& pairs) : files_(files), linked_(files.size())
    {
        for (const auto& [a, b] : pairs)
            if (a != b) {
                Add(static_cast<std::size_t>(a), static_cast<std::uint32_t>(b));
                Add(static_cast<std::size_t>(b), static_cast<std::uint32_t>(a));
            }
    }

    const std::vector<TBWFile*>& Files() const override { return files_; }
    std::size_t Batch() const override { return 3; }
    void LinksOf(std::span<const std::uint32_t> files, const TOpen& open,
                 std::vector<std::vector<std::uint32_t>>& links) override
    {
        for (std::size_t i = 0; i < files.size(); ++i)
            for (std::uint32_t linked : linked_[files[i]])
                if (open(linked))
                    links[i].push_back(linked);
        asked += files.size();
    }

    std::size_t asked = 0;

private:
    void Add(std::size_t file, std::uint32_t other)
    {
        if (std::find(linked_[file].begin(), linked_[file].end(), other) == linked_[file].end())
            linked_[file].push_back(other);
    }

    std::vector<TBWFile*> files_;
    std::vector<std::vector<std::uint32_t>> linked_;
};

class ResultList : public ::testing::Test {
protected:
    TTempTree folder;
    TBWCVProfile profile{folder.Path()};
    TFakeCollection collection;
    TBWDupeFileList list;

    ResultList()
    {
        profile.NewProfile();
        profile.SetDirPriority("/ref", dtReference);
        profile.SetDirPriority("/high", dtPriority5);
        profile.SetDirPriority("/low", dtPriority1);
        profile.SetDirPriority("/excluded", dtExcluded);
        list.SetProfile(profile);
    }

    std::vector<TBWFile*> AddFiles(const std::vector<TFileMade>& made)
    {
        std::vector<TBWFile*> files;
        for (const TFileMade& file : made)
            files.push_back(collection.Add(file.path, file.audio));
        return files;
    }
    void Link(TBWDupeFileList& target, const std::vector<TBWFile*>& files, const TPairs& pairs)
    {
        for (const auto& [a, b] : pairs)
            target.AddPair(files[static_cast<std::size_t>(a)], files[static_cast<std::size_t>(b)]);
    }
    // Adds the files, links the pairs and resolves.
    std::vector<TBWFile*> Build(const std::vector<TFileMade>& made, const TPairs& pairs)
    {
        std::vector<TBWFile*> files = AddFiles(made);
        Link(list, files, pairs);
        list.ResolveReferences();
        return files;
    }

    TBWDupeFile* EntryOf(TBWDupeFileList& target, const TBWFile* file)
    {
        for (TBWComparable* item = target.First(); !target.Eof(); item = target.Next())
            if (auto* entry = static_cast<TBWDupeFile*>(item); entry->File() == file)
                return entry;
        return nullptr;
    }
    TBWDupeFile* EntryOf(const TBWFile* file) { return EntryOf(list, file); }

    // The list as the results window shows it: "R" references, "D"
    // duplicates, "S" single files, "-" undecided, in walk order.
    static TTexts Shown(TBWDupeFileList& target)
    {
        static const char* const kMarks[] = {"- ", "D ", "R ", "S "};
        TTexts shown;
        for (TBWComparable* item = target.First(); !target.Eof(); item = target.Next()) {
            const auto* entry = static_cast<TBWDupeFile*>(item);
            shown.push_back(kMarks[entry->State()] + entry->File()->Name());
        }
        return shown;
    }
    TTexts Shown() { return Shown(list); }
    // Shown, with each reference's links in their order.
    static TTexts ShownWithLinks(TBWDupeFileList& target)
    {
        TTexts shown = Shown(target);
        std::size_t line = 0;
        for (TBWComparable* item = target.First(); !target.Eof(); item = target.Next(), ++line)
            for (const TBWDupeFile* linked : static_cast<TBWDupeFile*>(item)->Links())
                shown[line] += " " + linked->File()->Name();
        return shown;
    }
    // A new list of the same profile, resolved from the pairs found when
    // they are needed.
    std::unique_ptr<TBWDupeFileList> ResolvedAsFound(const std::vector<TBWFile*>& files, const TPairs& pairs)
    {
        auto found = std::make_unique<TBWDupeFileList>();
        found->SetProfile(profile);
        TPairFinder finder(files, pairs);
        found->ResolveReferences(finder);
        return found;
    }
};

// ------------------------------------------------------------------ groups

struct TGroupCase {
    const char* name;
    std::vector<TFileMade> files;  // made in this order, which is the list order
    TPairs pairs;
    TTexts shown;
};

void PrintTo(const TGroupCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ResultGroups : public ResultList, public ::testing::WithParamInterface<TGroupCase> {};

TEST_P(ResultGroups, ChoosesReferencesAndDropsWhatBelongsToNoGroup)
{
    const std::vector<TBWFile*> files = Build(GetParam().files, GetParam().pairs);
    EXPECT_EQ(Shown(), GetParam().shown);
    EXPECT_EQ(list.RefCount() + list.DupeCount(), static_cast<std::int32_t>(GetParam().shown.size()));

    const auto found = ResolvedAsFound(files, GetParam().pairs);
    EXPECT_EQ(ShownWithLinks(*found), ShownWithLinks(list)) << "links found when needed";
    EXPECT_EQ(found->RefCount(), list.RefCount());
    EXPECT_EQ(found->DupeCount(), list.DupeCount());
}

// Links found only when the references are chosen give the groups, the
// references' links in their order and the counts of links kept for every
// pair: reference folders, priorities, equal files, links to files grouped
// already, pairs met twice.
TEST_F(ResultList, LinksFoundWhenNeededGiveTheGroupsOfLinksKept)
{
    static const char* const kFolders[] = {"/new/", "/ref/", "/high/", "/low/", "/new/"};
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        TBWDupeFileList kept;
        kept.SetProfile(profile);
        std::vector<TFileMade> made;
        const int count = 2 + static_cast<int>(random() % 30);
        for (int i = 0; i < count; ++i)
            made.push_back({kFolders[random() % 5] + std::to_string(round) + "_" + std::to_string(i) + ".mp3",
                            {100 * static_cast<std::int64_t>(1 + random() % 3)}});
        TPairs pairs;
        for (int n = static_cast<int>(random() % (2 * count)); n >= 0; --n)
            pairs.push_back({static_cast<int>(random() % count), static_cast<int>(random() % count)});
        const std::vector<TBWFile*> files = AddFiles(made);
        Link(kept, files, pairs);
        kept.ResolveReferences();
        // The finder may hold the files in any order: every other round
        // shuffles them.
        std::vector<int> place(files.size());
        std::iota(place.begin(), place.end(), 0);
        if (round % 2)
            std::shuffle(place.begin(), place.end(), random);
        std::vector<TBWFile*> given(files.size());
        for (std::size_t i = 0; i < files.size(); ++i)
            given[static_cast<std::size_t>(place[i])] = files[i];
        TPairs givenPairs;
        for (const auto& [a, b] : pairs)
            givenPairs.push_back({place[static_cast<std::size_t>(a)], place[static_cast<std::size_t>(b)]});
        const auto found = ResolvedAsFound(given, givenPairs);
        ASSERT_EQ(ShownWithLinks(*found), ShownWithLinks(kept)) << "round " << round;
        EXPECT_EQ(found->RefCount(), kept.RefCount());
        EXPECT_EQ(found->DupeCount(), kept.DupeCount());
        EXPECT_EQ(found->Total(0), kept.Total(0));
    }
}

// A file grouped before its turn is not asked about, and the files of a
// reference folder only as references.
TEST_F(ResultList, FilesGroupedBeforeTheirTurnAreNotAskedAbout)
{
    std::vector<TFileMade> made{{"/new/hub.mp3", {9000}}};
    TPairs pairs;
    for (int i = 1; i <= 20; ++i) {
        made.push_back({"/new/copy" + std::to_string(i) + ".mp3"});
        pairs.push_back({0, i});
    }
    const std::vector<TBWFile*> files = AddFiles(made);
    TBWDupeFileList found;
    found.SetProfile(profile);
    TPairFinder finder(files, pairs);
    found.ResolveReferences(finder);
    EXPECT_EQ(found.RefCount(), 1);
    EXPECT_EQ(found.DupeCount(), 20);
    EXPECT_EQ(finder.asked, 3u) << "the hub, and the two asked with it";
}

INSTANTIATE_TEST_SUITE_P(
    , ResultGroups,
    ::testing::Values(
        TGroupCase{"TwoReferenceFilesAreNeitherDuplicateAndGoWithoutOthers",
                   {{"/ref/a.mp3"}, {"/ref/b.mp3"}},
                   {{0, 1}},
                   {}},
        TGroupCase{"ReferenceFileKeepsItsOtherDuplicates",
                   {{"/ref/a.mp3"}, {"/ref/b.mp3"}, {"/new/c.mp3"}},
                   {{0, 1}, {1, 2}},
                   {"R b.mp3", "D c.mp3"}},
        TGroupCase{"FileLinkedToTwoReferencesJoinsTheFirstInListOrder",
                   {{"/ref/b.mp3"}, {"/ref/a.mp3"}, {"/new/c.mp3"}},
                   {{1, 2}, {0, 2}},
                   {"R b.mp3", "D c.mp3"}},
        TGroupCase{"ReferenceDirectoryOutranksABiggerFile",
                   {{"/new/big.mp3", {9000}}, {"/ref/small.mp3", {10}}},
                   {{0, 1}},
                   {"R small.mp3", "D big.mp3"}},
        TGroupCase{"HigherPriorityOutranksABiggerFile",
                   {{"/low/big.mp3", {9000}}, {"/high/small.mp3", {10}}},
                   {{0, 1}},
                   {"R small.mp3", "D big.mp3"}},
        TGroupCase{"ExcludedDirectoryRanksBelowTheLowestPriority",
                   {{"/excluded/big.mp3", {9000}}, {"/low/small.mp3", {10}}},
                   {{0, 1}},
                   {"R small.mp3", "D big.mp3"}},
        TGroupCase{"LinksAreNotTransitive",
                   {{"/new/a.mp3", {300}}, {"/new/b.mp3", {200}}, {"/new/c.mp3", {100}}},
                   {{0, 1}, {1, 2}},
                   {"R a.mp3", "D b.mp3"}},
        TGroupCase{"BestFileInTheMiddleOfAChainClaimsBothEnds",
                   {{"/new/a.mp3", {100}}, {"/new/b.mp3", {300}}, {"/new/c.mp3", {200}}},
                   {{0, 1}, {1, 2}},
                   {"R b.mp3", "D a.mp3", "D c.mp3"}},
        TGroupCase{"OfEqualFilesTheFirstInListOrderRemains",
                   {{"/new/b.mp3"}, {"/new/a.mp3"}},
                   {{0, 1}},
                   {"R b.mp3", "D a.mp3"}},
        TGroupCase{"PairsMetAgainOrWithItselfChangeNothing",
                   {{"/new/a.mp3", {200}}, {"/new/b.mp3", {100}}},
                   {{0, 1}, {1, 0}, {0, 1}, {0, 0}},
                   {"R a.mp3", "D b.mp3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResultList, ReferenceLinksHoldExactlyItsDuplicates)
{
    const auto files = Build({{"/ref/r.mp3"}, {"/ref/s.mp3"}, {"/new/a.mp3"}, {"/new/b.mp3"}},
                             {{0, 1}, {0, 2}, {0, 3}, {1, 2}});
    TBWDupeFile* reference = EntryOf(files[0]);
    ASSERT_NE(reference, nullptr);
    ASSERT_EQ(reference->Links().Count(), 2);
    EXPECT_EQ(reference->Links()[0]->File(), files[2]);
    EXPECT_EQ(reference->Links()[1]->File(), files[3]);
    for (const TBWDupeFile* duplicate : reference->Links())
        EXPECT_EQ(duplicate->Reference(), reference);
    EXPECT_EQ(EntryOf(files[1]), nullptr);
}

TEST_F(ResultList, FileSimilarToManyIsLinkedOncePerFile)
{
    std::vector<TFileMade> made{{"/new/hub.mp3", {9000}}};
    TPairs pairs;
    for (int i = 1; i <= 40; ++i) {
        made.push_back({"/new/copy" + std::to_string(i) + ".mp3"});
        pairs.push_back({0, i});
        pairs.push_back({i, 0});
    }
    const auto files = Build(made, pairs);
    TBWDupeFile* hub = EntryOf(files[0]);
    EXPECT_EQ(hub->Links().Count(), 40);
    EXPECT_EQ(list.DupeCount(), 40);

    list.SetSelected(EntryOf(files[7]), true);
    list.RemoveSelected();
    EXPECT_EQ(hub->Links().Count(), 39);
    EXPECT_FALSE(hub->Links().Contains(EntryOf(files[7])));
    list.AddPair(files[0], files[8]);
    EXPECT_EQ(hub->Links().Count(), 39);
}

TEST_F(ResultList, EntriesMadeAtOnceEqualThoseMadeOneByOne)
{
    const auto files = AddFiles({{"/ref/a.mp3"}, {"/high/b.mp3"}, {"/high/c.mp3"}, {"/low/d.mp3"},
                                 {"/ref/e.mp3"}, {"/new/f.mp3"}, {"/low/g.mp3"}});
    const TPairs pairs{{3, 1}, {1, 2}, {6, 5}, {5, 3}, {0, 4}, {2, 4}};
    TBWDupeFileList oneByOne;
    oneByOne.SetProfile(profile);
    Link(oneByOne, files, pairs);
    list.AddPair(files[5], files[6]);  // an entry there before is kept, not made twice
    list.AddEntries({files[6], files[2], nullptr, files[0], files[2], files[3], files[1], files[4], files[5]});
    Link(list, files, pairs);
    ASSERT_EQ(list.Count(), oneByOne.Count());
    for (const TBWFile* file : files)
        EXPECT_EQ(EntryOf(file)->DirType(), EntryOf(oneByOne, file)->DirType()) << file->Name();
    EXPECT_EQ(Shown(), Shown(oneByOne));
    list.ResolveReferences();
    oneByOne.ResolveReferences();
    EXPECT_EQ(Shown(), Shown(oneByOne));
}

// A class linked as one shares one list; what every entry holds, before
// and after the references are chosen and through a switch and a removal,
// is what linking each pair gives. Lines of a result file are linked so,
// with a file listed twice, and one that was linked before.
TEST_F(ResultList, LinkingAClassAsOneEqualsLinkingEveryPair)
{
    const auto files = AddFiles({{"/high/a.mp3"}, {"/low/b.mp3"}, {"/new/c.mp3"}, {"/new/d.mp3"},
                                 {"/ref/e.mp3"}, {"/new/f.mp3"}, {"/low/g.mp3"}});
    const std::vector<TBWFile*> line{files[0], files[2], files[1], files[0], files[3], files[4]};
    TBWDupeFileList pairwise;
    pairwise.SetProfile(profile);
    for (TBWDupeFileList* target : {&list, &pairwise})
        target->AddPair(files[5], files[2]);
    for (std::size_t i = 0; i < line.size(); ++i)
        for (std::size_t j = i + 1; j < line.size(); ++j)
            pairwise.AddPair(line[i], line[j]);
    list.LinkAsClass(line, line);
    // Two classes alike to each other, one of them to itself too.
    pairwise.AddPair(files[6], files[5]);
    list.LinkAsClass({files[6]}, {files[5]});
    list.LinkAsClass({files[5]}, {files[6]});
    const auto sameLinks = [&](const char* when) {
        for (const TBWFile* file : files) {
            ASSERT_EQ(EntryOf(file) == nullptr, EntryOf(pairwise, file) == nullptr) << file->Name() << " " << when;
            if (!EntryOf(file))
                continue;
            std::vector<const TBWFile*> own, expected;
            for (const TBWDupeFile* linked : EntryOf(file)->Links())
                own.push_back(linked->File());
            for (int i = 0; i < EntryOf(pairwise, file)->Links().Count(); ++i)
                expected.push_back(EntryOf(pairwise, file)->Links()[i]->File());
            EXPECT_EQ(own, expected) << file->Name() << " " << when;
            EXPECT_EQ(EntryOf(file)->Links().Count(), static_cast<std::int32_t>(expected.size()));
        }
        EXPECT_EQ(Shown(), Shown(pairwise)) << when;
    };
    sameLinks("linked");
    list.ResolveReferences();
    pairwise.ResolveReferences();
    sameLinks("resolved");
    for (TBWDupeFileList* target : {&list, &pairwise}) {
        EntryOf(*target, files[2])->SwitchWithReference();
        target->SetSelected(EntryOf(*target, files[1]), true);
        target->RemoveSelected();
    }
    sameLinks("switched and removed");
}

TEST_F(ResultList, ManyFilesKeepTheirEntriesThroughRemovals)
{
    std::vector<TFileMade> made;
    TPairs pairs;
    for (int i = 0; i < 300; ++i) {
        made.push_back({"/new/song" + std::to_string(i) + ".mp3", {1000 + i}});
        if (i % 3)
            pairs.push_back({i - i % 3, i});
    }
    const auto files = Build(made, pairs);
    for (int i = 1; i < 300; i += 3)
        list.SetSelected(EntryOf(files[static_cast<std::size_t>(i)]), true);
    list.RemoveSelected();
    // A file that is listed finds its entry; one that went gets a new one.
    const int count = list.Count();
    for (int i = 0; i < 300; ++i) {
        TBWDupeFile* before = EntryOf(files[static_cast<std::size_t>(i)]);
        list.AddPair(files[static_cast<std::size_t>(i)], files[static_cast<std::size_t>((i + 2) % 300)]);
        if (before) {
            EXPECT_EQ(EntryOf(files[static_cast<std::size_t>(i)]), before) << i;
        }
    }
    EXPECT_EQ(list.Count(), 300);
    EXPECT_GT(list.Count(), count);
}

// ---------------------------------------------------------------- criteria

struct TCriteriaCase {
    const char* name;
    const char* priorityList;
    TFileMade first;
    TFileMade second;
    const char* remains;
};

void PrintTo(const TCriteriaCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ResultCriteria : public ResultList, public ::testing::WithParamInterface<TCriteriaCase> {};

TEST_P(ResultCriteria, DecideWhichFileRemains)
{
    profile.SetPriorityList(GetParam().priorityList);
    Build({GetParam().first, GetParam().second}, {{0, 1}});
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_EQ(Shown().front(), std::string("R ") + GetParam().remains);
}

INSTANTIATE_TEST_SUITE_P(
    , ResultCriteria,
    ::testing::Values(
        TCriteriaCase{"SizeFirstKeepsTheBiggerFile", "SEDB",
                      {"/new/a.mp3", {4000}}, {"/new/b.ogg", {5000}}, "b.ogg"},
        TCriteriaCase{"ExtensionFirstKeepsTheMp3", "ESDB",
                      {"/new/b.ogg", {5000}}, {"/new/a.mp3", {4000}}, "a.mp3"},
        TCriteriaCase{"EqualSizeFallsToTheExtension", "SEDB",
                      {"/new/b.ogg", {4000}}, {"/new/a.mp3", {4000}}, "a.mp3"},
        TCriteriaCase{"BitrateFirstKeepsTheHigherBitrate", "BSED",
                      {"/new/a.mp3", {9000, 128}}, {"/new/b.mp3", {10, 320}}, "b.mp3"},
        TCriteriaCase{"DurationFirstKeepsTheLongerFile", "DSEB",
                      {"/new/a.mp3", {9000, 320, 100}}, {"/new/b.mp3", {10, 128, 300}}, "b.mp3"},
        TCriteriaCase{"UnlistedExtensionRanksAfterEveryListedOne", "ESDB",
                      {"/new/a.flac", {9000}}, {"/new/b.ogg", {10}}, "b.ogg"},
        TCriteriaCase{"ExtensionsCompareWithoutRegardToCase", "ESDB",
                      {"/new/a.Ogg", {9000}}, {"/new/b.mP3", {10}}, "b.mP3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResultList, GivenExtensionOrderRanksInsteadOfTheProfiles)
{
    profile.SetPriorityList("ESDB");
    list.SetExtensionOrder("*.OGG;*.MP3;");
    const auto files = AddFiles({{"/new/a.mp3", {9000}}, {"/new/b.ogg", {10}}});
    list.AddPair(files[0], files[1]);
    const TBWDupeFile& mp3 = *list.Entry(files[0]);
    const TBWDupeFile& ogg = *list.Entry(files[1]);
    EXPECT_LT(mp3.ComparePriority(ogg), 0);
    EXPECT_GT(ogg.ComparePriority(mp3), 0);

    list.SetExtensionOrder("");
    EXPECT_GT(mp3.ComparePriority(ogg), 0);
    profile.ExtPri = "OGG;MP3;";
    EXPECT_LT(mp3.ComparePriority(ogg), 0);
}

TEST_F(ResultList, BestLinkedPrefersTheFirstOfEqualsAndHonoursTheStates)
{
    const auto files = AddFiles({{"/new/hub.mp3"}, {"/new/x.mp3", {500}}, {"/new/y.mp3", {700}},
                                 {"/new/z.mp3", {700}}});
    for (int i = 1; i <= 3; ++i)
        list.AddPair(files[0], files[static_cast<std::size_t>(i)]);
    TBWDupeFile* hub = list.Entry(files[0]);
    EXPECT_EQ(hub->BestLinked({dsUndecided})->File(), files[2]);
    list.Entry(files[2])->SetState(dsSingle);
    EXPECT_EQ(hub->BestLinked({dsUndecided})->File(), files[3]);
    EXPECT_EQ(hub->BestLinked({dsSingle})->File(), files[2]);
    EXPECT_EQ(hub->BestLinked({dsReference}), nullptr);
}

// ------------------------------------------------------------------- order

struct TOrderCase {
    const char* name;
    std::int32_t keySet;
    bool descending;
    TTexts shown;
};

void PrintTo(const TOrderCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ResultOrder : public ResultList, public ::testing::WithParamInterface<TOrderCase> {};

TEST_P(ResultOrder, KeepsEveryGroupTogetherWithItsReferenceFirst)
{
    Build({{"/new/b.mp3", {900}}, {"/new/z.mp3", {100}}, {"/new/a.mp3", {300}},
           {"/new/m.mp3", {800}}, {"/new/c.mp3", {50}}},
          {{0, 1}, {0, 2}, {3, 4}});
    list.SetActiveKeys(GetParam().keySet);
    list.SetDescending(GetParam().descending);
    EXPECT_EQ(Shown(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    , ResultOrder,
    ::testing::Values(
        TOrderCase{"ByNameAscending", TBWDupeFileList::kNameSet, false,
                   {"R b.mp3", "D a.mp3", "D z.mp3", "R m.mp3", "D c.mp3"}},
        TOrderCase{"ByNameDescending", TBWDupeFileList::kNameSet, true,
                   {"R m.mp3", "D c.mp3", "R b.mp3", "D z.mp3", "D a.mp3"}},
        TOrderCase{"BySizeAscending", TBWDupeFileList::kSizeSet, false,
                   {"R m.mp3", "D c.mp3", "R b.mp3", "D z.mp3", "D a.mp3"}},
        TOrderCase{"BySizeDescending", TBWDupeFileList::kSizeSet, true,
                   {"R b.mp3", "D a.mp3", "D z.mp3", "R m.mp3", "D c.mp3"}},
        TOrderCase{"ByIdentity", TBWDupeFileList::kIdentitySet, false,
                   {"R b.mp3", "D z.mp3", "D a.mp3", "R m.mp3", "D c.mp3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResultList, ManyEntriesGoInTheOrderTheirPairsCompareIn)
{
    // Enough entries for the keys to be read on several threads; names and
    // folders of every script, some equal but for case.
    const std::vector<std::string> names{"Beyoncé - Halo", "beyoncé - halo", "Чайковский", "宇多田ヒカル",
                                         "Été", "été", "Love", "01"};
    const std::vector<std::string> folders{"/new/", "/Новая/", "/新しい/", "/new/sub/"};
    std::mt19937 random(11);
    std::vector<TFileMade> made;
    for (int i = 0; i < 15000; ++i)
        made.push_back({folders[random() % folders.size()] + names[random() % names.size()] + " " +
                        std::to_string(random() % 100000) + ".mp3"});
    TPairs pairs;
    for (int i = 0; i + 1 < 15000; i += 1 + static_cast<int>(random() % 3))
        pairs.push_back({i, i + 1 + static_cast<int>(random() % 4) % (14999 - i)});
    Build(made, pairs);
    ASSERT_GT(list.Count(), 8192);
    for (const std::int32_t keys : {TBWDupeFileList::kNameSet, TBWDupeFileList::kPathSet})
        for (const bool descending : {false, true}) {
            list.SetActiveKeys(keys);
            list.SetDescending(descending);
            std::vector<TBWComparable*> walked;
            for (TBWComparable* item = list.First(); !list.Eof(); item = list.Next())
                walked.push_back(item);
            const TBWKey key = keys == TBWDupeFileList::kNameSet ? fkName : fkDirPath;
            // A descending list is walked from its end.
            for (std::size_t at = 1; at < walked.size(); ++at)
                ASSERT_LT(walked[at - 1]->Compare(walked[at], key) * (descending ? -1 : 1), 0)
                    << "keys " << keys << " descending " << descending << " at " << at;
        }
}

TEST_F(ResultList, EqualKeysAreOrderedByIdentity)
{
    const auto files = Build({{"/one/x.mp3", {900}}, {"/two/x.mp3"}, {"/two/X.mp3", {900}}, {"/one/X.mp3"}},
                             {{0, 1}, {2, 3}});
    const auto filesInOrder = [this] {
        std::vector<TBWFile*> walked;
        for (TBWComparable* item = list.First(); !list.Eof(); item = list.Next())
            walked.push_back(static_cast<TBWDupeFile*>(item)->File());
        return walked;
    };
    EXPECT_EQ(filesInOrder(), (std::vector<TBWFile*>{files[1], files[0], files[3], files[2]}));
    list.SetDescending(true);
    EXPECT_EQ(filesInOrder(), (std::vector<TBWFile*>{files[3], files[2], files[1], files[0]}));
}

// ------------------------------------------------- selection and switching

TEST_F(ResultList, CountsAndTotalsFollowTheStates)
{
    const auto files = Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}, {"/new/c.mp3", {200}},
                              {"/new/d.mp3", {800}}, {"/new/e.mp3", {50}}},
                             {{0, 1}, {0, 2}, {3, 4}});
    EXPECT_EQ(list.RefCount(), 2);
    EXPECT_EQ(list.DupeCount(), 3);
    EXPECT_EQ(list.SelectableCount(), 3);
    EXPECT_EQ(list.Total(0), 550);
    list.SelectAll();
    EXPECT_EQ(list.SelectedCount(), 3);
    EXPECT_EQ(list.SelectedTotal(0), 550);
    EXPECT_FALSE(list.IsSelected(EntryOf(files[0])));
}

TEST_F(ResultList, ReferencesCannotBeSelected)
{
    const auto files = Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}}, {{0, 1}});
    EXPECT_FALSE(list.ToggleSelected(EntryOf(files[0])));
    EXPECT_TRUE(list.ToggleSelected(EntryOf(files[1])));
    EXPECT_EQ(list.SelectedTotal(0), 300);
}

TEST_F(ResultList, RemovingTheOnlyDuplicateRemovesItsGroup)
{
    const auto files = Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}, {"/new/c.mp3", {800}},
                              {"/new/d.mp3", {50}}, {"/new/e.mp3", {60}}},
                             {{0, 1}, {2, 3}, {2, 4}});
    list.SetSelected(EntryOf(files[1]), true);
    list.SetSelected(EntryOf(files[3]), true);
    list.RemoveSelected();
    EXPECT_EQ(Shown(), (TTexts{"R c.mp3", "D e.mp3"}));
    EXPECT_EQ(list.RefCount(), 1);
    EXPECT_EQ(list.DupeCount(), 1);
    EXPECT_EQ(list.Total(0), 60);
    EXPECT_EQ(list.SelectedCount(), 0);
}

TEST_F(ResultList, SwitchMakesTheDuplicateTheReference)
{
    const auto files = Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}, {"/new/c.mp3", {200}}},
                             {{0, 1}, {0, 2}});
    TBWDupeFile* oldReference = EntryOf(files[0]);
    TBWDupeFile* chosen = EntryOf(files[2]);
    list.SetSelected(chosen, true);
    ASSERT_TRUE(chosen->SwitchWithReference());

    EXPECT_EQ(Shown(), (TTexts{"R c.mp3", "D a.mp3", "D b.mp3"}));
    ASSERT_EQ(chosen->Links().Count(), 2);
    EXPECT_EQ(chosen->Links()[0]->File(), files[1]);
    EXPECT_EQ(chosen->Links()[1], oldReference);
    EXPECT_EQ(chosen->Reference(), nullptr);
    EXPECT_EQ(oldReference->Reference(), chosen);
    EXPECT_TRUE(oldReference->Links().Empty());
    EXPECT_EQ(list.RefCount(), 1);
    EXPECT_EQ(list.DupeCount(), 2);
    EXPECT_EQ(list.Total(0), 1200);
    EXPECT_EQ(list.SelectedCount(), 0);
}

TEST_F(ResultList, SwitchOfAReferenceChangesNothing)
{
    const auto files = Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}}, {{0, 1}});
    EXPECT_FALSE(EntryOf(files[0])->SwitchWithReference());
    EXPECT_EQ(Shown(), (TTexts{"R a.mp3", "D b.mp3"}));
    EXPECT_EQ(EntryOf(files[0])->Links().Count(), 1);
}

TEST_F(ResultList, ClearForgetsEveryEntryAndCount)
{
    const auto files = Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}}, {{0, 1}});
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.RefCount() + list.DupeCount(), 0);
    list.AddPair(files[1], files[0]);
    list.ResolveReferences();
    EXPECT_EQ(Shown(), (TTexts{"R a.mp3", "D b.mp3"}));
}

TEST_F(ResultList, SingleModeKeepsEveryFileAlone)
{
    const auto files = AddFiles({{"/new/b.mp3", {300}}, {"/new/a.mp3", {200}}});
    list.SetSingleMode(true);
    list.AddPair(files[0], nullptr);
    list.AddPair(nullptr, nullptr);
    list.AddPair(files[1], nullptr);
    list.ResolveReferences();
    EXPECT_EQ(Shown(), (TTexts{"S a.mp3", "S b.mp3"}));
    EXPECT_EQ(list.DupeCount(), 2);
    EXPECT_EQ(list.Total(0), 500);
}

TEST_F(ResultList, GroupModeIgnoresAFileWithoutPartner)
{
    const auto files = AddFiles({{"/new/a.mp3"}});
    list.AddPair(files[0], nullptr);
    list.AddPair(nullptr, files[0]);
    EXPECT_EQ(list.Count(), 0);
}

// -------------------------------------------------------------- result file

class ResultFile : public ResultList {
protected:
    std::string FileName() const { return folder.Path("last_results.txt"); }
    TBWDupeFileList reloaded;

    ResultFile() { reloaded.SetProfile(profile); }

    bool Reload() { return reloaded.LoadFromFile(FileName(), collection.Root()); }
};

TEST_F(ResultFile, WritesOneLinePerGroupEndedByCrLf)
{
    Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}, {"/new/c.mp3", {200}}, {"/new/d.mp3", {800}},
           {"/new/e.mp3", {50}}},
          {{0, 1}, {0, 2}, {3, 4}});
    ASSERT_TRUE(list.SaveToFile(FileName()));
    EXPECT_EQ(folder.ReadFile("last_results.txt"),
              "/new/a.mp3;/new/b.mp3;/new/c.mp3;\r\n/new/d.mp3;/new/e.mp3;\r\n");
    EXPECT_EQ(folder.Names(""), (TTexts{"last_results.scan", "last_results.txt"}));
}

TEST_F(ResultFile, GroupsReadBackAsTheyWereSaved)
{
    Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}, {"/new/c.mp3", {200}}, {"/ref/d.mp3", {80}},
           {"/new/e.mp3", {50}}},
          {{0, 1}, {0, 2}, {3, 4}});
    ASSERT_TRUE(list.SaveToFile(FileName()));
    ASSERT_TRUE(Reload());
    EXPECT_FALSE(reloaded.SingleMode());
    EXPECT_EQ(Shown(reloaded), Shown());
    EXPECT_EQ(reloaded.DupeCount(), 3);
}

// Enough files for their paths and words to be read on several threads:
// each group comes back on its line, in the list's order, each file with
// its own words from the record, and the path the file cannot hold is
// left out.
TEST_F(ResultFile, ManyGroupsReadBackAsScannedWithTheirWords)
{
    const std::vector<std::string> names{"Beyoncé - Halo", "Чайковский - Лебединое озеро", "宇多田ヒカル - First Love",
                                         "Été - Chanson"};
    std::vector<TFileMade> made;
    TPairs pairs;
    for (int group = 0; group < 3000; ++group) {
        const int first = static_cast<int>(made.size());
        for (int copy = 0; copy < 3; ++copy)
            made.push_back({"/new/" + std::to_string(copy) + (group == 777 && copy == 1 ? ";/" : "/") +
                                names[static_cast<std::size_t>(group % 4)] + " " + std::to_string(group) + ".mp3",
                            {100 * (3 - copy)}});
        pairs.push_back({first, first + 1});
        pairs.push_back({first, first + 2});
    }
    const std::vector<TBWFile*> files = Build(made, pairs);
    for (TBWFile* file : files)
        file->SetText(file->Name());
    std::map<const TBWFile*, std::string> words;
    for (const TBWFile* file : files)
        words[file] = file->WordsText();
    std::vector<std::string> leftOut;
    ASSERT_TRUE(list.SaveToFile(FileName(), &leftOut));
    EXPECT_EQ(leftOut, (std::vector<std::string>{"/new/1;/Чайковский - Лебединое озеро 777.mp3"}));
    for (TBWFile* file : files)
        file->SetText("forgotten");
    TBWCVProfile scanProfile{folder.Path()};
    bool asScanned = false;
    ASSERT_TRUE(reloaded.LoadFromFile(FileName(), collection.Root(), &scanProfile, &asScanned));
    reloaded.SetProfile(profile);
    EXPECT_TRUE(asScanned);
    TTexts expected = Shown();
    expected.erase(std::find(expected.begin(), expected.end(), "D Чайковский - Лебединое озеро 777.mp3"));
    EXPECT_EQ(Shown(reloaded), expected);
    for (TBWComparable* item = reloaded.First(); !reloaded.Eof(); item = reloaded.Next()) {
        const TBWFile* file = static_cast<TBWDupeFile*>(item)->File();
        ASSERT_EQ(file->WordsText(), words[file]) << file->Name();
    }
}

TEST_F(ResultFile, SinglesReadBackAsTheyWereSaved)
{
    const auto files = AddFiles({{"/new/b.mp3"}, {"/new/a.mp3"}});
    list.SetSingleMode(true);
    list.AddPair(files[0], nullptr);
    list.AddPair(files[1], nullptr);
    list.ResolveReferences();
    ASSERT_TRUE(list.SaveToFile(FileName()));
    EXPECT_EQ(folder.ReadFile("last_results.txt"), "!\r\n/new/a.mp3;\r\n/new/b.mp3;\r\n");
    ASSERT_TRUE(Reload());
    EXPECT_TRUE(reloaded.SingleMode());
    EXPECT_EQ(Shown(reloaded), (TTexts{"S a.mp3", "S b.mp3"}));
}

TEST_F(ResultFile, ReloadChoosesTheReferenceAgainAndKeepsTheWholeGroup)
{
    Build({{"/new/a.mp3", {900, 128}}, {"/new/b.mp3", {300, 320}}, {"/new/c.mp3", {200, 192}}},
          {{0, 1}, {0, 2}});
    ASSERT_TRUE(list.SaveToFile(FileName()));
    profile.SetPriorityList("BSED");
    ASSERT_TRUE(Reload());
    EXPECT_EQ(Shown(reloaded), (TTexts{"R b.mp3", "D a.mp3", "D c.mp3"}));
}

struct TReadCase {
    const char* name;
    std::string text;
    TTexts shown;
};

void PrintTo(const TReadCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ResultFileReading : public ResultFile, public ::testing::WithParamInterface<TReadCase> {};

TEST_P(ResultFileReading, FindsThePathsInTheModel)
{
    AddFiles({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}, {"/new/c.mp3", {200}}});
    folder.WriteFile("last_results.txt", GetParam().text);
    ASSERT_TRUE(Reload());
    EXPECT_EQ(Shown(reloaded), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    , ResultFileReading,
    ::testing::Values(
        TReadCase{"LineWithOnePathAddsNothing", "/new/a.mp3;\r\n", {}},
        TReadCase{"PathNoLongerInTheModelIsSkipped", "/new/gone.mp3;/new/a.mp3;/new/b.mp3;\r\n",
                  {"R a.mp3", "D b.mp3"}},
        TReadCase{"EmptyPiecesAndLineFeedsAlone", "/new/c.mp3;;/new/b.mp3;\n\n", {"R b.mp3", "D c.mp3"}},
        TReadCase{"MarkOnlyAsTheFirstLine", "/new/a.mp3;/new/b.mp3;\r\n!\r\n", {"R a.mp3", "D b.mp3"}},
        TReadCase{"SinglesWithMissingPaths", "!\r\n/new/gone.mp3;\r\n\r\n/new/c.mp3;\r\n", {"S c.mp3"}},
        TReadCase{"EmptyFile", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResultFile, MissingFileLeavesTheListAsItWas)
{
    Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}}, {{0, 1}});
    EXPECT_FALSE(list.LoadFromFile(FileName(), collection.Root()));
    EXPECT_EQ(Shown(), (TTexts{"R a.mp3", "D b.mp3"}));
}

// "Load last results" must not freeze on a FIFO nor read /dev/zero for ever.
TEST_F(ResultFile, AFifoOrADeviceInItsPlaceIsRefusedAndLeavesTheListAsItWas)
{
    Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}}, {{0, 1}});
    {
        const TFifoInPlace fifo(FileName());
        ASSERT_TRUE(fifo.Made());
        EXPECT_FALSE(list.LoadFromFile(FileName(), collection.Root()));
    }
    std::filesystem::remove(FileName());
    std::filesystem::create_symlink("/dev/zero", FileName());
    EXPECT_FALSE(list.LoadFromFile(FileName(), collection.Root()));
    EXPECT_EQ(Shown(), (TTexts{"R a.mp3", "D b.mp3"}));
}

TEST_F(ResultFile, PathsThatCannotRoundTripAreLeftOut)
{
    Build({{"/new/semi;colon.mp3", {900}}, {"/new/line\nbreak.mp3", {800}}, {"/new/b.mp3", {300}},
           {"/new/c.mp3", {200}}},
          {{0, 1}, {0, 2}, {0, 3}});
    ASSERT_EQ(list.RefCount(), 1);
    std::vector<std::string> leftOut;
    ASSERT_TRUE(list.SaveToFile(FileName(), &leftOut));
    EXPECT_EQ(leftOut, (std::vector<std::string>{"/new/semi;colon.mp3", "/new/line\nbreak.mp3"}));
    EXPECT_EQ(folder.ReadFile("last_results.txt"), "/new/b.mp3;/new/c.mp3;\r\n");
    ASSERT_TRUE(Reload());
    EXPECT_EQ(Shown(reloaded), (TTexts{"R b.mp3", "D c.mp3"}));
}

TEST_F(ResultFile, SavingReplacesTheWholeFile)
{
    folder.WriteFile("last_results.txt", std::string(10000, 'x'));
    Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}}, {{0, 1}});
    ASSERT_TRUE(list.SaveToFile(FileName()));
    EXPECT_EQ(folder.ReadFile("last_results.txt"), "/new/a.mp3;/new/b.mp3;\r\n");
    EXPECT_EQ(folder.Names(""), (TTexts{"last_results.scan", "last_results.txt"}));
}

// A scan's results saved with the user's switch of one reference; then a
// restart: the same paths, new file objects with the words of their names,
// and another profile selected.
class ScanRecord : public ResultFile {
protected:
    TFakeCollection restarted;
    TBWCVProfile scanProfile{folder.Path()};
    bool asScanned = false;
    TTexts scanShowed;

    ScanRecord()
    {
        profile.CompType = ctContent;
        profile.SimWord = 2;
        profile.MinWordLength = 3;
        profile.SetPriorityList("DSEB");
        const auto files = Build({{"/new/a.mp3", {900}}, {"/low/b.mp3", {300}}, {"/new/c.mp3", {200}},
                                  {"/new/d.mp3", {800}}, {"/new/e.mp3", {50}}},
                                 {{0, 1}, {0, 2}, {3, 4}});
        for (TBWFile* file : files)
            file->SetText("0f1e2d" + file->Name().substr(0, 1) + " - second");
        EntryOf(files[4])->SwitchWithReference();
        scanShowed = Shown();
        EXPECT_TRUE(list.SaveToFile(FileName()));

        for (const char* path : {"/new/a.mp3", "/low/b.mp3", "/new/c.mp3", "/new/d.mp3", "/new/e.mp3"})
            restarted.Add(path);
        profile.SetDirPriority("/low", dtPriority5);
        profile.SetPriorityList("BSED");
        profile.SimWord = 0;
        profile.CompType = ctFileName;
    }

    // The reloaded list outlives scanProfile.
    ~ScanRecord() override { reloaded.SetProfile(profile); }

    bool ReloadRestarted()
    {
        return reloaded.LoadFromFile(FileName(), restarted.Root(), &scanProfile, &asScanned);
    }
    // Each entry's words and role.
    TTexts Words()
    {
        TTexts words;
        for (TBWComparable* item = reloaded.First(); !reloaded.Eof(); item = reloaded.Next()) {
            const auto* entry = static_cast<TBWDupeFile*>(item);
            words.push_back(entry->File()->WordsText() + " " + std::to_string(entry->DirType()));
        }
        return words;
    }
};

TEST_F(ScanRecord, ShowsWhatTheScanShowedAfterARestart)
{
    ASSERT_EQ(scanShowed, (TTexts{"R a.mp3", "D b.mp3", "D c.mp3", "R e.mp3", "D d.mp3"}));
    ASSERT_TRUE(ReloadRestarted());
    EXPECT_TRUE(asScanned);
    EXPECT_EQ(Shown(reloaded), scanShowed);
    EXPECT_EQ(Words(), (TTexts{"[0f1e2da,second] 2", "[0f1e2db,second] 0", "[0f1e2dc,second] 2",
                               "[0f1e2de,second] 2", "[0f1e2dd,second] 2"}));
    EXPECT_EQ(&reloaded.Profile(), &scanProfile);
    EXPECT_EQ(scanProfile.CompType, ctContent);
    EXPECT_EQ(scanProfile.SimWord, 2);
    EXPECT_EQ(scanProfile.MinWordLength, 3);
    EXPECT_EQ(scanProfile.PriorityList(), "DSEB");
    EXPECT_EQ(reloaded.DupeCount(), 3);
    EXPECT_EQ(reloaded.RefCount(), 2);
}

TEST_F(ScanRecord, AReferenceGoneGivesWayToTheBestOfTheRestByTheScansCriteria)
{
    TFakeCollection withoutA;
    withoutA.Add("/low/b.mp3", {300});
    withoutA.Add("/new/c.mp3", {200});
    ASSERT_TRUE(reloaded.LoadFromFile(FileName(), withoutA.Root(), &scanProfile, &asScanned));
    EXPECT_TRUE(asScanned);
    // b is bigger, but its folder had priority 1 in the scan.
    EXPECT_EQ(Shown(reloaded), (TTexts{"R c.mp3", "D b.mp3"}));
}

struct TRecordCase {
    const char* name;
    std::function<void(TTempTree& folder)> spoil;
};

void PrintTo(const TRecordCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class UnusableScanRecord : public ScanRecord, public ::testing::WithParamInterface<TRecordCase> {};

// An older program's result file, or a record that does not belong to it,
// loads as before: the references chosen again with the list's profile.
TEST_P(UnusableScanRecord, LoadsAsBefore)
{
    GetParam().spoil(folder);
    ASSERT_TRUE(ReloadRestarted());
    EXPECT_FALSE(asScanned);
    EXPECT_EQ(&reloaded.Profile(), &profile);
    EXPECT_EQ(Shown(reloaded), (TTexts{"R b.mp3", "D a.mp3", "D c.mp3", "R d.mp3", "D e.mp3"}));
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

INSTANTIATE_TEST_SUITE_P(
    , UnusableScanRecord,
    ::testing::Values(
        TRecordCase{"Missing", [](TTempTree& folder) { std::filesystem::remove(folder.Path("last_results.scan")); }},
        TRecordCase{"ResultFileWrittenSince",
                    [](TTempTree& folder) {
                        folder.WriteFile("last_results.txt", folder.ReadFile("last_results.txt") + "\r\n");
                    }},
        TRecordCase{"CutInItsLastLine",
                    [](TTempTree& folder) {
                        const std::string text = folder.ReadFile("last_results.scan");
                        folder.WriteFile("last_results.scan", text.substr(0, text.size() - 12));
                    }},
        TRecordCase{"CutAfterItsLastFile",
                    [](TTempTree& folder) {
                        const std::string text = folder.ReadFile("last_results.scan");
                        folder.WriteFile("last_results.scan", text.substr(0, text.rfind("end")));
                    }},
        TRecordCase{"MoreFilesThanPaths",
                    [](TTempTree& folder) {
                        folder.WriteFile("last_results.scan", Replaced(folder.ReadFile("last_results.scan"),
                                                                       "files 5\n", "files 6\n") + "2\tx\n");
                    }},
        TRecordCase{"CountBeyondTheLines",
                    [](TTempTree& folder) {
                        folder.WriteFile("last_results.scan", Replaced(folder.ReadFile("last_results.scan"),
                                                                       "files 5\n", "files 2147483647\n"));
                    }},
        TRecordCase{"SettingOutOfRange",
                    [](TTempTree& folder) {
                        folder.WriteFile("last_results.scan", Replaced(folder.ReadFile("last_results.scan"),
                                                                       "CompType 3", "CompType 9"));
                    }},
        TRecordCase{"NotARecord", [](TTempTree& folder) { folder.WriteFile("last_results.scan", "\xff\xfe<x>"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScanRecordFileName, StandsBesideTheResultFile)
{
    EXPECT_EQ(ScanRecordFileName("/data/last_results.txt"), "/data/last_results.scan");
    EXPECT_EQ(ScanRecordFileName("/da.ta/results"), "/da.ta/results.scan");
    EXPECT_EQ(ScanRecordFileName("/data/.hidden"), "/data/.hidden.scan");
}

TEST_F(ResultFile, UnwritableFolderReportsFailure)
{
    Build({{"/new/a.mp3", {900}}, {"/new/b.mp3", {300}}}, {{0, 1}});
    EXPECT_FALSE(list.SaveToFile(folder.Path("no/such/folder/last_results.txt")));
}

}  // namespace
