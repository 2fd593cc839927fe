#include "ui/selection/u_wizseqselect.h"
#include "ui/results/u_resultsmodel.h"
#include "ui/common/u_relevance.h"
#include "tests/ui/modal_dialogs.h"
#include "tests/ui/result_files.h"
#include "tests/ui/scripted_prompts.h"
#include "tests/ui/ui_test_main.h"

#include "base/HUtils.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/results/u_scanresults.h"
#include "ui/selection/u_wizselectextension.h"
#include "ui/selection/u_wizselectmain.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include <algorithm>
#include <functional>

namespace {

using TNames = QStringList;

// A group as a scan leaves it: the reference "Ref/Song.mp3" (4005 KB,
// 200 s, 192 kbit/s, in a reference directory) and its duplicates
// "High/Song.wma", "Low/Song (2).mp3" and "Normal/Sub/Song 3.mp3".
struct TSelectionGroup {
    TSelectionGroup()
    {
        files.profile.SetDirPriority(files.Path("Ref"), dtReference);
        files.profile.SetDirPriority(files.Path("High"), dtPriority4);
        files.profile.SetDirPriority(files.Path("Low"), dtPriority2);
        reference = files.Add("Ref/Song.mp3", {4005, 200, 192});
        files.Group(reference, {files.Add("High/Song.wma", {4000, 203, 128}),
                                files.Add("Low/Song (2).mp3", {4020, 197, 320}),
                                files.Add("Normal/Sub/Song 3.mp3", {3994, 204, 100})});
        files.Resolve();
    }

    // The names of the entries that meet the criteria.
    TNames Matching()
    {
        TNames names;
        for (TBWComparable* item = files.list.First(); !files.list.Eof(); item = files.list.Next())
            if (const auto* entry = static_cast<TBWDupeFile*>(item); MatchesSelectionCriteria(*entry, 0))
                names << QString::fromStdString(entry->File()->Name());
        return names;
    }

    TResultFiles files;
    TBWMp3File* reference;
};

TSelectionCriteria Chosen(std::initializer_list<TSelCriterion> criteria,
                          const std::function<void(TSelectionCriteria&)>& fill)
{
    TSelectionCriteria chosen;
    for (TSelCriterion criterion : criteria)
        chosen.SelCriteria |= 1U << criterion;
    fill(chosen);
    return chosen;
}

}  // namespace

Q_DECLARE_METATYPE(TSelectionCriteria)

class TestSelection : public QObject {
    Q_OBJECT

private slots:
    void init() { SelectionCriteria = {}; }

