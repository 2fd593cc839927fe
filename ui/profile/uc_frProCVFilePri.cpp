#include "ui/profile/uc_frProCVFilePri.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

#include "base/u_bwfunc.h"
#include "engine/u_cvprofile.h"
#include "tags/u_musichandler.h"
#include "ui/common/u_prompts.h"

namespace {

// Each caption begins with the letter that stands for it in the stored list,
// which is how the list is read back from the captions.
struct TCriterion {
    char letter;
    const char* caption;
};
constexpr std::array<TCriterion, 4> kCriteria = {{
    {'B', "Bitrate"},
    {'D', "Duration"},
    {'E', "Extension"},
    {'S', "Size"},
}};

void SelectRow(QAbstractItemView* view, int row)
{
    view->selectionModel()->setCurrentIndex(view->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

}  // namespace

std::vector<TChoice> CriteriaChoices(const std::string& priorityList)
{
    std::vector<TChoice> criteria;
    for (const char letter : priorityList) {
        const auto found = std::find_if(kCriteria.begin(), kCriteria.end(),
                                        [letter](const TCriterion& criterion) { return criterion.letter == letter; });
        if (found != kCriteria.end())
            criteria.push_back({QString::fromLatin1(found->caption)});
    }
    return criteria;
}

std::string CriteriaLetters(const std::vector<TChoice>& criteria)
{
    std::string letters;
    for (const TChoice& criterion : criteria)
        if (!criterion.caption.isEmpty())
            letters += criterion.caption.front().toLatin1();
    return letters;
}

std::vector<TChoice> ExtensionChoices(const std::string& extPri, const TMusicHandler& handler)
{
    std::vector<TChoice> extensions;
    for (const std::string_view extension : CutAtSemicolons(extPri))
        extensions.push_back({QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size())), true});
    for (std::int32_t index = 0; index < handler.Count(); ++index) {
        const QString known = QString::fromStdString(handler.GetExtension(index));
        if (!HasChoice(extensions, known))
            extensions.push_back({known, false});
    }
    return extensions;
}

std::string ExtPriText(const std::vector<TChoice>& extensions)
{
    std::string text;
    for (const TChoice& extension : extensions)
        if (extension.checked)
            text += extension.caption.toStdString() + ";";
    return text;
}

QString CustomExtension(const QString& typed)
{
    QString extension;
    for (const QChar character : typed)
        if (character.isDigit() && character.unicode() < 128)
            extension += character;
        else if (character.isLetter() && character.unicode() < 128)
            extension += character.toUpper();
    return extension;
}

bool HasChoice(const std::vector<TChoice>& choices, const QString& caption)
{
    return std::any_of(choices.begin(), choices.end(), [&caption](const TChoice& choice) {
        return choice.caption.compare(caption, Qt::CaseInsensitive) == 0;
    });
}

int MoveChoice(std::vector<TChoice>& choices, int index, bool up)
{
    const int target = up ? index - 1 : index + 1;
    const int count = static_cast<int>(choices.size());
    if (index < 0 || index >= count || target < 0 || target >= count)
        return index;
    std::swap(choices[static_cast<std::size_t>(index)], choices[static_cast<std::size_t>(target)]);
    return target;
}

TChoiceListModel::TChoiceListModel(bool checkable, QString header, QObject* parent)
    : QAbstractListModel(parent), checkable_(checkable), header_(std::move(header))
{
}

void TChoiceListModel::SetChoices(std::vector<TChoice> choices)
{
    beginResetModel();
    choices_ = std::move(choices);
    endResetModel();
}

int TChoiceListModel::Move(int row, bool up)
{
    const int moved = MoveChoice(choices_, row, up);
    if (moved != row)
        emit dataChanged(index(std::min(row, moved)), index(std::max(row, moved)));
    return moved;
}

void TChoiceListModel::Append(const TChoice& choice)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    choices_.push_back(choice);
    endInsertRows();
}

int TChoiceListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(choices_.size());
}

QVariant TChoiceListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TChoice& choice = choices_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return choice.caption;
    if (role == Qt::CheckStateRole && checkable_)
        return choice.checked ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool TChoiceListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkable_ || role != Qt::CheckStateRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    choices_[static_cast<std::size_t>(index.row())].checked = value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags TChoiceListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return checkable_ ? flags | Qt::ItemIsUserCheckable : flags;
}

QVariant TChoiceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return header_;
    return {};
}

