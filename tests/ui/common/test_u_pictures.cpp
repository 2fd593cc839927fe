#include "ui/common/u_pictures.h"
#include "tests/ui/ui_test_main.h"

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void listsHaveTheSizesAndImagesTheWindowsUse_data()
    {
        QTest::addColumn<TImageList*>("list");
        QTest::addColumn<int>("side");
        QTest::addColumn<QList<int>>("used");
        QTest::addColumn<QList<int>>("unused");
        QTest::newRow("dirIL") << &dmCommonPics->dirIL << 16 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8} << QList<int>{9};
        QTest::newRow("IL") << &dmCentral->IL << 16 << QList<int>{0, 1, 5, 9, 10} << QList<int>{2, 11};
        QTest::newRow("PriIL") << &dmCentral->PriIL << 16 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8} << QList<int>{9};
        QTest::newRow("testIL") << &dmCentral->testIL << 16 << QList<int>{0, 1, 2} << QList<int>{3};
        QList<int> actions;
        for (int index = 0; index < biCount; ++index)
            actions << index;
        QTest::newRow("BigIL") << &dmCentral->BigIL << 32 << actions << QList<int>{biCount};
    }

    void listsHaveTheSizesAndImagesTheWindowsUse()
    {
        QFETCH(TImageList*, list);
        QFETCH(int, side);
        QFETCH(QList<int>, used);
        QFETCH(QList<int>, unused);
        QCOMPARE(list->Size(), QSize(side, side));
        for (int index : used) {
            const QImage image = list->Pixmap(index).toImage();
            QCOMPARE(image.size(), QSize(side, side));
            QVERIFY2(image != QImage(image.size(), image.format()), qPrintable(QString::number(index)));
        }
        for (int index : unused)
            QVERIFY(list->Pixmap(index).isNull());
        QVERIFY(list->Pixmap(-1).isNull());
    }

    void imagesOfDifferentMeaningDiffer()
    {
        const TImageList& roles = dmCentral->PriIL;
        for (int a = 0; a <= riExcluded; ++a)
            for (int b = a + 1; b <= riExcluded; ++b)
                QVERIFY(roles.Pixmap(a).toImage() != roles.Pixmap(b).toImage());
        QVERIFY(dmCentral->testIL.Pixmap(ciChecked).toImage() != dmCentral->testIL.Pixmap(ciUnchecked).toImage());
    }
};

CORVELLA_UI_TEST_MAIN(TestPictures)
#include "test_u_pictures.moc"
