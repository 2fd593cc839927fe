#include "ui/profile/uc_fProfileCV.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <memory>

#include "base/HUtils.h"
#include "tests/ui/current_profile.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/common/u_helpwindow.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/profile/uc_frProCVCompParam.h"
#include "ui/profile/uc_frProCVDirectories.h"
#include "ui/profile/uc_frProCVGeneral.h"
#include "ui/profile/uc_frProCVPoolExclusions.h"
#include "ui/profile/uc_frProCVSummary.h"
#include "tests/ui/ui_test_main.h"

namespace {

QTreeWidgetItem* Section(const TfcProfileCV& editor, const QString& caption)
{
    const QList<QTreeWidgetItem*> found = editor.tv->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? found.front() : nullptr;
}

template <class TPage>
TPage* ShowSection(TfcProfileCV& editor, const QString& caption)
{
    editor.tv->setCurrentItem(Section(editor, caption));
    return qobject_cast<TPage*>(editor.CurrentPage());
}

// A profile stored under the name, as the main window loads it before opening the editor.
void LoadStoredProfile(const std::string& name)
{
    TBWCVProfile& profile = FreshCurrentProfile();
    profile.SetProfileName(name);
    profile.ProfileComment = "stored";
    QVERIFY(profile.SaveProfile());
    QVERIFY(profile.LoadProfile(name));
}

// The profile as its file holds it.
std::unique_ptr<TBWCVProfile> StoredProfile(const std::string& name)
{
    auto stored = std::make_unique<TBWCVProfile>();
    stored->LoadProfile(name);
    return stored;
}

}  // namespace

class TestProfileEditor : public QObject {
    Q_OBJECT

private slots:
    void init() { FreshCurrentProfile(); }

    void theTreeHoldsTheFixedSectionsWithTheirPagesAndHelp()
    {
        TfcProfileCV editor;
        QCOMPARE(editor.windowTitle(), QString("Profile edition window"));
        QStringList shown;
        for (QTreeWidgetItemIterator node(editor.tv); *node; ++node) {
            int depth = 0;
            for (QTreeWidgetItem* parent = (*node)->parent(); parent; parent = parent->parent())
                ++depth;
            shown << QString(depth * 2, ' ') + (*node)->text(0);
        }
        QCOMPARE(shown, QStringList({"General settings", "Duplicate scanning", "  File Pooling", "    Directories",
                                     "    Exclusions", "  File Comparison", "    Parameters", "    File priority",
                                     "  Result type", "Funny Animations"}));

        // Every section's page comes up, and F1 opens a topic that is shipped.
        editor.show();
        ScriptedPrompts prompts;
        QStringList topics;
        for (QTreeWidgetItemIterator node(editor.tv); *node; ++node) {
            editor.tv->setCurrentItem(*node);
            QCOMPARE(editor.CurrentSection(), *node);
            const QString topic = "corvella/profile/" + editor.CurrentPage()->helpTopic();
            QVERIFY2(!HelpPagePath(topic).isEmpty(), qPrintable(topic));
            prompts.ExpectMessage(PromptKind::HelpTopic, topic);
            QTest::keyClick(editor.tv, Qt::Key_F1);
            topics << editor.CurrentPage()->helpTopic();
        }
        QVERIFY(prompts.Done());
        QCOMPARE(topics.front(), QString("general_settings.htm"));
        QVERIFY(!editor.Modified());
    }

    void theEditorGrowsWithItsTreesAndOpensAtTheSizeItWasLeftAt()
    {
        GenSettings().ProfileEditorWidth = 0;
        GenSettings().ProfileEditorHeight = 0;
        {
            TfcProfileCV editor;
            editor.show();
            QVERIFY(QTest::qWaitForWindowExposed(&editor));
            QCOMPARE(editor.size(), QSize(642, 380));
            QVERIFY(editor.maximumWidth() > 642);
            editor.SelectPageOfClass(&TfrcProCVDirectories::staticMetaObject);
            auto* drives = editor.findChild<QWidget*>("de");
            auto* chosen = editor.findChild<QWidget*>("tvAdd");
            QTRY_VERIFY(drives->isVisible());
            const int drivesWidth = drives->width();
            const int chosenWidth = chosen->width();
            editor.resize(1100, 600);
            QTRY_VERIFY(drives->width() > drivesWidth && chosen->width() > chosenWidth);
        }
        QCOMPARE(GenSettings().ProfileEditorWidth, 1100);
        QCOMPARE(GenSettings().ProfileEditorHeight, 600);
        TfcProfileCV reopened;
        QCOMPARE(reopened.size(), QSize(1100, 600));
    }

    void aPageSavesItselfWhenLeftSoTheSummaryShowsTheChange()
    {
        TfcProfileCV editor;
        editor.show();
        auto* parameters = ShowSection<TfrcProCVCompParam>(editor, "Parameters");
        parameters->seMinPerc->setValue(55);
        auto* summary = ShowSection<TfrcPCVSummary>(editor, "Duplicate scanning");
        QVERIFY(summary);
        QCOMPARE(summary->lv->model()->index(2, 1).data().toString(), QString("55"));
        QVERIFY(editor.Modified());
    }

