#include "ui/profile/uc_frProCVFilePri.h"

#include <QAbstractItemModelTester>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeView>

#include "tests/ui/current_profile.h"
#include "tests/ui/scripted_prompts.h"
#include "tags/u_musichandler.h"
#include "tests/ui/ui_test_main.h"

namespace {

QStringList Captions(const std::vector<TChoice>& choices)
{
    QStringList captions;
    for (const TChoice& choice : choices)
        captions << (choice.checked ? "[x] " : "[ ] ") + choice.caption;
    return captions;
}

void Select(QAbstractItemView* view, int row)
{
    view->setCurrentIndex(view->model()->index(row, 0));
}

}  // namespace

class TestFilePriorityPage : public QObject {
    Q_OBJECT

private slots:
    void init() { FreshCurrentProfile(); }

    void criteriaFollowTheStoredLettersAndMove()
    {
        std::vector<TChoice> criteria = CriteriaChoices("SEDB");
        QCOMPARE(Captions(criteria), QStringList({"[ ] Size", "[ ] Extension", "[ ] Duration", "[ ] Bitrate"}));
        QCOMPARE(Captions(CriteriaChoices("BxD?")), QStringList({"[ ] Bitrate", "[ ] Duration"}));
        QCOMPARE(MoveChoice(criteria, 0, true), 0);
        QCOMPARE(MoveChoice(criteria, 3, false), 3);
        QCOMPARE(MoveChoice(criteria, 7, true), 7);
        for (int row = 3; row > 0; --row)
            QCOMPARE(MoveChoice(criteria, row, true), row - 1);
        QCOMPARE(CriteriaLetters(criteria), std::string("BSED"));
    }

    void extensionsListTheProfilesOrderThenTheMissingKnownOnes_data()
    {
        QTest::addColumn<QString>("extPri");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("saved");
        QTest::newRow("two of them") << "MP3;WMA;"
                                     << QStringList{"[x] MP3", "[x] WMA", "[ ] M4A", "[ ] M4P", "[ ] OGG"}
                                     << "MP3;WMA;";
        QTest::newRow("other case, empty entry, custom, no final semicolon")
            << "ogg;;FLAC" << QStringList{"[x] ogg", "[x] ", "[x] FLAC", "[ ] M4A", "[ ] M4P", "[ ] MP3", "[ ] WMA"}
            << "ogg;;FLAC;";
        QTest::newRow("none") << "" << QStringList{"[ ] M4A", "[ ] M4P", "[ ] MP3", "[ ] OGG", "[ ] WMA"} << "";
    }

    void extensionsListTheProfilesOrderThenTheMissingKnownOnes()
    {
        QFETCH(QString, extPri);
        QFETCH(QStringList, shown);
        QFETCH(QString, saved);
        const std::vector<TChoice> extensions = ExtensionChoices(extPri.toStdString(), MusicHandler());
        QCOMPARE(Captions(extensions), shown);
        QCOMPARE(ExtPriText(extensions), saved.toStdString());
    }

    void customExtensionsKeepLettersAndDigitsUpperCased_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("extension");
        QTest::newRow("dot") << ".flac" << "FLAC";
        QTest::newRow("punctuation and blanks") << " m-4 a!" << "M4A";
        QTest::newRow("letters outside ASCII") << "ápe" << "PE";
        QTest::newRow("nothing left") << "..." << "";
    }

    void customExtensionsKeepLettersAndDigitsUpperCased()
    {
        QFETCH(QString, typed);
        QFETCH(QString, extension);
        QCOMPARE(CustomExtension(typed), extension);
    }

    void theChoiceModelPassesTheModelTester()
    {
        TChoiceListModel model(true, "Ext");
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.SetChoices(ExtensionChoices("MP3;", MusicHandler()));
        QVERIFY(model.setData(model.index(1), Qt::Checked, Qt::CheckStateRole));
        model.Move(1, true);
        model.Append({"FLAC", true});
        QCOMPARE(ExtPriText(model.Choices()), std::string("M4A;MP3;FLAC;"));
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Ext"));
    }

    void thePageEditsBothOrdersAndAddsCustomExtensions()
    {
        TBWCVProfile& profile = CurrentProfile();
        profile.ExtPri = "MP3;WMA;";
        TfrcProCVFilePri page;
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        page.Refresh();
        QCOMPARE(changes.count(), 0);

        // Bitrate to the top; a click that moves nothing is no change.
        Select(page.lbPriority, 3);
        for (int click = 0; click < 4; ++click)
            page.udPriority->btnUp->click();
        QCOMPARE(changes.count(), 3);
        QCOMPARE(page.lbPriority->currentIndex().row(), 0);

        // Unchecking WMA, as a click on its box does.
        QAbstractItemModel* extensions = page.lvExt->model();
        extensions->setData(extensions->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(changes.count(), 4);

        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Text, ".flac", "Type the extension (without dot):")
            .ExpectChoice(PromptKind::Text, "mp3")
            .ExpectChoice(PromptKind::Text, std::nullopt);
        for (int click = 0; click < 3; ++click)
            page.Button1->click();
        QVERIFY(prompts.Done());
        QCOMPARE(extensions->rowCount(), 6);
        QCOMPARE(changes.count(), 5);

        // The custom extension moves with its check mark.
        Select(page.lvExt, 5);
        page.udExt->btnUp->click();
        page.udExt->btnUp->click();
        page.udExt->btnUp->click();
        QCOMPARE(page.lvExt->currentIndex().row(), 2);
        page.udExt->btnDown->click();
        QCOMPARE(page.lvExt->currentIndex().row(), 3);

        page.SaveToProfile();
        QCOMPARE(profile.PriorityList(), std::string("BSED"));
        QCOMPARE(profile.ExtPri, std::string("MP3;FLAC;"));
    }
};

CORVELLA_UI_TEST_MAIN(TestFilePriorityPage)
#include "test_uc_frProCVFilePri.moc"
