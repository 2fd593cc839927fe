#include "model/u_mplcopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "model/u_bwfsmpl.h"
#include "model/u_discrequest.h"
#include "tests/base/platform/fake_system.h"
#include "tests/model/audio_tree.h"

namespace {

using Log = std::vector<std::string>;

// Answers the disc requests from a script and logs what was asked. A request
// beyond the script cancels, so a test can never loop.
class TScriptedDiscRequest : public TDiscRequest {
public:
    struct DiscAnswer {
        std::string folder;  // the folder chosen with "Change Path"; empty keeps the one proposed
        bool ok = true;
    };

    bool AskForDisc(const std::string& discName, std::string& folder) override
    {
        log.push_back("disc " + discName + " at " + folder);
        if (discAnswers.empty())
            return false;
        const DiscAnswer answer = discAnswers.front();
        discAnswers.pop_front();
        if (!answer.folder.empty())
            folder = answer.folder;
        return answer.ok;
    }
    void ShowMessage(const std::string& text) override { log.push_back("message " + text); }
    bool AskYesNo(const std::string& text) override
    {
        log.push_back("question " + text);
        const bool yes = !yesAnswers.empty() && yesAnswers.front();
        if (!yesAnswers.empty())
            yesAnswers.pop_front();
        return yes;
    }

    std::deque<DiscAnswer> discAnswers;
    std::deque<bool> yesAnswers;
    Log log;
};

// A list over a fake system: volumes catalogued from paths, discs as folders
// below "discs/", copies made into "out/".
class DiscCopy : public ::testing::Test {
protected:
    DiscCopy()
    {
        system.SetEnvironment("USER", "ann");
        system.MakeFolder("out");
        manager.SetFolder(system.Path("lists"));
        list = manager.NewList("Rock", false);
    }

    // A volume catalogued with the files at the paths given ("Live/a.mp3"),
    // every one of them selected.
    TBWDirectory* AddVolume(const std::string& name, const std::vector<std::string>& paths)
    {
        TAudioMemoryDir disc;
        for (const std::string& path : paths) {
            TBWDirectory* dir = &disc;
            std::size_t start = 0;
            for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1) {
                const std::string folder = path.substr(start, slash - start);
                TBWDirectory* child = dir->FindChild(folder);
                dir = child ? child : dir->AddSubDirTouch(folder);
            }
            static_cast<TAudioMemoryDir*>(dir)->AddAudio({path.substr(start), 100, 60, 128, "", "", "", "", "", {}});
        }
        TBWDirectory* volume = list->AddVolume(name, &disc);
        Select(*volume, paths);
        return volume;
    }

    void Select(TBWDirectory& volume, const std::vector<std::string>& paths)
    {
        volume.ClearSelections();
        for (const std::string& path : paths)
            volume.FindFileByPath(volume.Path() + path)->SetSelected(true);
    }

    // Writes the files of a disc, each holding its own path.
    void WriteDisc(const std::string& disc, const std::vector<std::string>& paths)
    {
        system.MakeFolder("discs/" + disc);
        for (const std::string& path : paths)
            system.WriteFile("discs/" + disc + "/" + path, path);
    }

    std::string Disc(const std::string& disc) const { return system.Path("discs/" + disc) + "/"; }

    TDiscCopyResult Copy(bool keepStructure = true)
    {
        return manager.CopySelectedFromDiscs(system.Path("out"), keepStructure, request,
                                             [this](std::int32_t count) { progress += count; });
    }

    std::vector<std::string> NamesOf(const std::vector<TDiscCopied>& copies) const
    {
        std::vector<std::string> names;
        for (const TDiscCopied& copy : copies)
            names.push_back(copy.file->DirPath() + copy.file->Name());
        return names;
    }

    // Where the copies went, below "out/".
    std::vector<std::string> PathsOf(const std::vector<TDiscCopied>& copies) const
    {
        std::vector<std::string> paths;
        for (const TDiscCopied& copy : copies)
            paths.push_back(copy.path.substr(system.Path("out/").size()));
        return paths;
    }

    // The files below "out/", as relative paths, sorted.
    std::vector<std::string> Copied() const
    {
        std::vector<std::string> files;
        const std::filesystem::path out = system.Path("out");
        for (const auto& entry : std::filesystem::recursive_directory_iterator(out))
            if (entry.is_regular_file())
                files.push_back(std::filesystem::relative(entry.path(), out).string());
        std::sort(files.begin(), files.end());
        return files;
    }

    TFakeSystem system;
    TMplManager manager;
    TBWDirMpl* list = nullptr;
    TScriptedDiscRequest request;
    std::int32_t progress = 0;
};

}  // namespace

