#include "ui/selection/u_wizselectpriority.h"

#include <QComboBox>

#include "engine/u_cvprofile.h"
#include "ui/selection/u_selectioncriteria.h"

namespace {

// Higher up is higher priority.
const QStringList kPriorityNames = {"Reference", "Highest", "High", "Normal", "Low", "Lowest"};

QComboBox* PriorityList(const char* name, int position, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(kPriorityNames);
    list->setCurrentIndex(position);
    return list;
}

}  // namespace

std::uint8_t RoleOfPriorityPosition(int position)
{
    return static_cast<std::uint8_t>(dtReference - position);
}

QString PriorityName(int role)
{
    return role >= dtPriority1 && role <= dtPriority5 ? kPriorityNames[dtReference - role] : kPriorityNames[0];
}

TfrWizSelectPriority::TfrWizSelectPriority(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with a priority..."),
                              {QStringLiteral("between those values:"),
                               QStringLiteral("a reference value between those values:")},
                              parent),
      cbMin(PriorityList("cbMin", static_cast<int>(kPriorityNames.size()) - 1, this)),
      cbMax(PriorityList("cbMax", 0, this))
{
    setObjectName("frWizSelectPriority");
    SetPageTitle(QStringLiteral("Priority"));
    PlaceBounds(cbMin, cbMax);
}

void TfrWizSelectPriority::SaveToProfile()
{
    SelectionCriteria.SelPriorityRelative = IsRelative();
    SelectionCriteria.SelPriorityMin = RoleOfPriorityPosition(cbMin->currentIndex());
    SelectionCriteria.SelPriorityMax = RoleOfPriorityPosition(cbMax->currentIndex());
}

QString TfrWizSelectPriority::Validate()
{
    if (cbMin->currentIndex() < cbMax->currentIndex())
        return QStringLiteral("The maximum priority can't be lower than the minimum.");
    return {};
}
