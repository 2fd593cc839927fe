#include "ui/selection/u_wizselectmain.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

struct TCriterionBox {
    const char* name;
    const char* caption;
};

// In criterion order.
constexpr TCriterionBox kCriterionBoxes[scCount] = {
    {"cbDirectory", "are in a specific directory"},
    {"cbPriority", "are in a directory with specific priority"},
    {"cbSize", "have specific size"},
    {"cbDuration", "have specific duration"},
    {"cbBitrate", "have specific bitrate"},
    {"cbExtension", "have a specific extension"},
    {"cbRelevance", "have a specific relevance percentage"},
};

}  // namespace

QString AllCriteriaNote()
{
    return QStringLiteral("NOTE: Only duplicates that match ALL the criteria will be checked.");
}

TfrWizSelectMain::TfrWizSelectMain(QWidget* parent)
    : TfrpProfile(parent), rgAction(new QGroupBox(QStringLiteral("Action type"), this)),
      rgActionButtons(new QButtonGroup(rgAction)),
      lblPerform(new QLabel(QStringLiteral("Perform action on duplicates that..."), this))
{
    setObjectName("frWizSelectMain");
    SetPageTitle(QStringLiteral("Selection wizard"));
    rgAction->setObjectName("rgAction");
    auto* actions = new QHBoxLayout(rgAction);
    const char* const actionCaptions[] = {"Check", "Uncheck", "Toggle selection"};
    for (int action = saCheck; action <= saToggle; ++action) {
        auto* button = new QRadioButton(QString::fromLatin1(actionCaptions[action]), rgAction);
        rgActionButtons->addButton(button, action);
        actions->addWidget(button);
    }
    rgActionButtons->button(saCheck)->setChecked(true);

    // Everything must fit the wizard's fixed client area: the group keeps
    // its height and the boxes stand close.
    rgAction->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(16, 2, 16, 2);
    page->setSpacing(0);
    page->addWidget(rgAction);
    page->addWidget(lblPerform);
    for (int criterion = 0; criterion < scCount; ++criterion) {
        criteria[criterion] = new QCheckBox(QString::fromLatin1(kCriterionBoxes[criterion].caption), this);
        criteria[criterion]->setObjectName(kCriterionBoxes[criterion].name);
        page->addWidget(criteria[criterion]);
    }
    auto* note = new QLabel(AllCriteriaNote(), this);
    note->setObjectName("lblNote");
    note->setWordWrap(true);
    page->addWidget(note);
    page->addStretch();
}

QString TfrWizSelectMain::Validate()
{
    if (const QString base = TfrpProfile::Validate(); !base.isEmpty())
        return base;
    for (const QCheckBox* box : criteria)
        if (box->isChecked())
            return {};
    return QStringLiteral("You must select at least one criterion.");
}

void TfrWizSelectMain::SaveToProfile()
{
    const int action = rgActionButtons->checkedId();
    SelectionCriteria.SelAction = action == saUncheck || action == saToggle ? action : saCheck;
    SelectionCriteria.SelCriteria = 0;
    for (int criterion = 0; criterion < scCount; ++criterion)
        if (criteria[criterion]->isChecked())
            SelectionCriteria.SelCriteria |= 1U << criterion;
}
