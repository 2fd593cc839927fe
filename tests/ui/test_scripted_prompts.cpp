#include "scripted_prompts.h"
#include "ui_test_main.h"

class TestScriptedPrompts : public QObject {
    Q_OBJECT
    QStringList failures;
    std::function<void(const QString&)> Collect()
    {
        return [this](const QString& message) { failures << message; };
    }

private slots:
    void init() { failures.clear(); }

    void answersInOrderAndRecordsEveryQuestion()
    {
        {
            ScriptedPrompts prompts(Collect());
            prompts.ExpectYesNo(true, "Delete").ExpectChoice(PromptKind::Folder, QString("/music"));
            QVERIFY(Prompts().AskYesNo("Corvella", "Delete 2 files?"));
            QCOMPARE(Prompts().BrowseFolder("Target", "/home"), std::optional<QString>("/music"));
            QCOMPARE(prompts.Asked().size(), size_t(2));
            QCOMPARE(prompts.Asked()[1].text, QString("/home"));
            QVERIFY(prompts.Done());
        }
        QVERIFY(failures.isEmpty());
    }

    void failsAtOnceOnAnUnexpectedQuestion()
    {
        ScriptedPrompts prompts(Collect());
        prompts.ExpectYesNo(true, "Delete");
        Prompts().ShowWarning("Corvella", "Disc missing");
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0].contains("Disc missing"));
        QVERIFY(!Prompts().AskYesNo("Corvella", "Move 2 files?"));  // wrong text: answered No
        QCOMPARE(failures.size(), 2);
        QVERIFY(Prompts().AskYesNo("Corvella", "Delete 2 files?"));
        QVERIFY(!Prompts().AskText("Name", "New name", "a").has_value());  // script used up
        QCOMPARE(failures.size(), 3);
    }

    void aDestructiveQuestionMustBeAskedAsOne()
    {
        ScriptedPrompts prompts(Collect());
        prompts.ExpectDestructive(true, "Delete").ExpectYesNo(true, "Move").ExpectDestructive(true, "Drop");
        QVERIFY(Prompts().ConfirmDestructive("Corvella", "Delete 2 files?"));
        QVERIFY(Prompts().ConfirmDestructive("Corvella", "Move 2 files?"));  // a plain expectation takes either
        QVERIFY(failures.isEmpty());
        QVERIFY(prompts.Asked()[0].destructive);
        Prompts().AskYesNo("Corvella", "Drop 2 files?");
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0].contains("default"));
    }

    void failsOnAnUnusedScriptAndRestoresThePrompts()
    {
        TUserPrompts* before = &Prompts();
        {
            ScriptedPrompts prompts(Collect());
            prompts.ExpectMessage(PromptKind::Error);
            QCOMPARE(&Prompts(), static_cast<TUserPrompts*>(&prompts));
        }
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0].contains("error"));
        QCOMPARE(&Prompts(), before);
    }
};

CORVELLA_UI_TEST_MAIN(TestScriptedPrompts)
#include "test_scripted_prompts.moc"
