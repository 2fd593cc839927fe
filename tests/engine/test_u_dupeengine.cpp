#include "engine/u_dupeengine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <numeric>
#include <optional>
#include <thread>

#include "model/u_bwdigest.h"
#include "model/u_bwfsmp3.h"
#include "tests/support/temp_tree.h"
#include "tests/support/tag_bytes.h"
#include "tests/support/recorded_progress.h"

namespace {

// The model's root as far as these scans need it: the file system under "/".
class TDiskRoot : public TBWDirMp3 {
public:
    void LoadSubDirs() override { AddSubDir("/"); }
};

// A scan of a temporary tree, as the main window runs it.
class Scan {
public:
    Scan() { profile.NewProfile(); }

    std::string File(const std::string& relative, const std::string& bytes = "")
    {
        return tree.WriteFile(relative, bytes);
    }

    TBWDupeEngine& Run(std::vector<std::string> folders = {""})
    {
        engine = std::make_unique<TBWDupeEngine>(root, profile);
        for (const std::string& folder : folders)
            engine->AddDirectory(tree.Path(folder));
        engine->Execute();
        EXPECT_TRUE(engine->Finished());
        EXPECT_EQ(engine->Error(), "");
        return *engine;
    }

    // Each group as "reference: duplicate, duplicate", by file name; singles
    // as their name alone. Sorted, so tests need not know the list order.
    std::vector<std::string> Groups()
    {
        std::vector<std::string> groups;
        TBWDupeFileList& results = engine->Results();
        for (TBWComparable* item = results.First(); item; item = results.Next()) {
            auto* entry = static_cast<TBWDupeFile*>(item);
            if (entry->State() == dsSingle) {
                groups.push_back(entry->File()->Name());
            } else if (entry->State() == dsReference) {
                std::vector<std::string> names;
                const TBWDupeLinks& links = entry->Links();
                for (TBWDupeFile* duplicate : links)
                    names.push_back(duplicate->File()->Name());
                std::sort(names.begin(), names.end());
                std::string group = entry->File()->Name() + ":";
                for (const std::string& name : names)
                    group += " " + name;
                groups.push_back(group);
            }
        }
        std::sort(groups.begin(), groups.end());
        return groups;
    }

    TTempTree tree;
    TDiskRoot root;
    TBWCVProfile profile{tree.Path("data")};
    std::unique_ptr<TBWDupeEngine> engine;
};

using Groups = std::vector<std::string>;

// MPEG frames with an ID3v1 tag of these texts.
std::string TaggedAudio(std::string_view title, std::string_view artist, std::string_view album, int frames = 3)
{
    const TBytes bytes =
        Repeated(MpegFrame(0xFB, 0x90, 0x00, 417), frames) + ID3v1Tag(title, artist, album, "", Filled(30), 0);
    return std::string(bytes.begin(), bytes.end());
}

// MPEG frames of 417 bytes, so that the size in KB is the frames' own, the
// one at place marked apart when marked.
std::string AudioFrames(int count, std::optional<std::size_t> marked = std::nullopt)
{
    const TBytes bytes = Repeated(MpegFrame(0xFB, 0x90, 0x00, 417), count);
    std::string text(bytes.begin(), bytes.end());
    if (marked)
        text[*marked] = '!';
    return text;
}

}  // namespace

TEST(DupeEngine, PruneDirectoriesKeepsEachFolderOnce)
{
    std::vector<std::string> folders = {"/m/rock", "/m", "/x", "/x/", "/m/pop", "/mu"};
    TBWDupeEngine::PruneDirectories(folders);
    EXPECT_EQ(folders, (std::vector<std::string>{"/m", "/x/", "/mu"}));
}

TEST(DupeEngine, AFolderGivenWithItsSubfolderIsScannedOnce)
{
    Scan scan;
    scan.File("a/Artist - Song.mp3");
    scan.File("a/sub/artist - song.mp3");
    scan.Run({"a", "a/sub", "a"});
    EXPECT_EQ(scan.Groups(), (Groups{"Artist - Song.mp3: artist - song.mp3"}));
}

TEST(DupeEngine, FileNamesWithFieldsPairOnlyWithTheSameFields)
{
    Scan scan;
    scan.File("a/Queen - Bohemian Rhapsody.mp3");
    scan.File("b/queen - bohemian rhapsody.ogg");
    scan.File("b/Bohemian Rhapsody - Queen.mp3");
    scan.File("b/Queen - Radio Gaga.mp3");
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"Queen - Bohemian Rhapsody.mp3: queen - bohemian rhapsody.ogg"}));

    scan.profile.NoFieldOrder = true;  // any field order: the swapped name joins
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"Queen - Bohemian Rhapsody.mp3: Bohemian Rhapsody - Queen.mp3 "
                                     "queen - bohemian rhapsody.ogg"}));
}

TEST(DupeEngine, ShortNamesExcludedNamesAndExcludedFoldersTakeNoPart)
{
    Scan scan;
    scan.File("a/Pink Floyd - Time.mp3");
    scan.File("b/pink floyd - time.mp3");
    scan.File("b/Pink Floyd - Time (live).mp3");
    scan.File("c/PINK FLOYD - TIME.mp3");
    scan.File("a/Go.mp3");
    scan.File("b/go.mp3");  // one word: below the minimum word count
    scan.profile.MinPerc = 50;
    scan.profile.SetExclusions("*LIVE*;[abc");  // the unclosed set excludes nothing
    scan.profile.SetDirPriority(scan.tree.Path("c"), dtExcluded);
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"Pink Floyd - Time.mp3: pink floyd - time.mp3"}));

    scan.profile.ResultType = rsBanlist;  // the banlist lists excluded folders too
    scan.profile.SetExclusions("*time*");
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"PINK FLOYD - TIME.mp3", "Pink Floyd - Time (live).mp3",
                                     "Pink Floyd - Time.mp3", "pink floyd - time.mp3"}));
}

