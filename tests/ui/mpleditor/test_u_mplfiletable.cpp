#include "ui/mpleditor/u_mplfiletable.h"
#include "tests/ui/ui_test_main.h"

#include <QAbstractItemModelTester>

#include "model/u_bwfsmp3.h"
#include "model/u_bwfsmpl.h"

class TestMplFileTable : public QObject {
    Q_OBJECT

    // A list directory holding two audio entries with known values.
    static TBWDirMpl* Volume(TBWDirMpl& list)
    {
        auto* volume = static_cast<TBWDirMpl*>(list.AddSubDirTouch("CD1"));
        auto add = [&](const char* name, std::int64_t sizeKB, std::int32_t duration, std::int32_t bitrate) {
            auto* file = static_cast<TBWMp3File*>(volume->Files()->AddFileTouch(name));
            file->SetLoadedInfo(TBWInfoKinds().set(ikBasic).set(ikDigest).set(ikTags));
            file->SetSize(sizeKB);
            file->SetDuration(duration);
            file->SetBitrate(bitrate);
        };
        add("01 Alpha.mp3", 5000, 187, 192);
        add("02 Long.ogg", 1024 * 150, 7500, 96);
        return volume;
    }

private slots:
    void showsEachFileInFiveColumns()
    {
        TBWDirMpl list;
        list.SetName("@Rock/");
        TBWDirMpl* volume = Volume(list);
        TMplFileTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        model.SetDirectory(volume);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 5);

        QStringList headers;
        for (int c = 0; c < model.columnCount(); ++c)
            headers << model.headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"Filename", "Path", "Size (MB)", "Duration", "B/R"}));

        auto row = [&](int r) {
            QStringList cells;
            for (int c = 0; c < model.columnCount(); ++c)
                cells << model.index(r, c).data().toString();
            return cells;
        };
        QCOMPARE(row(0), QStringList({"01 Alpha.mp3", "@Rock/CD1/", "4.88", "03:07", "192"}));
        QCOMPARE(row(1), QStringList({"02 Long.ogg", "@Rock/CD1/", "150.00", "125:00", "96"}));
        QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).isNull());
        QVERIFY(model.index(0, 1).data(Qt::DecorationRole).isNull());

        model.SetDirectory(nullptr);
        QCOMPARE(model.rowCount(), 0);
    }
};

CORVELLA_UI_TEST_MAIN(TestMplFileTable)
#include "test_u_mplfiletable.moc"
