#include "ui/wizard/up_wizard.h"
#include "tests/ui/scripted_prompts.h"
#include "tests/ui/ui_test_main.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <deque>

namespace {

// What the pages and sequences were asked, in order.
QStringList Log;

// A page that logs each call of the protocol; its validation fails while
// it has a message to give. It holds an edit box and a radio group.
class LogPage : public TfrpProfile {
public:
    explicit LogPage(const QString& name) : name_(name)
    {
        setObjectName(name);
        SetPageTitle("Page " + name);
        auto* layout = new QVBoxLayout(this);
        for (int id = 0; id < 2; ++id) {
            auto* radio = new QRadioButton(this);
            radio->setObjectName(QString("radio%1").arg(id));
            group->addButton(radio, id);
            layout->addWidget(radio);
        }
        group->button(1)->setChecked(true);
        edit = new QLineEdit(this);
        edit->setObjectName("edit");
        layout->addWidget(edit);
        Log << "make " + name;
    }
    void LoadFromProfile() override { Log << "load " + name_; }
    void SaveToProfile() override { Log << "save " + name_; }
    QString Validate() override
    {
        Log << "validate " + name_;
        return message;
    }
    void CancelChanges() override { Log << "cancel " + name_; }

    QString message;
    QButtonGroup* group = new QButtonGroup(this);
    QLineEdit* edit;  // after the radio buttons in the tab order

private:
    QString name_;
};

TWizStepClass PageStep(const QString& name)
{
    return TWizStepClass::OfPage([name] { return std::make_unique<LogPage>(name); });
}

// A sequence that logs its events; it repeats as long as its answers say so.
class LogSequence : public TWizSequence {
public:
    LogSequence(const QString& name, std::vector<TWizStepClass> steps, std::deque<bool> repeats = {})
        : name_(name), repeats_(std::move(repeats))
    {
        SetSteps(std::move(steps));
    }
    bool Repeat() override
    {
        const bool again = !repeats_.empty() && repeats_.front();
        if (!repeats_.empty())
            repeats_.pop_front();
        Log << name_ + " repeat " + (again ? "yes" : "no");
        return again;
    }
    void Enter() override { Log << name_ + " enter"; }
    void Leave() override { Log << name_ + " leave"; }
    void ChildEntered(TWizSequence&) override { Log << name_ + " child entered"; }
    void ChildLeft(TWizSequence&) override { Log << name_ + " child left"; }
    TWizStepClass ClassForStep() override
    {
        Log << name_ + QString(" class for %1").arg(Index());
        return {};
    }

private:
    QString name_;
    std::deque<bool> repeats_;
};

// A, a step without a class, the sub-sequence (B, C), D.
std::unique_ptr<TWizSequence> MainSequence(std::deque<bool> subRepeats = {})
{
    auto sub = [subRepeats] {
        return std::make_unique<LogSequence>("sub", std::vector{PageStep("B"), PageStep("C")}, subRepeats);
    };
    return std::make_unique<LogSequence>(
        "main", std::vector{PageStep("A"), TWizStepClass(), TWizStepClass::OfSequence(sub), PageStep("D")});
}

}  // namespace

class TestWizard : public QObject {
    Q_OBJECT

    std::unique_ptr<TfpWizard> wizard;

    QString Shown() const { return wizard->CurrentPageFrame() ? wizard->CurrentPageFrame()->objectName() : ""; }
    LogPage& Page() const { return *static_cast<LogPage*>(wizard->CurrentPageFrame()); }
    // The log since the last look.
    QStringList Taken()
    {
        const QStringList taken = Log;
        Log.clear();
        return taken;
    }
    void Start(std::unique_ptr<TWizSequence> sequence)
    {
        wizard = std::make_unique<TfpWizard>();
        wizard->Start(std::move(sequence));
        wizard->show();
    }
    void Next() { wizard->bNext->click(); }
    void Back() { wizard->bBack->click(); }

private slots:
    void init()
    {
        Log.clear();
    }
    void cleanup() { wizard.reset(); }

    void forwardLoadsValidatesAndSavesEachPageAndEntersAndLeavesTheSubSequence()
    {
        Start(MainSequence());
        QCOMPARE(Shown(), QString("A"));
        QCOMPARE(Taken(), QStringList({"make A", "load A"}));
        QCOMPARE(wizard->lblTitle->text(), QString("Page A"));
        QCOMPARE(wizard->bNext->text(), QString("&Next >>"));
        QVERIFY(!wizard->bBack->isEnabled());

        Next();
        QCOMPARE(Shown(), QString("B"));
        QCOMPARE(Taken(), QStringList({"validate A", "save A", "main class for 1", "make B", "main child entered",
                                       "sub enter", "load B"}));
        QVERIFY(wizard->bBack->isEnabled());

        Next();
        QCOMPARE(Shown(), QString("C"));
        QCOMPARE(Taken(), QStringList({"validate B", "save B", "make C", "load C"}));

        Next();
        QCOMPARE(Shown(), QString("D"));
        QCOMPARE(Taken(), QStringList({"validate C", "save C", "sub repeat no", "sub leave", "main child left",
                                       "make D", "load D"}));
        QCOMPARE(wizard->bNext->text(), QString("&Finish"));

        Next();
        QCOMPARE(Taken(), QStringList({"save D"}));
        QCOMPARE(wizard->result(), int(TfpWizard::mrOk));
    }