TEST(DupeEngine, SimilarWordsAreComparedOnlyWithATolerance)
{
    Scan scan;
    scan.File("a/Beatles - Yesterday.mp3");
    scan.File("b/Beatles - Yesterdy.mp3");
    scan.profile.CompType = ctFileName;
    scan.Run();
    EXPECT_TRUE(scan.Groups().empty());
    scan.profile.SimWord = 1;
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"Beatles - Yesterday.mp3: Beatles - Yesterdy.mp3"}));
}

TEST(DupeEngine, NegativeResultsAreTheFilesMissingFromTheReferenceFolder)
{
    Scan scan;
    scan.File("collection/Abba - Waterloo.mp3");
    scan.File("collection/Abba - Fernando.mp3");
    scan.File("disc/abba - waterloo.mp3");
    scan.File("disc/Abba - Dancing Queen.mp3");
    scan.profile.ResultType = rsNegative;
    scan.profile.SetDirPriority(scan.tree.Path("collection"), dtReference);
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"Abba - Dancing Queen.mp3"}));
}

// A file that ends before the window is compared by all its bytes; a size
// no other file has needs no digest at all.
TEST(DupeEngine, ContentComparisonDigestsTheWindowOrTheWholeOfASmallFile)
{
    Scan scan;
    scan.File("a/first name.mp3", AudioFrames(480));
    scan.File("b/other words.mp3", AudioFrames(480));
    scan.File("a/small one.mp3", AudioFrames(160));  // 65 KB
    scan.File("b/small two.mp3", AudioFrames(160));
    scan.File("c/small other.mp3", AudioFrames(160, 30000));
    const std::string lone = scan.File("c/lone size.mp3", AudioFrames(220));
    scan.profile.CompType = ctContent;
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"first name.mp3: other words.mp3", "small one.mp3: small two.mp3"}));
    EXPECT_EQ(scan.engine->UncomparedFiles().count, 0u);
    EXPECT_FALSE(scan.root.FindFileByPath(lone)->LoadedInfo().test(ikDigest));
}

// A name tells nothing of the content: compared by content, a file whose
// name gives too few words takes part; the exclusion patterns and excluded
// folders still leave files out.
TEST(DupeEngine, ContentComparisonTakesEveryFileWhateverItsName)
{
    const struct {
        const char* profile;
        void (*choose)(TBWCVProfile&);
    } profiles[] = {
        {"the profile editor's default", [](TBWCVProfile& profile) { profile.CompType = ctContent; }},
        {"the wizard's content preset",
         [](TBWCVProfile& profile) {
             profile.MinPerc = 100;
             profile.CompType = ctContent;
             profile.MinWordCount = 1;
         }},
    };
    for (const auto& row : profiles) {
        SCOPED_TRACE(row.profile);
        Scan scan;
        const std::string song = AudioFrames(480);
        scan.File("a/01.mp3", song);
        scan.File("b/01.mp3", song);
        scan.File("b/Track 01.mp3", song);
        scan.File("b/01 (Live).mp3", song);
        scan.File("c/Track 01.mp3", song);
        row.choose(scan.profile);
        scan.profile.SetExclusions("*live*");
        scan.profile.SetDirPriority(scan.tree.Path("c"), dtExcluded);
        scan.Run();
        EXPECT_EQ(scan.Groups(), (Groups{"01.mp3: 01.mp3 Track 01.mp3"}));
    }
}

// Of a size in KB, only windows that start alike are digested, and a window
// takes the digest of another only when they are equal byte for byte.
TEST(DupeEngine, ContentComparisonDigestsOnlyWindowsThatStartLikeAnother)
{
    constexpr std::size_t kWindow = 65536;
    Scan scan;
    scan.File("a/first song.mp3", AudioFrames(480));
    const std::string copy = scan.File("b/its copy.mp3", AudioFrames(480));
    const std::string late = scan.File("c/differs late.mp3", AudioFrames(480, kWindow + 60000));
    const std::string early = scan.File("c/differs early.mp3", AudioFrames(480, kWindow + 100));
    scan.profile.CompType = ctContent;
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"first song.mp3: its copy.mp3"}));
    for (const std::string& path : {copy, late}) {
        TBWFile* file = scan.root.FindFileByPath(path);
        ASSERT_TRUE(file->LoadedInfo().test(ikDigest)) << path;
        EXPECT_EQ(file->GetDigest(), DigestFileWindow(path, DigestOffset, DigestLength)) << path;
    }
    EXPECT_FALSE(scan.root.FindFileByPath(early)->LoadedInfo().test(ikDigest));
}

