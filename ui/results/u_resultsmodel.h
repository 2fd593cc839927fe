#pragma once
// The rows of the results window: what each cell of a result entry shows,
// which sort-key set a column header sorts by, the rows of the details
// pane, and the list model over a snapshot of the result list. The results
// window shows it; tests drive it without a window.
#include <QAbstractTableModel>
#include <QPixmap>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class TBWDupeFile;
class TBWDupeFileList;
class TBWFile;

// Tags of the optional columns, in their fixed order; the "Filename" column has tag -1.
enum TResultColumnTag {
    rcFileName = -1,
    rcPath = 0,
    rcSize,
    rcDuration,
    rcBitrate,
    rcArtist,
    rcTitle,
    rcAlbum,
    rcGenre,
    rcComments,
    rcRelevance,
    rcWords,
    rcOptionalCount
};

// Header captions, by tag.
QString ColumnCaption(int tag);
// The "Columns" menu's captions, by tag.
QString ColumnMenuCaption(int tag);
// The sort-key set of the result list a click on the column's header
// chooses; none for the columns that do not sort ("%" and "Words").
std::optional<std::int32_t> SortKeySetOfColumn(int tag);

// The list's order: its sort-key set and direction.
struct TListOrder {
    std::int32_t keySet;
    bool descending;
    bool operator==(const TListOrder&) const = default;
};
// The order a click on the header of the column of tag gives a list in
// order shown: by the column's set, ascending, or the other way round when
// the list is sorted by that set already; none for a column that does not
// sort.
std::optional<TListOrder> OrderAfterHeaderClick(int tag, const TListOrder& shown);

// The text of one cell; a tag outside the optional columns gives the file name.
QString CellText(TBWFile& file, const TBWFile* reference, int tag, std::int32_t tolerance);

// The status line: checked entries of those that can be checked, and their sizes.
QString StatusText(std::int32_t checked, std::int32_t checkable, std::int64_t checkedKB, std::int64_t totalKB);

// The twelve rows of the details pane.
QStringList DetailNames();
// The values of one file's column of the details pane; without a file every row reads "N/A".
// The relevance row compares with reference, "N/A" without one.
QStringList DetailValues(TBWFile* file, const TBWFile* reference, std::int32_t tolerance);

// A flat table over a snapshot of the entries in list order, so a row is a
// vector index however long the list: rebuilt (Rebuild) after anything that
// reorders or removes entries, repainted (Repaint) after check marks change.
class TResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TResultsModel(QObject* parent = nullptr);

    // None shows nothing. The list is not owned.
    void SetResults(TBWDupeFileList* results);
    TBWDupeFileList* Results() const { return results_; }
    // The optional columns shown, by tag, after "Filename".
    void SetColumns(const std::vector<int>& tags);
    int ColumnTag(int column) const;
    // The header that shows the sort mark, and its direction.
    void SetSortMark(int tag, bool descending);
    std::optional<int> SortMarkTag() const { return sortTag_; }

    void Rebuild();
    void Repaint();
    TBWDupeFile* EntryAt(int row) const;
    int RowOf(const TBWDupeFile* entry) const;
    int RowCount() const { return static_cast<int>(rows_.size()); }

    // The check-mark image a row shows: reference, unchecked or checked.
    int StateImage(int row) const;
    // Where the check mark lies within the first column's picture.
    static QRect StateImageArea(const TBWDupeFile& entry);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // The first column's picture: an indent for duplicates, the check mark and the role image.
    QPixmap RowPicture(const TBWDupeFile& entry, int stateImage) const;

    TBWDupeFileList* results_ = nullptr;
    std::vector<TBWDupeFile*> rows_;
    std::vector<int> columns_{rcFileName};
    std::optional<int> sortTag_;
    bool sortDescending_ = false;
    // Few combinations of indent, check mark and role exist: each is drawn once.
    mutable std::array<QPixmap, 2 * 3 * 7> pictures_;
};