    void aRepeatedSubSequenceShowsItsFirstPageAgainRefilledThenGoesOn()
    {
        Start(MainSequence({true, false}));
        Next();
        Next();
        Taken();
        Next();
        QCOMPARE(Shown(), QString("B"));
        QCOMPARE(Taken(), QStringList({"validate C", "save C", "sub repeat yes", "sub leave", "load B", "sub enter"}));
        Next();
        QCOMPARE(Taken(), QStringList({"validate B", "save B", "make C", "load C"}));
        Next();
        QCOMPARE(Shown(), QString("D"));
        QCOMPARE(Taken(), QStringList({"validate C", "save C", "sub repeat no", "sub leave", "main child left",
                                       "make D", "load D"}));
    }

    void backShowsPagesAsLeftThroughTheSubSequenceWithoutSavingOrLoading()
    {
        Start(MainSequence());
        Next();
        Next();
        Next();
        Page().edit->setText("typed on D");
        Taken();
        QStringList shown;
        for (int i = 0; i < 3; ++i) {
            Back();
            shown << Shown();
        }
        QCOMPARE(shown, QStringList({"C", "B", "A"}));
        // The skipped step is asked again on the way back, and passed over.
        QCOMPARE(Taken(), QStringList({"main class for 1"}));
        QVERIFY(!wizard->bBack->isEnabled());
        Next();
        Next();
        Next();
        QCOMPARE(Shown(), QString("D"));
        // Moving forward onto a step gives it a fresh page.
        QVERIFY(Page().edit->text().isEmpty());
    }

    void cancelAsksAndOnlyYesCancelsTheCurrentPage()
    {
        Start(MainSequence());
        Next();
        Taken();
        {
            ScriptedPrompts prompts;
            prompts.ExpectDestructive(false, "Are you sure you want to cancel this wizard?");
            wizard->bCancel->click();
        }
        QVERIFY(wizard->isVisible());
        QCOMPARE(Shown(), QString("B"));
        QVERIFY(Taken().isEmpty());
        {
            ScriptedPrompts prompts;
            prompts.ExpectYesNo(true);
            QTest::keyClick(wizard.get(), Qt::Key_Escape);
        }
        QCOMPARE(Taken(), QStringList({"cancel B"}));
        QCOMPARE(wizard->result(), int(TfpWizard::mrCancel));
    }

    void backWithOnlySkippedStepsBeforeAsksAndNoKeepsThePage()
    {
        Start(std::make_unique<LogSequence>("main", std::vector{TWizStepClass(), PageStep("A"), PageStep("B"), PageStep("C")}));
        Next();
        Back();
        QVERIFY(wizard->bBack->isEnabled());
        {
            ScriptedPrompts prompts;
            prompts.ExpectYesNo(false, "Are you sure you want to cancel this wizard?");
            Back();
        }
        QCOMPARE(Shown(), QString("A"));
        Next();
        QCOMPARE(Shown(), QString("B"));
        Taken();
        ScriptedPrompts prompts;  // without the question none is asked
        wizard->Cancel(false);
        QCOMPARE(Taken(), QStringList({"cancel B"}));
        QCOMPARE(wizard->result(), int(TfpWizard::mrCancel));
    }

    void cancelOnTheLastStepFinishesWithoutAQuestion()
    {
        Start(MainSequence());
        Next();
        Next();
        Next();
        Taken();
        ScriptedPrompts prompts;  // no question expected
        QTest::keyClick(wizard.get(), Qt::Key_Escape);
        QCOMPARE(Taken(), QStringList({"save D"}));
        QCOMPARE(wizard->result(), int(TfpWizard::mrOk));
    }

    void aValidationMessageKeepsThePageAndSavesNothing()
    {
        Start(MainSequence());
        Page().message = "Not yet.";
        Taken();
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "Not yet.");
        Next();
        QCOMPARE(Shown(), QString("A"));
        QCOMPARE(Taken(), QStringList({"validate A"}));
    }

    void aSequenceOfOnePageReadsNextAndFinishesOnIt()
    {
        Start(std::make_unique<LogSequence>("one", std::vector{PageStep("A")}));
        QCOMPARE(wizard->bNext->text(), QString("&Next >>"));
        Taken();
        Next();
        QCOMPARE(Taken(), QStringList({"save A"}));
        QCOMPARE(wizard->result(), int(TfpWizard::mrOk));
    }

    void backspaceGoesBackExceptInATextField()
    {
        Start(MainSequence());
        Next();
        QCOMPARE(wizard->focusWidget(), static_cast<QWidget*>(Page().group->button(1)));
        Page().edit->setFocus();
        Page().edit->setText("ab");
        QTest::keyClick(Page().edit, Qt::Key_Backspace);
        QCOMPARE(Page().edit->text(), QString("a"));
        QCOMPARE(Shown(), QString("B"));
        Page().group->button(1)->setFocus();
        QTest::keyClick(Page().group->button(1), Qt::Key_Backspace);
        QCOMPARE(Shown(), QString("A"));
    }
};

CORVELLA_UI_TEST_MAIN(TestWizard)
#include "test_up_wizard.moc"