// A catalogued disc, not in the drive: its entries hold the window digests
// and sizes once read, as an Mp3 List keeps them.
class TCataloguedDisc : public TBWDirectory {
public:
    explicit TCataloguedDisc(TBWObject* owner = nullptr) : TBWDirectory(owner)
    {
        SetFileListClass(TBWFileListMp3::StaticClass());
    }
    TBWDirectory* NewChildDir() override { return new TCataloguedDisc(this); }
    void LoadSubDirs() override
    {
        if (Owner())
            return;
        TBWDirectory* disc = AddSubDirTouch("disc");
        for (const char* name : {"first song.mp3", "second song.mp3"}) {
            auto* file = static_cast<TBWMp3File*>(disc->Files()->AddFileTouch(name));
            TBWMp3File::TReadInfo basic;
            basic.sizeKB = 5000;
            file->StoreInfo(ikBasic, basic);
            file->SetDigest(Md5Of("the window of both"));
            file->MarkLoaded(ikDigest);
        }
    }
};

TEST(DupeEngine, AWindowDigestTheModelHoldsIsComparedAsItStands)
{
    TCataloguedDisc root;
    root.Refresh();
    TBWCVProfile profile;
    profile.NewProfile();
    profile.CompType = ctContent;
    TBWDupeEngine engine(root, profile);
    engine.AddDirectory(root.DirAt(0)->Path());
    engine.Execute();
    EXPECT_EQ(engine.Error(), "");
    EXPECT_EQ(engine.Results().Count(), 2);
    EXPECT_EQ(engine.UncomparedFiles().count, 0u);
}

TEST(DupeEngine, FilesWhoseContentCannotBeReadAreNamedAndComparedWithNone)
{
    Scan scan;
    const std::vector<std::string> empty = {scan.File("a/empty one.mp3"), scan.File("b/empty two.mp3")};
    scan.profile.CompType = ctContent;
    scan.Run();
    EXPECT_EQ(scan.Groups(), Groups{});
    EXPECT_EQ(scan.engine->UncomparedFiles().count, 2u);
    std::vector<std::string> named = scan.engine->UncomparedFiles().paths;
    std::sort(named.begin(), named.end());
    EXPECT_EQ(named, empty);
}

TEST(DupeEngine, NegativeResultsByContentListFilesWhoseWindowCannotBeRead)
{
    Scan scan;
    const std::string content = PatternBytes(200000);
    scan.File("collection/old song.mp3", content);
    scan.File("disc/copy of old song.mp3", content);
    scan.File("disc/short new song.mp3", "tiny");
    scan.profile.CompType = ctContent;
    scan.profile.ResultType = rsNegative;
    scan.profile.SetDirPriority(scan.tree.Path("collection"), dtReference);
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"short new song.mp3"}));
}

// The patterns see the tags as they are: dots kept, an empty album too.
TEST(DupeEngine, TheBanlistTestsTheTagsAsTheyHoldThem)
{
    const struct {
        TBWCompType compType;
        const char* pattern;
    } cases[] = {
        {ctTags, "*mr. blue*"},
        {ctTags, "mr. blue - the fleetwoods"},
        {ctTagsWithAlbum, "mr. blue - the fleetwoods - "},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.pattern);
        Scan scan;
        scan.File("a/track01.mp3", TaggedAudio("Mr. Blue", "The Fleetwoods", ""));
        scan.File("a/track02.mp3", TaggedAudio("Come Softly", "The Fleetwoods", ""));
        scan.profile.CompType = test.compType;
        scan.profile.ResultType = rsBanlist;
        scan.profile.SetExclusions(test.pattern);
        scan.Run();
        EXPECT_EQ(scan.Groups(), (Groups{"track01.mp3"}));
    }
}

