#pragma once
// The main window's list of stored profiles as a table model: a row per
// profile (name, comment, last run, time taken) and the order a click on a
// column header gives. The main window shows it in lvProfiles.
#include <QAbstractTableModel>

#include <string>
#include <vector>

// A time taken as "hh:nn:ss"; hours go past 24 rather than wrapping.
QString TimeTakenText(double days);
// The day of a run in the locale's short date format; "Never" for 0.
QString LastRunText(double lastRun);

struct TProfileRow {
    std::string name;
    std::string comment;
    double lastRun = 0;   // day count, 0 when never run
    double lastTime = 0;  // days
};

// The rows of lvProfiles and its sort state. Tag holds the sorted column in
// its low 16 bits, plus 0x10000 when the order is descending.
class TProfileListModel : public QAbstractTableModel {
public:
    enum Column { colName, colComment, colLastRun, colTimeTaken, colCount };
    static constexpr int kDescending = 0x10000;

    using QAbstractTableModel::QAbstractTableModel;

    // In the order given; a refill does not sort again.
    void SetRows(std::vector<TProfileRow> rows);
    const TProfileRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int Tag() const { return tag_; }
    // A click on the column sorted ascending sorts it descending; any other
    // click sorts that column ascending.
    void ColumnClick(int column);
    // <0, 0 or >0 by the sort state: text columns without regard to case;
    // "Last Run" earlier first with the profiles never run last. Descending
    // is the exact reverse.
    int Compare(const TProfileRow& a, const TProfileRow& b) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<TProfileRow> rows_;
    int tag_ = 0;
};
