#include "ui/profile/uc_frProCVSummary.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

#include "engine/u_cvprofile.h"

namespace {

QString Decimal(std::int32_t value)
{
    return QString::number(value);
}

QString CompTypeText(TBWCompType type)
{
    switch (type) {
    case ctFileNameFields: return QStringLiteral("Filename - With fields");
    case ctFileName: return QStringLiteral("Filename - One field");
    case ctTagsWithAlbum: return QStringLiteral("ID3 Tag: Artist + Title + Album");
    case ctContent: return QStringLiteral("File content comparison");
    case ctTags: return QStringLiteral("ID3 Tag: Artist + Title");
    }
    return {};
}

QString ResultTypeText(TBWResultType type)
{
    switch (type) {
    case rsDuplicates: return QStringLiteral("Normal");
    case rsNegative: return QStringLiteral("Negative");
    case rsBanlist: return QStringLiteral("Excluded");
    }
    return {};
}

QString DirectoriesText(const std::vector<std::string>& dirs)
{
    QString text;
    for (const std::string& dir : dirs)
        text += QString::fromStdString(dir) + ';';
    return text;
}

}  // namespace

std::vector<std::pair<QString, QString>> SummaryRows(const TBWCVProfile& profile)
{
    return {
        {QStringLiteral("Directories"), DirectoriesText(profile.DirPath)},
        {QStringLiteral("Comparison type"), CompTypeText(profile.CompType)},
        {QStringLiteral("Minimum matching %"), Decimal(profile.MinPerc)},
        {QStringLiteral("Similar words threshold"), Decimal(profile.SimWord)},
        {QStringLiteral("Minimum word count"), Decimal(profile.MinWordCount)},
        {QStringLiteral("Minimum word length"), Decimal(profile.MinWordLength)},
        {QStringLiteral("Excluded patterns"), QString::fromStdString(profile.ExclusionText())},
        {QStringLiteral("Priority criteria"), QString::fromStdString(profile.PriorityList())},
        {QStringLiteral("Extension priority"), QString::fromStdString(profile.ExtPri)},
        {QStringLiteral("Result type"), ResultTypeText(profile.ResultType)},
    };
}

// The rows as a read-only table.
class TSummaryModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(std::vector<std::pair<QString, QString>> rows)
    {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const auto& [parameter, value] = rows_[static_cast<std::size_t>(index.row())];
        return index.column() == 0 ? parameter : value;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? QStringLiteral("Parameter") : QStringLiteral("Value");
    }

private:
    std::vector<std::pair<QString, QString>> rows_;
};

TfrcPCVSummary::TfrcPCVSummary(QWidget* parent)
    : TfrpProfile(parent), Label1(new QLabel(QStringLiteral("Profile summary"), this)), lv(new QTreeView(this)),
      rows_(new TSummaryModel(this))
{
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    lv->setObjectName("lv");
    lv->setModel(rows_);
    lv->setRootIsDecorated(false);
    lv->setItemsExpandable(false);
    lv->setUniformRowHeights(true);
    lv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv->setSelectionMode(QAbstractItemView::SingleSelection);
    lv->header()->setStretchLastSection(true);
    lv->header()->resizeSection(0, 150);
    connect(lv, &QTreeView::doubleClicked, this, &TfrcPCVSummary::lvDblClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label1);
    layout->addWidget(lv);
}

void TfrcPCVSummary::LoadFromProfile()
{
    rows_->SetRows(SummaryRows(Profile()));
}

int TfrcPCVSummary::WholeHeight() const
{
    const int rows = rows_->rowCount();
    return Label1->sizeHint().height() + layout()->spacing() + lv->header()->sizeHint().height() +
           (rows > 0 ? rows * lv->sizeHintForRow(0) : 0) + 2 * lv->frameWidth();
}

int TfrcPCVSummary::SelectedRow() const
{
    const QModelIndexList rows = lv->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TfrcPCVSummary::lvDblClick()
{
    emit summaryDblClick(this);
}
