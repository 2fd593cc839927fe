#pragma once
// The "Parameters" page of the profile editor: the kind of comparison and its
// thresholds. The radio items stand in another order than the comparison
// types they choose, and the thresholds that mean nothing for a comparison
// are disabled.
#include <optional>

#include "engine/u_cvprofile.h"
#include "ui/profile/up_frprofile.h"

class QCheckBox;
class QLabel;
class QSpinBox;
class TRadioGroup;

// The radio item of a comparison type; -1 for a value that is no type.
int CompTypeItem(int compType);
// The comparison type of a radio item; none for an index that names no item.
std::optional<TBWCompType> ItemCompType(int item);

// Which controls a chosen item (-1: none) leaves enabled: the relevance and
// similar-word thresholds mean nothing for file content, the free field
// order only for dash-separated fields.
struct TCompParamStates {
    bool minPerc;
    bool similar;
    bool noFieldOrder;
    bool operator==(const TCompParamStates&) const = default;
};
TCompParamStates CompParamStates(int item);

class TfrcProCVCompParam : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrcProCVCompParam(QWidget* parent = nullptr);

    void LoadFromProfile() override;
    void SaveToProfile() override;

    QLabel* Label5;
    QSpinBox* seMinPerc;
    QLabel* Label1;
    QSpinBox* seSimilar;
    QLabel* Label2;
    TRadioGroup* rgCompType;
    QCheckBox* cbNoFieldOrder;

private slots:
    void rgCompTypeClick();
};