    void eachCriterionTestsTheEntryOrItsReference_data()
    {
        QTest::addColumn<TSelectionCriteria>("criteria");
        QTest::addColumn<TNames>("matching");
        const TNames all = {"Song.mp3", "Song.wma", "Song (2).mp3", "Song 3.mp3"};
        QTest::newRow("size absolute") << Chosen({scSize}, [](auto& c) { c.SelSizeMin = 3990, c.SelSizeMax = 4004; })
                                       << TNames{"Song.wma", "Song 3.mp3"};
        // Around 4005 KB for the duplicates; the reference has none, so -10..10 KB for itself.
        QTest::newRow("size relative")
            << Chosen({scSize}, [](auto& c) { c.SelSizeRelative = true, c.SelSizeMin = -10, c.SelSizeMax = 10; })
            << TNames{"Song.wma"};
        QTest::newRow("duration relative") << Chosen({scDuration}, [](auto& c) {
            c.SelDurationRelative = true, c.SelDurationMin = -3, c.SelDurationMax = 3;
        }) << TNames{"Song.wma", "Song (2).mp3"};
        QTest::newRow("bitrate absolute") << Chosen({scBitrate}, [](auto& c) {
            c.SelBitrateMin = 100, c.SelBitrateMax = 192;
        }) << TNames{"Song.mp3", "Song.wma", "Song 3.mp3"};
        QTest::newRow("bitrate relative") << Chosen({scBitrate}, [](auto& c) {
            c.SelBitrateRelative = true, c.SelBitrateMin = -64, c.SelBitrateMax = 0;
        }) << TNames{"Song.wma"};
        QTest::newRow("priority Normal to Highest, never a reference directory")
            << Chosen({scPriority}, [](auto& c) { c.SelPriorityMin = dtPriority3, c.SelPriorityMax = dtPriority5; })
            << TNames{"Song.wma", "Song 3.mp3"};
        QTest::newRow("priority of the reference's directory")
            << Chosen({scPriority}, [](auto& c) {
                   c.SelPriorityRelative = true, c.SelPriorityMin = dtReference, c.SelPriorityMax = dtReference;
               })
            << all;
        QTest::newRow("priority of the reference's directory, Normal to Highest")
            << Chosen({scPriority}, [](auto& c) {
                   c.SelPriorityRelative = true, c.SelPriorityMin = dtPriority3, c.SelPriorityMax = dtPriority5;
               })
            << TNames{};
        QTest::newRow("listed extension") << Chosen({scExtension}, [](auto& c) { c.SelExtensions = "OGG;WMA;"; })
                                          << TNames{"Song.wma"};
        QTest::newRow("listed extension, whole items only")
            << Chosen({scExtension}, [](auto& c) { c.SelExtensions = "XMP3;WMAX;"; }) << TNames{};
        QTest::newRow("listed extension, a lone separator")
            << Chosen({scExtension}, [](auto& c) { c.SelExtensions = ";"; }) << TNames{};
        // The reference itself has no reference: the listed extensions (none) decide.
        QTest::newRow("extension unlike the reference's")
            << Chosen({scExtension}, [](auto& c) { c.SelExtensionMode = emUnlikeReference; })
            << TNames{"Song.mp3", "Song.wma"};
        QTest::newRow("extension like the reference's")
            << Chosen({scExtension}, [](auto& c) { c.SelExtensionMode = emLikeReference; })
            << TNames{"Song (2).mp3", "Song 3.mp3"};
        // "song 2" against "song" is 66.7 %: 66 for the test; an entry without reference passes.
        QTest::newRow("relevance 90 to 100")
            << Chosen({scRelevance}, [](auto& c) { c.SelRelevanceMin = 90, c.SelRelevanceMax = 100; })
            << TNames{"Song.mp3", "Song.wma"};
        QTest::newRow("relevance truncated")
            << Chosen({scRelevance}, [](auto& c) { c.SelRelevanceMin = 66, c.SelRelevanceMax = 66; })
            << TNames{"Song.mp3", "Song (2).mp3", "Song 3.mp3"};
        QTest::newRow("all criteria must match") << Chosen({scDuration, scExtension}, [](auto& c) {
            c.SelDurationRelative = true, c.SelDurationMin = -3, c.SelDurationMax = 3;
            c.SelExtensionMode = emLikeReference;
        }) << TNames{"Song (2).mp3"};
        QTest::newRow("values of unchosen criteria do not count") << Chosen({scExtension}, [](auto& c) {
            c.SelExtensions = "WMA;";
            c.SelSizeMin = c.SelSizeMax = c.SelBitrateMin = c.SelBitrateMax = 1;
        }) << TNames{"Song.wma"};
        QTest::newRow("directory and below")
            << Chosen({scDirectory}, [](auto& c) { c.SelDirectory = "Normal/"; }) << TNames{"Song 3.mp3"};
        QTest::newRow("no directory selected")
            << Chosen({scDirectory}, [](auto&) {}) << TNames{};
    }
    void eachCriterionTestsTheEntryOrItsReference()
    {
        TSelectionGroup group;
        QFETCH(TSelectionCriteria, criteria);
        SelectionCriteria = criteria;
        // The rows name the folder within the group's temporary folder.
        if (!criteria.SelDirectory.empty())
            SelectionCriteria.SelDirectory = group.files.Path(criteria.SelDirectory);
        QFETCH(TNames, matching);
        TNames found = group.Matching();
        found.sort();
        matching.sort();
        QCOMPARE(found, matching);
    }

    void aSingleEntryMeetsARelativeSizeAsAbsolute()
    {
        TResultFiles files(rsBanlist);
        TBWMp3File* small = files.Add("Small.mp3", {5});
        TBWMp3File* big = files.Add("Big.mp3", {4005});
        files.Single(small);
        files.Single(big);
        files.Resolve();
        SelectionCriteria.SelCriteria = 1U << scSize;
        SelectionCriteria.SelSizeRelative = true;
        SelectionCriteria.SelSizeMin = -10;
        SelectionCriteria.SelSizeMax = 10;
        QVERIFY(MatchesSelectionCriteria(*files.EntryOf(small), 0));
        QVERIFY(!MatchesSelectionCriteria(*files.EntryOf(big), 0));
    }

