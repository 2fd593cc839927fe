#include "tests/ui/catalogued_disc.h"
#include "tests/ui/item_clicks.h"
#include "tests/ui/modal_dialogs.h"
#include "tests/ui/mpl_test_folders.h"
#include "tests/ui/result_files.h"
#include "tests/ui/scripted_prompts.h"
#include "engine/u_dupeengine.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_helpwindow.h"
#include "ui/mpleditor/u_mpleditorcommands.h"
#include "ui/progress/u_progress.h"
#include "ui/results/u_discneeded.h"
#include "ui/results/u_renamefile.h"
#include "ui/results/u_resultsmodel.h"
#include "ui/results/u_scanresults.h"
#include "ui/results/u_warningreplace.h"
#include "tests/ui/ui_test_main.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

namespace {

using TTexts = std::vector<std::string>;

// "Best Song.mp3" (reference, in Rock/) with the duplicates "Best Song (2).mp3"
// (1536 KB, 3725 s) and "Very Best Song.mp3"; and "Other.mp3" with "Other copy.mp3".
struct TShownResults {
    explicit TShownResults(TBWResultType resultType = rsDuplicates, TBWCompType compType = ctFileName)
        : files(resultType, compType)
    {
        reference = files.Add("Rock/Best Song.mp3", {5000, 240, 192, "Zed", "Best"});
        second = files.Add("New/Best Song (2).mp3", {1536, 3725, 128, "Abba", "Best"});
        live = files.Add("New/Very Best Song.mp3", {2048, 250, 320, "Mid", "Best"});
        other = files.Add("Rock/Other.mp3", {4000});
        otherCopy = files.Add("New/Other copy.mp3", {10});
        if (resultType == rsDuplicates) {
            files.Group(reference, {second, live});
            files.Group(other, {otherCopy});
        } else {
            for (TBWFile* file : {static_cast<TBWFile*>(reference), static_cast<TBWFile*>(second)})
                files.Single(file);
        }
        files.Resolve();
        settings.NewProfile();
        settings.ScanResMaximized = false;
        window = std::make_unique<TfScanResults>(settings);
        window->SetResults(&files.list);
        window->RefreshList();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            QTest::qFail("the results window never became active", __FILE__, __LINE__);
        view = window->findChild<QTreeView*>("lvResults");
    }

    QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }
    QString Status() const { return window->findChild<QStatusBar*>("sb")->currentMessage(); }
    QString Cell(int row, int column) const { return view->model()->index(row, column).data().toString(); }
    int ColumnOf(int tag) const
    {
        for (int column = 0; column < view->model()->columnCount(); ++column)
            if (window->Model().ColumnTag(column) == tag)
                return column;
        return -1;
    }
    int RowOf(const TBWFile* file) { return window->Model().RowOf(files.EntryOf(file)); }
    void SelectRows(const std::vector<int>& rows)
    {
        view->selectionModel()->clear();
        for (int row : rows)
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void ClickHeader(int tag) { view->header()->sectionClicked(ColumnOf(tag)); }
    bool HeaderMark(int tag, int image) const
    {
        const QVariant mark = view->model()->headerData(ColumnOf(tag), Qt::Horizontal, Qt::DecorationRole);
        return mark.isValid() && mark.value<QPixmap>().toImage() == dmCentral->PriIL.Pixmap(image).toImage();
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            names.push_back(Cell(row, 0).toStdString());
        return names;
    }

    TResultFiles files;
    TBWMp3File* reference;
    TBWMp3File* second;
    TBWMp3File* live;
    TBWMp3File* other;
    TBWMp3File* otherCopy;
    TBWCVGenSettings settings;
    std::unique_ptr<TfScanResults> window;
    QTreeView* view;
};

} // namespace

