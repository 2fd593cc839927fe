#include "engine/u_cvprofile.h"
#include "ui/profile/up_frprofile.h"
#include "tests/ui/ui_test_main.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>

namespace {

// A page with one control of every hooked kind, loaded from the profile,
// and one edit whose own handler decides not to tell the host.
class SamplePage : public TfrpProfile {
public:
    SamplePage()
    {
        edit->setObjectName("edit");
        spin->setObjectName("spin");
        spin->setRange(0, 100);
        check->setObjectName("check");
        combo->setObjectName("combo");
        combo->addItems({"a", "b", "c"});
        for (int id = 0; id < 3; ++id)
            group->addButton(new QRadioButton(this), id);
        ownEdit->setObjectName("ownEdit");
        KeepOwnHandler(ownEdit);
        connect(ownEdit, &QLineEdit::textChanged, this, [this] { ++ownHandlerCalls; });
    }

    void LoadFromProfile() override
    {
        edit->setText(QString::fromStdString(Profile().ProfileComment));
        spin->setValue(Profile().MinPerc);
        check->setChecked(Profile().NoFieldOrder);
        combo->setCurrentIndex(Profile().ResultType);
        group->button(Profile().CompType)->setChecked(true);
        ownEdit->setText(QString::fromStdString(Profile().ExtPri));
    }

    QLineEdit* edit = new QLineEdit(this);
    QSpinBox* spin = new QSpinBox(this);
    QCheckBox* check = new QCheckBox(this);
    QComboBox* combo = new QComboBox(this);
    QButtonGroup* group = new QButtonGroup(this);
    QLineEdit* ownEdit = new QLineEdit(this);
    int ownHandlerCalls = 0;
};

void LoadSampleProfile()
{
    TBWCVProfile& profile = CurrentProfile();
    profile.ProfileComment = "loaded";
    profile.MinPerc = 70;
    profile.NoFieldOrder = true;
    profile.ResultType = rsBanlist;
    profile.CompType = ctTagsWithAlbum;
    profile.ExtPri = "MP3;";
}

}  // namespace

class TestFrProfile : public QObject {
    Q_OBJECT

private slots:
    void refreshSetsEveryControlWithoutReportingAChange()
    {
        LoadSampleProfile();
        SamplePage page;
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        page.Refresh();
        QCOMPARE(page.edit->text(), QString("loaded"));
        QCOMPARE(page.spin->value(), 70);
        QVERIFY(page.check->isChecked());
        QCOMPARE(page.combo->currentIndex(), 2);
        QCOMPARE(page.group->checkedId(), 2);
        QCOMPARE(changes.count(), 0);
        QVERIFY(page.notifyEnabled());
        // A second load is no change either.
        CurrentProfile().MinPerc = 10;
        page.Refresh();
        QCOMPARE(changes.count(), 0);
    }

    void eachUserEditReportsOneChange_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("edit box") << "edit";
        QTest::newRow("spin box, not its own line edit as well") << "spin";
        QTest::newRow("check box") << "check";
        QTest::newRow("combo box") << "combo";
        QTest::newRow("radio group, once for the two buttons that toggle") << "group";
    }

    void eachUserEditReportsOneChange()
    {
        QFETCH(QString, control);
        LoadSampleProfile();
        SamplePage page;
        page.Refresh();
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        if (control == "edit")
            QTest::keyClicks(page.edit, "x");
        else if (control == "spin")
            page.spin->stepUp();
        else if (control == "check")
            page.check->click();
        else if (control == "combo")
            page.combo->setCurrentIndex(0);
        else
            page.group->button(1)->click();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.first().first().value<TfrpProfile*>(), &page);
    }

    void aControlWithItsOwnHandlerIsNotHooked()
    {
        LoadSampleProfile();
        SamplePage page;
        page.Refresh();
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        QTest::keyClicks(page.ownEdit, "y");
        QCOMPARE(page.ownHandlerCalls, 2);
        QCOMPARE(changes.count(), 0);
    }
};

CORVELLA_UI_TEST_MAIN(TestFrProfile)
#include "test_up_frprofile.moc"
