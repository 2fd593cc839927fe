#pragma once
// The profile editor of the comparison profile: its sections, from the name
// through the directories, exclusions and comparison to the result type and
// the animation. The main window loads the profile to edit into the current
// comparison profile, shows this window (at a page, after a double-click on
// the summary) and frees it; OK and Apply write the profile's file.
#include "engine/u_cvprofile.h"
#include "ui/profile/up_profile.h"

class TfcProfileCV : public TfpProfile {
    Q_OBJECT
public:
    // Opens at the size the general settings keep.
    explicit TfcProfileCV(QWidget* parent = nullptr);
    // Leaves its size in the general settings.
    ~TfcProfileCV() override;

protected:
    bool SaveCurrentProfile() override;
    void RestoreProfile() override;
    QString HelpPrefix() const override;

private:
    void RememberProfile();

    // The current profile as it was when the window opened or was last saved.
    TBWCVProfile saved_;
    std::string savedName_;
};
