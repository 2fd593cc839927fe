#include "ui/configwizard/u_wizseqmain.h"
#include "tests/ui/current_profile.h"
#include "tests/ui/modal_dialogs.h"
#include "tests/ui/mpl_test_folders.h"
#include "tests/ui/scripted_prompts.h"
#include "tests/ui/ui_test_main.h"
#include "tests/ui/wizard_road.h"

#include <QApplication>
#include <QButtonGroup>
#include <QTextBrowser>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/common/u_helpwindow.h"
#include "ui/common/u_radiogroup.h"
#include "ui/configwizard/u_wizbanlist.h"
#include "ui/wizard/u_wizdirsel.h"
#include "ui/configwizard/u_wizdirselmpl.h"
#include "ui/configwizard/u_wizdirsummary.h"
#include "ui/configwizard/u_wizmplpages.h"
#include "ui/configwizard/u_wizprofilename.h"
#include "ui/configwizard/u_wizthreshold.h"

namespace {

// Folders of music on the "hard drive", and one that stands for a CD.
class MusicFolders {
public:
    MusicFolders()
    {
        for (const char* folder : {"Rock", "Rock/Live", "Jazz", "Pop", "Disc"})
            QDir(root_.path()).mkpath(folder);
    }
    // The model path of a folder.
    std::string Path(const char* folder) const
    {
        return FSDrive().FindDir(root_.path().toStdString() + "/" + folder + "/", true)->Path();
    }

private:
    QTemporaryDir root_;
};

TBWCVProfile& Stored(const std::string& name)
{
    static TBWCVProfile stored;
    if (!stored.LoadProfile(name))
        QTest::qFail(("no stored profile " + name).c_str(), __FILE__, __LINE__);
    return stored;
}

}  // namespace

class TestConfigurationWizard : public QObject {
    Q_OBJECT

    MusicFolders music_;

    // Operation page: the chosen operation, optionally with the advanced box.
    static void StartWith(WizardRoad& road, TWizOperation operation, bool advanced = false)
    {
        auto* page = road.On<TfrWizOperation>("Profile operation");
        QVERIFY(page);
        road.Choose(page->rgOp, operation);
        if (advanced)
            page->cbAdvanced->click();
        road.Next();
    }

    // Operation page with the advanced box, then the collection type.
    static void StartAdvanced(WizardRoad& road, TCollectionType type)
    {
        StartWith(road, opScan, true);
        auto* page = road.On<TfrWizDupeType>("Collection type");
        QVERIFY(page);
        road.Choose(page->rgType, type);
        road.Next();
    }

    // The duplicates' one directory, the summary, the default preset and the
    // last pages of a scan.
    void DuplicatesInAndFinish(WizardRoad& road, const char* folder)
    {
        QVERIFY(road.On<TfrWizTextAddDir>("Duplicates' directory"));
        road.Next();
        AskDirectory(road, folder, false);
        QVERIFY(road.On<TfrWizDirSummary>("Directory summary"));
        road.Next();
        QVERIFY(road.On<TfrWizThreshold>("Filter sensitivity"));
        road.Next();
        NameAndFinish(road, "dupe_scan");
    }

    // Directory page, then for a repeated one the yes/no page.
    void AskDirectory(WizardRoad& road, const char* folder, std::optional<bool> another = {})
    {
        auto* page = road.On<TfrWizDirSel>("Directory selection");
        QVERIFY(page);
        QVERIFY(road.Select(page->dir, music_.Path(folder)));
        QCOMPARE(page->edtCurrPath->text().toStdString(), music_.Path(folder));
        road.Next();
        if (!another)
            return;
        auto* yesNo = road.On<TfrWizYesNo>("Another directory?");
        QVERIFY(yesNo);
        QVERIFY(!yesNo->YesChosen());
        road.Choose(yesNo->rgYesNo, *another ? 1 : 0);
        road.Next();
    }

