#include "ui/results/u_resultsmodel.h"

#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsmp3.h"
#include "ui/common/u_relevance.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_visibletext.h"

#include <QPainter>

namespace {

struct TColumnInfo {
    const char* caption;
    const char* menuCaption;
    std::optional<std::int32_t> sortKeySet;
};

// By tag.
const TColumnInfo kColumns[rcOptionalCount] = {
    {"Path", "&Path", TBWDupeFileList::kPathSet},
    {"Size (MB)", "&Size", TBWDupeFileList::kSizeSet},
    {"Duration", "&Duration", TBWDupeFileList::kDurationSet},
    {"B/R", "&Bitrate", TBWDupeFileList::kBitrateSet},
    {"Artist", "Art&ist", TBWDupeFileList::kArtistSet},
    {"Title", "&Title", TBWDupeFileList::kTitleSet},
    {"Album", "&Album", TBWDupeFileList::kAlbumSet},
    {"Genre", "&Genre", TBWDupeFileList::kGenreSet},
    {"Comments", "&Comments", TBWDupeFileList::kCommentSet},
    {"%", "&Relevance", std::nullopt},
    {"Words", "Compared &words", std::nullopt},
};
const char* const kFileNameCaption = "Filename";
const char* const kNotAvailable = "N/A";

bool IsOptional(int tag)
{
    return tag >= 0 && tag < rcOptionalCount;
}

QString Shown(const std::string& text)
{
    return VisibleText(text);
}

QString SizeInMB(TBWFile& file)
{
    return QString::number(static_cast<double>(file.Size()) / 1024.0, 'f', 2);
}

QString Duration(const TBWFile& file)
{
    const std::int64_t seconds = file.KeyInt(fkDuration);
    return QString::asprintf("%2.2d:%2.2d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
}

QString RelevanceText(const TBWFile& file, const TBWFile& reference, std::int32_t tolerance)
{
    return QString::asprintf("%d %%", ShownRelevancePercent(Relevance(file, reference, tolerance)));
}

constexpr int kImageSide = 16;

} // namespace

QString ColumnCaption(int tag)
{
    return IsOptional(tag) ? kColumns[tag].caption : kFileNameCaption;
}

QString ColumnMenuCaption(int tag)
{
    return IsOptional(tag) ? kColumns[tag].menuCaption : kFileNameCaption;
}

std::optional<std::int32_t> SortKeySetOfColumn(int tag)
{
    if (tag == rcFileName)
        return TBWDupeFileList::kNameSet;
    return IsOptional(tag) ? kColumns[tag].sortKeySet : std::nullopt;
}

std::optional<TListOrder> OrderAfterHeaderClick(int tag, const TListOrder& shown)
{
    const std::optional<std::int32_t> keySet = SortKeySetOfColumn(tag);
    if (!keySet)
        return std::nullopt;
    return TListOrder{*keySet, *keySet == shown.keySet && !shown.descending};
}

QString CellText(TBWFile& file, const TBWFile* reference, int tag, std::int32_t tolerance)
{
    switch (tag) {
    case rcPath: return Shown(file.DirPath());
    case rcSize: return SizeInMB(file);
    case rcDuration: return Duration(file);
    case rcBitrate: return QString::number(file.KeyInt(fkBitrate));
    case rcArtist: return Shown(file.KeyText(fkArtist));
    case rcTitle: return Shown(file.KeyText(fkTitle));
    case rcAlbum: return Shown(file.KeyText(fkAlbum));
    case rcGenre: return Shown(file.KeyText(fkGenre));
    case rcComments: return Shown(file.KeyText(fkComment));
    case rcRelevance: return reference ? RelevanceText(file, *reference, tolerance) : QString("--");
    case rcWords: return Shown(file.WordsText());
    default: return Shown(file.Name());
    }
}

namespace {

// Whole megabytes, but one decimal under 10 MB so that half a megabyte does not read as nothing.
QString MegabytesText(std::int64_t kilobytes)
{
    const double megabytes = static_cast<double>(kilobytes) / 1024.0;
    const int decimals = kilobytes > 0 && megabytes < 9.95 ? 1 : 0;
    return QString::number(megabytes, 'f', decimals) + " MB";
}

} // namespace

QString StatusText(std::int32_t checked, std::int32_t checkable, std::int64_t checkedKB, std::int64_t totalKB)
{
    return QString("%1 / %2 %3 selected. %4 / %5 selected.")
        .arg(checked)
        .arg(checkable)
        .arg(checkable == 1 ? "duplicate" : "duplicates", MegabytesText(checkedKB), MegabytesText(totalKB));
}

QStringList DetailNames()
{
    return {"Filename", "Path", "Words used", "Relevance", "Size", "Duration",
            "Bitrate", "Artist", "Title", "Album", "Genre", "Comments"};
}

QStringList DetailValues(TBWFile* file, const TBWFile* reference, std::int32_t tolerance)
{
    if (!file) {
        QStringList none;
        for (int row = 0; row < DetailNames().size(); ++row)
            none << kNotAvailable;
        return none;
    }
    return {Shown(file->Name()),
            Shown(file->DirPath()),
            Shown(file->WordsText()),
            reference ? RelevanceText(*file, *reference, tolerance) : QString(kNotAvailable),
            SizeInMB(*file) + " MB",
            Duration(*file),
            CellText(*file, nullptr, rcBitrate, tolerance),
            CellText(*file, nullptr, rcArtist, tolerance),
            CellText(*file, nullptr, rcTitle, tolerance),
            CellText(*file, nullptr, rcAlbum, tolerance),
            CellText(*file, nullptr, rcGenre, tolerance),
            CellText(*file, nullptr, rcComments, tolerance)};
}

// ------------------------------------------------------------ TResultsModel

TResultsModel::TResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void TResultsModel::SetResults(TBWDupeFileList* results)
{
    results_ = results;
    Rebuild();
}

void TResultsModel::SetColumns(const std::vector<int>& tags)
{
    beginResetModel();
    columns_ = {rcFileName};
    columns_.insert(columns_.end(), tags.begin(), tags.end());
    endResetModel();
}

int TResultsModel::ColumnTag(int column) const
{
    return column >= 0 && column < static_cast<int>(columns_.size()) ? columns_[column] : rcFileName;
}

void TResultsModel::SetSortMark(int tag, bool descending)
{
    sortTag_ = tag;
    sortDescending_ = descending;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void TResultsModel::Rebuild()
{
    beginResetModel();
    rows_.clear();
    if (results_) {
        rows_.reserve(static_cast<std::size_t>(results_->Count()));
        for (TBWComparable* item = results_->First(); !results_->Eof(); item = results_->Next())
            rows_.push_back(static_cast<TBWDupeFile*>(item));
    }
    endResetModel();
}

void TResultsModel::Repaint()
{
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(RowCount() - 1, columnCount() - 1));
}

TBWDupeFile* TResultsModel::EntryAt(int row) const
{
    return row >= 0 && row < RowCount() ? rows_[static_cast<std::size_t>(row)] : nullptr;
}

int TResultsModel::RowOf(const TBWDupeFile* entry) const
{
    for (int row = 0; row < RowCount(); ++row)
        if (rows_[static_cast<std::size_t>(row)] == entry)
            return row;
    return -1;
}

int TResultsModel::StateImage(int row) const
{
    TBWDupeFile* entry = EntryAt(row);
    if (!entry || entry->State() == dsReference)
        return ciReference;
    return results_->IsSelected(entry) ? ciChecked : ciUnchecked;
}

int TResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int TResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TResultsModel::data(const QModelIndex& index, int role) const
{
    TBWDupeFile* entry = index.isValid() ? EntryAt(index.row()) : nullptr;
    if (!entry || !entry->File())
        return {};
    if (role == Qt::DisplayRole) {
        const TBWFile* reference = entry->Reference() ? entry->Reference()->File() : nullptr;
        return CellText(*entry->File(), reference, ColumnTag(index.column()), results_->Profile().SimWord);
    }
    if (role == Qt::DecorationRole && index.column() == 0)
        return RowPicture(*entry, StateImage(index.row()));
    return {};
}

QVariant TResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return ColumnCaption(ColumnTag(section));
    if (role == Qt::DecorationRole && sortTag_ == ColumnTag(section))
        return dmCentral->PriIL.Pixmap(sortDescending_ ? riDescending : riAscending);
    return {};
}

QPixmap TResultsModel::RowPicture(const TBWDupeFile& entry, int stateImage) const
{
    const bool indented = entry.State() == dsDuplicate;
    // Roles 0 to 5 have images; any other role shows none.
    const int role = entry.DirType() >= 0 && entry.DirType() <= riReference ? entry.DirType() : 6;
    QPixmap& picture = pictures_[static_cast<std::size_t>((indented * 3 + stateImage) * 7 + role)];
    if (picture.isNull()) {
        const int indent = indented ? kImageSide : 0;
        picture = QPixmap(indent + 2 * kImageSide, kImageSide);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.drawPixmap(indent, 0, dmCentral->testIL.Pixmap(stateImage));
        if (role <= riReference)
            painter.drawPixmap(indent + kImageSide, 0, dmCentral->PriIL.Pixmap(role));
    }
    return picture;
}

QRect TResultsModel::StateImageArea(const TBWDupeFile& entry)
{
    return QRect(entry.State() == dsDuplicate ? kImageSide : 0, 0, kImageSide, kImageSide);
}
