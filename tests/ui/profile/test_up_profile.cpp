#include "ui/profile/up_profile.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "tests/ui/current_profile.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/profile/uc_frProfileText.h"
#include "tests/ui/ui_test_main.h"

namespace {

// A page over the profile's comment that refuses a comment saying "bad".
class CommentPage : public TfrpProfile {
    Q_OBJECT
public:
    explicit CommentPage(QWidget* parent) : TfrpProfile(parent)
    {
        edit->setObjectName("edit");
        SetHelpTopic("comment.htm");
    }
    void LoadFromProfile() override { edit->setText(QString::fromStdString(Profile().ProfileComment)); }
    void SaveToProfile() override { Profile().ProfileComment = edit->text().toStdString(); }
    QString Validate() override { return edit->text().contains("bad") ? "No bad comments." : QString(); }

    QLineEdit* edit = new QLineEdit(this);
};

class SampleEditor : public TfpProfile {
public:
    SampleEditor()
    {
        comment = AddSection<CommentPage>("Comment");
        texts = AddSection<TfrcProfileText>("Texts");
        first = texts->AddSubSection<TfrcProfileText>("First");
        first->Text = "The first text.";
        second = texts->AddSubSection<TfrcProfileText>("Second");
        second->Text = "The second text.";
    }

    TBWProfileSection* comment;
    TBWProfileSection* texts;
    TBWProfileSection* first;
    TBWProfileSection* second;
    int saves = 0;
    int restores = 0;

protected:
    bool SaveCurrentProfile() override
    {
        ++saves;
        return true;
    }
    void RestoreProfile() override { ++restores; }
    QString HelpPrefix() const override { return "sample/"; }
};

bool MarkedChanged(const SampleEditor& editor, const QTreeWidgetItem* node)
{
    return node->icon(0).pixmap(16).toImage() == editor.IL.Pixmap(1).toImage();
}

QLineEdit* CommentEdit(const SampleEditor& editor)
{
    return editor.CurrentPage()->findChild<QLineEdit*>("edit");
}

}  // namespace

class TestProfileEditorBase : public QObject {
    Q_OBJECT

private slots:
    void init() { FreshCurrentProfile(); }