namespace {

// MPEG frames under an ID3v2.4 tag of UTF-8 texts: tags of every script.
std::string TaggedAudioUtf8(std::string_view title, std::string_view artist, std::string_view album, int frames = 3)
{
    auto frame = [](std::string_view id, std::string_view text) {
        return ID3v2Frame(4, id, ID3v2Text(3, Bytes(text)));
    };
    const TBytes bytes = ID3v2Tag(4, frame("TIT2", title) + frame("TPE1", artist) + frame("TALB", album)) +
                         Repeated(MpegFrame(0xFB, 0x90, 0x00, 417), frames);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// Five different songs of one Japanese artist on one album are five songs;
// the same title on two files is one song.
TEST(DupeEngine, JapaneseTagsGroupByTheirTitles)
{
    const char* titles[] = {"\u5149", "\u591c\u660e\u3051", "\u82b1", "\u98a8\u306e\u8c37",
                            "\u30e1\u30ea\u30fc\u30af\u30ea\u30b9\u30de\u30b9"};
    for (TBWCompType compType : {ctTags, ctTagsWithAlbum}) {
        SCOPED_TRACE(compType);
        Scan scan;
        for (int i = 0; i < 5; ++i)
            scan.File("a/" + std::to_string(i) + ".mp3",
                      TaggedAudioUtf8(titles[i], "\u5b87\u591a\u7530\u30d2\u30ab\u30eb", "First Love"));
        scan.File("b/copy.mp3", TaggedAudioUtf8("\u5149", "\u5b87\u591a\u7530\u30d2\u30ab\u30eb", "First Love"));
        scan.profile.CompType = compType;
        scan.profile.MinPerc = 100;
        scan.Run();
        EXPECT_EQ(scan.Groups(), (Groups{"0.mp3: copy.mp3"}));
    }
}

// Names and tags that only hold letters beyond ASCII, each as a person
// reads them: accented Latin letters meet their base letters, Cyrillic
// names keep their words, by name, by tags and by content.
TEST(DupeEngine, NamesAndTagsOfEveryScriptFindTheirDuplicates)
{
    const std::string song = "\u041f\u0430\u0447\u043a\u0430 \u0441\u0438\u0433\u0430\u0440\u0435\u0442";
    const std::string band = "\u041a\u0438\u043d\u043e";
    const struct {
        TBWCompType compType;
        std::string a, b;
    } cases[] = {
        {ctFileNameFields, "Beyonc\u00e9 - Halo", "Beyonce - HALO"},
        {ctFileName, "M\u00f6tley Cr\u00fce - Kickstart My Heart", "Motley Crue - Kickstart My Heart"},
        {ctFileNameFields, band + " - " + song, "\u041a\u0418\u041d\u041e - " + song},
        {ctTags, "one", "two"},
        {ctContent, song, song},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.a);
        Scan scan;
        const std::string audio = TaggedAudioUtf8(song, band, "");
        scan.File("a/" + test.a + ".mp3", audio);
        scan.File("b/" + test.b + ".mp3", audio);
        scan.File("b/\u0417\u0432\u0435\u0437\u0434\u0430 \u043f\u043e \u0438\u043c\u0435\u043d\u0438 \u0421\u043e\u043b\u043d\u0446\u0435.mp3",
                  TaggedAudioUtf8("\u0417\u0432\u0435\u0437\u0434\u0430", band, "") + "other");
        scan.profile.CompType = test.compType;
        scan.Run();
        EXPECT_EQ(scan.Groups(), (Groups{test.a + ".mp3: " + test.b + ".mp3"}));
    }
}

// Exclusions ignore case in every script, on names and on tags.
TEST(DupeEngine, ExclusionsIgnoreCaseInEveryScript)
{
    Scan scan;
    scan.File("a/\u041a\u0418\u041d\u041e - \u0417\u0432\u0435\u0437\u0434\u0430.mp3");
    scan.File("a/track.mp3", TaggedAudioUtf8("Ace of Spades", "Mot\u00f6rhead", ""));
    scan.File("a/other.mp3", TaggedAudioUtf8("Halo", "Beyonc\u00e9", ""));
    scan.profile.CompType = ctTags;
    scan.profile.ResultType = rsBanlist;
    scan.profile.SetExclusions("*\u043a\u0438\u043d\u043e*;*MOT\u00d6RHEAD*");
    scan.Run();
    EXPECT_EQ(scan.Groups(), (Groups{"track.mp3", "\u041a\u0418\u041d\u041e - \u0417\u0432\u0435\u0437\u0434\u0430.mp3"}));
}

TEST(DupeEngine, TagComparisonNeedsTitleAndArtist)
{
    Scan scan;
    scan.tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "a/one.mp3");
    scan.tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "b/two.mp3");
    scan.tree.CopyFixture("cbr96_stereo_32k_noinfo.mp3", "b/three.mp3");
    scan.File("b/untagged.mp3");
    scan.profile.CompType = ctTags;
    scan.profile.MinWordCount = 1;
    scan.Run();
    EXPECT_EQ(scan.Groups().size(), 1u);
    EXPECT_NE(scan.Groups()[0].find("one.mp3"), std::string::npos);
    EXPECT_NE(scan.Groups()[0].find("two.mp3"), std::string::npos);
}

TEST(DupeEngine, ReportsJobsAndStepsInBatches)
{
    Scan scan;
    for (int i = 0; i < 50; ++i)
        scan.File("a/Artist Name - Song Number " + std::to_string(i) + ".mp3");
    TRecordedProgress progress;
    scan.engine = std::make_unique<TBWDupeEngine>(scan.root, scan.profile);
    scan.engine->Progress = &progress;
    scan.engine->AddDirectory(scan.tree.Path("a"));
    scan.engine->Execute();
    EXPECT_EQ(progress.Captions(), (std::vector<std::string>{"Adding files to the scan list",
                                                             "Grouping files by words", "Matching groups"}));
    EXPECT_GE(progress.steps, 100u);
}

// The window shows as many jobs as the scan reports: the count comes from
// the engine's own list of jobs for the profile.
TEST(DupeEngine, ReportsTheJobsItsJobCountPromises)
{
    struct Kind {
        TBWResultType resultType;
        TBWCompType compType;
        std::int32_t simWord;
        std::int32_t jobs;
    };
    const Kind kinds[] = {
        {rsBanlist, ctFileName, 2, 2},          {rsDuplicates, ctFileNameFields, 0, 3},
        {rsDuplicates, ctFileNameFields, 1, 4}, {rsDuplicates, ctContent, 1, 4},
        {rsNegative, ctContent, 0, 5},          {rsNegative, ctTags, 2, 5},
    };
    for (const Kind& kind : kinds) {
        Scan scan;
        scan.File("a/Artist Name - Song.mp3");
        scan.File("b/Artist Name - Song.mp3");
        scan.profile.ResultType = kind.resultType;
        scan.profile.CompType = kind.compType;
        scan.profile.SimWord = kind.simWord;
        TRecordedProgress progress;
        scan.engine = std::make_unique<TBWDupeEngine>(scan.root, scan.profile);
        scan.engine->Progress = &progress;
        scan.engine->AddDirectory(scan.tree.Path());
        scan.engine->Execute();
        EXPECT_EQ(TBWDupeEngine::JobCount(scan.profile), kind.jobs) << kind.resultType << " " << kind.compType;
        EXPECT_EQ(progress.jobs.size(), std::size_t(kind.jobs)) << kind.resultType << " " << kind.compType;
    }
}

