#include "ui/main/u_loadproblems.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/u_cvprofile.h"
#include "model/u_bwfsmpl.h"
#include "tests/ui/ui_test_main.h"
#include "ui/common/u_cvgensettings.h"

namespace {

void Write(const QString& fileName, const QByteArray& contents)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

}  // namespace

class TestLoadProblems : public QObject {
    Q_OBJECT

private slots:
    void everyKindIsToldOnceInOneMessage()
    {
        QTemporaryDir folder;
        const std::string data = folder.path().toStdString() + "/";
        Write(folder.path() + "/settings.xml", "<bwprofile>");
        Write(folder.path() + "/broken.mpl", "not a list");
        QVERIFY(QDir().mkpath(folder.path() + "/profiles"));
        Write(folder.path() + "/profiles/Rock.xml", "<bwprofile><MinPerc>");

        TLoadProblems problems;
        TBWCVGenSettings settings(data);
        settings.LoadOrCreate();
        problems.SettingsLoaded(settings);
        TMplManager lists;
        lists.SetFolder(folder.path().toStdString());
        lists.Reload();
        problems.ListsLoaded(lists);
        TBWCVProfile profile(data);
        QVERIFY(!profile.LoadProfile("Rock"));
        problems.ProfileNotLoaded(profile, "Rock");
        QVERIFY(!profile.LoadProfile("Jazz"));  // missing: nothing to tell
        problems.ProfileNotLoaded(profile, "Jazz");

        const QString message = QString::fromStdString(problems.TakeMessage());
        const QString expected = "Some of what Corvella keeps could not be loaded:\n\n"
                                 "The general settings file is damaged; it was moved to %1settings.xml.bad. "
                                 "The defaults are used.\n\n"
                                 "The Mp3 List \"broken\" cannot be read (the file is no Mp3 List) and shows empty; "
                                 "it is kept read-only and its file %1broken.mpl is left untouched.\n\n"
                                 "The profile \"Rock\" is damaged; it was moved to %1profiles/Rock.xml.bad.";
        QCOMPARE(message, expected.arg(QString::fromStdString(data)));
        problems.ListsLoaded(lists);
        QCOMPARE(QString::fromStdString(problems.TakeMessage()), QString());
    }
};

CORVELLA_UI_TEST_MAIN(TestLoadProblems)
#include "test_u_loadproblems.moc"
