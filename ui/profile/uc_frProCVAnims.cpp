#include "ui/profile/uc_frProCVAnims.h"

#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include "engine/u_cvprofile.h"

namespace {

constexpr int kFirstRowTop = 48;
constexpr int kRowHeight = 24;

}  // namespace

TfrcProCVAnims::TfrcProCVAnims(QWidget* parent)
    : TfrpProfile(parent),
      Label1(new QLabel(tr("Choose an animation for non-progressive tasks:"), this)),
      Timer1(new QTimer(this))
{
    Label1->setObjectName("Label1");
    Label1->move(32, 16);
    Label1->adjustSize();
    FillAnimImages(animIL_);
    for (int animType = 0; animType < kAnimTypeCount; ++animType) {
        const int top = kFirstRowTop + kRowHeight * animType;
        QRadioButton* button = buttons[static_cast<std::size_t>(animType)] = new QRadioButton(this);
        button->setObjectName(QStringLiteral("rbAnim%1").arg(animType));
        button->setGeometry(32, top, 16, kPreviewHeight);
        connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                Changed();
        });
        QLabel* image = images[static_cast<std::size_t>(animType)] = new QLabel(this);
        image->setObjectName(QStringLiteral("imAnim%1").arg(animType));
        image->setGeometry(64, top, kPreviewWidth, kPreviewHeight);
        canvases_[static_cast<std::size_t>(animType)] = QPixmap(kPreviewWidth, kPreviewHeight);
        canvases_[static_cast<std::size_t>(animType)].fill(Qt::transparent);
    }
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TfrcProCVAnims::Timer1Timer);
    Timer1Timer();
    Timer1->start();
    SetHelpTopic("animations.htm");
}

void TfrcProCVAnims::Timer1Timer()
{
    for (int animType = 0; animType < kAnimTypeCount; ++animType) {
        const TAnimPlacement placement = PlaceAnimStep(stepCounter_, AnimFrameCount(animType), kPreviewWidth);
        const QPixmap frame = animIL_.Pixmap(AnimFirstImage(animType) + placement.frame);
        QPixmap& canvas = canvases_[static_cast<std::size_t>(animType)];
        PaintAnimStep(canvas, frame, placement);
        images[static_cast<std::size_t>(animType)]->setPixmap(canvas);
    }
    ++stepCounter_;
}

void TfrcProCVAnims::LoadFromProfile()
{
    const int animNo = Profile().AnimNo;
    if (animNo >= 0 && animNo < kAnimTypeCount)
        buttons[static_cast<std::size_t>(animNo)]->setChecked(true);
}

void TfrcProCVAnims::SaveToProfile()
{
    Profile().AnimNo = 0;
    for (int animType = 0; animType < kAnimTypeCount; ++animType)
        if (buttons[static_cast<std::size_t>(animType)]->isChecked())
            Profile().AnimNo = animType;
}