// The matching of many files in one round of threads reports its steps
// while it runs, and all of them, one per word, by its end.
TEST(DupeEngine, MatchingReportsItsStepsWhileItRuns)
{
    Scan scan;
    constexpr int kFiles = 3000;
    for (int i = 0; i < kFiles; ++i)
        scan.File("a/alpha" + std::to_string(i) + " beta" + std::to_string(i) + ".mp3");
    for (unsigned threads : {1u, 4u}) {
        std::vector<std::uint64_t> reports;
        std::uint64_t words = 0;
        bool matching = false;
        TRecordedProgress progress;
        progress.onJob = [&](const TRecordedProgress::TJob& job) {
            matching = job.caption == "Matching groups";
            if (matching)
                words = job.itemCount;
        };
        progress.onStep = [&](std::uint64_t items) {
            if (matching)
                reports.push_back(items);
        };
        scan.engine = std::make_unique<TBWDupeEngine>(scan.root, scan.profile);
        scan.engine->Tuning.MatchThreads = threads;
        scan.engine->Tuning.ManyMeetings = 0;  // each file meets only itself
        scan.engine->Progress = &progress;
        scan.engine->AddDirectory(scan.tree.Path("a"));
        scan.engine->Execute();
        EXPECT_EQ(words, 2u * kFiles);
        EXPECT_EQ(std::accumulate(reports.begin(), reports.end(), std::uint64_t(0)), words) << threads;
        if (threads == 1) {
            EXPECT_GE(reports.size(), 2u) << "the steps came only at the end";
        }
    }
}

// A matching of fewer words than a batch of steps hands them on while it
// runs, with exact and with similar words: a share as each stage ends, the first before
// any pair is linked, and not all at once when the job is over.
TEST(DupeEngine, MatchingOfFewWordsHandsOnItsStepsBeforeItEnds)
{
    Scan scan;
    for (int i = 0; i < 100; ++i)
        for (const std::string folder : {"a/", "b/"})
            scan.File(folder + "alpha" + std::to_string(i) + " beta" + std::to_string(i) + ".mp3");
    for (std::int32_t tolerance : {0, 1}) {  // exact words, similar words
        scan.profile.SimWord = tolerance;
        std::vector<std::uint64_t> reports;
        std::vector<std::int32_t> linkedAtReport;
        std::uint64_t words = 0;
        bool matching = false;
        TRecordedProgress progress;
        progress.onJob = [&](const TRecordedProgress::TJob& job) {
            matching = job.caption == "Matching groups";
            if (matching)
                words = job.itemCount;
        };
        progress.onStep = [&](std::uint64_t items) {
            if (!matching)
                return;
            reports.push_back(items);
            linkedAtReport.push_back(scan.engine->Results().Count());
        };
        scan.engine = std::make_unique<TBWDupeEngine>(scan.root, scan.profile);
        scan.engine->Tuning.MatchThreads = 1;
        scan.engine->Progress = &progress;
        scan.engine->AddDirectory(scan.tree.Path());
        scan.engine->Execute();
        EXPECT_FALSE(scan.Groups().empty()) << tolerance;
        EXPECT_EQ(std::accumulate(reports.begin(), reports.end(), std::uint64_t(0)), words) << tolerance;
        ASSERT_GE(reports.size(), 3u) << "tolerance " << tolerance << ": the steps came in one report";
        EXPECT_EQ(linkedAtReport.front(), 0) << "tolerance " << tolerance << ": no steps before the linking";
    }
}

TEST(DupeEngine, AStopRequestDuringLinkingEndsTheScan)
{
    Scan scan;
    for (int i = 0; i < 400; ++i)
        scan.File("a/word" + std::to_string(i * 7919) + " other" + std::to_string(i) + ".mp3");
    scan.profile.SimWord = 2;
    scan.engine = std::make_unique<TBWDupeEngine>(scan.root, scan.profile);
    TRecordedProgress progress;
    progress.onJob = [&](const TRecordedProgress::TJob& job) {
        if (job.caption == "Linking similar words")
            scan.engine->RequestStop();
    };
    scan.engine->Progress = &progress;
    scan.engine->AddDirectory(scan.tree.Path("a"));
    scan.engine->Start();
    while (!scan.engine->Finished())
        std::this_thread::yield();
    EXPECT_TRUE(scan.engine->Stopped());
    EXPECT_EQ(scan.engine->Error(), "");
}

// The stop comes while the folder's files are listed, so the next thing the
// scan does is read the first file's tags: that read ends the scan, and
// nothing half-read is kept as the file's tags.
TEST(DupeEngine, AStopRequestEndsTheScanInsideTheReadingOfAFile)
{
    struct TStoppingRoot : TDiskRoot {
        TBWDupeEngine* engine = nullptr;
        void DirChanged(TBWDirectory*, TBWChangeKind kind) override
        {
            if (kind == ckFileAdded && engine)
                engine->RequestStop();
        }
    } root;
    TTempTree tree;
    tree.WriteFile("a/one.mp3", TaggedAudio("Mr. Blue", "The Fleetwoods", ""));
    TBWCVProfile profile{tree.Path("data")};
    profile.NewProfile();
    profile.CompType = ctTags;
    TBWDupeEngine engine(root, profile);
    root.engine = &engine;
    engine.AddDirectory(tree.Path("a"));
    engine.Execute();
    EXPECT_TRUE(engine.Stopped());
    root.engine = nullptr;
    auto* file = dynamic_cast<TBWMp3File*>(root.FindFileByPath(tree.Path("a/one.mp3")));
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->LoadedInfo().test(ikTags));
    EXPECT_EQ(file->Title(), "Mr. Blue");
}

