#pragma once
// The base of the selection wizard's range pages (priority, size,
// duration, bitrate, relevance): the message naming the action and the
// choice between absolute bounds and bounds relative to the reference.
// The pages with number bounds get their two spin edits from here too.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <limits>

#include "ui/profile/up_frprofile.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QSpinBox;

// The two bounds a page opens with in one mode.
struct TRangeDefaults {
    int min;
    int max;
};

// How a page shows its bounds, in the units of the results list's columns.
// The bounds keep the criteria's units: sizes in KB, durations in seconds.
enum TBoundUnit { buMegabytes, buMinutesSeconds, buKbitPerSecond, buPercent };

// A size in KB as the list shows it: megabytes with two decimals ("4.88").
QString MegabytesText(std::int32_t kilobytes);
// Seconds as the list shows a duration, minutes and seconds ("03:25"); a
// negative offset with a minus ("-00:03").
QString MinutesSecondsText(std::int32_t seconds);

// Where a page with number bounds saves them; no relative flag for a page
// that is always relative to the reference.
struct TRangeFields {
    bool* relative;
    std::int32_t* min;
    std::int32_t* max;
};

class TfrpWizSelectComparison : public TfrpProfile {
    Q_OBJECT
public:
    // message: the caption of lblMsg, whose "%s" becomes the action's word.
    TfrpWizSelectComparison(const QString& message, const QStringList& modes, QWidget* parent = nullptr);

    // Absolute mode, and the message filled with the action.
    void LoadFromProfile() override;
    // Pages with number bounds: the mode and the two values into their fields.
    void SaveToProfile() override;
    // Pages with number bounds: the order message when the maximum is below
    // the minimum.
    QString Validate() override;
    bool IsRelative() const;

    QLabel* lblMsg;
    QComboBox* cbComp;
    QSpinBox* seMin = nullptr;
    QSpinBox* seMax = nullptr;

protected:
    // Lays the page out with the two bound controls under "Min:" and "Max:",
    // each with the unit beside it when one is given.
    void PlaceBounds(QWidget* minControl, QWidget* maxControl, const QString& unit = {});
    // The modes of the pages with number bounds.
    static QStringList ValueModes();
    // Spin edits for number bounds, opening with the absolute defaults; a
    // change of mode puts that mode's defaults in. Without a range given
    // they take any value: relative bounds go below zero, absolute ones as
    // high as the largest file's or the longest track's.
    void AddSpinEdits(TRangeFields fields, const QString& orderMessage, TBoundUnit unit, TRangeDefaults absolute,
                      TRangeDefaults relative, int lowest = -std::numeric_limits<int>::max(),
                      int highest = std::numeric_limits<int>::max());

private slots:
    void cbCompChange();

private:
    QString messageFormat_;
    TRangeDefaults absolute_{0, 0};
    TRangeDefaults relative_{0, 0};
    TRangeFields fields_{nullptr, nullptr, nullptr};
    QString orderMessage_;
};
