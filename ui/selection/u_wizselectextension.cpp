#include "ui/selection/u_wizselectextension.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "tags/u_musichandler.h"
#include "ui/selection/u_selectioncriteria.h"

TfrWizSelectExtension::TfrWizSelectExtension(QWidget* parent)
    : TfrpProfile(parent), rgComp(new QGroupBox(QStringLiteral("Check/select duplicates with..."), this)),
      rgCompButtons(new QButtonGroup(rgComp)), lvExt(new QTreeWidget(this))
{
    setObjectName("frWizSelectExtension");
    SetPageTitle(QStringLiteral("Extension"));
    SetHelpTopic(QStringLiteral("criteria.htm"));
    rgComp->setObjectName("rgComp");
    auto* modes = new QVBoxLayout(rgComp);
    const char* const modeCaptions[] = {"a specified extension", "a different extension from its reference file",
                                        "the same extension as its reference file"};
    for (int mode = emListed; mode <= emLikeReference; ++mode) {
        auto* button = new QRadioButton(QString::fromLatin1(modeCaptions[mode]), rgComp);
        rgCompButtons->addButton(button, mode);
        modes->addWidget(button);
    }
    rgCompButtons->button(emListed)->setChecked(true);
    KeepOwnHandler(rgCompButtons);
    connect(rgCompButtons, &QButtonGroup::idClicked, this, &TfrWizSelectExtension::rgCompClick);

    lvExt->setObjectName("lvExt");
    lvExt->setHeaderLabels({QStringLiteral("Ext")});
    lvExt->setRootIsDecorated(false);
    // Beside the long captions of the choices: a short column that needs
    // no sideways scrolling.
    lvExt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lvExt->setMinimumWidth(90);
    const TMusicHandler& handler = MusicHandler();
    for (int i = 0; i < handler.Count(); ++i) {
        auto* row = new QTreeWidgetItem(lvExt, {QString::fromStdString(handler.GetExtension(i))});
        row->setCheckState(0, Qt::Unchecked);
    }
    connect(lvExt, &QTreeWidget::itemChanged, this, &TfrpProfile::Changed);

    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(16, 12, 16, 12);
    page->addWidget(rgComp, 0, Qt::AlignTop);
    page->addWidget(lvExt, 1);
}

void TfrWizSelectExtension::rgCompClick()
{
    lvExt->setEnabled(rgCompButtons->checkedId() == emListed);
    Changed();
}

void TfrWizSelectExtension::SaveToProfile()
{
    SelectionCriteria.SelExtensionMode = rgCompButtons->checkedId();
    SelectionCriteria.SelExtensions.clear();
    for (int row = 0; row < lvExt->topLevelItemCount(); ++row)
        if (const QTreeWidgetItem* item = lvExt->topLevelItem(row); item->checkState(0) == Qt::Checked)
            SelectionCriteria.SelExtensions += item->text(0).toUpper().toStdString() + ";";
}
