// The single-instance lock: one per user and data folder, in the user's
// runtime folder, taken by the first copy only.
#include "ui/main/u_singleinstance.h"

#include <QTemporaryDir>

#include "tests/ui/ui_test_main.h"

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
};

CORVELLA_UI_TEST_MAIN(TestSingleInstance)
#include "test_u_singleinstance.moc"