TUpDown::TUpDown(QWidget* parent) : QWidget(parent), btnUp(new QToolButton(this)), btnDown(new QToolButton(this))
{
    btnUp->setObjectName("btnUp");
    btnUp->setArrowType(Qt::UpArrow);
    btnDown->setObjectName("btnDown");
    btnDown->setArrowType(Qt::DownArrow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(btnUp);
    layout->addWidget(btnDown);
    layout->addStretch();
    connect(btnUp, &QToolButton::clicked, this, [this] { emit changingEx(true); });
    connect(btnDown, &QToolButton::clicked, this, [this] { emit changingEx(false); });
}

TfrcProCVFilePri::TfrcProCVFilePri(QWidget* parent)
    : TfrpProfile(parent),
      Label6(new QLabel(tr("File priority criteria:"), this)),
      lbPriority(new QListView(this)),
      udPriority(new TUpDown(this)),
      Label1(new QLabel(tr("File extensions priority:"), this)),
      lvExt(new QTreeView(this)),
      udExt(new TUpDown(this)),
      Button1(new QPushButton(tr("Add Custom E&xtension"), this)),
      Label2(new QLabel(tr("NOTE: Custom extensions have a limited support. Corvella cannot read metadata associated "
                           "with those extensions. Thus, tag based scans will ignore those files. Besides, the result "
                           "window will not display tags, bitrate and duration for these files."),
                        this)),
      criteria_(new TChoiceListModel(false, {}, this)),
      extensions_(new TChoiceListModel(true, tr("Ext"), this))
{
    Label6->setObjectName("Label6");
    lbPriority->setObjectName("lbPriority");
    lbPriority->setModel(criteria_);
    lbPriority->setEditTriggers(QAbstractItemView::NoEditTriggers);
    udPriority->setObjectName("udPriority");
    Label1->setObjectName("Label1");
    lvExt->setObjectName("lvExt");
    lvExt->setModel(extensions_);
    lvExt->setRootIsDecorated(false);
    lvExt->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvExt->setEditTriggers(QAbstractItemView::NoEditTriggers);
    udExt->setObjectName("udExt");
    Button1->setObjectName("Button1");
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label6, 0, 0, 1, 2);
    layout->addWidget(lbPriority, 1, 0);
    layout->addWidget(udPriority, 1, 1);
    layout->addWidget(Label1, 0, 2, 1, 2);
    layout->addWidget(lvExt, 1, 2);
    layout->addWidget(udExt, 1, 3);
    layout->addWidget(Button1, 2, 2, 1, 2);
    layout->addWidget(Label2, 3, 0, 1, 4);
    layout->setRowStretch(1, 1);

    connect(udPriority, &TUpDown::changingEx, this, &TfrcProCVFilePri::udPriorityChangingEx);
    connect(udExt, &TUpDown::changingEx, this, &TfrcProCVFilePri::udExtChangingEx);
    connect(Button1, &QPushButton::clicked, this, &TfrcProCVFilePri::Button1Click);
    // Moves, check marks and added extensions all reach the host as changes.
    connect(criteria_, &QAbstractItemModel::dataChanged, this, &TfrcProCVFilePri::Changed);
    connect(extensions_, &QAbstractItemModel::dataChanged, this, &TfrcProCVFilePri::lvExtChange);
    connect(extensions_, &QAbstractItemModel::rowsInserted, this, &TfrcProCVFilePri::lvExtChange);
    SetHelpTopic("file_priority.htm");
}

void TfrcProCVFilePri::LoadFromProfile()
{
    criteria_->SetChoices(CriteriaChoices(Profile().PriorityList()));
    extensions_->SetChoices(ExtensionChoices(Profile().ExtPri, MusicHandler()));
}

void TfrcProCVFilePri::SaveToProfile()
{
    Profile().SetPriorityList(CriteriaLetters(criteria_->Choices()));
    Profile().ExtPri = ExtPriText(extensions_->Choices());
}

void TfrcProCVFilePri::udPriorityChangingEx(bool up)
{
    const QModelIndex selected = lbPriority->currentIndex();
    if (selected.isValid())
        SelectRow(lbPriority, criteria_->Move(selected.row(), up));
}

void TfrcProCVFilePri::udExtChangingEx(bool up)
{
    const QModelIndex selected = lvExt->currentIndex();
    if (!selected.isValid())
        return;
    SelectRow(lvExt, extensions_->Move(selected.row(), up));
    lvExt->setFocus();
}

void TfrcProCVFilePri::Button1Click()
{
    const std::optional<QString> typed =
        Prompts().AskText(tr("Custom extension"), tr("Type the extension (without dot):"), {});
    const QString extension = CustomExtension(typed.value_or(QString()));
    if (!extension.isEmpty() && !HasChoice(extensions_->Choices(), extension))
        extensions_->Append({extension, true});
}

void TfrcProCVFilePri::lvExtChange()
{
    Changed();
}
