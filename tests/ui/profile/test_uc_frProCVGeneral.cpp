#include "ui/profile/uc_frProCVGeneral.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

#include "tests/ui/current_profile.h"
#include "tests/ui/ui_test_main.h"

class TestGeneralPage : public QObject {
    Q_OBJECT

private slots:
    void init() { FreshCurrentProfile(); }

    void loadingShowsNameAndCommentWithinTheirLimits()
    {
        TBWCVProfile& profile = CurrentProfile();
        profile.SetProfileName("My_Collection");
        profile.ProfileComment = "Everything on the big disk";
        TfrcProCVGeneral page;
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        page.Refresh();
        QCOMPARE(page.edtProfileName->text(), QString("My_Collection"));
        QCOMPARE(page.edtComment->text(), QString("Everything on the big disk"));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(page.edtProfileName->maxLength(), 64);
        QCOMPARE(page.edtComment->maxLength(), 256);
        QCOMPARE(page.helpTopic(), QString("general_settings.htm"));

        page.edtComment->setText("changed");
        QCOMPARE(changes.count(), 1);
    }

    // While the user types, the page says what the profile will be stored
    // as whenever that is not the name typed.
    void typingShowsTheNameThatWillBeStored_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("note");
        QTest::newRow("kept") << "Rock_2" << "";
        QTest::newRow("letters of every script") << "M\u00fcsik_\u65e5\u672c" << "";
        QTest::newRow("slash and blank dropped") << "My/Scan x"
                                               << "Stored as \"MyScanx\": only letters, digits and \"_\" are kept.";
        QTest::newRow("dashes of every script dropped")
            << "M\u00f6tley\u2013Cr\u00fce" << "Stored as \"M\u00f6tleyCr\u00fce\": only letters, digits and \"_\" are kept.";
        QTest::newRow("taken") << "Jazz" << "Stored as \"Jazz1\": another profile is named \"Jazz\".";
    }
    void typingShowsTheNameThatWillBeStored()
    {
        QFETCH(QString, typed);
        TBWCVProfile& profile = CurrentProfile();
        if (!profile.LoadProfile("Jazz")) {
            profile.SetProfileName("Jazz");
            QVERIFY(profile.SaveProfile());
        }
        profile.NewProfile();
        TfrcProCVGeneral page;
        page.Refresh();
        page.show();
        page.edtProfileName->selectAll();
        // Key by key, letters beyond ASCII too.
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, page.edtProfileName, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTEST(page.lblStoredName->text(), "note");
        QCOMPARE(page.lblStoredName->isVisible(), !page.lblStoredName->text().isEmpty());
    }

    // The name is cleaned and made unique by the profile; showing the name
    // it took must not count as another change.
    void savingShowsTheNameTheProfileTookWithoutReportingAChange()
    {
        TBWCVProfile& profile = CurrentProfile();
        profile.SetProfileName("Rock");
        QVERIFY(profile.SaveProfile());
        profile.NewProfile();

        TfrcProCVGeneral page;
        page.Refresh();
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        page.edtProfileName->setText("Ro ck!");
        page.edtComment->setText("  kept as typed ");
        changes.clear();
        page.SaveToProfile();
        QCOMPARE(profile.ProfileName(), std::string("Rock1"));
        QCOMPARE(profile.ProfileComment, std::string("  kept as typed "));
        QCOMPARE(page.edtProfileName->text(), QString("Rock1"));
        QCOMPARE(changes.count(), 0);
    }
};

CORVELLA_UI_TEST_MAIN(TestGeneralPage)
#include "test_uc_frProCVGeneral.moc"