    // The profile name page as the operation named it, then the finish page.
    static void NameAndFinish(WizardRoad& road, const QString& name, TPostWizAction action = paRun)
    {
        auto* naming = road.On<TfrWizProfileName>("Profile Name");
        QVERIFY(naming);
        QCOMPARE(naming->edtProfileName->text(), name);
        road.Next();
        auto* finish = road.On<TfrWizTextFinish>("Congratulations");
        QVERIFY(finish);
        QCOMPARE(road.wizard.bNext->text(), QString("&Finish"));
        road.Choose(finish->rgPostWizAction, action);
        road.Next();
    }

private slots:
    void init()
    {
        TBWCVProfile& profile = FreshCurrentProfile();
        for (const std::string& name : profile.GetProfileList())
            profile.DeleteProfile(name);
        profile.NewProfile();
    }

    void presetsWriteOnlyTheirOwnValues()
    {
        struct Row {
            int item;
            std::int32_t minPerc;
            TBWCompType compType;
            std::int32_t minWordCount;
            std::int32_t simWord;
            bool noFieldOrder;
        };
        // On a profile holding 7, 7 and true where no preset writes.
        const Row rows[] = {
            {0, 100, ctContent, 1, 7, true},        {1, 100, ctTagsWithAlbum, 4, 7, true},
            {2, 90, ctTagsWithAlbum, 7, 7, true},   {3, 70, ctFileNameFields, 7, 7, true},
            {4, 70, ctFileNameFields, 7, 7, true},  {5, 50, ctFileName, 7, 7, true},
            {6, 30, ctFileName, 2, 1, true},        {-1, 100, ctContent, 1, 7, true},
        };
        for (const Row& row : rows) {
            TBWCVProfile profile;
            profile.MinWordCount = 7;
            profile.SimWord = 7;
            profile.NoFieldOrder = true;
            ApplySensitivityPreset(SensitivityPreset(row.item), profile);
            const auto item = QByteArray::number(row.item);
            QVERIFY2(profile.MinPerc == row.minPerc, item);
            QVERIFY2(profile.CompType == row.compType, item);
            QVERIFY2(profile.MinWordCount == row.minWordCount, item);
            QVERIFY2(profile.SimWord == row.simWord, item);
            QVERIFY2(profile.NoFieldOrder == row.noFieldOrder, item);
        }
        TBWCVProfile fresh;
        ApplySensitivityPreset(SensitivityPreset(4), fresh);
        QVERIFY(fresh.NoFieldOrder);
    }

    void banlistLinesBecomePatternsWithoutBlankOnes()
    {
        QCOMPARE(BanlistExclusionText("Abba\nlive*"), std::string("*Abba*;*live**;"));
        QCOMPARE(BanlistExclusionText("Abba\n\n  \nlive*\n"), std::string("*Abba*;*live**;"));
        QCOMPARE(BanlistExclusionText(""), std::string());
    }

    // The most used road: a duplicate scan of one folder with the default preset.
    void simpleScanOfOneFolderStoresTheDefaultPreset()
    {
        WhenModal([this](QWidget& dialog) {
            WizardRoad road(dialog);
            StartWith(road, opScan);
            AskDirectory(road, "Rock");
            auto* presets = road.On<TfrWizThreshold>("Filter sensitivity");
            QVERIFY(presets);
            QCOMPARE(presets->rgThreshold->ItemIndex(), kDefaultSensitivityPreset);
            road.Next();
            NameAndFinish(road, "dupe_scan");
        });
        QCOMPARE(int(RunProfileWizard()), int(paRun));
        const TBWCVProfile& stored = Stored("dupe_scan");
        QCOMPARE(stored.ProfileComment, std::string("Scan for duplicate files in my collection"));
        QCOMPARE(stored.ResultType, rsDuplicates);
        QCOMPARE(stored.DirPath, std::vector<std::string>{music_.Path("Rock")});
        QCOMPARE(stored.GetDirPriority(music_.Path("Rock")), std::int32_t(dtPriority3));
        QCOMPARE(stored.MinPerc, 90);
        QCOMPARE(stored.CompType, ctTagsWithAlbum);
        QCOMPARE(stored.MinWordCount, 2);
        QCOMPARE(stored.SimWord, 0);
    }

