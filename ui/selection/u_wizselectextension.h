#pragma once
// The selection wizard's "Extension" page: entries with one of the checked
// extensions, or with an extension other than, or the same as, their
// reference's.
#include "ui/profile/up_frprofile.h"

class QButtonGroup;
class QGroupBox;
class QTreeWidget;

class TfrWizSelectExtension : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizSelectExtension(QWidget* parent = nullptr);

    void SaveToProfile() override;

    QGroupBox* rgComp;
    QButtonGroup* rgCompButtons;
    // One unchecked row per extension of the music handler, in its order.
    QTreeWidget* lvExt;

private slots:
    // The list counts only while extensions are what is asked.
    void rgCompClick();
};