TEST(DupeEngine, AFailureOnTheWorkerIsReported)
{
    struct TBrokenRoot : TDiskRoot {
        void Refresh() override { throw std::runtime_error("the model could not be read"); }
    } root;
    TBWCVProfile profile;
    TBWDupeEngine engine(root, profile);
    engine.Start();
    while (!engine.Finished())
        std::this_thread::yield();
    EXPECT_EQ(engine.Error(), "the model could not be read");
}

TEST(DupeEngine, AFolderReachedThroughALinkIsScannedOnce)
{
    Scan scan;
    scan.File("a/Artist - Song.mp3");
    scan.File("b/artist - song.mp3");
    scan.tree.MakeLink("a/again", scan.tree.Path("b"));
    scan.Run({"a", "b"});
    EXPECT_EQ(scan.Groups(), (Groups{"Artist - Song.mp3: artist - song.mp3"}));
}

// A link is another name of a file: were it scanned, the only real copy of
// a song would be offered for deletion as the duplicate of its own link.
TEST(DupeEngine, ALinkToAFileIsNeverTheFilesDuplicate)
{
    for (const TBWCompType compType : {ctFileName, ctContent}) {
        Scan scan;
        scan.File("a/Song.mp3", "the only copy");
        scan.File("b/Other.mp3", "another song");
        scan.tree.MakeLink("a/Song (alias).mp3", scan.tree.Path("a/Song.mp3"));
        scan.tree.MakeLink("b/Song.mp3", scan.tree.Path("a/Song.mp3"));
        scan.profile.CompType = compType;
        scan.Run({"a", "b"});
        EXPECT_EQ(scan.Groups(), std::vector<std::string>{}) << compType;
    }
}

TEST(DupeEngine, AWalkNeverLeavesTheChosenFoldersThoughAChosenFolderMayBeALink)
{
    Scan scan;
    scan.File("music/a/Artist - Song.mp3");
    scan.File("outside/artist - song.mp3");
    scan.tree.MakeLink("music/elsewhere", scan.tree.Path("outside"));
    scan.Run({"music"});
    EXPECT_EQ(scan.Groups(), std::vector<std::string>{});
    scan.tree.MakeLink("chosen", scan.tree.Path("outside"));
    scan.Run({"music", "chosen"});
    EXPECT_EQ(scan.Groups(), (std::vector<std::string>{"Artist - Song.mp3: artist - song.mp3"}));
}

TEST(DupeEngine, TagsWithAlbumPairOnlyWithTheSameFields)
{
    Scan scan;
    scan.tree.CopyFixture("cbr96_stereo_32k_noinfo.mp3", "a/no album one.mp3");
    scan.tree.CopyFixture("cbr96_stereo_32k_noinfo.mp3", "b/no album two.mp3");
    scan.tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "b/with album.mp3");
    scan.profile.CompType = ctTagsWithAlbum;
    scan.Run();
    EXPECT_EQ(scan.Groups().size(), 1u);
    EXPECT_EQ(scan.Groups()[0].find("with album"), std::string::npos);
}

TEST(DupeEngine, ScoringOnSeveralThreadsAndDroppingHopelessPairsChangeNoResult)
{
    Scan scan;
    const char* words[] = {"star", "moon", "river", "dance", "night", "love", "heart", "fire"};
    for (int i = 0; i < 600; ++i)
        scan.File("f" + std::to_string(i % 7) + "/" + words[i % 8] + " " + words[i / 8 % 8] + " - " +
                  words[i / 64 % 8] + " " + words[(i * 7) % 8] + " " + std::to_string(i % 13) + ".mp3");
    scan.profile.MinPerc = 60;
    const std::string one = scan.tree.Path("one.txt"), many = scan.tree.Path("many.txt");
    scan.Run();
    scan.engine->Results().SaveToFile(many);
    scan.engine = std::make_unique<TBWDupeEngine>(scan.root, scan.profile);
    scan.engine->Tuning.MatchThreads = 1;
    scan.engine->Tuning.DropHopelessPairs = false;
    scan.engine->AddDirectory(scan.tree.Path());
    scan.engine->Execute();
    scan.engine->Results().SaveToFile(one);
    std::ifstream a(one, std::ios::binary), b(many, std::ios::binary);
    const std::string oneText{std::istreambuf_iterator<char>(a), {}};
    const std::string manyText{std::istreambuf_iterator<char>(b), {}};
    EXPECT_GT(oneText.size(), 1000u);
    EXPECT_EQ(oneText, manyText);
}

