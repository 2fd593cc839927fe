#include "tests/ui/mpl_test_folders.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/mpleditor/u_mpleditorcommands.h"
#include "tests/ui/ui_test_main.h"

#include <QDir>
#include <QFile>
#include <filesystem>

#include "base/platform/u_platformsources.h"
#include "base/u_bwchain.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmp3.h"
#include "model/u_bwfsmpl.h"
#include "tags/u_musichandler.h"

namespace {

using Action = TMplEditorAction;

TBWDirMpl* List(const std::string& name)
{
    return MplManager().FindList(name);
}

// A list file of the older format: one directory "CD1" holding one file.
std::string OlderListBytes()
{
    std::string bytes("\x5C\x02", 2);
    auto put16 = [&](std::uint16_t v) { bytes += char(v & 0xFF), bytes += char(v >> 8); };
    auto put32 = [&](std::int32_t v) { put16(std::uint16_t(v & 0xFFFF)), put16(std::uint16_t(v >> 16)); };
    put32(1);
    put16(3), bytes += char(0), bytes += "CD1";
    put32(0), put32(1);
    put16(185), put16(4200), put16(192), put16(9), bytes += "Old.mp3 x";
    bytes += std::string(32, 'a');
    return bytes;
}

}  // namespace

class TestMplEditorCommands : public QObject {
    Q_OBJECT

    // Adds the disc as a volume of list, answering the folder browser and
    // the name query with name.
    TBWDirMpl* AddDisc(TMplEditorCommands& commands, TBWDirMpl* list, const QString& name)
    {
        return AddDisc(commands, list, name, disc_);
    }
    static TBWDirMpl* AddDisc(TMplEditorCommands& commands, TBWDirMpl* list, const QString& name,
                              const TempDisc& disc)
    {
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(disc.Path()))
            .ExpectChoice(PromptKind::Text, name, "volume name");
        commands.SetSelectedDir(list);
        commands.AddVolume();
        return static_cast<TBWDirMpl*>(list->FindChild(name.toStdString()));
    }

    TempDisc disc_;