    // Back over the directory page, then Next again: the page, made anew,
    // opens at the folder the profile holds.
    void theDirectoryPageOpensAtTheChosenFolderAgain()
    {
        WhenModal([this](QWidget& dialog) {
            WizardRoad road(dialog);
            StartWith(road, opScan);
            AskDirectory(road, "Rock");
            QVERIFY(road.On<TfrWizThreshold>("Filter sensitivity"));
            road.Back();
            QVERIFY(road.On<TfrWizDirSel>("Directory selection"));
            road.Back();
            QVERIFY(road.On<TfrWizOperation>("Profile operation"));
            road.Next();
            auto* page = road.On<TfrWizDirSel>("Directory selection");
            QVERIFY(page);
            QCOMPARE(page->SelectedPath(), music_.Path("Rock"));
            QCOMPARE(page->edtCurrPath->text().toStdString(), music_.Path("Rock"));
            QVERIFY(page->dir->currentIndex().isValid());
            road.Next();
            road.Next();
            NameAndFinish(road, "dupe_scan", paNothing);
        });
        QCOMPARE(int(RunProfileWizard()), int(paNothing));
        QCOMPARE(Stored("dupe_scan").DirPath, std::vector<std::string>{music_.Path("Rock")});
    }

    void aTakenNameGetsANumberAndBackKeepsWhatAnEarlierPresetWrote()
    {
        TBWCVProfile& profile = CurrentProfile();
        profile.SetProfileName("dupe_scan");
        QVERIFY(profile.SaveProfile());
        WhenModal([this](QWidget& dialog) {
            WizardRoad road(dialog);
            StartWith(road, opScan);
            AskDirectory(road, "Jazz");
            auto* presets = road.On<TfrWizThreshold>("Filter sensitivity");
            QVERIFY(presets);
            road.Choose(presets->rgThreshold, 6);
            road.Next();
            QVERIFY(road.On<TfrWizProfileName>("Profile Name"));
            road.Back();
            QCOMPARE(road.On<TfrWizThreshold>("Filter sensitivity"), presets);
            road.Choose(presets->rgThreshold, 3);
            road.Next();
            NameAndFinish(road, "dupe_scan1", paNothing);
        });
        QCOMPARE(int(RunProfileWizard()), int(paNothing));
        const TBWCVProfile& stored = Stored("dupe_scan1");
        QCOMPARE(stored.MinPerc, 70);
        QCOMPARE(stored.CompType, ctFileNameFields);
        QCOMPARE(stored.SimWord, 1);
        QCOMPARE(stored.MinWordCount, 2);
    }

    void copyFromACdMakesTheCollectionTheReference()
    {
        WhenModal([this](QWidget& dialog) {
            WizardRoad road(dialog);
            auto* operation = road.On<TfrWizOperation>("Profile operation");
            QVERIFY(operation);
            operation->cbAdvanced->click();
            road.Choose(operation->rgOp, opCopyFromCD);
            QVERIFY(!operation->cbAdvanced->isEnabled());
            road.Next();
            AskDirectory(road, "Rock");
            auto* drive = road.On<TfrWizCDSel>("CD-ROM drive selection");
            QVERIFY(drive);
            QCOMPARE(drive->dir->DriveOptions(), TDriveOptions(doDrives));
            QVERIFY(road.Select(drive->dir, music_.Path("Disc")));
            road.Next();
            NameAndFinish(road, "copy_cd", paEdit);
        });
        QCOMPARE(int(RunProfileWizard()), int(paEdit));
        const TBWCVProfile& stored = Stored("copy_cd");
        QCOMPARE(stored.ResultType, rsNegative);
        QCOMPARE(stored.ProfileComment, std::string("Copy songs from a CD which are not in my collection."));
        QCOMPARE(stored.DirPath, (std::vector<std::string>{music_.Path("Rock"), music_.Path("Disc")}));
        QCOMPARE(stored.GetDirPriority(music_.Path("Rock")), std::int32_t(dtReference));
        QCOMPARE(stored.GetDirPriority(music_.Path("Disc")), std::int32_t(dtPriority3));
    }