class TestScanResults : public QObject {
    Q_OBJECT

private slots:
    void checkedDiscFilesAreCopiedFromTheFolderGivenToTheDiscRequest_data()
    {
        QTest::addColumn<bool>("keepStructure");
        QTest::newRow("flat") << false;
        QTest::newRow("keeping the disc's folders") << true;
    }
    void checkedDiscFilesAreCopiedFromTheFolderGivenToTheDiscRequest()
    {
        QFETCH(bool, keepStructure);
        TCataloguedDisc disc;
        disc.Scan();
        TBWCVGenSettings settings;
        settings.NewProfile();
        settings.ScanResMaximized = false;
        TfScanResults window(settings);
        window.SetResults(&disc.engine->Results());
        window.RefreshList();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* view = window.findChild<QTreeView*>("lvResults");
        QCOMPARE(view->model()->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            ClickItem(*view, view->model()->index(row, 0));
            QTest::keyClick(view, Qt::Key_Space);
        }

        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, disc.Folder("dest"))
            .ExpectYesNo(keepStructure, "recreate the directory structure")
            .ExpectChoice(PromptKind::Folder, disc.Disc(""))
            .ExpectMessage(PromptKind::Information, "2 files were copied to "
                                                        + (keepStructure ? "2 folders under " + disc.Folder("dest/")
                                                                         : disc.Folder("dest/") + "."));
        // The disc is given at the first request; a second one means the
        // copy did not find it, and is cancelled.
        QStringList asked;
        QTimer discRequests;
        connect(&discRequests, &QTimer::timeout, [&asked] {
            auto* dialog = dynamic_cast<TfDiscNeeded*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            asked << dialog->findChild<QLabel*>("lblDisc")->text();
            if (asked.size() > 1) {
                ClickButton(*dialog, "bCancel");
                return;
            }
            ClickButton(*dialog, "bChangePath");
            ClickButton(*dialog, "bOK");
        });
        discRequests.start(5);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(prompts.Done());
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains("\"Summer CD 1\""), qPrintable(asked[0]));
        const QString lithium = keepStructure ? "dest/CD1/Nirvana - Lithium.mp3" : "dest/Nirvana - Lithium.mp3";
        QVERIFY(FileExists(disc.Folder(lithium).toStdString()));
        QCOMPARE(ReadWholeFile(disc.Folder(lithium).toStdString()),
                 ReadWholeFile(disc.Disc("CD1/Nirvana - Lithium.mp3").toStdString()));
        QCOMPARE(ReadWholeFile(disc.Folder("dest/Pixies - Debaser.mp3").toStdString()),
                 ReadWholeFile(disc.Disc("Pixies - Debaser.mp3").toStdString()));
    }

    void theListModelIsASoundItemModel()
    {
        TShownResults shown;
        QAbstractItemModelTester tester(shown.view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        shown.files.list.SelectAll();
        shown.window->Model().Repaint();
        shown.ClickHeader(rcSize);
        shown.window->findChild<QAction*>("miArtist")->trigger();
    }

    void cellsShowTheirFormats()
    {
        TShownResults shown;
        shown.settings.ColShow.fill(true);
        shown.window->findChild<QAction*>("miArtist")->trigger();  // rebuilds the columns from the settings
        shown.window->findChild<QAction*>("miArtist")->trigger();
        const int referenceRow = shown.RowOf(shown.reference), secondRow = shown.RowOf(shown.second);
        QCOMPARE(shown.Cell(secondRow, shown.ColumnOf(rcSize)), QString("1.50"));
        QCOMPARE(shown.Cell(secondRow, shown.ColumnOf(rcDuration)), QString("62:05"));
        QCOMPARE(shown.Cell(referenceRow, shown.ColumnOf(rcDuration)), QString("04:00"));
        QCOMPARE(shown.Cell(secondRow, shown.ColumnOf(rcBitrate)), QString("128"));
        QCOMPARE(shown.Cell(secondRow, shown.ColumnOf(rcArtist)), QString("Abba"));
        QCOMPARE(shown.Cell(referenceRow, shown.ColumnOf(rcRelevance)), QString("--"));
        // "best song 2" against "best song": twice 2 matched words over 5 words.
        QCOMPARE(shown.Cell(secondRow, shown.ColumnOf(rcRelevance)), QString("80 %"));
        // "other copy" against "other": 2 of 3 words, 66.7 %, shown rounded.
        QCOMPARE(shown.Cell(shown.RowOf(shown.otherCopy), shown.ColumnOf(rcRelevance)), QString("67 %"));
        QCOMPARE(shown.Cell(secondRow, shown.ColumnOf(rcWords)), QString::fromStdString(shown.second->WordsText()));
        QCOMPARE(shown.Cell(secondRow, shown.ColumnOf(rcPath)), QString::fromStdString(shown.second->DirPath()));
    }

    void duplicatesFollowTheirReferenceWithCheckMarksButTheReferenceHasNone()
    {
        TShownResults shown;
        QCOMPARE(shown.Names(), (TTexts{"Best Song.mp3", "Best Song (2).mp3", "Very Best Song.mp3", "Other.mp3",
                                        "Other copy.mp3"}));
        QCOMPARE(shown.window->Model().StateImage(0), int(ciReference));
        QCOMPARE(shown.window->Model().StateImage(1), int(ciUnchecked));
        shown.files.list.SelectAll();
        QCOMPARE(shown.window->Model().StateImage(1), int(ciChecked));
        QCOMPARE(shown.window->Model().StateImage(0), int(ciReference));
    }

    void headerClicksSortAndFlipWithTheirMarks()
    {
        TShownResults shown;
        QVERIFY(shown.HeaderMark(rcFileName, riAscending));
        shown.ClickHeader(rcSize);
        QCOMPARE(shown.files.list.ActiveKeySet(), TBWDupeFileList::kSizeSet);
        QVERIFY(!shown.files.list.Descending());
        QVERIFY(shown.HeaderMark(rcSize, riAscending));
        QVERIFY(!shown.HeaderMark(rcFileName, riAscending));
        QCOMPARE(shown.Names().front(), std::string("Other.mp3"));
        shown.ClickHeader(rcSize);
        QVERIFY(shown.files.list.Descending());
        QVERIFY(shown.HeaderMark(rcSize, riDescending));
        QCOMPARE(shown.Names().front(), std::string("Best Song.mp3"));
        QCOMPARE(shown.Names()[1], std::string("Very Best Song.mp3"));
        shown.settings.ColShow[rcArtist] = false;
        shown.window->findChild<QAction*>("miArtist")->trigger();
        shown.ClickHeader(rcArtist);
        QCOMPARE(shown.files.list.ActiveKeySet(), TBWDupeFileList::kArtistSet);
        QVERIFY(!shown.files.list.Descending());
        QVERIFY(shown.HeaderMark(rcArtist, riAscending));
        const TTexts before = shown.Names();
        shown.settings.ColShow[rcRelevance] = false;
        shown.window->findChild<QAction*>("miRelevance")->trigger();
        shown.ClickHeader(rcRelevance);
        QCOMPARE(shown.Names(), before);
        QVERIFY(shown.HeaderMark(rcArtist, riAscending));
    }

    void everyColumnShowsItsValuesAndCaptionAndThePathTakesTheRest()
    {
        TShownResults shown;
        // Narrow stored widths, as the "%" column's 40 px that cut "100 %".
        shown.settings.ColShow.fill(true);
        shown.settings.ColSize.fill(40);
        shown.settings.ColShow[rcArtist] = false;
        shown.window->findChild<QAction*>("miArtist")->trigger();
        shown.window->resize(1600, 1000);
        const int path = shown.ColumnOf(rcPath);
        QTRY_VERIFY(shown.view->columnWidth(path) > 400);
        QHeaderView* header = shown.view->header();
        int sum = 0;
        for (int column = 0; column < header->count(); ++column)
            sum += header->sectionSize(column);
        QCOMPARE(sum, shown.view->viewport()->width());
        // Each value and each caption fits, also with the sort mark a header click puts on it.
        QStyleOptionViewItem option;
        option.initFrom(shown.view);
        option.decorationSize = shown.view->iconSize();
        for (int column = 0; column < header->count(); ++column) {
            if (column == path)
                continue;
            const int tag = shown.window->Model().ColumnTag(column);
            for (int row = 0; row < shown.view->model()->rowCount(); ++row) {
                const QModelIndex cell = shown.view->model()->index(row, column);
                QVERIFY2(shown.view->itemDelegate()->sizeHint(option, cell).width() <= header->sectionSize(column),
                         qPrintable(ColumnCaption(tag) + ": " + cell.data().toString()));
            }
            const int width = header->sectionSize(column);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + width / 2, header->height() / 2));
            QVERIFY2(header->sectionSizeHint(column) <= header->sectionSize(column), qPrintable(ColumnCaption(tag)));
        }
    }

    void statusLineCountsWithPluralsAndSmallSizesWithADecimal_data()
    {
        QTest::addColumn<int>("checked");
        QTest::addColumn<int>("checkable");
        QTest::addColumn<qint64>("checkedKB");
        QTest::addColumn<qint64>("totalKB");
        QTest::addColumn<QString>("status");
        QTest::newRow("half a megabyte") << 1 << 5 << qint64(543) << qint64(30720)
                                         << "1 / 5 duplicates selected. 0.5 MB / 30 MB selected.";
        QTest::newRow("one duplicate") << 0 << 1 << qint64(0) << qint64(9000)
                                       << "0 / 1 duplicate selected. 0 MB / 8.8 MB selected.";
        QTest::newRow("large") << 2 << 2 << qint64(1024 * 1234) << qint64(1024 * 1234)
                               << "2 / 2 duplicates selected. 1234 MB / 1234 MB selected.";
    }
    void statusLineCountsWithPluralsAndSmallSizesWithADecimal()
    {
        QFETCH(int, checked);
        QFETCH(int, checkable);
        QFETCH(qint64, checkedKB);
        QFETCH(qint64, totalKB);
        QTEST(StatusText(checked, checkable, checkedKB, totalKB), "status");
    }

    void checkActionsAndClicksUpdateTheStatusLine()
    {
        TShownResults shown;
        QCOMPARE(shown.Status(), QString("0 / 3 duplicates selected. 0 MB / 3.5 MB selected."));
        QVERIFY(!shown.Action("aDelete")->isEnabled());
        shown.Action("aSelectAll")->trigger();
        QCOMPARE(shown.Status(), QString("3 / 3 duplicates selected. 3.5 MB / 3.5 MB selected."));
        QVERIFY(shown.Action("aDelete")->isEnabled());
        shown.Action("aInvertSelection")->trigger();
        QCOMPARE(shown.Status(), QString("0 / 3 duplicates selected. 0 MB / 3.5 MB selected."));
        // A click on the reference's place for a check mark changes nothing; on a duplicate's, it checks.
        const QRect referenceCell = shown.view->visualRect(shown.view->model()->index(0, 0));
        QTest::mouseClick(shown.view->viewport(), Qt::LeftButton, {}, referenceCell.topLeft() + QPoint(12, 8));
        QCOMPARE(shown.Status(), QString("0 / 3 duplicates selected. 0 MB / 3.5 MB selected."));
        const QRect secondCell = shown.view->visualRect(shown.view->model()->index(1, 0));
        QTest::mouseClick(shown.view->viewport(), Qt::LeftButton, {}, secondCell.topLeft() + QPoint(28, 8));
        QCOMPARE(shown.Status(), QString("1 / 3 duplicates selected. 1.5 MB / 3.5 MB selected."));
        shown.Action("aSelectNone")->trigger();
        QCOMPARE(shown.Status(), QString("0 / 3 duplicates selected. 0 MB / 3.5 MB selected."));
    }

    void actionsFollowTheResultTypeAndTheSelection_data()
    {
        QTest::addColumn<int>("resultType");
        QTest::addColumn<int>("checked");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("enabled");
        QTest::newRow("duplicates, nothing") << int(rsDuplicates) << 0 << "none" << "";
        QTest::newRow("duplicates, checked, a duplicate") << int(rsDuplicates) << 2 << "duplicate"
                                                          << "delete checked switch replace rename";
        QTest::newRow("duplicates, a reference") << int(rsDuplicates) << 0 << "reference" << "rename";
        QTest::newRow("negative, checked") << int(rsNegative) << 2 << "reference" << "checked rename";
        QTest::newRow("banlist, checked") << int(rsBanlist) << 1 << "none" << "delete checked";
        QTest::newRow("banlist with a reference") << int(rsBanlist) << 0 << "duplicate" << "replace rename";
    }
    void actionsFollowTheResultTypeAndTheSelection()
    {
        QFETCH(int, resultType);
        QFETCH(int, checked);
        QFETCH(QString, selected);
        QFETCH(QString, enabled);
        TResultFiles files;
        TBWFile* reference = files.Add("r.mp3", {5000});
        TBWFile* duplicate = files.Add("d.mp3");
        files.Group(reference, {duplicate});
        files.Resolve();
        const TBWDupeFile* entry = selected == "none" ? nullptr
                                   : files.EntryOf(selected == "duplicate" ? duplicate : reference);
        const TResultActionStates states = ResultActionStates(resultType, checked, entry);
        QStringList got;
        const std::pair<const char*, bool> named[] = {{"delete", states.deleteChecked}, {"checked", states.onChecked},
                                                      {"switch", states.switchRef}, {"replace", states.replace},
                                                      {"rename", states.rename}};
        for (const auto& [name, on] : named)
            if (on)
                got << name;
        QCOMPARE(got.join(' '), enabled);
    }

    void negativeResultsOfferNoDeleteAndCopyInItsPlace()
    {
        TShownResults shown(rsNegative);
        shown.Action("aSelectAll")->trigger();
        QVERIFY(!shown.Action("aDelete")->isVisible());
        QVERIFY(!shown.Action("aDelete")->isEnabled());
        QVERIFY(!shown.Action("aSwitch")->isVisible());
        QCOMPARE(shown.window->findChild<QToolButton*>("bActions")->defaultAction(), shown.Action("aCopy"));
        QTest::keyClick(shown.view, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(shown.files.list.Count(), 2);
        QVERIFY(FileExists(shown.reference->FullPath()));
    }

    void spaceTogglesTheSelectedRowsExceptReferences()
    {
        TShownResults shown;
        shown.view->setFocus();
        shown.SelectRows({0, 1, 2});
        QTest::keyClick(shown.view, Qt::Key_Space);
        QCOMPARE(shown.Status(), QString("2 / 3 duplicates selected. 3.5 MB / 3.5 MB selected."));
        QTest::keyClick(shown.view, Qt::Key_Space);
        QCOMPARE(shown.Status(), QString("0 / 3 duplicates selected. 0 MB / 3.5 MB selected."));
        // The actions' shortcuts win over the list's own keys.
        QTest::keyClick(shown.view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(shown.Status(), QString("3 / 3 duplicates selected. 3.5 MB / 3.5 MB selected."));
        QCOMPARE(shown.view->selectionModel()->selectedRows().size(), 3);
    }

    void keysOfTheListRenameSwitchAndRemove()
    {
        TShownResults shown;
        shown.view->setFocus();
        ScriptedPrompts prompts;
        QString asked;
        WhenModal([&](QWidget& dialog) {
            if (auto* rename = qobject_cast<TfRenameFile*>(&dialog))
                asked = rename->NewName();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        shown.SelectRows({2});
        QTest::keyClick(shown.view, Qt::Key_F2);
        QCOMPARE(asked, QString("Very Best Song.mp3"));
        shown.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shown.window.get()));

        // X makes "Very Best Song" the reference: the group moves to its place, the row stays selected.
        QTest::keyClick(shown.view, Qt::Key_X);
        QCOMPARE(shown.Names(), (TTexts{"Other.mp3", "Other copy.mp3", "Very Best Song.mp3", "Best Song (2).mp3",
                                        "Best Song.mp3"}));
        QCOMPARE(shown.view->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(shown.view->selectionModel()->selectedRows().front().row(), 2);


        prompts.ExpectYesNo(true, "remove 1 file from the list");
        shown.SelectRows({4});
        QTest::keyClick(shown.view, Qt::Key_Delete);
        QCOMPARE(shown.Names(), (TTexts{"Other.mp3", "Other copy.mp3", "Very Best Song.mp3", "Best Song (2).mp3"}));
        QVERIFY(FileExists(shown.reference->FullPath()));
    }

    void columnsMenuShowsAndHidesColumnsKeepingTheirWidths()
    {
        TShownResults shown;
        for (const char* name : {"miPath", "miSize", "miDuration", "miBitrate"})
            QVERIFY(shown.window->findChild<QAction*>(name)->isChecked());
        shown.view->setColumnWidth(shown.ColumnOf(rcSize), 321);
        for (const char* name : {"miPath", "miSize", "miDuration", "miBitrate"})
            shown.window->findChild<QAction*>(name)->trigger();
        QCOMPARE(shown.view->model()->columnCount(), 1);
        QCOMPARE(shown.Cell(0, 0), QString("Best Song.mp3"));
        shown.settings.ColSize[rcArtist] = 99;
        shown.window->findChild<QAction*>("miSize")->trigger();
        QCOMPARE(shown.view->columnWidth(shown.ColumnOf(rcSize)), 321);
        // A hidden column's width is not taken from the list when the window goes.
        shown.window.reset();
        QCOMPARE(shown.settings.ColSize[rcArtist], 99);
        QCOMPARE(shown.settings.ColSize[rcSize], 321);
        QVERIFY(!shown.settings.ColShow[rcPath]);
        QVERIFY(!shown.settings.ScanResDetails);
    }

    void detailsPaneComparesTheSelectedFileWithItsReference()
    {
        TShownResults shown(rsDuplicates, ctFileNameFields);
        auto* pane = shown.window->findChild<QWidget*>("pnlDetails");
        QVERIFY(!pane->isVisible());
        shown.Action("aDetails")->trigger();
        QVERIFY(pane->isVisible());
        QVERIFY(shown.Action("aDetails")->isChecked());
        QVERIFY(shown.window->findChild<QLabel*>("lblCompTypeWarning")->isVisible());
        shown.SelectRows({1});
        auto* details = shown.window->findChild<QTreeWidget*>("lvDetails");
        QCOMPARE(details->topLevelItemCount(), 12);
        QStringList selected, reference;
        for (int row = 0; row < 12; ++row) {
            selected << details->topLevelItem(row)->text(1);
            reference << details->topLevelItem(row)->text(2);
        }
        QCOMPARE(selected[0], QString("Best Song (2).mp3"));
        QCOMPARE(selected[3], QString("80 %"));
        QCOMPARE(selected[4], QString("1.50 MB"));
        QCOMPARE(selected[5], QString("62:05"));
        QCOMPARE(reference[0], QString("Best Song.mp3"));
        QCOMPARE(reference[3], QString("N/A"));
        shown.SelectRows({0});
        QCOMPARE(details->topLevelItem(0)->text(1), QString("Best Song.mp3"));
        QCOMPARE(details->topLevelItem(0)->text(2), QString("N/A"));
        shown.window.reset();
        QVERIFY(shown.settings.ScanResDetails);

        TShownResults byName(rsDuplicates, ctFileName);
        byName.Action("aDetails")->trigger();
        QVERIFY(!byName.window->findChild<QLabel*>("lblCompTypeWarning")->isVisible());
    }

    // The pane shows the current row's file as the user moves, and is empty
    // when no row is selected: a removed file never stays in it.
    void detailsFollowTheCurrentRowAndAreEmptyWithoutOne()
    {
        TShownResults shown;
        shown.Action("aDetails")->trigger();
        auto* details = shown.window->findChild<QTreeWidget*>("lvDetails");
        const auto shownValues = [details] {
            QStringList values;
            for (int row = 0; row < details->topLevelItemCount(); ++row)
                values << details->topLevelItem(row)->text(1) << details->topLevelItem(row)->text(2);
            return values;
        };
        const auto shownName = [details] { return details->topLevelItem(0)->text(1); };
        const auto rowCentre = [&shown](int row) {
            return shown.view->visualRect(shown.view->model()->index(row, 0)).center();
        };
        ClickItem(*shown.view, shown.view->model()->index(1, 0));
        QCOMPARE(shownName(), QString("Best Song (2).mp3"));
        QTest::keyClick(shown.view, Qt::Key_Down);
        QCOMPARE(shownName(), QString("Very Best Song.mp3"));
        // Shift with a click selects more rows; the pane follows the row clicked.
        QTest::mouseClick(shown.view->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(0));
        QCOMPARE(shownName(), QString("Best Song.mp3"));
        ClickItem(*shown.view, shown.view->model()->index(2, 0));

        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, "remove 1 file from the list");
        QTest::keyClick(shown.view, Qt::Key_Delete);
        QVERIFY(!shownValues().contains("Very Best Song.mp3"));
        const QModelIndex current = shown.view->currentIndex();
        if (current.isValid() && shown.view->selectionModel()->isRowSelected(current.row(), {}))
            QCOMPARE(shownName(), shown.Cell(current.row(), 0));
        else
            QCOMPARE(shownValues().join(""), QString());

        ClickItem(*shown.view, shown.view->model()->index(1, 0));
        QCOMPARE(shownName(), QString("Best Song (2).mp3"));
        // Ctrl with a click on the only selected row leaves none.
        QTest::mouseClick(shown.view->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(1));
        QVERIFY(shown.view->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(shownValues().join(""), QString());
    }

    // A line break or a tab in a name would cut the row short: it shows as
    // its mark, in the list and in the details.
    void controlCharactersInNamesShowAsVisibleMarks()
    {
        TResultFiles files(rsDuplicates, ctFileName);
        TBWMp3File* reference = files.Add("Rock/bad\nname.mp3", {900});
        TBWMp3File* copy = files.Add("New/tab\tname.mp3", {800});
        files.Group(reference, {copy});
        files.Resolve();
        TBWCVGenSettings settings;
        settings.NewProfile();
        settings.ScanResMaximized = false;
        settings.ScanResDetails = true;
        TfScanResults window(settings);
        window.SetResults(&files.list);
        window.RefreshList();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* view = window.findChild<QTreeView*>("lvResults");
        QCOMPARE(view->model()->index(0, 0).data().toString(), QString("bad\u23CEname.mp3"));
        QCOMPARE(view->model()->index(1, 0).data().toString(), QString("tab\u21E5name.mp3"));
        ClickItem(*view, view->model()->index(1, 0));
        auto* details = window.findChild<QTreeWidget*>("lvDetails");
        QCOMPARE(details->topLevelItem(0)->text(1), QString("tab\u21E5name.mp3"));
        QCOMPARE(details->topLevelItem(0)->text(2), QString("bad\u23CEname.mp3"));
    }

    // Del on a reference row asked to remove "1 file" and then left it: a
    // reference cannot be checked, so it leaves only with its last
    // duplicate. The user is told so, and a question counts only the rows
    // that go.
    void delOnAReferenceTellsWhyItStaysAndCountsOnlyTheRowsThatGo()
    {
        TShownResults shown;
        const int referenceRow = shown.RowOf(shown.reference);
        ClickItem(*shown.view, shown.view->model()->index(referenceRow, 0));
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning,
                              "The file selected is a reference, which leaves the list only with the last of its "
                              "duplicates.");
        QTest::keyClick(shown.view, Qt::Key_Delete);
        QVERIFY(prompts.Done());
        QCOMPARE(shown.view->model()->rowCount(), 5);

        // The reference and one of its duplicates: one file goes.
        const QPoint secondRow = shown.view->visualRect(shown.view->model()->index(shown.RowOf(shown.second), 0)).center();
        QTest::mouseClick(shown.view->viewport(), Qt::LeftButton, Qt::ControlModifier, secondRow);
        QCOMPARE(shown.view->selectionModel()->selectedRows().size(), 2);
        prompts.ExpectYesNo(true, "You are about to remove 1 file from the list.");
        QTest::keyClick(shown.view, Qt::Key_Delete);
        QVERIFY(prompts.Done());
        QCOMPARE(shown.Names(), (TTexts{"Best Song.mp3", "Very Best Song.mp3", "Other.mp3", "Other copy.mp3"}));

        // Its last duplicate takes the reference with it.
        ClickItem(*shown.view, shown.view->model()->index(shown.RowOf(shown.live), 0));
        prompts.ExpectYesNo(true, "remove 1 file");
        QTest::keyClick(shown.view, Qt::Key_Delete);
        QCOMPARE(shown.Names(), (TTexts{"Other.mp3", "Other copy.mp3"}));
    }

    // Un-maximised, the window first takes most of the screen, then the
    // size the user left it at.
    void theWindowOpensAtMostOfTheScreenThenAtTheSizeLeft()
    {
        TBWCVGenSettings settings;
        settings.NewProfile();
        settings.ScanResMaximized = false;
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        auto window = std::make_unique<TfScanResults>(settings);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(std::abs(window->width() - screen.width() * 0.8) <= 2);
        QVERIFY(std::abs(window->height() - screen.height() * 0.8) <= 2);
        window->resize(700, 450);
        QTRY_COMPARE(window->size(), QSize(700, 450));
        window.reset();
        QCOMPARE(settings.ScanResWidth, 700);
        QCOMPARE(settings.ScanResHeight, 450);
        window = std::make_unique<TfScanResults>(settings);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->size(), QSize(700, 450));
    }

    void deleteFromTheWindowSendsCheckedFilesAwayWithActionsOffMeanwhile()
    {
        TShownResults shown;
        shown.files.list.SetSelected(shown.files.EntryOf(shown.otherCopy), true);
        shown.window->UpdateStatus();
        bool enabledDuringTheQuestion = true;
        struct TWatchingPrompts : ScriptedPrompts {
            std::function<void()> watch;
            bool ConfirmDestructive(const QString& caption, const QString& question) override
            {
                watch();
                return ScriptedPrompts::ConfirmDestructive(caption, question);
            }
        } prompts;
        prompts.watch = [&] { enabledDuringTheQuestion = shown.Action("aDelete")->isEnabled()
                                                         || shown.Action("aSelectAll")->isEnabled(); };
        prompts.ExpectDestructive(true, "delete 1 file");
        shown.Action("aDelete")->trigger();
        QVERIFY(!enabledDuringTheQuestion);
        QVERIFY(!ProgressActive());
        QVERIFY(!FileExists(shown.otherCopy->FullPath()));
        QCOMPARE(shown.Names(), (TTexts{"Best Song.mp3", "Best Song (2).mp3", "Very Best Song.mp3"}));
        QVERIFY(shown.Action("aSelectAll")->isEnabled());
    }

    void replaceShowsTheWarningFirst()
    {
        TShownResults shown;
        shown.SelectRows({1});
        QString warningTitle;
        QString warningFiles;
        QTimer::singleShot(0, [&] {
            if (auto* warning = qobject_cast<TfWarningReplace*>(QApplication::activeModalWidget())) {
                warningTitle = warning->windowTitle();
                QVERIFY(warning->findChild<QLabel*>("lblWarning")->text() == "WARNING");
                warningFiles = warning->findChild<QLabel*>("lblFiles")->text().remove(QChar(0x200B));
                warning->reject();
            }
        });
        shown.Action("aReplace")->trigger();
        QCOMPARE(warningTitle, QString("Warning"));
        QVERIFY(warningFiles.contains(QString::fromStdString(shown.second->FullPath())));
        QVERIFY(warningFiles.contains(QString::fromStdString(shown.reference->FullPath())));
        QCOMPARE(ReadWholeFile(shown.reference->FullPath()), std::string("Rock/Best Song.mp3"));
    }

    void aReplacedFileStaysSelectedWithItsDetailsAndActions()
    {
        TShownResults shown;
        shown.SelectRows({shown.RowOf(shown.second)});
        WhenModal([](QWidget& warning) { static_cast<QDialog&>(warning).accept(); });
        shown.Action("aReplace")->trigger();
        QCOMPARE(ReadWholeFile(shown.reference->FullPath()), std::string("New/Best Song (2).mp3"));
        const QModelIndexList selected = shown.view->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), qsizetype(1));
        QCOMPARE(selected.front().row(), shown.RowOf(shown.second));
        QVERIFY(shown.Action("aReplace")->isEnabled());
        QVERIFY(shown.Action("aRenameFile")->isEnabled());
    }

    void helpAndTheDesktopOpenTheRightThings()
    {
        TShownResults shown;
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::HelpTopic, "corvella/scanresult/index.htm")
            .ExpectOpen(true, QString::fromStdString(shown.second->FullPath()))
            .ExpectOpen(true, QString::fromStdString(shown.files.Path("New")));
        shown.Action("aHelp")->trigger();
        QVERIFY(!HelpPagePath("corvella/scanresult/index.htm").isEmpty());
        shown.SelectRows({1});
        auto* popup = shown.window->findChild<QMenu*>("pmFiles");
        popup->defaultAction()->trigger();
        for (QAction* item : popup->actions())
            if (item->objectName() == "Openthedirectorycontainingthisfile1")
                item->trigger();
    }
};

CORVELLA_UI_TEST_MAIN(TestScanResults)
#include "test_u_scanresults.moc"