namespace {

// Names as collections have them: fields parted by " - ", words from a
// vocabulary (made syllables, or a few very frequent words and a long tail),
// words too short to count, repeated words and copies with a word changed.
// With scripts, words of accented Latin, Cyrillic and Japanese, of either
// case and some folding to others.
std::vector<std::string> CollectionNames(std::uint32_t seed, bool frequentWords, int count, bool scripts = false)
{
    static const char* ascii[] = {"ka", "lo", "mi", "ra", "sun", "moon", "vel", "dor", "a", "x"};
    static const char* asciiFrequent[] = {"the", "love", "live", "remix", "feat", "version", "night"};
    static const char* mixed[] = {"\u043a\u0430", "l\u00f6", "MI", "ra", "s\u00dcn", "\u6708", "v\u00e9l", "\u0414\u043e\u0440", "\u044f", "x"};
    static const char* mixedFrequent[] = {"the", "L\u00d6VE", "love", "\u30e9\u30a4\u30d6", "\u0440\u0435\u043c\u0438\u043a\u0441", "f\u00eb\u00e0t", "NIGHT"};
    const auto& syllables = scripts ? mixed : ascii;
    const auto& frequent = scripts ? mixedFrequent : asciiFrequent;
    std::mt19937 random(seed);
    auto word = [&] {
        if (frequentWords && random() % 3 == 0)
            return std::string(frequent[random() % std::size(frequent)]);
        std::string made;
        for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n)
            made += syllables[random() % (frequentWords ? std::size(syllables) : 6)];
        return made;
    };
    std::vector<std::string> names;
    while (static_cast<int>(names.size()) < count) {
        std::string name;
        const int fields = 1 + static_cast<int>(random() % 3);
        for (int f = 0; f < fields; ++f) {
            if (f)
                name += " - ";
            for (int w = static_cast<int>(random() % 4); w >= 0; --w)
                name += word() + " ";
        }
        names.push_back(name);
        if (random() % 2) {  // a copy with a word changed, or its fields swapped
            std::string copy = name;
            const std::size_t blank = copy.find(' ');
            copy = random() % 2 ? word() + copy.substr(blank) : copy.substr(blank + 1) + " - " + word();
            names.push_back(copy);
        }
    }
    return names;
}

// What the results window shows of a scan beside the result file: every
// entry in the list's order with its state and its links in their order,
// which decide the details and the choices of switch, replace and remove.
std::string Shown(TBWDupeFileList& results)
{
    std::string shown;
    for (TBWComparable* item = results.First(); item; item = results.Next()) {
        const auto& entry = static_cast<const TBWDupeFile&>(*item);
        shown += std::to_string(entry.State()) + " " + entry.File()->FullPath() + " <";
        for (const TBWDupeFile* linked : entry.Links())
            shown += " " + linked->File()->FullPath();
        shown += ">\n";
    }
    return shown;
}

// The first three fields of a name, parted by " - ".
std::array<std::string, 3> NameFields(const std::string& name)
{
    std::array<std::string, 3> fields;
    std::size_t start = 0;
    for (std::string& field : fields) {
        const std::size_t end = std::min(name.find(" - ", start), name.size());
        field = name.substr(std::min(start, name.size()), end - std::min(start, name.size()));
        start = end + 3;
    }
    return fields;
}

// A file of a randomised collection: where it lies in the tree, its bytes.
struct TMadeFile {
    std::string relative;
    std::string bytes;
};

// The saved results and shown list of a scan of folder by a way other than
// the walk over every pair that differ from the walk's, by the first way
// that gives them (1 filtered on one thread, 2 on several, which also
// prepare and file the words and find the links on threads however few the
// files, 3 the walk that drops only the pairs whose signatures tell they
// cannot reach); way 0 is the walk that reads every digest on one thread.
// Each way scans a model of its own, which has read nothing yet.
struct TMismatch {
    int way;
    std::string walk;
    std::string found;
};

std::optional<TMismatch> FirstMismatch(const std::string& folder, const TBWCVProfile& profile,
                                       std::string& walk)
{
    for (int way = 0; way < 4; ++way) {
        TDiskRoot root;
        TBWDupeEngine engine(root, profile);
        engine.Tuning.FilterCandidates = way == 1 || way == 2;
        engine.Tuning.DropHopelessPairs = way > 0;
        engine.Tuning.SkipLoneSizes = way > 0;
        engine.Tuning.SkipDistinctStarts = way > 0;
        engine.Tuning.MatchThreads = way >= 2 ? 8 : 1;
        engine.Tuning.ManyFiles = way == 2 ? 0 : SIZE_MAX;
        engine.Tuning.ManyMeetings = way == 2 ? 0 : UINT64_MAX;
        engine.Tuning.ListingThreads = way == 2 ? 3 : 1;
        engine.Tuning.ReadThreads = way == 2 ? 8 : 1;
        engine.AddDirectory(folder);
        engine.Execute();
        const std::string file = folder + "../results.txt";
        engine.Results().SaveToFile(file);
        std::ifstream in(file, std::ios::binary);
        const std::string saved = std::string{std::istreambuf_iterator<char>(in), {}} + Shown(engine.Results());
        if (way == 0)
            walk = saved;
        else if (saved != walk)
            return TMismatch{way, walk, saved};
    }
    return std::nullopt;
}

std::optional<TMismatch> FirstMismatch(const std::vector<TMadeFile>& files, const TBWCVProfile& profile)
{
    TTempTree tree;
    for (const TMadeFile& file : files)
        tree.WriteFile("scanned/" + file.relative, file.bytes);
    std::string walk;
    return FirstMismatch(tree.Path("scanned"), profile, walk);
}

// The files that still show a mismatch once every file that can go without
// losing it has gone (runs of files first, halved down to single files),
// with what the walk and the other way found of them: a failing case small
// enough to read.
std::string MinimalFailingCase(std::vector<TMadeFile> files, const TBWCVProfile& profile)
{
    for (std::size_t run = std::max<std::size_t>(files.size() / 2, 1); run > 0; run /= 2)
        for (std::size_t from = 0; from < files.size();) {
            std::vector<TMadeFile> fewer = files;
            fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(from),
                        fewer.begin() + static_cast<std::ptrdiff_t>(std::min(files.size(), from + run)));
            if (FirstMismatch(fewer, profile))
                files = std::move(fewer);
            else
                from += run;
        }
    const std::optional<TMismatch> mismatch = FirstMismatch(files, profile);
    std::string text = "the fewest files that differ (" + std::to_string(files.size()) + "):\n";
    for (const TMadeFile& file : files)
        text += "  " + file.relative + " (" + std::to_string(file.bytes.size()) + " bytes)\n";
    if (mismatch)
        text += "the walk found:\n" + mismatch->walk + "way " + std::to_string(mismatch->way) + " found:\n" +
                mismatch->found;
    return text;
}

}  // namespace

