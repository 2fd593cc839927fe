#include "ui/profile/up_frprofile.h"

#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include "engine/u_cvprofile.h"

namespace {

constexpr const char* OwnHandlerProperty = "corvellaOwnChangeHandler";

bool KeptForOwnHandler(const QObject* control)
{
    return control->property(OwnHandlerProperty).toBool();
}

// The line edit inside a spin box or a combo box is part of that control,
// which reports its own change.
bool IsPartOfAnotherControl(const QLineEdit* edit)
{
    const QWidget* parent = edit->parentWidget();
    return qobject_cast<const QAbstractSpinBox*>(parent) || qobject_cast<const QComboBox*>(parent);
}

}  // namespace

TfrpProfile::TfrpProfile(QWidget* parent) : QFrame(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    resize(443, 270);
}

TBWCVProfile& TfrpProfile::Profile()
{
    return CurrentProfile();
}

void TfrpProfile::KeepOwnHandler(QObject* control)
{
    control->setProperty(OwnHandlerProperty, true);
}

void TfrpProfile::Refresh()
{
    if (!hooked_) {
        HookChangeSignals();
        hooked_ = true;
    }
    notifyEnabled_ = false;
    LoadFromProfile();
    notifyEnabled_ = true;
}

void TfrpProfile::Changed()
{
    if (notifyEnabled_)
        emit pageChanged(this);
}

void TfrpProfile::ControlChanged()
{
    Changed();
}

void TfrpProfile::HookChangeSignals()
{
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        if (!KeptForOwnHandler(edit) && !IsPartOfAnotherControl(edit))
            connect(edit, &QLineEdit::textChanged, this, &TfrpProfile::ControlChanged);
    for (QSpinBox* spin : findChildren<QSpinBox*>())
        if (!KeptForOwnHandler(spin))
            connect(spin, &QSpinBox::valueChanged, this, &TfrpProfile::ControlChanged);
    for (QButtonGroup* group : findChildren<QButtonGroup*>())
        if (!KeptForOwnHandler(group))
            connect(group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
                if (checked)
                    Changed();
            });
    for (QCheckBox* box : findChildren<QCheckBox*>())
        if (!KeptForOwnHandler(box))
            connect(box, &QCheckBox::toggled, this, &TfrpProfile::ControlChanged);
    for (QComboBox* combo : findChildren<QComboBox*>())
        if (!KeptForOwnHandler(combo))
            connect(combo, &QComboBox::currentIndexChanged, this, &TfrpProfile::ControlChanged);
}
