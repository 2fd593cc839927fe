#pragma once
// The "File priority" page of the profile editor: the order of the criteria
// that decide which copy of a song remains, and the order of the audio
// extensions (checked ones count, preferred first). The user may add an
// extension no reader knows; its files then take part by name only.
#include <QAbstractListModel>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/profile/up_frprofile.h"

class QLabel;
class QListView;
class QPushButton;
class QToolButton;
class QTreeView;
class TMusicHandler;

// An entry of an ordered list of choices.
struct TChoice {
    QString caption;
    bool checked = false;
    bool operator==(const TChoice&) const = default;
};

// The criteria of a priority list, letter by letter: B Bitrate, D Duration,
// E Extension, S Size; other letters are skipped.
std::vector<TChoice> CriteriaChoices(const std::string& priorityList);
// The first letters of the captions, in order.
std::string CriteriaLetters(const std::vector<TChoice>& criteria);

// The profile's extensions checked, in its order (empty entries between two
// ";" stay), then every extension of the handler that is not among them
// unchecked, in the handler's order.
std::vector<TChoice> ExtensionChoices(const std::string& extPri, const TMusicHandler& handler);
// The checked extensions, each followed by ";".
std::string ExtPriText(const std::vector<TChoice>& extensions);
// What the user typed for a custom extension: only its letters and digits,
// upper-cased.
QString CustomExtension(const QString& typed);
// Whether a choice has that caption, letters compared without regard to case.
bool HasChoice(const std::vector<TChoice>& choices, const QString& caption);
// Swaps the entry with its neighbour above (up) or below; returns where it
// is now, the index unchanged when it cannot move.
int MoveChoice(std::vector<TChoice>& choices, int index, bool up);

// A list model over choices, with check boxes when checkable; one column
// whose header is the given caption.
class TChoiceListModel : public QAbstractListModel {
public:
    TChoiceListModel(bool checkable, QString header, QObject* parent = nullptr);

    void SetChoices(std::vector<TChoice> choices);
    const std::vector<TChoice>& Choices() const { return choices_; }
    // As MoveChoice; the two rows report a change of their data.
    int Move(int row, bool up);
    void Append(const TChoice& choice);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool checkable_;
    QString header_;
    std::vector<TChoice> choices_;
};

// Two arrow buttons beside a list: each click asks to move its selected entry.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);
    QToolButton* btnUp;
    QToolButton* btnDown;

signals:
    void changingEx(bool up);
};

class TfrcProCVFilePri : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrcProCVFilePri(QWidget* parent = nullptr);

    void LoadFromProfile() override;
    void SaveToProfile() override;

    QLabel* Label6;
    QListView* lbPriority;
    TUpDown* udPriority;
    QLabel* Label1;
    QTreeView* lvExt;
    TUpDown* udExt;
    QPushButton* Button1;
    QLabel* Label2;

private slots:
    void udPriorityChangingEx(bool up);
    void udExtChangingEx(bool up);
    void Button1Click();
    void lvExtChange();

private:
    TChoiceListModel* criteria_;
    TChoiceListModel* extensions_;
};