    void banlistLinesAreStoredLowerCasedWithTheTagsCompared()
    {
        WhenModal([this](QWidget& dialog) {
            WizardRoad road(dialog);
            StartWith(road, opBanlist);
            AskDirectory(road, "Pop");
            auto* banlist = road.On<TfrWizBanlist>("Banlist");
            QVERIFY(banlist);
            QVERIFY(banlist->cbID3->isChecked());
            QTest::keyClicks(banlist->mmBanlist, "Abba");
            QTest::keyClick(banlist->mmBanlist, Qt::Key_Return);
            QTest::keyClick(banlist->mmBanlist, Qt::Key_Return);
            QTest::keyClicks(banlist->mmBanlist, "live*");
            road.Next();
            NameAndFinish(road, "banlist");
        });
        RunProfileWizard();
        const TBWCVProfile& stored = Stored("banlist");
        QCOMPARE(stored.ResultType, rsBanlist);
        QCOMPARE(stored.ExclusionText(), std::string("*abba*;*live**;"));
        QCOMPARE(stored.Exclusions(), (std::vector<std::string>{"*abba*", "*live**"}));
        QCOMPARE(stored.CompType, ctTagsWithAlbum);
    }

    void closeAndEditStoresANewProfileWithDefaultsAtOnce()
    {
        TBWCVProfile& previous = CurrentProfile();
        previous.DirPath = {music_.Path("Rock")};
        previous.SetDirPriority(music_.Path("Rock"), dtExcluded);
        WhenModal([](QWidget& dialog) {
            WizardRoad road(dialog);
            StartWith(road, opEdit);
        });
        QCOMPARE(int(RunProfileWizard()), int(paEdit));
        const TBWCVProfile& stored = Stored("new_profile");
        QVERIFY(stored.DirPath.empty());
        QVERIFY(stored.DirPri().empty());
        QCOMPARE(stored.MinPerc, 80);
    }

    void masterDirectoryRoadGivesReferencesThenNormalDirectories()
    {
        WhenModal([this](QWidget& dialog) {
            WizardRoad road(dialog);
            StartAdvanced(road, ctWithMasterDirectory);
            QVERIFY(road.On<TfrWizTextAddRefDir>("Master collection"));
            road.Next();
            AskDirectory(road, "Rock", true);
            AskDirectory(road, "Jazz", false);
            QVERIFY(road.On<TfrWizTextAddDir>("Duplicates' directory"));
            road.Next();
            AskDirectory(road, "Pop", false);
            auto* summary = road.On<TfrWizDirSummary>("Directory summary");
            QVERIFY(summary);
            std::vector<int> images;
            for (TBWChainNode* node = summary->tvAdd->Roots().SubDirs()->Head(); node; node = node->Next()) {
                int image = -1;
                summary->tvAdd->OnDirImage(dynamic_cast<TBWDirectory*>(node->Item()), itImage, image);
                images.push_back(image);
            }
            QCOMPARE(images, (std::vector<int>{dtReference, dtReference, dtPriority3}));
            road.Next();
            QVERIFY(road.On<TfrWizThreshold>("Filter sensitivity"));
            road.Next();
            NameAndFinish(road, "dupe_scan");
        });
        RunProfileWizard();
        const TBWCVProfile& stored = Stored("dupe_scan");
        QCOMPARE(stored.DirPath, (std::vector<std::string>{music_.Path("Rock"), music_.Path("Jazz"), music_.Path("Pop")}));
        QCOMPARE(stored.GetDirPriority(music_.Path("Jazz")), std::int32_t(dtReference));
        QCOMPARE(stored.GetDirPriority(music_.Path("Pop")), std::int32_t(dtPriority3));
    }

