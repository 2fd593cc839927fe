// The single-instance lock: one per user and data folder, in the user's
// runtime folder, taken by the first copy only; a later start that gets no
// answer says so in a window.
#include "ui/main/u_singleinstance.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QTemporaryDir>

#include "tests/ui/scripted_prompts.h"
#include "tests/ui/ui_test_main.h"
#include "ui/main/u_startup.h"

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void theLockIsKeyedByTheDataFolder()
    {
        QTemporaryDir folder;
        const QString data = folder.path() + "/Brindlewick/Corvella";
        TSingleInstance one(data);
        TSingleInstance same(data + "/");
        TSingleInstance other(folder.path() + "/elsewhere");
        QCOMPARE(same.LockPath(), one.LockPath());
        QVERIFY(other.LockPath() != one.LockPath());
        QVERIFY(one.LockPath().startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/"));
        bool answered = true;
        QVERIFY(one.TakeOver(answered));
        QVERIFY(!answered);
        QVERIFY(QFile::exists(one.SocketPath()));
        QVERIFY(other.TakeOver(answered));
    }

    // A lock held with nobody listening: a copy that hangs, or a lock left by
    // a copy that ended whose process number another program now has.
    void aStartThatGetsNoAnswerSaysSoInAWindow()
    {
        QTemporaryDir folder;
        TSingleInstance later(folder.path() + "/Brindlewick/Corvella");
        QLockFile held(later.LockPath());
        QVERIFY(held.tryLock(0));
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "holds its lock " + later.LockPath() + ", but did not answer");
        QVERIFY(!TakeOverOrTell(later));
        QVERIFY(prompts.Asked().back().text.contains(
            QStringLiteral("process %1").arg(QCoreApplication::applicationPid())));
        QVERIFY(prompts.Done());
    }
};

CORVELLA_UI_TEST_MAIN(TestSingleInstance)
#include "test_u_singleinstance.moc"