    void openingShowsTheFirstSectionAndLoadsItsPageQuietly()
    {
        CurrentProfile().ProfileComment = "loaded";
        SampleEditor editor;
        QVERIFY(editor.texts->isExpanded());
        QVERIFY(!editor.CurrentPage());
        editor.show();
        QCOMPARE(editor.CurrentSection(), editor.comment);
        QCOMPARE(CommentEdit(editor)->text(), QString("loaded"));
        QVERIFY(!editor.Modified());
        QVERIFY(!editor.bApply->isEnabled());
        QVERIFY(editor.bOK->isDefault());

        // The page's controls follow the tree in the tab order.
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        editor.tv->setFocus();
        QTest::keyClick(editor.tv, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), CommentEdit(editor));
    }

    // Both text sections are shown by one page class: each shows its own text.
    void sectionsOfOnePageClassShowTheirOwnText()
    {
        SampleEditor editor;
        editor.show();
        editor.tv->setCurrentItem(editor.first);
        auto* page = qobject_cast<TfrcProfileText*>(editor.CurrentPage());
        QVERIFY(page);
        QCOMPARE(page->lblComment->text(), QString("The first text."));
        editor.tv->setCurrentItem(editor.second);
        page = qobject_cast<TfrcProfileText*>(editor.CurrentPage());
        QCOMPARE(editor.CurrentSection(), editor.second);
        QCOMPARE(page->lblComment->text(), QString("The second text."));

        editor.SelectPageOfClass(&TfrcProfileText::staticMetaObject);
        QCOMPARE(editor.tv->currentItem(), editor.second);
    }

    void aChangeMarksItsSectionAndAnInvalidPageKeepsTheUser()
    {
        SampleEditor editor;
        editor.show();
        editor.tv->setCurrentItem(editor.first);
        editor.tv->setCurrentItem(editor.comment);
        CommentEdit(editor)->setText("a bad one");
        QVERIFY(editor.Modified());
        QVERIFY(editor.bApply->isEnabled());
        QVERIFY(MarkedChanged(editor, editor.comment));
        QVERIFY(!MarkedChanged(editor, editor.first));

        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "No bad comments.");
        editor.tv->setCurrentItem(editor.second);
        QVERIFY(prompts.Done());
        QTRY_COMPARE(editor.tv->currentItem(), editor.comment);
        QCOMPARE(editor.CurrentSection(), editor.comment);
        QCOMPARE(CommentEdit(editor)->text(), QString("a bad one"));
        QCOMPARE(CurrentProfile().ProfileComment, std::string());

        CommentEdit(editor)->setText("a good one");
        editor.tv->setCurrentItem(editor.second);
        QCOMPARE(editor.CurrentSection(), editor.second);
        QCOMPARE(CurrentProfile().ProfileComment, std::string("a good one"));
        QCOMPARE(editor.saves, 0);
    }

    void applyAndOkSaveOnlyAValidChangedProfile()
    {
        SampleEditor editor;
        editor.show();
        editor.bOK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(editor.saves, 0);

        editor.show();
        editor.tv->setCurrentItem(editor.comment);
        CommentEdit(editor)->setText("bad");
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "No bad comments.")
            .ExpectMessage(PromptKind::Warning, "No bad comments.");
        editor.bApply->click();
        editor.bOK->click();
        QVERIFY(prompts.Done());
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.saves, 0);
        QVERIFY(editor.Modified());

        CommentEdit(editor)->setText("fine");
        editor.bApply->click();
        QCOMPARE(editor.saves, 1);
        QCOMPARE(CurrentProfile().ProfileComment, std::string("fine"));
        QVERIFY(!editor.Modified());
        QVERIFY(!editor.bApply->isEnabled());
        QVERIFY(!MarkedChanged(editor, editor.comment));
        QCOMPARE(editor.restores, 0);
    }

    // Cancel, Esc and the close button all ask before changes go.
    void everyWayOutAsksBeforeDiscardingChanges()
    {
        SampleEditor editor;
        editor.show();
        editor.bCancel->click();
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.restores, 1);

        editor.show();
        CommentEdit(editor)->setText("changed");
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(false, "Discard the changes?")
            .ExpectYesNo(false, "Discard the changes?")
            .ExpectYesNo(false, "Discard the changes?")
            .ExpectYesNo(true, "Discard the changes?");
        editor.bCancel->click();
        QTest::keyClick(CommentEdit(editor), Qt::Key_Escape);
        editor.close();
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.restores, 1);
        QTest::keyClick(CommentEdit(editor), Qt::Key_Escape);
        QVERIFY(prompts.Done());
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(editor.restores, 2);
        QCOMPARE(editor.saves, 0);
    }

    void helpOpensThePagesTopicUnderTheHelpFolder()
    {
        SampleEditor editor;
        editor.show();
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::HelpTopic, "sample/comment.htm")
            .ExpectMessage(PromptKind::HelpTopic, "sample/index.htm");
        QTest::keyClick(CommentEdit(editor), Qt::Key_F1);
        editor.tv->setCurrentItem(editor.first);
        editor.bHelp->click();
        QVERIFY(prompts.Done());
    }

    void showAtPageOpensAtTheSectionOfThePageClass()
    {
        SampleEditor editor;
        QTimer::singleShot(0, &editor, [&editor] {
            QCOMPARE(editor.CurrentSection(), editor.second);
            editor.bOK->click();
        });
        QCOMPARE(editor.ShowAtPage(&TfrcProfileText::staticMetaObject), int(QDialog::Accepted));
    }
};

CORVELLA_UI_TEST_MAIN(TestProfileEditorBase)
#include "test_up_profile.moc"