TEST(DiscRequest, TextNamesTheDiscAndTheFolder)
{
    EXPECT_EQ(DiscRequestText("CD1", "/media/ann/CD1/"),
              "Please, insert a CD labeled \"CD1\" in drive\n/media/ann/CD1/");
}

TEST(DiscRequest, FirstProposalIsTheNamedMediumThenTheLastFolderThenAnOpticalOneThenAFolderThatExists)
{
    const struct {
        const char* name;
        std::string mounts;
        const char* userFolder;  // made below the fake system, or none
        std::string expected;    // below the fake system when it does not begin with "/"
        const char* lastUsed = "";  // below the fake system
    } cases[] = {
        {"label matches without regard to case",
         TFakeSystem::MountLine("11:7", "/media/ann/DVD", "udf", "/dev/sr7") +
             TFakeSystem::MountLine("11:0", "/media/ann/1234-ABCD", "iso9660", "/dev/sr0"),
         nullptr, "/media/ann/1234-ABCD/"},
        {"mount folder name matches",
         TFakeSystem::MountLine("11:5", "/media/ann/OTHER", "iso9660", "/dev/sr5") +
             TFakeSystem::MountLine("11:6", "/media/ann/rock\\040cd", "iso9660", "/dev/sr6"),
         nullptr, "/media/ann/rock cd/"},
        {"else the first optical medium",
         TFakeSystem::MountLine("8:17", "/media/ann/STICK", "vfat", "/dev/fakestick1") +
             TFakeSystem::MountLine("11:1", "/media/ann/DVD", "udf", "/dev/sr1"),
         nullptr, "/media/ann/DVD/"},
        {"the named medium before the last folder",
         TFakeSystem::MountLine("11:0", "/media/ann/1234-ABCD", "iso9660", "/dev/sr0"), "music",
         "/media/ann/1234-ABCD/", "music"},
        {"else the last folder used",
         TFakeSystem::MountLine("11:1", "/media/ann/DVD", "udf", "/dev/sr1"), "music", "music/", "music"},
        {"a last folder that is gone does not count",
         TFakeSystem::MountLine("11:1", "/media/ann/DVD", "udf", "/dev/sr1"), nullptr, "/media/ann/DVD/", "gone"},
        {"else the user's media folder that exists", "", "run/media/ann", "run/media/ann/"},
        {"else the home folder, never one that is not there", "", nullptr, "home/"},
    };
    for (const auto& test : cases) {
        TFakeSystem system;
        system.SetEnvironment("USER", "ann");
        system.MakeLink("by-label/Rock\\x20CD", "../../sr0");
        system.WriteMountTable(test.mounts);
        if (test.userFolder)
            system.MakeFolder(test.userFolder);
        const std::string expected = test.expected.starts_with('/') ? test.expected : system.Path(test.expected);
        const std::string lastUsed = *test.lastUsed ? system.Path(test.lastUsed) : std::string();
        EXPECT_EQ(FirstDiscFolder("ROCK cd", lastUsed), expected) << test.name;
    }
}

TEST_F(DiscCopy, FolderChosenWithChangePathCarriesOverToTheNextRequest)
{
    system.WriteMountTable(TFakeSystem::MountLine("11:0", "/media/ann/DVD", "iso9660", "/dev/sr0"));
    AddVolume("CD1", {"a.mp3"});
    AddVolume("CD2", {"b.mp3"});
    WriteDisc("CD1", {"a.mp3", "b.mp3"});
    request.discAnswers = {{Disc("CD1"), true}, {"", true}};
    Copy();
    EXPECT_EQ(request.log, (Log{"disc CD1 at /media/ann/DVD/", "disc CD2 at " + Disc("CD1")}));
    EXPECT_EQ(Copied(), (std::vector<std::string>{"a.mp3", "b.mp3"}));
}

TEST_F(DiscCopy, PartialDiscAsksWithFoundAndSelectedCountsAndNoAsksForTheDiscAgain)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 10; ++i)
        paths.push_back("track" + std::to_string(i) + ".mp3");
    AddVolume("CD1", paths);
    WriteDisc("CD1", std::vector<std::string>(paths.begin(), paths.begin() + 7));
    request.discAnswers = {{Disc("CD1"), true}, {"", true}};
    request.yesAnswers = {false, true};
    Copy();
    const std::string question = "question 7 of 10 files exist in the source directory. Copy Anyway?";
    EXPECT_EQ(request.log, (Log{"disc CD1 at " + system.Path("home/"),
                                question, "disc CD1 at " + Disc("CD1"), question}));
    EXPECT_EQ(Copied().size(), 7u);
    EXPECT_EQ(progress, 7);
}

