#pragma once
// The profile summary: the ten settings of the current comparison profile in
// a two-column table. The profile editor shows it for "Duplicate scanning";
// the main window keeps it under its profile list and opens the editor at
// the page of a double-clicked row (rows keep the order of SummaryRows).
#include <QString>
#include <utility>
#include <vector>

#include "ui/profile/up_frprofile.h"

class QLabel;
class QTreeView;
class TSummaryModel;

// Parameter and value of each row, in the order the main window maps to
// editor pages: directories, comparison type, minimum matching, similar
// words, minimum word count and length, excluded patterns, priority
// criteria, extension priority, result type.
std::vector<std::pair<QString, QString>> SummaryRows(const TBWCVProfile& profile);

class TfrcPCVSummary : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrcPCVSummary(QWidget* parent = nullptr);

    void LoadFromProfile() override;
    // The row selected in lv, -1 without one.
    int SelectedRow() const;
    // The height that shows the caption, the header and every row without
    // scrolling, in the fonts at hand.
    int WholeHeight() const;

    QLabel* Label1;
    QTreeView* lv;

signals:
    void summaryDblClick(TfrcPCVSummary* sender);

private slots:
    void lvDblClick();

private:
    TSummaryModel* rows_;
};
