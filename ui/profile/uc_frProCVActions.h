#pragma once
// The "Result type" page of the profile editor: whether a scan gives groups
// of duplicates, the files not yet in the collection, or a banlist.
#include "ui/profile/up_frprofile.h"

class QLabel;
class TRadioGroup;

class TfrcProCVActions : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrcProCVActions(QWidget* parent = nullptr);

    // A stored value that is no result type leaves the choice as it is; no
    // choice leaves the stored value as it is.
    void LoadFromProfile() override;
    void SaveToProfile() override;

    TRadioGroup* rgTarget;
    QLabel* Label2;
    QLabel* Label1;
};