TEST_F(DiscCopy, FullDiscIsCopiedWithoutAQuestionAndAnEmptyOneIsAnInvalidSource)
{
    AddVolume("CD1", {"a.mp3", "Live/b.mp3"});
    WriteDisc("CD1", {"a.mp3", "Live/b.mp3"});
    system.MakeFolder("discs/empty");
    request.discAnswers = {{Disc("empty"), true}, {Disc("CD1"), true}};
    Copy();
    EXPECT_EQ(request.log, (Log{"disc CD1 at " + system.Path("home/"),
                                "message The source is invalid, choose a new source.",
                                "disc CD1 at " + Disc("empty")}));
    EXPECT_EQ(Copied(), (std::vector<std::string>{"Live/b.mp3", "a.mp3"}));
    EXPECT_EQ(system.ReadFile("out/Live/b.mp3"), "Live/b.mp3");
}

TEST_F(DiscCopy, CancelDuringTheSecondVolumeKeepsTheFirstVolumesFilesAndSaysWhichWereCopied)
{
    AddVolume("CD1", {"a.mp3"});
    AddVolume("CD2", {"b.mp3"});
    AddVolume("CD3", {"c.mp3"});
    WriteDisc("CD1", {"a.mp3"});
    request.discAnswers = {{Disc("CD1"), true}, {"", false}};
    const TDiscCopyResult result = Copy();
    EXPECT_EQ(request.log.size(), 2u) << "no request after Cancel Copy";
    EXPECT_EQ(Copied(), (std::vector<std::string>{"a.mp3"}));
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(NamesOf(result.copied), (std::vector<std::string>{"@Rock/CD1/a.mp3"}));

    request.discAnswers = {{"", false}};
    const TDiscCopyResult atFirst = Copy();
    EXPECT_TRUE(atFirst.cancelled);
    EXPECT_TRUE(atFirst.copied.empty());
}

TEST_F(DiscCopy, ATakenNameGetsAFreeNumberedNameFlatAndWithStructure)
{
    const struct {
        bool keepStructure;
        std::vector<std::string> expected;
        std::vector<std::string> copies;
    } cases[] = {
        {false, {"01 - Intro (2).mp3", "01 - Intro (3).mp3", "01 - Intro.mp3"}, {"01 - Intro (2).mp3", "01 - Intro (3).mp3"}},
        {true, {"01 - Intro (2).mp3", "01 - Intro.mp3", "Live/01 - Intro.mp3"}, {"01 - Intro (2).mp3", "Live/01 - Intro.mp3"}},
    };
    AddVolume("CD1", {"01 - Intro.mp3", "Live/01 - Intro.mp3"});
    WriteDisc("CD1", {"01 - Intro.mp3", "Live/01 - Intro.mp3"});
    for (const auto& test : cases) {
        std::filesystem::remove_all(system.Path("out"));
        system.WriteFile("out/01 - Intro.mp3", "the user's own");
        request.discAnswers = {{Disc("CD1"), true}};
        const TDiscCopyResult result = Copy(test.keepStructure);
        EXPECT_EQ(Copied(), test.expected) << test.keepStructure;
        EXPECT_EQ(system.ReadFile("out/01 - Intro.mp3"), "the user's own");
        EXPECT_EQ(system.ReadFile("out/01 - Intro (2).mp3"), "01 - Intro.mp3");
        EXPECT_EQ(PathsOf(result.copied), test.copies) << test.keepStructure;
        EXPECT_TRUE(result.failed.empty());
    }
}

TEST_F(DiscCopy, StructureIsKeptOrFlattened)
{
    const struct {
        bool keepStructure;
        std::vector<std::string> expected;
    } cases[] = {
        {true, {"CD1/Rock/a.mp3", "b.mp3"}},
        {false, {"a.mp3", "b.mp3"}},
    };
    AddVolume("Vol", {"CD1/Rock/a.mp3", "b.mp3"});
    WriteDisc("Vol", {"CD1/Rock/a.mp3", "b.mp3"});
    for (const auto& test : cases) {
        std::filesystem::remove_all(system.Path("out"));
        system.MakeFolder("out");
        request.discAnswers = {{Disc("Vol"), true}};
        Copy(test.keepStructure);
        EXPECT_EQ(Copied(), test.expected) << test.keepStructure;
    }
}