    void aFolderUnderAMacroMatchesMacroAndExpandedPaths()
    {
        const std::string music = ExpandPathMacros("%mymusic%");
        QVERIFY(!music.starts_with('%'));
        for (const char* file : {"/Rock/Live/a.mp3", "/Rock/b.mp3", "/Pop/c.mp3"})
            WriteWholeFile(music + file, file);
        TResultFiles files;
        auto entryIn = [&files](const std::string& folder, const char* name) {
            return files.list.Entry(files.root.FindDir(folder, true)->Files()->FindByName(name));
        };
        const TBWDupeFile* underMacro = entryIn("%mymusic%/Rock/Live/", "a.mp3");
        const TBWDupeFile* expanded = entryIn(music + "/Rock/", "b.mp3");
        const TBWDupeFile* elsewhere = entryIn("%mymusic%/Pop/", "c.mp3");
        QVERIFY(underMacro && expanded && elsewhere);
        SelectionCriteria.SelCriteria = 1U << scDirectory;
        SelectionCriteria.SelDirectory = "%mymusic%/Rock/";
        QVERIFY(MatchesSelectionCriteria(*underMacro, 0));
        QVERIFY(MatchesSelectionCriteria(*expanded, 0));
        QVERIFY(!MatchesSelectionCriteria(*elsewhere, 0));
    }

    void relevanceIsTruncatedButNotBelowWhatItShows_data()
    {
        QTest::addColumn<double>("relevance");
        QTest::addColumn<int>("percent");
        QTest::newRow("89.9") << 89.9 << 89;
        QTest::newRow("58 less floating-point dust") << 0.58 * 100 << 58;
        QTest::newRow("100") << 100.0 << 100;
        QTest::newRow("0") << 0.0 << 0;
    }
    void relevanceIsTruncatedButNotBelowWhatItShows()
    {
        QFETCH(double, relevance);
        QTEST(RelevancePercent(relevance), "percent");
    }

    // The column rounds what the wizard truncates: 66.7 shows as 67 %.
    void shownRelevanceIsRounded_data()
    {
        QTest::addColumn<double>("relevance");
        QTest::addColumn<int>("shown");
        QTest::newRow("two words of three") << 200.0 / 3 << 67;
        QTest::newRow("one word of three") << 100.0 / 3 << 33;
        QTest::newRow("89.9") << 89.9 << 90;
        QTest::newRow("a half goes up") << 62.5 << 63;
        QTest::newRow("58 less floating-point dust") << 0.58 * 100 << 58;
        QTest::newRow("100") << 100.0 << 100;
        QTest::newRow("0") << 0.0 << 0;
    }
    void shownRelevanceIsRounded()
    {
        QFETCH(double, relevance);
        QTEST(ShownRelevancePercent(relevance), "shown");
    }

    void theActionTouchesOnlyMatchingDuplicatesAndToggleTwiceRestores()
    {
        TSelectionGroup group;
        TResultFiles& files = group.files;
        files.list.SetSelected(files.EntryOf(group.reference)->Links()[1], true);  // "Low/Song (2).mp3"
        const std::vector<std::string> before = files.Shown();
        SelectionCriteria.SelCriteria = 1U << scBitrate;
        SelectionCriteria.SelBitrateMin = 100;
        SelectionCriteria.SelBitrateMax = 320;
        SelectionCriteria.SelAction = saToggle;
        ApplySelection(files.list);
        QCOMPARE(files.Shown(), std::vector<std::string>({"R Song.mp3", "D Song (2).mp3", "D+ Song 3.mp3",
                                                          "D+ Song.wma"}));
        ApplySelection(files.list);
        QCOMPARE(files.Shown(), before);

        SelectionCriteria.SelAction = saCheck;
        SelectionCriteria.SelBitrateMax = 128;
        ApplySelection(files.list);
        QCOMPARE(files.Shown(), std::vector<std::string>({"R Song.mp3", "D+ Song (2).mp3", "D+ Song 3.mp3",
                                                          "D+ Song.wma"}));
        SelectionCriteria.SelAction = saUncheck;
        SelectionCriteria.SelBitrateMax = 320;
        SelectionCriteria.SelBitrateMin = 300;
        ApplySelection(files.list);
        QCOMPARE(files.Shown(), std::vector<std::string>({"R Song.mp3", "D Song (2).mp3", "D+ Song 3.mp3",
                                                          "D+ Song.wma"}));
    }