private slots:
    void actionsNeedASelectionOrChangesAndNoneRunsWhileADiscIsRead()
    {
        TempListFolder lists;
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        for (Action always : {Action::NewList, Action::Close, Action::Import, Action::Help})
            QVERIFY(commands.IsEnabled(always));
        for (Action needsDir : {Action::AddVolume, Action::Delete, Action::Export, Action::Save})
            QVERIFY(!commands.IsEnabled(needsDir));

        TBWDirMpl* list = MplManager().NewList("Rock", false);
        commands.SetSelectedDir(list);
        for (Action needsDir : {Action::AddVolume, Action::Delete, Action::Export, Action::Save})
            QVERIFY(commands.IsEnabled(needsDir));

        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(disc_.Path()))
            .ExpectChoice(PromptKind::Text, "CD1");
        std::vector<bool> brackets;
        commands.AddVolume([&](bool reading) {
            brackets.push_back(reading);
            QCOMPARE(commands.Busy(), reading);
            for (Action any : {Action::NewList, Action::AddVolume, Action::Delete, Action::Save, Action::Close,
                               Action::Import, Action::Export, Action::Help})
                QCOMPARE(commands.IsEnabled(any), !reading);
            if (reading)
                QVERIFY(!commands.Close());
        });
        QCOMPARE(brackets, (std::vector<bool>{true, false}));
    }

    void aNewListIsModifiedAndATakenOrEmptyNameMakesNone()
    {
        TempListFolder lists;
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Text, "  Rock  ", "new mp3 list's name")
            .ExpectChoice(PromptKind::Text, "ROCK")
            .ExpectMessage(PromptKind::Warning, "The chosen name already exists")
            .ExpectChoice(PromptKind::Text, " / ")
            .ExpectMessage(PromptKind::Warning, "Wrong list name")
            .ExpectChoice(PromptKind::Text, std::nullopt);
        commands.NewList();
        QVERIFY(List("Rock"));
        QCOMPARE(List("Rock")->State(), msModified);
        QVERIFY(commands.IsEnabled(Action::Save));
        commands.NewList();
        commands.NewList();
        QCOMPARE(MplManager().Lists().size(), std::size_t(1));
    }

    void theProposedNameIsTheMediumsLabelAtItsRootElseTheLastPart()
    {
        QCOMPARE(ProposedVolumeName("/home/ann/Music/Disc 7"), std::string("Disc 7"));
        QCOMPARE(ProposedVolumeName("/home/ann/Music/Disc 7/"), std::string("Disc 7"));

        QTemporaryDir system;
        const TPlatformSources saved = PlatformSources();
        const std::string root = system.path().toStdString();
        const std::string medium = root + "/media/ann/SUMMER";
        QDir().mkpath(QString::fromStdString(medium));
        WriteBytes(root + "/mountinfo", "36 1 11:0 / " + medium + " ro shared:1 - iso9660 /dev/sr7 ro\n");
        QDir().mkpath(QString::fromStdString(root + "/by-label"));
        std::filesystem::create_symlink("../../sr7", root + "/by-label/Summer\\x20Hits!");
        PlatformSources().mountInfoFile = root + "/mountinfo";
        PlatformSources().labelFolder = root + "/by-label";
        const std::string atRoot = ProposedVolumeName(medium);
        const std::string below = ProposedVolumeName(medium + "/Rock");
        PlatformSources() = saved;
        QCOMPARE(atRoot, std::string("Summer Hits!"));
        QCOMPARE(below, std::string("Rock"));
    }

    void namesLoseOnlyWhatTheModelCannotKeep_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("punctuation stays") << "AC/DC: Live!" << "ACDC: Live!";
        QTest::newRow("blanks trimmed") << "  CD 1 " << "CD 1";
        QTest::newRow("control characters") << "CD\t1\n" << "CD1";
        QTest::newRow("empty") << " / " << "";
        QTest::newRow("dot") << "." << "";
        QTest::newRow("dot dot") << ".." << "";
        QTest::newRow("dots inside") << "Best..Of" << "Best..Of";
    }
    void namesLoseOnlyWhatTheModelCannotKeep()
    {
        QFETCH(QString, typed);
        QFETCH(QString, cleaned);
        QCOMPARE(QString::fromStdString(CleanedListName(typed.toStdString())), cleaned);
    }

    void volumeNamesKeepLettersDigitsAndBlanks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("punctuation goes") << "Summer CD #1!" << "Summer CD 1";
        QTest::newRow("blanks trimmed and single") << "  CD   1 " << "CD 1";
        QTest::newRow("slash and dots") << "AC/DC..Live" << "ACDCLive";
        QTest::newRow("nothing left") << "#!?" << "";
        QTest::newRow("letters of every script") << "Bj\u00f6rk Live" << "Bj\u00f6rk Live";
        QTest::newRow("dashes of every script go") << "\u041a\u0418\u041d\u041e \u2013 \u5149!" << "\u041a\u0418\u041d\u041e \u5149";
    }
    void volumeNamesKeepLettersDigitsAndBlanks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, cleaned);
        QCOMPARE(QString::fromStdString(CleanedVolumeName(typed.toStdString())), cleaned);
    }

    void addingADiscReadsEveryFileAndTheNameIsCheckedAgainstTheListRoot()
    {
        TempListFolder lists;
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        // A folder the model did not know when it read its parent.
        TempDisc fresh;
        MusicHandler().SetMask("MP3");  // as a scan of MP3 files leaves it
        TBWDirMpl* list = MplManager().NewList("Rock", false);
        TBWDirMpl* volume = AddDisc(commands, list, "CD1", fresh);
        QCOMPARE(QString::fromStdString(MusicHandler().Mask()), QString("*.MP3;"));
        MusicHandler().SetMask("");
        QVERIFY(volume);
        const auto added = static_cast<std::uint64_t>(fresh.FileCount());
        const std::vector<RecordedProgress::Job> jobs = {{"Initializing", 0, false}, {"Adding files", added, true}};
        QCOMPARE(progress.jobs, jobs);
        QCOMPARE(progress.steps, std::int64_t(fresh.FileCount()));
        QCOMPARE(progress.closes, 1);
        // Every kind of audio file, whatever the last scan's extensions.
        QCOMPARE(volume->Files()->Count(), 2);
        auto* gamma = static_cast<TBWMp3File*>(volume->FindChild("Live")->Files()->FindByName("03 Gamma.mp3"));
        QCOMPARE(volume->FindChild("Live")->Files()->Count(), 3);
        QVERIFY(gamma->Size() > 0 && gamma->Duration() > 0 && gamma->Bitrate() > 0);
        QVERIFY(gamma->GetDigest() != TBWDigest{});

        // With the volume selected, its sibling's name is still taken, and
        // nothing is read before a usable name is given.
        progress.jobs.clear();
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(disc_.Path()))
            .ExpectChoice(PromptKind::Text, "cd1")
            .ExpectMessage(PromptKind::Warning, "Wrong volume name, please try again.")
            .ExpectChoice(PromptKind::Text, "  ")
            .ExpectMessage(PromptKind::Warning, "Wrong volume name, please try again.")
            .ExpectChoice(PromptKind::Text, "#!?")
            .ExpectMessage(PromptKind::Warning, "Wrong volume name, please try again.")
            .ExpectChoice(PromptKind::Text, std::nullopt);
        commands.SetSelectedDir(volume);
        commands.AddVolume();
        QVERIFY(progress.jobs.empty());
        QCOMPARE(list->DirCount(), 1);
    }

    void cancelWhileAddingFilesAddsNothing()
    {
        TempListFolder lists;
        RecordedProgress progress;
        progress.cancelDuring = "Adding files";
        TMplEditorCommands commands(progress);
        TBWDirMpl* list = MplManager().NewList("Rock", false);
        QVERIFY(!AddDisc(commands, list, "CD1"));
        QCOMPARE(list->DirCount(), 0);
        QCOMPARE(progress.closes, 1);
        QVERIFY(!commands.Busy());
    }

    void theListWrittenIsTheSameWhateverTheNumberOfThreads()
    {
        TempListFolder lists;
        RecordedProgress progress;
        std::string firstBytes;
        for (unsigned threads : {1u, 3u, 0u}) {
            TBWDirMpl* list = MplManager().NewList("Rock", false);
            TBWDirectory* disc = FSDrive().FindDir(disc_.Path() + "/", true);
            QVERIFY(AddVolumeToMpl(list, disc, "CD1", progress, threads));
            QVERIFY(list->Save());
            const std::string bytes = ReadBytes(lists.File("Rock"));
            if (firstBytes.empty())
                firstBytes = bytes;
            QCOMPARE(bytes == firstBytes, true);
            MplManager().DeleteList(list);
        }
        QVERIFY(firstBytes.size() > 32 + 5 * 56);
    }

    void aDiscReadIntoAListTakesNoLinkedFileOrFolder()
    {
        TempListFolder lists;
        RecordedProgress progress;
        QTemporaryDir outside;
        QVERIFY(QFile::copy(QString::fromStdString(disc_.Path() + "/01 Alpha.mp3"), outside.filePath("Elsewhere.mp3")));
        const QString disc = QString::fromStdString(disc_.Path());
        QVERIFY(QFile::link(disc + "/01 Alpha.mp3", disc + "/01 Alpha (alias).mp3"));
        QVERIFY(QFile::link(outside.path(), disc + "/Outside"));
        TBWDirMpl* list = MplManager().NewList("Rock", false);
        TBWDirectory* read = AddVolumeToMpl(list, FSDrive().FindDir(disc_.Path() + "/", true), "CD1", progress);
        QFile::remove(disc + "/01 Alpha (alias).mp3");
        QFile::remove(disc + "/Outside");
        QVERIFY(read);
        TBWChain files;
        read->CollectFiles(&files, false);
        QCOMPARE(files.Count(), disc_.FileCount());
        QVERIFY(!read->FindChild("Outside"));
    }

    void aVolumeGoesAtOnceAndAListOnlyAfterItsQuestion()
    {
        TempListFolder lists;
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        TBWDirMpl* list = MplManager().NewList("Rock", false);
        QVERIFY(AddDisc(commands, list, "CD1"));
        QVERIFY(MplManager().SaveAll());
        list = List("Rock");
        QVERIFY(!commands.IsEnabled(Action::Save));

        ScriptedPrompts prompts;
        commands.SetSelectedDir(list->FindChild("CD1"));
        commands.Delete();
        QCOMPARE(list->DirCount(), 0);
        QVERIFY(commands.IsEnabled(Action::Save));

        prompts.ExpectDestructive(false, "The Mp3 List \"Rock\" will be permanently deleted. Proceed?")
            .ExpectYesNo(true, "Rock");
        commands.SetSelectedDir(list);
        commands.Delete();
        QCOMPARE(List("Rock"), list);
        QCOMPARE(commands.SelectedDir(), list);
        commands.Delete();
        QVERIFY(!List("Rock"));
        QVERIFY(!QFile::exists(QString::fromStdString(lists.File("Rock"))));
        QVERIFY(!commands.SelectedDir());
    }

    void closingAsksAboutChanges_YesSavesThem_NoDropsThem()
    {
        TempListFolder lists;
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        QVERIFY(AddDisc(commands, MplManager().NewList("Rock", false), "CD1"));
        {
            ScriptedPrompts prompts;
            prompts.ExpectYesNoCancel(true, "Changes has been made to your lists. Save?");
            QVERIFY(commands.Close());
        }
        QVERIFY(!MplManager().IsModified());
        QVERIFY(List("Rock")->FindChild("CD1"));

        commands.SetSelectedDir(List("Rock")->FindChild("CD1"));
        commands.Delete();
        QCOMPARE(List("Rock")->DirCount(), 0);
        {
            ScriptedPrompts prompts;
            prompts.ExpectYesNoCancel(false, "Save?");
            QVERIFY(commands.Close());
        }
        QVERIFY(!MplManager().IsModified());
        QCOMPARE(List("Rock")->State(), msLoaded);
        QVERIFY(List("Rock")->FindChild("CD1"));

        ScriptedPrompts nothingAsked;
        QVERIFY(commands.Close());
    }

    // A list whose file could not be read takes no volume, and says why; a
    // change that cannot be saved is named with its reason in the editor
    // and at exit, where the user may try again before it is dropped.
    void aListThatCannotBeReadTakesNoVolumeAndUnsavedChangesAreNamedWithTheirReasons()
    {
        TempListFolder lists;
        WriteBytes(lists.File("Ærø"), "\x5C\x03 cut short");
        MplManager().Reload();
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        commands.SetSelectedDir(List("Ærø"));
        QVERIFY(!commands.IsEnabled(Action::AddVolume));
        QVERIFY(commands.IsEnabled(Action::Delete));
        QCOMPARE(ReadOnlyNote(commands.SelectedDir()),
                 QString("The Mp3 List \"Ærø\" cannot be read (the file is damaged or cut short); it is kept as "
                         "it is, so no volume can be added to it."));
        {
            ScriptedPrompts nothingAsked;
            QCOMPARE(commands.AddVolume(), nullptr);
        }
        QCOMPARE(List("Ærø")->DirCount(), 0);

        // A folder in the list file's place: no write gets through.
        QVERIFY(AddDisc(commands, MplManager().NewList("Blocked", false), "CD1"));
        QVERIFY(QDir().mkpath(QString::fromStdString(lists.File("Blocked") + "/in-the-way")));
        QCOMPARE(ReadOnlyNote(commands.SelectedDir()), QString());
        {
            ScriptedPrompts prompts;
            prompts.ExpectMessage(PromptKind::Error, "This list could not be saved; its changes are kept:\n\n"
                                                     "\"Blocked\": Is a directory");
            commands.Save();
        }
        QVERIFY(List("Blocked")->FindChild("CD1"));
        {
            ScriptedPrompts prompts;
            const QString named = "The changes to this Mp3 List cannot be saved:\n\n\"Blocked\": Is a directory";
            prompts.ExpectYesNo(true, named).ExpectYesNo(false, named);
            SaveListsAtExit();
        }
        QVERIFY(MplManager().IsModified());
        QVERIFY(QDir(QString::fromStdString(lists.File("Blocked"))).removeRecursively());
        {
            ScriptedPrompts nothingAsked;
            SaveListsAtExit();
        }
        QVERIFY(!MplManager().IsModified());
        QVERIFY(List("Blocked")->FindChild("CD1"));
        QCOMPARE(ReadBytes(lists.File("Ærø")), std::string("\x5C\x03 cut short"));
    }

    void importReadsBothFormatsUnderAFreeName()
    {
        TempListFolder lists;
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        QVERIFY(AddDisc(commands, MplManager().NewList("Jazz", false), "CD1"));
        QVERIFY(MplManager().SaveAll());
        QTemporaryDir elsewhere;
        const std::string older = elsewhere.path().toStdString() + "/Old.mpl";
        const std::string current = elsewhere.path().toStdString() + "/Jazz.MPL";
        WriteBytes(older, OlderListBytes());
        QVERIFY(std::filesystem::copy_file(lists.File("Jazz"), current));

        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::OpenFile, QString::fromStdString(older))
            .ExpectMessage(PromptKind::Information, "Import complete.")
            .ExpectChoice(PromptKind::OpenFile, QString::fromStdString(current))
            .ExpectMessage(PromptKind::Information, "Import complete.");
        commands.Import();
        commands.Import();
        QCOMPARE(progress.jobs.back().caption, std::string("Importing files"));

        // Both saved and read back from their new files.
        QVERIFY(!MplManager().IsModified());
        QCOMPARE(List("Old")->State(), msLoaded);
        auto* file = static_cast<TBWMp3File*>(List("Old")->FindChild("CD1")->Files()->FindByName("Old.mp3 x"));
        QVERIFY(file && file->Duration() == 185 && file->Size() == 4200);
        QCOMPARE(List("Jazz0")->State(), msLoaded);
        QCOMPARE(List("Jazz0")->FindDir("@Jazz0/CD1/Live", false)->Files()->Count(), 3);
    }

    void importOfAFileNeitherReaderTakesChangesNothing()
    {
        TempListFolder lists;
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        QTemporaryDir elsewhere;
        const std::string junk = elsewhere.path().toStdString() + "/Junk.mpl";
        const std::string text = elsewhere.path().toStdString() + "/Notes.txt";
        WriteBytes(junk, "\x5C\x07 not a list");
        WriteBytes(text, OlderListBytes());
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::OpenFile, QString::fromStdString(junk))
            .ExpectMessage(PromptKind::Warning, "The file could not be imported.")
            .ExpectChoice(PromptKind::OpenFile, QString::fromStdString(text))
            .ExpectMessage(PromptKind::Warning, "The file could not be imported.")
            .ExpectChoice(PromptKind::OpenFile, std::nullopt);
        commands.Import();
        commands.Import();
        commands.Import();
        QVERIFY(MplManager().Lists().empty());
        QVERIFY(progress.jobs.empty());
    }

    void exportCopiesTheStoredFileAndSaysWhenThereIsNone()
    {
        TempListFolder lists;
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        QTemporaryDir elsewhere;
        const std::string target = elsewhere.path().toStdString() + "/Backup";

        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "You must select a list to export first.");
        commands.Export();

        TBWDirMpl* list = MplManager().NewList("Rock", false);
        QVERIFY(AddDisc(commands, list, "CD1"));
        prompts.ExpectMessage(PromptKind::Warning, "\"Rock\" has not been saved yet");
        commands.SetSelectedDir(list);
        commands.Export();

        QVERIFY(MplManager().SaveAll());
        const std::string saved = ReadBytes(lists.File("Rock"));
        // Unsaved changes are not in the copy: it is the stored file.
        commands.SetSelectedDir(List("Rock")->FindChild("CD1"));
        commands.Delete();
        prompts.ExpectChoice(PromptKind::SaveFile, QString::fromStdString(target), "Rock.mpl")
            .ExpectChoice(PromptKind::SaveFile, QString::fromStdString(target + ".txt"))
            .ExpectMessage(PromptKind::Warning, "only to files ending in \".mpl\"")
            .ExpectChoice(PromptKind::SaveFile, QString::fromStdString(target + "/missing/x.mpl"))
            .ExpectMessage(PromptKind::Error, "could not be exported");
        for (int i = 0; i < 3; ++i) {
            commands.SetSelectedDir(List("Rock"));
            commands.Export();
        }
        QCOMPARE(ReadBytes(target + ".mpl") == saved, true);
        QVERIFY(!QFile::exists(QString::fromStdString(target + ".txt")));
    }

    void helpShowsTheEditorsTopic()
    {
        RecordedProgress progress;
        TMplEditorCommands commands(progress);
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::HelpTopic, "corvella/mpleditor.htm");
        commands.Help();
    }
};

CORVELLA_UI_TEST_MAIN(TestMplEditorCommands)
#include "test_u_mpleditorcommands.moc"
