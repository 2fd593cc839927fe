#pragma once
// The "Funny Animations" page of the profile editor: which animation the
// progress window plays during a scan's jobs without an item count. Each of
// the seven choices plays beside its button, drawn as the progress window
// draws it.
#include <QPixmap>
#include <array>

#include "ui/progress/u_animframes.h"
#include "ui/profile/up_frprofile.h"

class QLabel;
class QRadioButton;
class QTimer;

class TfrcProCVAnims : public TfrpProfile {
    Q_OBJECT
public:
    static constexpr int kPreviewWidth = 300;
    static constexpr int kPreviewHeight = 20;

    explicit TfrcProCVAnims(QWidget* parent = nullptr);

    // A stored number that is no animation checks no button.
    void LoadFromProfile() override;
    // No button checked stores the first animation.
    void SaveToProfile() override;

    int StepCounter() const { return stepCounter_; }

    QLabel* Label1;
    QTimer* Timer1;
    std::array<QRadioButton*, kAnimTypeCount> buttons;
    std::array<QLabel*, kAnimTypeCount> images;

public slots:
    // Every half second: each preview shows its next step.
    void Timer1Timer();

private:
    TImageList animIL_{kAnimFrameSide};
    std::array<QPixmap, kAnimTypeCount> canvases_;
    int stepCounter_ = 0;
};