    // The name page shows its texts from their start, and after a note on
    // a taken name, Next and Back it is laid out as it was.
    void profileNamePageReadsFromTheStartAndKeepsItsLayoutAfterBack()
    {
        TBWCVProfile taken;
        taken.NewProfile();
        taken.SetProfileName("mine");
        QVERIFY(taken.SaveProfile());
        WhenModal([](QWidget& dialog) {
            WizardRoad road(dialog);
            StartWith(road, opCopyFromCD);
            road.Next();
            auto* drive = road.On<TfrWizCDSel>("CD-ROM drive selection");
            QVERIFY(drive);
            QVERIFY(road.Select(drive->dir, "/"));
            road.Next();
            auto* naming = road.On<TfrWizProfileName>("Profile Name");
            QVERIFY(naming);
            QCOMPARE(naming->edtComment->text(), QString("Copy songs from a CD which are not in my collection."));
            QCOMPARE(naming->edtComment->cursorPosition(), 0);
            const QRect commentAt = naming->edtComment->geometry();
            naming->edtProfileName->setFocus();
            naming->edtProfileName->selectAll();
            QTest::keyClicks(naming->edtProfileName, "mine");
            QTRY_VERIFY(naming->lblStoredName->isVisible());
            road.Next();
            QVERIFY(road.On<TfrWizTextFinish>("Congratulations"));
            road.Back();
            QCOMPARE(road.On<TfrWizProfileName>("Profile Name"), naming);
            QTRY_COMPARE(naming->edtComment->geometry(), commentAt);
            QVERIFY(!naming->lblStoredName->isVisible());
        });
        RunProfileWizard();
    }

    // F1 opens the help page of the wizard's page at hand, over the wizard,
    // and Esc gives the keyboard back to the wizard.
    void f1OpensTheHelpOfThePageShown()
    {
        QStringList shown;
        WhenModal([&shown](QWidget& dialog) {
            WizardRoad road(dialog);
            const auto helpOfPage = [&] {
                QTRY_COMPARE(QApplication::activeWindow(), &dialog);
                QTest::keyClick(dialog.windowHandle(), Qt::Key_F1);
                QTRY_VERIFY(HelpWindow() && HelpWindow()->isVisible());
                QTRY_COMPARE(QApplication::activeWindow(), HelpWindow());
                shown << QDir(ProgramDataFolder() + "/help").relativeFilePath(HelpWindow()->Page().source().toLocalFile());
                QTest::keyClick(HelpWindow()->windowHandle(), Qt::Key_Escape);
                QTRY_VERIFY(!HelpWindow()->isVisible());
            };
            helpOfPage();
            StartWith(road, opBanlist);
            helpOfPage();
            road.Next();
            helpOfPage();
        });
        QCOMPARE(int(RunProfileWizard()), int(paNothing));
        QCOMPARE(shown, (QStringList{"corvella/configwizard/index.htm", "corvella/configwizard/directories.htm",
                                     "corvella/configwizard/banlist.htm"}));
    }

