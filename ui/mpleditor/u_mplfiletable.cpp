#include "ui/mpleditor/u_mplfiletable.h"

#include <array>

#include "model/u_bwfsmp3.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_visibletext.h"

namespace {

constexpr std::array<const char*, TMplFileTableModel::colCount> kHeaders = {"Filename", "Path", "Size (MB)",
                                                                             "Duration", "B/R"};

// Minutes and seconds, each at least two digits: 03:07, 125:00.
QString DurationText(std::int32_t seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QLatin1Char('0')).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

TMplFileTableModel::TMplFileTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TMplFileTableModel::SetDirectory(TBWDirectory* dir)
{
    beginResetModel();
    files_.clear();
    if (dir) {
        TBWFileList* list = dir->Files();
        for (TBWFile* file = list->FirstFile(); file; file = list->NextFile())
            if (auto* audio = dynamic_cast<TBWMp3File*>(file))
                files_.push_back(audio);
    }
    endResetModel();
}

int TMplFileTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(files_.size());
}

int TMplFileTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : colCount;
}

QString TMplFileTableModel::CellText(TBWMp3File& file, int column) const
{
    switch (column) {
    case colFilename:
        return VisibleText(file.Name());
    case colPath:
        return VisibleText(file.DirPath());
    case colSize:
        return QString::number(static_cast<double>(file.Size()) / 1024.0, 'f', 2);
    case colDuration:
        return DurationText(file.Duration());
    case colBitrate:
        return QString::number(file.Bitrate());
    default:
        return {};
    }
}

QVariant TMplFileTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    TBWMp3File& file = *files_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return CellText(file, index.column());
    if (role == Qt::DecorationRole && index.column() == colFilename && dmCentral)
        return dmCentral->IL.Icon(siAudioFile);
    if (role == Qt::TextAlignmentRole && index.column() >= colSize)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TMplFileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= colCount)
        return {};
    return QString::fromLatin1(kHeaders[static_cast<std::size_t>(section)]);
}