    void anInvalidPatternKeepsTheUserOnExclusions()
    {
        TfcProfileCV editor;
        editor.show();
        auto* exclusions = ShowSection<TfrcProCVPoolExclusions>(editor, "Exclusions");
        exclusions->mPatterns->setPlainText("*live*\n[abc");
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "\"[abc\" is not a valid pattern.")
            .ExpectMessage(PromptKind::Warning, "\"[abc\" is not a valid pattern.");
        QTreeWidgetItem* parameters = Section(editor, "Parameters");
        QTest::mouseClick(editor.tv->viewport(), Qt::LeftButton, {}, editor.tv->visualItemRect(parameters).center());
        QTRY_COMPARE(editor.tv->currentItem(), Section(editor, "Exclusions"));
        QCOMPARE(editor.tv->selectedItems(), QList<QTreeWidgetItem*>({Section(editor, "Exclusions")}));
        editor.bOK->click();
        QVERIFY(prompts.Done());
        QVERIFY(editor.isVisible());
        QVERIFY(!QFile::exists(StoredProfilePath(CurrentProfile().ProfileName())));
    }

    void okAndApplyWriteTheProfileFile()
    {
        LoadStoredProfile("Jazz");
        TfcProfileCV editor;
        editor.show();
        auto* general = ShowSection<TfrcProCVGeneral>(editor, "General settings");
        general->edtComment->setText("applied");
        editor.bApply->click();
        QVERIFY(!editor.bApply->isEnabled());
        QCOMPARE(StoredProfile("Jazz")->ProfileComment, std::string("applied"));

        auto* exclusions = ShowSection<TfrcProCVPoolExclusions>(editor, "Exclusions");
        exclusions->mPatterns->setPlainText("*Demo*");
        editor.bOK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(StoredProfile("Jazz")->ExclusionText(), std::string("*demo*;"));
    }

    void okWithoutAChangeWritesNothing()
    {
        TfcProfileCV editor;
        editor.show();
        ShowSection<TfrcProCVCompParam>(editor, "Parameters");
        editor.bOK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QVERIFY(!QFile::exists(StoredProfilePath(CurrentProfile().ProfileName())));
    }

    // Pages write into the profile as they are left; a discard puts back what
    // they wrote, the name included, and the file stays as it was.
    void discardingRestoresTheProfileInMemoryAndWritesNothing()
    {
        LoadStoredProfile("Blues");
        TfcProfileCV editor;
        editor.show();
        auto* general = ShowSection<TfrcProCVGeneral>(editor, "General settings");
        general->edtProfileName->setText("Soul");
        general->edtComment->setText("discarded");
        auto* parameters = ShowSection<TfrcProCVCompParam>(editor, "Parameters");
        QCOMPARE(CurrentProfile().ProfileName(), std::string("Soul"));
        parameters->seMinPerc->setValue(42);

        ScriptedPrompts prompts;
        prompts.ExpectDestructive(false, "Discard the changes?").ExpectYesNo(true, "Discard the changes?");
        QTest::keyClick(parameters->seMinPerc, Qt::Key_Escape);
        QVERIFY(editor.isVisible());
        editor.bCancel->click();
        QVERIFY(prompts.Done());
        QCOMPARE(editor.result(), int(QDialog::Rejected));

        const TBWCVProfile& profile = CurrentProfile();
        QCOMPARE(profile.ProfileName(), std::string("Blues"));
        QCOMPARE(profile.ProfileComment, std::string("stored"));
        QCOMPARE(profile.MinPerc, 80);
        QCOMPARE(StoredProfile("Blues")->ProfileComment, std::string("stored"));
        QVERIFY(!QFile::exists(StoredProfilePath("Soul")));
    }

    void anAppliedChangeStaysWhenLaterOnesAreDiscarded()
    {
        LoadStoredProfile("Folk");
        TfcProfileCV editor;
        editor.show();
        ShowSection<TfrcProCVGeneral>(editor, "General settings")->edtComment->setText("applied");
        editor.bApply->click();
        ShowSection<TfrcProCVGeneral>(editor, "General settings")->edtComment->setText("discarded");
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, "Discard the changes?");
        editor.close();
        QCOMPARE(CurrentProfile().ProfileComment, std::string("applied"));
    }

    void aProfileThatCannotBeWrittenIsReportedAndKeepsTheWindowOpen()
    {
        LoadStoredProfile("Punk");
        const QString folder = QString::fromStdString(AppPaths().dataFolder) + "profiles";
        QVERIFY(QDir().rename(folder, folder + ".away"));
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        TfcProfileCV editor;
        editor.show();
        ShowSection<TfrcProCVGeneral>(editor, "General settings")->edtComment->setText("lost?");
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Error, "The profile \"Punk\" could not be saved.");
        editor.bOK->click();
        QVERIFY(prompts.Done());
        QVERIFY(editor.isVisible());
        QVERIFY(editor.bApply->isEnabled());

        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().rename(folder + ".away", folder));
        editor.bOK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(StoredProfile("Punk")->ProfileComment, std::string("lost?"));
    }

    void showAtPageOfTheSummaryOpensAtDuplicateScanning()
    {
        TfcProfileCV editor;
        QTimer::singleShot(0, &editor, [&editor] {
            QCOMPARE(editor.tv->currentItem(), Section(editor, "Duplicate scanning"));
            QVERIFY(qobject_cast<TfrcPCVSummary*>(editor.CurrentPage()));
            editor.bCancel->click();
        });
        QCOMPARE(editor.ShowAtPage(&TfrcPCVSummary::staticMetaObject), int(QDialog::Rejected));
    }
};

CORVELLA_UI_TEST_MAIN(TestProfileEditor)
#include "test_uc_fProfileCV.moc"
