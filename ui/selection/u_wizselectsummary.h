#pragma once
// The selection wizard's last page: the action and one row per chosen
// criterion with its mode and bounds, for the user to check before Finish.
#include <QString>
#include <vector>

#include "ui/profile/up_frprofile.h"

class QLabel;
class QTreeWidget;
struct TSelectionCriteria;

struct TSummaryRow {
    QString criteria;
    QString type;
    QString argument;
    bool operator==(const TSummaryRow&) const = default;
};

// "Action: Check", "Action: Uncheck" or "Action: Toggle selection".
QString SummaryActionText(const TSelectionCriteria& criteria);
// The chosen criteria in their order.
std::vector<TSummaryRow> SummaryRows(const TSelectionCriteria& criteria);

class TfrWizSelectSummary : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizSelectSummary(QWidget* parent = nullptr);

    void LoadFromProfile() override;

    QLabel* lblAction;
    QTreeWidget* lv;
};