// Whatever pairs are left unscored, whichever digests are left unread,
// whether files of identical words are scored as one, and however many
// threads list folders, read files and score pairs, the result file is the
// one of the walk that scores every pair sharing a word. A difference is
// shown with the fewest files of the collection that still give it.
TEST(DupeEngine, FilteredAndThreadedScansGiveTheResultsOfTheWalkOverEveryPair)
{
    std::mt19937 random(2024);
    int compared = 0;
    bool failed = false;
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        for (int kind = 0; kind < 3; ++kind) {
            const bool frequentWords = kind > 0, scripts = kind == 2;
            Scan scan;
            const std::vector<std::string> names = CollectionNames(seed, frequentWords, 240, scripts);
            std::vector<TMadeFile> files;
            std::string bytes, name;
            int windowedCopies = 0;
            for (std::size_t i = 0; i < names.size(); ++i) {
                // One file in four a copy of the one before, under its name
                // in another folder, and one in sixteen of a name many
                // folders hold: classes of identical words, of two files
                // and of many. Sizes from one shared by many files to ones
                // of their own, some beyond the content window, whose files
                // of one size have equal windows.
                if (i % 16 == 15) {
                    name = "the same song - by the same artist";
                } else if (i % 4 != 3) {
                    name = names[i] + std::to_string(i);
                    const auto [artist, title, album] = NameFields(names[i]);
                    const int frames = i % 9 == 0 ? 320 + static_cast<int>(i % 40) : 3 + static_cast<int>(i % 3);
                    bytes = scripts ? TaggedAudioUtf8(title, artist, album, frames)
                                    : TaggedAudio(title, artist, album, frames);
                } else if (bytes.size() >= 2 * 65536 && ++windowedCopies % 3 != 0) {
                    // Two copies in three of a file with a window differ
                    // from it there: at the start or past it.
                    bytes[65536 + (windowedCopies % 3 == 1 ? 100 : 60000)] ^= 1;
                }
                files.push_back({"f" + std::to_string(i % 5) + "/" + std::to_string(i % 3) + "/" + name + ".mp3",
                                 bytes});
                scan.File("scanned/" + files.back().relative, bytes);
            }
            // Every comparison type in each collection, and minimums of 0
            // and 30 (where a file has the most partners) among the others.
            for (int run = 0; run < 10; ++run) {
                TBWCVProfile& profile = scan.profile;
                profile.CompType =
                    std::array{ctFileNameFields, ctFileName, ctTags, ctTagsWithAlbum, ctContent}[(run + seed) % 5];
                profile.MinPerc = run < 2 ? 30 * run : std::array{0, 30, 40, 50, 67, 80, 100}[random() % 7];
                profile.SimWord = static_cast<std::int32_t>(random() % 3);
                profile.NoFieldOrder = random() % 2;
                profile.MinWordCount = 1 + static_cast<std::int32_t>(random() % 4);
                const std::string setting = "seed " + std::to_string(seed) + " run " + std::to_string(run) +
                                            " type " + std::to_string(profile.CompType) + " minimum " +
                                            std::to_string(profile.MinPerc) + " any order " +
                                            std::to_string(profile.NoFieldOrder) + " tolerance " +
                                            std::to_string(profile.SimWord) + " words " +
                                            std::to_string(profile.MinWordCount);
                std::string walk;
                if (const auto mismatch = FirstMismatch(scan.tree.Path("scanned"), profile, walk)) {
                    // Only the first is made small: each try is a scan.
                    ADD_FAILURE() << setting << " way " << mismatch->way << "\n"
                                  << (failed ? std::string() : MinimalFailingCase(files, profile));
                    failed = true;
                }
                compared += walk.size() > 100;
            }
        }
    }
    EXPECT_GT(compared, 20);
}

// Fields compared in any order score two names apart by which is scored
// first, and the walk scores the earlier file of the pool against the later
// one: copies of a name before and after such a file are linked to it only
// where it comes first. Scored as one class, both copies took the earlier
// copy's answer and the file was linked to neither, so the bigger later
// copy, the reference, lost it as a duplicate.
TEST(DupeEngine, CopiesOfANameMeetAFileScoredOneWayRoundAsThePoolOrdersThem)
{
    Scan scan;
    const std::string earlier = scan.File("a/live night - raa lomi 102.mp3");
    const std::string between = scan.File("b/live - xka live 112.mp3");  // reaches 40 % with them scored first
    const std::string later = scan.File("c/live night - raa lomi 102.mp3", TaggedAudio("t", "a", "b", 40));
    scan.profile.NoFieldOrder = true;
    scan.profile.MinPerc = 40;
    for (bool filtered : {false, true}) {
        scan.engine = std::make_unique<TBWDupeEngine>(scan.root, scan.profile);
        scan.engine->Tuning.FilterCandidates = filtered;
        scan.engine->AddDirectory(scan.tree.Path());
        scan.engine->Execute();
        EXPECT_EQ(Shown(scan.engine->Results()),
                  "2 " + later + " < " + earlier + " " + between + ">\n1 " + between + " <>\n1 " + earlier + " <>\n");
    }
}
