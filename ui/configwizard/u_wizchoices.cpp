#include "ui/configwizard/u_wizchoices.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/common/u_radiogroup.h"
#include "ui/wizard/up_frwizmsg.h"

TfrWizDupeType::TfrWizDupeType(QWidget* parent)
    : TfrpProfile(parent),
      Label1(WizPageLabel("Label1", QStringLiteral("The wizard needs you to describe your situation so it can design your new "
                                       "profile accordingly."),
                        this)),
      rgType(new TRadioGroup(QStringLiteral("Your music collection is..."),
                             {QStringLiteral("on your hard drive"),
                              QStringLiteral("on your hard drive, with a master directory (no-dupes)"),
                              QStringLiteral("on CD, with dupes on my hard drive")},
                             this))
{
    setObjectName("frWizDupeType");
    SetPageTitle(QStringLiteral("Collection type"));
    rgType->setObjectName("rgType");
    rgType->SetItemIndex(ctOnHardDrive);

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(Label1);
    page->addWidget(rgType);
    page->addStretch();
}

TCollectionType TfrWizDupeType::CollectionType() const
{
    const int item = rgType->ItemIndex();
    return item == ctWithMasterDirectory || item == ctOnCD ? static_cast<TCollectionType>(item) : ctOnHardDrive;
}

TfrWizYesNo::TfrWizYesNo(QWidget* parent)
    : TfrWizYesNo(QStringLiteral("Another directory?"), QStringLiteral("Add another directory?"), parent)
{
}

TfrWizYesNo::TfrWizYesNo(const QString& title, const QString& question, QWidget* parent)
    : TfrpProfile(parent), rgYesNo(new TRadioGroup(question, {QStringLiteral("No"), QStringLiteral("Yes")}, this))
{
    setObjectName("frWizYesNo");
    SetHelpTopic(QStringLiteral("directories.htm"));
    SetPageTitle(title);
    rgYesNo->setObjectName("rgYesNo");
    rgYesNo->SetItemIndex(0);

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(rgYesNo);
    page->addStretch();
}

bool TfrWizYesNo::YesChosen() const
{
    return rgYesNo->ItemIndex() == 1;
}

TfrWizYesNoCD::TfrWizYesNoCD(QWidget* parent)
    : TfrWizYesNo(QStringLiteral("Another CD?"), QStringLiteral("Add another CD?"), parent)
{
    setObjectName("frWizYesNoCD");
    SetHelpTopic(QStringLiteral("mp3list.htm"));
}
