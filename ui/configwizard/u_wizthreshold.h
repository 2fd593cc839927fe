#pragma once
// The configuration wizard's sensitivity page: seven presets from the
// safest, slow content comparison to the loosest one-field name match.
// Each preset writes only its own values, so what an earlier choice wrote
// and this one leaves alone stays in the profile.
#include <cstdint>
#include <optional>

#include "engine/u_cvprofile.h"
#include "ui/profile/up_frprofile.h"

class QLabel;
class TRadioGroup;

struct TSensitivityPreset {
    const char* text;
    std::int32_t minPerc;
    TBWCompType compType;
    std::optional<std::int32_t> minWordCount;
    std::optional<std::int32_t> simWord;
    std::optional<bool> noFieldOrder;
};

inline constexpr int kSensitivityPresetCount = 7;
inline constexpr int kDefaultSensitivityPreset = 2;

// The preset of an item; an item out of range (none chosen) is the first.
const TSensitivityPreset& SensitivityPreset(int item);
void ApplySensitivityPreset(const TSensitivityPreset& preset, TBWCVProfile& profile);

class TfrWizThreshold : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizThreshold(QWidget* parent = nullptr);

    void SaveToProfile() override;

    QLabel* Label1;
    TRadioGroup* rgThreshold;
};
