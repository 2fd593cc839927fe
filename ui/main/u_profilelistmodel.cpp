#include "ui/main/u_profilelistmodel.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cmath>

#include "base/u_bwdatetime.h"
#include "ui/common/u_pictures.h"

namespace {

int CompareTexts(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
}

// Profiles that ran come first, the earlier day first; never-run profiles,
// and runs of the same day, tie.
int CompareLastRuns(double a, double b)
{
    const double dayA = std::floor(a);
    const double dayB = std::floor(b);
    if (dayA == dayB)
        return 0;
    if (dayA == 0)
        return 1;
    if (dayB == 0)
        return -1;
    return dayA < dayB ? -1 : 1;
}

}  // namespace

QString TimeTakenText(double days)
{
    const std::int64_t seconds = std::max<std::int64_t>(WholeSeconds(days), 0);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QChar('0'))
        .arg(seconds / 60 % 60, 2, 10, QChar('0'))
        .arg(seconds % 60, 2, 10, QChar('0'));
}

QString LastRunText(double lastRun)
{
    if (lastRun == 0)
        return QStringLiteral("Never");
    const QDate day = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(lastRun)));
    return QLocale().toString(day, QLocale::ShortFormat);
}

void TProfileListModel::SetRows(std::vector<TProfileRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void TProfileListModel::ColumnClick(int column)
{
    tag_ = column == tag_ ? column + kDescending : column;
    beginResetModel();
    std::stable_sort(rows_.begin(), rows_.end(),
                     [this](const TProfileRow& a, const TProfileRow& b) { return Compare(a, b) < 0; });
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, colCount - 1);
}

int TProfileListModel::Compare(const TProfileRow& a, const TProfileRow& b) const
{
    int result = 0;
    switch (tag_ & 0xFFFF) {
    case colComment: result = CompareTexts(a.comment, b.comment); break;
    case colLastRun: result = CompareLastRuns(a.lastRun, b.lastRun); break;
    case colTimeTaken: result = TimeTakenText(a.lastTime).compare(TimeTakenText(b.lastTime), Qt::CaseInsensitive); break;
    default: result = CompareTexts(a.name, b.name); break;
    }
    return tag_ >= kDescending ? -result : result;
}

int TProfileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TProfileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : colCount;
}

QVariant TProfileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TProfileRow& row = Row(index.row());
    if (role == Qt::DecorationRole && index.column() == colName)
        return dmCentral->IL.Icon(siProfile);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case colName: return QString::fromStdString(row.name);
    case colComment: return QString::fromStdString(row.comment);
    case colLastRun: return LastRunText(row.lastRun);
    case colTimeTaken: return TimeTakenText(row.lastTime);
    default: return {};
    }
}

QVariant TProfileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DecorationRole && section == (tag_ & 0xFFFF))
        return dmCentral->IL.Icon(tag_ >= kDescending ? siDescending : siAscending);
    if (role != Qt::DisplayRole)
        return {};
    static const char* const captions[colCount] = {"Profile Name", "Comment", "Last Run", "Time Taken"};
    return section >= 0 && section < colCount ? QString(captions[section]) : QVariant();
}
