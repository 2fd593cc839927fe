#include "ui/selection/u_wizselectsummary.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdlib>

#include "ui/selection/u_wizselectcomparison.h"
#include "ui/selection/u_wizselectmain.h"
#include "ui/selection/u_wizselectpriority.h"
#include "ui/selection/u_selectioncriteria.h"

namespace {

QString ModeText(bool relative)
{
    return relative ? QStringLiteral("Reference") : QStringLiteral("Absolute");
}

// Minutes and seconds; a negative offset in brackets.
QString DurationText(std::int32_t seconds)
{
    const std::int32_t length = std::abs(seconds);
    const QString text = QString::asprintf("%2.2d:%2.2d", length / 60, length % 60);
    return seconds < 0 ? "(" + text + ")" : text;
}

QString Bounds(const QString& min, const QString& max)
{
    return "[" + min + "," + max + "]";
}

QString ExtensionModeText(std::int32_t mode)
{
    switch (mode) {
    case emUnlikeReference: return QStringLiteral("Unlike ref.");
    case emLikeReference: return QStringLiteral("Like ref.");
    default: return QStringLiteral("Absolute");
    }
}

TSummaryRow RowOf(TSelCriterion criterion, const TSelectionCriteria& c)
{
    switch (criterion) {
    case scDirectory: return {"Directory", "Absolute", QString::fromStdString(c.SelDirectory)};
    case scPriority:
        return {"Priority", ModeText(c.SelPriorityRelative),
                Bounds(PriorityName(c.SelPriorityMin), PriorityName(c.SelPriorityMax))};
    case scSize:
        return {"Size", ModeText(c.SelSizeRelative), Bounds(MegabytesText(c.SelSizeMin) + " MB", MegabytesText(c.SelSizeMax) + " MB")};
    case scDuration:
        return {"Duration", ModeText(c.SelDurationRelative),
                Bounds(DurationText(c.SelDurationMin), DurationText(c.SelDurationMax))};
    case scBitrate:
        return {"Bitrate", ModeText(c.SelBitrateRelative),
                QString::asprintf("[%d,%d]", c.SelBitrateMin, c.SelBitrateMax)};
    case scExtension:
        return {"Extension", ExtensionModeText(c.SelExtensionMode),
                c.SelExtensionMode == emListed ? QString::fromStdString(c.SelExtensions) : QString()};
    case scRelevance:
        return {"Relevance", "Absolute",
                Bounds(QString::number(c.SelRelevanceMin) + " %", QString::number(c.SelRelevanceMax) + " %")};
    case scCount: break;
    }
    return {};
}

}  // namespace

QString SummaryActionText(const TSelectionCriteria& criteria)
{
    const QString action = criteria.SelAction == saToggle ? QStringLiteral("Toggle selection")
                                                          : ActionWord(criteria.SelAction);
    return "Action: " + action;
}

std::vector<TSummaryRow> SummaryRows(const TSelectionCriteria& criteria)
{
    std::vector<TSummaryRow> rows;
    for (int criterion = 0; criterion < scCount; ++criterion)
        if (criteria.Chosen(static_cast<TSelCriterion>(criterion)))
            rows.push_back(RowOf(static_cast<TSelCriterion>(criterion), criteria));
    return rows;
}

TfrWizSelectSummary::TfrWizSelectSummary(QWidget* parent)
    : TfrpProfile(parent), lblAction(new QLabel(this)), lv(new QTreeWidget(this))
{
    setObjectName("frWizSelectSummary");
    SetPageTitle(QStringLiteral("Selection summary"));
    lblAction->setObjectName("lblAction");
    QFont bold = lblAction->font();
    bold.setBold(true);
    lblAction->setFont(bold);
    lv->setObjectName("lv");
    lv->setHeaderLabels({QStringLiteral("Criteria"), QStringLiteral("Type"), QStringLiteral("Argument")});
    lv->setRootIsDecorated(false);
    lv->setColumnWidth(0, 100);
    lv->setColumnWidth(1, 75);
    lv->header()->setStretchLastSection(true);
    auto* note = new QLabel(AllCriteriaNote(), this);
    note->setObjectName("lblNote");
    note->setWordWrap(true);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(16, 8, 16, 8);
    page->addWidget(lblAction);
    page->addWidget(lv, 1);
    page->addWidget(note);
}

void TfrWizSelectSummary::LoadFromProfile()
{
    lblAction->setText(SummaryActionText(SelectionCriteria));
    lv->clear();
    for (const TSummaryRow& row : SummaryRows(SelectionCriteria))
        new QTreeWidgetItem(lv, {row.criteria, row.type, row.argument});
}