    void theWizardHasItsOwnTitleAndItsTextsReadRight()
    {
        QString title;
        QStringList labels;
        WhenModal([&](QWidget& dialog) {
            title = dialog.windowTitle();
            for (const QLabel* label : dialog.findChildren<QLabel*>())
                labels << label->text();
            static_cast<TfpWizard&>(dialog).done(TfpWizard::mrCancel);
        });
        QVERIFY(!RunSelectionWizard(nullptr));
        QCOMPARE(title, QString("Special selection"));
        QVERIFY(labels.contains("NOTE: Only duplicates that match ALL the criteria will be checked."));
        TfrWizSelectExtension extension(nullptr);
        QStringList modes;
        for (const QRadioButton* mode : extension.findChildren<QRadioButton*>())
            modes << mode->text();
        QCOMPARE(modes, QStringList({"a specified extension", "a different extension from its reference file",
                                     "the same extension as its reference file"}));
    }

    void theWizardShowsThePagesOfTheChosenCriteriaThenTheSummary()
    {
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "You must select at least one criterion.");
        TfpWizard wizard;
        wizard.Start(std::make_unique<TWSSelectMain>());
        wizard.show();
        QCOMPARE(wizard.lblTitle->text(), QString("Selection wizard"));
        wizard.bNext->click();
        QCOMPARE(wizard.lblTitle->text(), QString("Selection wizard"));
        wizard.findChild<QCheckBox*>("cbSize")->setChecked(true);
        wizard.findChild<QCheckBox*>("cbBitrate")->setChecked(true);
        QStringList titles;
        for (int page = 0; page < 3; ++page) {
            wizard.bNext->click();
            titles << wizard.lblTitle->text();
        }
        QCOMPARE(titles, QStringList({"Size", "Bitrate", "Selection summary"}));
        QCOMPARE(wizard.bNext->text(), QString("&Finish"));
        wizard.bNext->click();
        QCOMPARE(wizard.result(), int(TfpWizard::mrOk));
        QCOMPARE(int(SelectionCriteria.SelCriteria), (1 << scSize) | (1 << scBitrate));
        QCOMPARE(SelectionCriteria.SelSizeMax, 99999);
        QCOMPARE(SelectionCriteria.SelBitrateMax, 400);
    }

    void specialSelectionInTheResultsWindowChecksWhatTheWizardChose()
    {
        TSelectionGroup group;
        TBWCVGenSettings settings;
        settings.NewProfile();
        settings.ScanResMaximized = false;
        TfScanResults window(settings);
        window.SetResults(&group.files.list);
        window.RefreshList();
        WhenModal([](QWidget& dialog) {
            auto& wizard = static_cast<TfpWizard&>(dialog);
            wizard.findChild<QCheckBox*>("cbExtension")->setChecked(true);
            wizard.bNext->click();  // the extension page: "a specified extension"
            wizard.bNext->click();  // the summary
            wizard.bNext->click();
        });
        SelectionCriteria.SelExtensions = "none";
        window.findChild<QAction*>("aSpecialSelection")->trigger();
        // No extension was ticked: nothing matches and nothing is checked.
        QCOMPARE(group.files.list.SelectedCount(), 0);
        QCOMPARE(SelectionCriteria.SelExtensions, std::string());

        WhenModal([](QWidget& dialog) {
            auto& wizard = static_cast<TfpWizard&>(dialog);
            wizard.findChild<QCheckBox*>("cbPriority")->setChecked(true);
            wizard.bNext->click();
            wizard.bNext->click();
            wizard.bNext->click();
        });
        window.findChild<QAction*>("aSpecialSelection")->trigger();
        // "Lowest" to "Reference": every duplicate, never the reference.
        QCOMPARE(group.files.Shown(), std::vector<std::string>({"R Song.mp3", "D+ Song (2).mp3", "D+ Song 3.mp3",
                                                                "D+ Song.wma"}));
        QVERIFY(window.findChild<QStatusBar*>("sb")->currentMessage().startsWith("3 / 3 duplicates selected."));
    }
};

CORVELLA_UI_TEST_MAIN(TestSelection)
#include "test_u_wizseqselect.moc"
