#include "ui/profile/uc_frProCVPoolExclusions.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>

#include "tests/ui/current_profile.h"
#include "tests/ui/ui_test_main.h"

class TestExclusionsPage : public QObject {
    Q_OBJECT

private slots:
    void init() { FreshCurrentProfile(); }

    void memoLinesBecomeTheStoredText_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty") << "" << QStringList{} << "";
        QTest::newRow("last line open") << "a*\nb?" << QStringList{"a*", "b?"} << "a*;b?;";
        QTest::newRow("last line closed") << "a*\nb?\n" << QStringList{"a*", "b?"} << "a*;b?;";
        QTest::newRow("empty line between") << "a*\n\nb?" << QStringList{"a*", "", "b?"} << "a*;;b?;";
    }

    void memoLinesBecomeTheStoredText()
    {
        QFETCH(QString, memo);
        QFETCH(QStringList, lines);
        QFETCH(QString, stored);
        QCOMPARE(PatternLines(memo), lines);
        QCOMPARE(PatternTextToStore(memo), stored.toStdString());
        QCOMPARE(PatternLines(PatternMemoText(stored.toStdString())), lines);
    }

    void theTestReportsTheFirstMatchOrTheFirstInvalidLine_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("test");
        QTest::addColumn<QString>("invalid");
        const QString notValid = "\"[abc\" is not a valid pattern.";
        QTest::newRow("match before the invalid line")
            << QStringList{"*live*", "[abc"} << "Live at Wembley.mp3"
            << "\"Live at Wembley.mp3\" matches with \"*live*\"." << notValid;
        QTest::newRow("invalid line first") << QStringList{"[abc", "*live*"} << "Live at Wembley.mp3" << notValid
                                            << notValid;
        QTest::newRow("no match") << QStringList{"*live*", "*[0-9]"} << "Studio take.ogg"
                                  << "\"Studio take.ogg\" does not match any pattern." << "";
        QTest::newRow("too many stars") << QStringList{QString(31, '*')} << "x"
                                        << "\"" + QString(31, '*') + "\" is not a valid pattern."
                                        << "\"" + QString(31, '*') + "\" is not a valid pattern.";
        QTest::newRow("case ignored in every script")
            << QStringList{"*\u043a\u0438\u043d\u043e*"} << "\u041a\u0418\u041d\u041e - \u0417\u0432\u0435\u0437\u0434\u0430.mp3"
            << "\"\u041a\u0418\u041d\u041e - \u0417\u0432\u0435\u0437\u0434\u0430.mp3\" matches with \"*\u043a\u0438\u043d\u043e*\"." << "";
        QTest::newRow("no patterns") << QStringList{} << "x" << "\"x\" does not match any pattern." << "";
    }

    void theTestReportsTheFirstMatchOrTheFirstInvalidLine()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, name);
        QFETCH(QString, test);
        QFETCH(QString, invalid);
        QCOMPARE(PatternTestMessage(name, lines), test);
        QCOMPARE(InvalidPatternMessage(lines), invalid);
    }

    void thePageLoadsValidatesTestsAndSavesLowerCased()
    {
        TBWCVProfile& profile = CurrentProfile();
        profile.MinWordCount = 4;
        profile.MinWordLength = 2;
        profile.SetExclusions("*live*;*demo*;");
        TfrcProCVPoolExclusions page;
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        page.Refresh();
        QCOMPARE(changes.count(), 0);
        QCOMPARE(page.seMinWordCount->value(), 4);
        QCOMPARE(page.seMinWordLength->value(), 2);
        QCOMPARE(PatternLines(page.mPatterns->toPlainText()), QStringList({"*live*", "*demo*"}));
        QVERIFY(page.Validate().isEmpty());

        // Trying names is no change; the test is not run again when the patterns change.
        page.edtTest->setText("My Demo.mp3");
        QCOMPARE(page.lblTestResults->text(), QString("\"My Demo.mp3\" matches with \"*demo*\"."));
        QCOMPARE(changes.count(), 0);

        page.mPatterns->setPlainText("*LIVE*\n[Remix");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(page.Validate(), QString("\"[Remix\" is not a valid pattern."));
        QCOMPARE(page.lblTestResults->text(), QString("\"My Demo.mp3\" matches with \"*demo*\"."));

        page.mPatterns->setPlainText("*LIVE*\n*Remix*\n*MOT\u00d6RHEAD*");
        page.seMinWordCount->setValue(1);
        changes.clear();
        page.SaveToProfile();
        QCOMPARE(changes.count(), 0);
        QCOMPARE(profile.ExclusionText(), std::string("*live*;*remix*;*mot\u00f6rhead*;"));
        QCOMPARE(profile.MinWordCount, 1);
        QCOMPARE(PatternLines(page.mPatterns->toPlainText()), QStringList({"*live*", "*remix*", "*mot\u00f6rhead*"}));
    }
};

CORVELLA_UI_TEST_MAIN(TestExclusionsPage)
#include "test_uc_frProCVPoolExclusions.moc"
