#include "ui/progress/u_animframes.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct AnimType {
    int firstImage;
    int frames;
    void (*draw)(QPainter&, int frame);
};

const QColor kInk(40, 48, 60);

// A music note hopping: down, then up.
void HoppingNote(QPainter& p, int frame)
{
    p.translate(0, frame == 0 ? 1.5 : -1.5);
    p.setBrush(QColor(50, 110, 200));
    p.drawEllipse(QPointF(6, 11.5), 2.6, 2);
    p.setPen(QPen(kInk, 1.3));
    p.drawLine(QPointF(8.4, 11.2), QPointF(8.4, 3));
    p.drawLine(QPointF(8.4, 3), QPointF(12, 5.5));
}

// A little walker, legs apart and then together.
void Walker(QPainter& p, int frame)
{
    p.setBrush(QColor(240, 200, 160));
    p.drawEllipse(QPointF(8, 3.5), 2.2, 2.2);
    p.setPen(QPen(QColor(40, 150, 70), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 6), QPointF(8, 10.5));
    const double stride = frame == 0 ? 3 : 0.8;
    p.drawLine(QPointF(8, 7.5), QPointF(8 + stride, 9));
    p.drawLine(QPointF(8, 7.5), QPointF(8 - stride, 9));
    p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 10.5), QPointF(8 + stride, 14.5));
    p.drawLine(QPointF(8, 10.5), QPointF(8 - stride, 14.5));
}

// A spinning disc: its shine turns a third of a circle each frame.
void SpinningDisc(QPainter& p, int frame)
{
    p.setBrush(QColor(200, 210, 225));
    p.drawEllipse(QPointF(8, 8), 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawPie(QRectF(1, 1, 14, 14), (90 - frame * 120) * 16, 40 * 16);
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(QColor(120, 130, 150));
    p.drawEllipse(QPointF(8, 8), 2, 2);
}

// A clock whose hand goes round in nine steps.
void TurningClock(QPainter& p, int frame)
{
    p.setBrush(QColor(250, 245, 225));
    p.drawEllipse(QPointF(8, 8), 7, 7);
    for (int mark = 0; mark < 4; ++mark) {
        const double angle = mark * std::numbers::pi / 2;
        p.drawPoint(QPointF(8 + 5.5 * std::sin(angle), 8 - 5.5 * std::cos(angle)));
    }
    const double angle = frame * 2 * std::numbers::pi / 9;
    p.setPen(QPen(QColor(200, 50, 45), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8 + 5 * std::sin(angle), 8 - 5 * std::cos(angle)));
}

// A beating heart: big, then small.
void BeatingHeart(QPainter& p, int frame)
{
    const double scale = frame == 0 ? 1.0 : 0.75;
    p.translate(8, 8.5);
    p.scale(scale, scale);
    QPainterPath heart(QPointF(0, 6));
    heart.cubicTo(-9, -1, -4, -9, 0, -3.5);
    heart.cubicTo(4, -9, 9, -1, 0, 6);
    p.setBrush(QColor(210, 50, 70));
    p.drawPath(heart);
}

// A ball dropping, squashing on the ground and rising again.
void BouncingBall(QPainter& p, int frame)
{
    static const double kHeight[] = {4, 7.5, 10.5, 12.5, 10.5, 7.5, 4};
    const bool onGround = frame == 3;
    p.setPen(QPen(kInk, 0.8));
    p.drawLine(QPointF(1, 15.5), QPointF(15, 15.5));
    p.setBrush(QColor(232, 150, 40));
    p.drawEllipse(QPointF(8, kHeight[frame]), onGround ? 4 : 3, onGround ? 2.5 : 3);
}

// A box tumbling over, an eighth of a turn each frame.
void TumblingBox(QPainter& p, int frame)
{
    p.translate(8, 8);
    p.rotate(frame * 22.5);
    p.setBrush(QColor(160, 110, 200));
    p.drawRect(QRectF(-4.5, -4.5, 9, 9));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(-2, -2), 1, 1);
}

constexpr AnimType kTypes[kAnimTypeCount] = {
    {0, 2, HoppingNote}, {2, 2, Walker},       {4, 3, SpinningDisc}, {7, 9, TurningClock},
    {16, 2, BeatingHeart}, {18, 7, BouncingBall}, {26, 4, TumblingBox},
};
static_assert(kTypes[kAnimTypeCount - 1].firstImage + kTypes[kAnimTypeCount - 1].frames == kAnimImageCount);

const AnimType* TypeOf(int animType)
{
    return animType >= 0 && animType < kAnimTypeCount ? &kTypes[animType] : nullptr;
}

} // namespace

int AnimFirstImage(int animType)
{
    const AnimType* type = TypeOf(animType);
    return type ? type->firstImage : -1;
}

int AnimFrameCount(int animType)
{
    const AnimType* type = TypeOf(animType);
    return type ? type->frames : 0;
}

QPixmap AnimFrame(int animType, int frame)
{
    const AnimType* type = TypeOf(animType);
    if (!type || frame < 0 || frame >= type->frames)
        return {};
    QPixmap image(kAnimFrameSide, kAnimFrameSide);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 0.8));
    type->draw(painter, frame);
    return image;
}

void FillAnimImages(TImageList& list)
{
    for (int animType = 0; animType < kAnimTypeCount; ++animType)
        for (int frame = 0; frame < AnimFrameCount(animType); ++frame)
            list.Put(AnimFirstImage(animType) + frame, AnimFrame(animType, frame));
}

int AnimPositions(int slotWidth)
{
    return std::max(1, (slotWidth - 4) / kAnimFrameSide);
}

TAnimPlacement PlaceAnimStep(int step, int frameCount, int slotWidth)
{
    TAnimPlacement placement;
    placement.frame = frameCount > 0 ? step % frameCount : -1;
    placement.x = step % AnimPositions(slotWidth) * kAnimFrameSide + 2;
    return placement;
}

void PaintAnimStep(QPixmap& canvas, const QPixmap& frame, const TAnimPlacement& placement)
{
    QPainter painter(&canvas);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    // The box runs from (1, 1) to (width - 2, height - 2) inclusive, outline included.
    painter.drawRect(QRect(1, 1, canvas.width() - 3, canvas.height() - 3));
    if (!frame.isNull())
        painter.drawPixmap(placement.x, placement.y, frame);
}
