#pragma once
// The "General settings" page of the profile editor: the profile's name and
// comment. The configuration wizard shows the same page to name a new profile.
#include "ui/profile/up_frprofile.h"

class QLabel;
class QLineEdit;
class TBWProfile;

// What the profile will be stored as when that is not the name typed, and
// why; empty when the typed name is kept as it is.
QString StoredNameNote(const TBWProfile& profile, const QString& typed);

class TfrcProCVGeneral : public TfrpProfile {
    Q_OBJECT
public:
    static constexpr int kMostNameCharacters = 64;
    static constexpr int kMostCommentCharacters = 256;

    explicit TfrcProCVGeneral(QWidget* parent = nullptr);

    void LoadFromProfile() override;
    // The name is cleaned and made unique by the profile; the box then shows
    // the name the profile took.
    void SaveToProfile() override;

    QLabel* lblProfileName;
    QLineEdit* edtProfileName;
    QLabel* lblStoredName;
    QLabel* Label2;
    QLineEdit* edtComment;

private:
    void edtProfileNameChange();
};
