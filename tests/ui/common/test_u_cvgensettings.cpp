#include "ui/common/u_cvgensettings.h"
#include "tests/ui/ui_test_main.h"
#include "tests/support/fifo_in_place.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>

namespace {

QByteArray Contents(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& fileName, const QByteArray& contents)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

} // namespace

class TestGenSettings : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<QTemporaryDir>(); }

    void aFirstRunWritesTheDefaultsOnlyWhenSaved()
    {
        TBWCVGenSettings settings(DataFolder());
        QVERIFY(!settings.SaveIfLoaded());
        settings.LoadOrCreate();
        QCOMPARE(QString::fromStdString(settings.ProfileName()), QString("settings"));
        QVERIFY(!QFile::exists(SettingsFile()));
        settings.SetCreationDate(45000.75);
        QVERIFY(settings.SaveIfLoaded());
        QCOMPARE(Contents(SettingsFile()), Contents(CORVELLA_TEST_DATA "/ui/settings_defaults.xml"));
    }

    void everyFieldSurvivesASaveAndALoad()
    {
        TBWCVGenSettings saved(DataFolder());
        saved.LoadOrCreate();
        saved.TipsAtStartup = false;
        saved.ScanResMaximized = false;
        saved.ScanResDetails = true;
        saved.ScanResWidth = 1100;
        saved.ScanResHeight = 700;
        saved.LastTip = 7;
        saved.ProfileEditorWidth = 900;
        saved.ProfileEditorHeight = 520;
        for (std::size_t column = 0; column < kResultColumnCount; ++column) {
            saved.ColShow[column] = column % 3 == 0;
            saved.ColSize[column] = 100 + static_cast<std::int32_t>(column);
        }
        saved.MainLeft = -20;  // on a screen left of the first
        saved.MainTop = 100;
        saved.MainWidth = 800;
        saved.MainHeight = 600;
        saved.MainMaximized = true;
        QVERIFY(saved.SaveIfLoaded());

        TBWCVGenSettings loaded(DataFolder());
        loaded.LoadOrCreate();
        QCOMPARE(loaded.TipsAtStartup, false);
        QCOMPARE(loaded.ScanResMaximized, false);
        QCOMPARE(loaded.ScanResDetails, true);
        QCOMPARE(loaded.ScanResWidth, 1100);
        QCOMPARE(loaded.ScanResHeight, 700);
        QCOMPARE(loaded.LastTip, 7);
        QCOMPARE(loaded.ProfileEditorWidth, 900);
        QCOMPARE(loaded.ProfileEditorHeight, 520);
        QVERIFY(loaded.ColShow == saved.ColShow);
        QVERIFY(loaded.ColSize == saved.ColSize);
        QCOMPARE(QRect(loaded.MainLeft, loaded.MainTop, loaded.MainWidth, loaded.MainHeight), QRect(-20, 100, 800, 600));
        QCOMPARE(loaded.MainMaximized, true);
    }

    void missingKeysKeepTheirDefaults()
    {
        Write(SettingsFile(), "<bwprofile><ShowTips>0</ShowTips><ColShowWords>1</ColShowWords>"
                              "<ColSizePath>150</ColSizePath></bwprofile>");
        TBWCVGenSettings settings(DataFolder());
        settings.LoadOrCreate();
        QCOMPARE(settings.TipsAtStartup, false);
        QCOMPARE(settings.ScanResMaximized, true);
        QCOMPARE(settings.ColShow[10], true);
        QCOMPARE(settings.ColShow[4], false);
        QCOMPARE(settings.ColSize[0], 150);
        QCOMPARE(settings.ColSize[9], 40);
    }

    void storedLastTip_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("read");
        QTest::newRow("the next tip") << QByteArray("3") << 3;
        QTest::newRow("below -1, hand-edited") << QByteArray("-5") << 0;
        QTest::newRow("no number") << QByteArray("many") << 0;
    }

    void storedLastTip()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, read);
        Write(SettingsFile(), "<bwprofile><LastTip>" + stored + "</LastTip></bwprofile>");
        TBWCVGenSettings settings(DataFolder());
        settings.LoadOrCreate();
        QCOMPARE(settings.LastTip, read);
    }

    void aDamagedFileIsMovedAsideBesideOlderCopiesAndReplacedUnderItsOwnName()
    {
        const QString aside = folder_->path() + "/settings.xml.bad";
        Write(aside, "an older unreadable file");
        Write(SettingsFile(), "<bwprofile><ShowTips>0</Show");
        TBWCVGenSettings settings(DataFolder());
        settings.LoadOrCreate();
        QCOMPARE(settings.TipsAtStartup, true);
        QCOMPARE(QString::fromStdString(settings.ProfileName()), QString("settings"));
        QCOMPARE(QString::fromStdString(settings.SetAsideFile()), aside + "2");
        QCOMPARE(Contents(aside), QByteArray("an older unreadable file"));
        QCOMPARE(Contents(aside + "2"), QByteArray("<bwprofile><ShowTips>0</Show"));
        QVERIFY(settings.SaveIfLoaded());
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files),
                 (QStringList{"settings.xml", "settings.xml.bad", "settings.xml.bad2"}));
    }

    void aFileThatCannotBeReadIsLeftAndNotSavedOver()
    {
        // A link to nothing: there, but no read gets anything out of it.
        QVERIFY(QFile::link(folder_->path() + "/gone.xml", SettingsFile()));
        TBWCVGenSettings settings(DataFolder());
        settings.LoadOrCreate();
        QCOMPARE(settings.TipsAtStartup, true);
        QVERIFY(settings.SetAsideFile().empty());
        QVERIFY(!settings.SaveIfLoaded());
        QCOMPARE(QFileInfo(SettingsFile()).symLinkTarget(), folder_->path() + "/gone.xml");
        QVERIFY(!QFile::exists(folder_->path() + "/gone.xml"));
    }

    // A FIFO hung the start-up before any window; /dev/zero aborted it with
    // bad_alloc. Either is left as it is, and the defaults are used.
    void aFifoOrADeviceIsRefusedAtOnceAndLeft()
    {
        for (const bool fifo : {true, false}) {
            init();
            std::unique_ptr<TFifoInPlace> pipe;
            if (fifo) {
                pipe = std::make_unique<TFifoInPlace>(SettingsFile().toStdString());
                QVERIFY(pipe->Made());
            } else {
                QVERIFY(QFile::link("/dev/zero", SettingsFile()));
            }
            TBWCVGenSettings settings(DataFolder());
            settings.LoadOrCreate();
            QVERIFY(settings.LoadFailure() == TProfileLoadFailure::Unreadable);
            QCOMPARE(settings.TipsAtStartup, true);
            QVERIFY(!settings.SaveIfLoaded());
        }
    }

private:
    std::string DataFolder() const { return folder_->path().toStdString() + "/"; }
    QString SettingsFile() const { return folder_->path() + "/settings.xml"; }

    std::unique_ptr<QTemporaryDir> folder_;
};

CORVELLA_UI_TEST_MAIN(TestGenSettings)
#include "test_u_cvgensettings.moc"
