#pragma once
// The column widths of a report-style list: the results list, the main
// window's profile list and the Mp3 List editor's file table. Every column is
// wide enough for its caption (with room for the sort mark) and its values;
// one column takes the room left, follows the window's width and elides its
// text in the middle, so a folder's start and the file's own folder both stay
// readable; a cell that cuts its text shows it whole in a tooltip.
#include <QObject>

#include <vector>

class QAbstractItemView;
class QHeaderView;
class QWidget;

class TReportColumns : public QObject {
public:
    // The sizing lives as long as the view (it is the view's child).
    // fillColumn: the column that takes the room left, -1 for none.
    // sortMarks: the header shows a sort mark on the sorted column, so every
    // caption keeps room for one.
    TReportColumns(QAbstractItemView& view, QHeaderView& header, int fillColumn, bool sortMarks);

    void SetFillColumn(int column);
    // Measures the values and widens every column that is narrower than it
    // needs (wider ones keep what the user gave them); the fill column gets
    // the rest. Runs by itself after the model was reset; call it after
    // setting widths.
    void Fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A column needs its caption and its values, up to a limit that keeps a
    // long tag from pushing the other columns out of sight.
    void Widen();
    void Fill();
    int CaptionWidth(int column) const;
    int ValueLimit() const;

    QAbstractItemView& view_;
    QWidget* viewport_;
    QHeaderView& header_;
    int fillColumn_;
    bool sortMarks_;
    bool fitting_ = false;
    std::vector<int> valueWidths_;  // by column, as last measured
};