    // The duplicates' page starts empty and refuses a master folder; the
    // master keeps its role and the summary shows both.
    void duplicatesPageNeverTakesTheMasterDirectory()
    {
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "is in a master directory")
            .ExpectMessage(PromptKind::Warning, "is in a master directory");
        WhenModal([this](QWidget& dialog) {
            WizardRoad road(dialog);
            StartAdvanced(road, ctWithMasterDirectory);
            road.Next();
            AskDirectory(road, "Rock", false);
            QVERIFY(road.On<TfrWizTextAddDir>("Duplicates' directory"));
            road.Next();
            auto* page = road.On<TfrWizDirSel>("Directory selection");
            QVERIFY(page);
            QVERIFY(page->SelectedPath().empty());
            QVERIFY(page->edtCurrPath->text().isEmpty());
            for (const char* master : {"Rock", "Rock/Live"}) {
                QVERIFY(road.Select(page->dir, music_.Path(master)));
                road.Next();  // refused: Rock is the master
                QCOMPARE(road.On<TfrWizDirSel>("Directory selection"), page);
            }
            AskDirectory(road, "Pop", false);
            auto* summary = road.On<TfrWizDirSummary>("Directory summary");
            QVERIFY(summary);
            QCOMPARE(summary->tvAdd->Roots().DirCount(), 2);
            road.Next();
            road.Next();
            NameAndFinish(road, "dupe_scan");
        });
        RunProfileWizard();
        QVERIFY(prompts.Done());
        const TBWCVProfile& stored = Stored("dupe_scan");
        QCOMPARE(stored.DirPath, (std::vector<std::string>{music_.Path("Rock"), music_.Path("Pop")}));
        QCOMPARE(stored.GetDirPriority(music_.Path("Rock")), std::int32_t(dtReference));
        QCOMPARE(stored.GetDirPriority(music_.Path("Pop")), std::int32_t(dtPriority3));
    }

    // The collection on CD: an Mp3 List built in the wizard from a disc.
    void collectionOnCdBuildsTheListAndMakesItTheReference()
    {
        TempListFolder lists;
        TempDisc disc;
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "name for the Mp3 List");
        prompts.ExpectMessage(PromptKind::Warning, "name for the CD");
        prompts.ExpectMessage(PromptKind::Warning, "already holds a CD named \"CD 1\"");
        WhenModal([this, &disc](QWidget& dialog) {
            WizardRoad road(dialog);
            StartAdvanced(road, ctOnCD);
            QVERIFY(road.On<TfrWizStatusMPL>("Mp3 list status"));
            road.Next();
            QVERIFY(road.On<TfrWizTextBuildMPL>("Mp3 list creation"));
            road.Next();
            auto* naming = road.On<TfrWizMPLName>("Mp3 list name");
            QVERIFY(naming);
            QTest::keyClicks(naming->edtMPLName, "//");
            road.Next();  // refused: nothing usable is left of the name
            QCOMPARE(road.On<TfrWizMPLName>("Mp3 list name"), naming);
            naming->edtMPLName->setText("My CDs");
            road.Next();
            const std::string discPath = FSDrive().FindDir(disc.Path() + "/", true)->Path();
            for (const char* name : {"CD 1", "CD 2"}) {
                auto* drive = road.On<TfrWizDirSelMPL>("New CD");
                QVERIFY(drive);
                // Every pass asks for a new disc: nothing of the last one is left.
                QVERIFY(drive->SelectedPath().empty());
                QVERIFY(drive->edtCurrPath->text().isEmpty());
                QVERIFY(road.Select(drive->dir, discPath));
                road.Next();
                auto* cdName = road.On<TfrWizCDName>("CD Name");
                QVERIFY(cdName);
                QCOMPARE(cdName->edtCDName->text().toStdString(), ProposedVolumeName(discPath));
                cdName->edtCDName->setText("CD 1");
                if (std::string(name) == "CD 2") {
                    road.Next();  // refused: the list holds a CD of that name
                    QCOMPARE(road.On<TfrWizCDName>("CD Name"), cdName);
                }
                cdName->edtCDName->clear();
                if (std::string(name) == "CD 1") {
                    road.Next();  // refused: a CD needs a name
                    QCOMPARE(road.On<TfrWizCDName>("CD Name"), cdName);
                }
                // A volume name keeps letters, digits and blanks, as the editor's.
                QTest::keyClicks(cdName->edtCDName, std::string(name) == "CD 2" ? "CD #2!" : name);
                road.Next();
                auto* another = road.On<TfrWizYesNoCD>("Another CD?");
                QVERIFY(another);
                QCOMPARE(another->rgYesNo->title(), QString("Add another CD?"));
                QVERIFY(!another->YesChosen());
                road.Choose(another->rgYesNo, std::string(name) == "CD 1" ? 1 : 0);
                road.Next();
            }
            QVERIFY(road.On<TfrpWizTextFinishMPL>("Mp3 list completed"));
            road.Next();
            DuplicatesInAndFinish(road, "Pop");
        });
        RunProfileWizard();
        QVERIFY(prompts.Done());
        const TBWCVProfile& stored = Stored("dupe_scan");
        QCOMPARE(stored.DirPath, (std::vector<std::string>{"@My CDs/", music_.Path("Pop")}));
        QCOMPARE(stored.GetDirPriority("@My CDs/"), std::int32_t(dtReference));
        QCOMPARE(stored.GetDirPriority(music_.Path("Pop")), std::int32_t(dtPriority3));
        const std::unique_ptr<TBWDirectory> list = LoadMplFile(lists.File("My CDs"));
        QVERIFY(list);
        QVERIFY(list->FindChild("CD 1"));
        QVERIFY(list->FindChild("CD 2"));
    }

    void aListBuiltBeforeIsChosenInTheTreeAsTheReference()
    {
        TempListFolder lists;
        TBWDirMpl* built = MplManager().NewList("Old CDs", false);
        QVERIFY(built && built->Save());
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "select your Mp3 List");
        WhenModal([this, built](QWidget& dialog) {
            WizardRoad road(dialog);
            StartAdvanced(road, ctOnCD);
            auto* status = road.On<TfrWizStatusMPL>("Mp3 list status");
            QVERIFY(status);
            QVERIFY(!status->dir->isVisibleTo(status));
            road.Choose(status->rgMPL, 1);
            QVERIFY(status->dir->isVisibleTo(status));
            road.Next();  // refused: no list chosen yet
            QVERIFY(road.Select(status->dir, built->Path()));
            road.Next();
            DuplicatesInAndFinish(road, "Rock");
        });
        RunProfileWizard();
        QVERIFY(prompts.Done());
        const TBWCVProfile& stored = Stored("dupe_scan");
        QCOMPARE(stored.DirPath, (std::vector<std::string>{"@Old CDs/", music_.Path("Rock")}));
        QCOMPARE(stored.GetDirPriority("@Old CDs/"), std::int32_t(dtReference));
    }

    void aRepeatedDirectoryPageWithNothingSelectedAddsNothing()
    {
        WhenModal([this](QWidget& dialog) {
            WizardRoad road(dialog);
            StartAdvanced(road, ctOnHardDrive);
            QVERIFY(road.On<TfrWizDirSel>("Directory selection"));
            road.Next();
            auto* yesNo = road.On<TfrWizYesNo>("Another directory?");
            QVERIFY(yesNo);
            road.Choose(yesNo->rgYesNo, 1);
            road.Next();
            AskDirectory(road, "Jazz", false);
            road.Next();
            road.Next();
            NameAndFinish(road, "dupe_scan");
        });
        RunProfileWizard();
        QCOMPARE(Stored("dupe_scan").DirPath, std::vector<std::string>{music_.Path("Jazz")});
    }

    void cancellingLoadsThePreviousProfileAndEscOnTheLastPageFinishes()
    {
        TBWCVProfile& profile = CurrentProfile();
        profile.SetProfileName("mine");
        profile.ProfileComment = "kept";
        QVERIFY(profile.SaveProfile());
        {
            ScriptedPrompts prompts;
            prompts.ExpectYesNo(true, "Are you sure you want to cancel this wizard?");
            WhenModal([](QWidget& dialog) {
                WizardRoad road(dialog);
                StartWith(road, opBanlist);
                QTest::keyClick(&road.wizard, Qt::Key_Escape);
            });
            QCOMPARE(int(RunProfileWizard()), int(paNothing));
            QVERIFY(prompts.Done());
        }
        QCOMPARE(profile.ProfileName(), std::string("mine"));
        QCOMPARE(profile.ProfileComment, std::string("kept"));
        QCOMPARE(profile.GetProfileList(), std::vector<std::string>{"mine"});

        WhenModal([](QWidget& dialog) {
            WizardRoad road(dialog);
            StartWith(road, opBanlist);
            road.Next();
            road.Next();
            road.Next();
            auto* finish = road.On<TfrWizTextFinish>("Congratulations");
            QVERIFY(finish);
            road.Choose(finish->rgPostWizAction, paEdit);
            QTest::keyClick(&road.wizard, Qt::Key_Escape);
        });
        QCOMPARE(int(RunProfileWizard()), int(paEdit));
        QCOMPARE(CurrentProfile().ProfileName(), std::string("banlist"));
    }
};

CORVELLA_UI_TEST_MAIN(TestConfigurationWizard)
#include "test_u_wizseqmain.moc"