TEST_F(DiscCopy, VolumesWithoutSelectedFilesAreNeverAskedFor)
{
    AddVolume("CD1", {"a.mp3"});
    TBWDirectory* unselected = AddVolume("CD2", {"b.mp3"});
    AddVolume("CD3", {"c.mp3"});
    Select(*unselected, {});
    WriteDisc("all", {"a.mp3", "b.mp3", "c.mp3"});
    request.discAnswers = {{Disc("all"), true}, {"", true}};
    Copy();
    EXPECT_EQ(request.log, (Log{"disc CD1 at " + system.Path("home/"), "disc CD3 at " + Disc("all")}));
    EXPECT_EQ(Copied(), (std::vector<std::string>{"a.mp3", "c.mp3"}));
}

TEST_F(DiscCopy, FailedCopyIsNamedWithItsReasonAndLeavesEveryOtherFileWhole)
{
    AddVolume("CD1", {"bad.mp3", "blocked.mp3", "good.mp3"});
    WriteDisc("CD1", {"good.mp3", "blocked.mp3"});
    // A file that opens but cannot be read, and a name the destination
    // holds as a folder.
    system.MakeLink("discs/CD1/bad.mp3", "/proc/self/mem");
    system.WriteFile("out/bad.mp3", "the good old copy");
    system.WriteFile("out/blocked.mp3/inside", "");
    request.discAnswers = {{Disc("CD1"), true}};
    const TDiscCopyResult result = Copy();
    EXPECT_EQ(request.log.size(), 1u) << "the results window reports the failures";
    EXPECT_EQ(result.failed, (std::vector<TDiscCopyFailure>{{Disc("CD1") + "bad.mp3", "Input/output error"}}));
    EXPECT_EQ(NamesOf(result.copied), (std::vector<std::string>{"@Rock/CD1/blocked.mp3", "@Rock/CD1/good.mp3"}));
    EXPECT_EQ(system.ReadFile("out/bad.mp3"), "the good old copy");
    EXPECT_EQ(Copied(), (std::vector<std::string>{"bad.mp3", "blocked (2).mp3", "blocked.mp3/inside", "good.mp3"}))
        << "no temporary file is left";
    EXPECT_EQ(progress, 3) << "failed files advance the progress too";
}

TEST_F(DiscCopy, NamesOnTheDiscMatchWithoutRegardToCase)
{
    AddVolume("CD1", {"Rock/Live/01 Alpha.MP3"});
    WriteDisc("CD1", {"rock/live/01 alpha.mp3"});
    request.discAnswers = {{Disc("CD1"), true}};
    Copy();
    EXPECT_EQ(request.log.size(), 1u) << "found without a question";
    EXPECT_EQ(Copied(), (std::vector<std::string>{"Rock/Live/01 Alpha.MP3"}));
}

TEST_F(DiscCopy, FileIsNeverCopiedOntoItself)
{
    AddVolume("CD1", {"a.mp3"});
    WriteDisc("CD1", {"a.mp3"});
    request.discAnswers = {{Disc("CD1"), true}};
    const TDiscCopyResult result = manager.CopySelectedFromDiscs(Disc("CD1"), false, request, nullptr);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.copied.size(), 1u);
    EXPECT_EQ(system.ReadFile("discs/CD1/a.mp3"), "a.mp3");
    EXPECT_FALSE(std::filesystem::exists(Disc("CD1") + "a (2).mp3"));
}

TEST_F(DiscCopy, NothingIsAskedWithoutSelectionOrWithoutADestination)
{
    TBWDirectory* volume = AddVolume("CD1", {"a.mp3"});
    manager.CopySelectedFromDiscs(system.Path("missing"), true, request, nullptr);
    Select(*volume, {});
    Copy();
    EXPECT_TRUE(request.log.empty());
}

TEST_F(DiscCopy, ChecksOnAListReadBackFromItsFileAreCopiedWhateverOrderItWasReadIn)
{
    AddVolume("CD1", {"a.mp3", "Live/b.mp3"});
    ASSERT_TRUE(manager.SaveAll());
    TBWDirectory* volume = manager.FindList("Rock")->FindChild("CD1");
    // As a scan's walk reads it: a folder's files first, its subfolders after.
    TBWFile* a = volume->Files()->FindByName("a.mp3");
    TBWFile* b = volume->FindChild("Live")->Files()->FindByName("b.mp3");
    ASSERT_TRUE(a && b);
    a->SetSelected(true);
    b->SetSelected(true);
    WriteDisc("CD1", {"a.mp3", "Live/b.mp3"});
    request.discAnswers = {{Disc("CD1"), true}};
    Copy();
    EXPECT_EQ(Copied(), (std::vector<std::string>{"Live/b.mp3", "a.mp3"}));
    EXPECT_TRUE(a->IsSelected() && b->IsSelected());
}
