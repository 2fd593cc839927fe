#pragma once
// The progress animation: 30 frames of 16 × 16 pixels in seven types (our own
// drawings), and how one step of an animation is placed and painted in its
// slot. The progress window and the profile editor's animation page both use
// these, so the page previews exactly what a scan shows.
#include "ui/common/u_pictures.h"

#include <QPixmap>

constexpr int kAnimTypeCount = 7;
constexpr int kAnimImageCount = 30;
constexpr int kAnimFrameSide = 16;

// Index in the animation images of the first frame of a type; -1 for a type outside 0-6.
int AnimFirstImage(int animType);
// Frames of a type; 0 for a type outside 0-6.
int AnimFrameCount(int animType);

// Frame `frame` (0 ≤ frame < AnimFrameCount) of an animation type; a null pixmap otherwise.
QPixmap AnimFrame(int animType, int frame);
// Puts all 30 frames into `list`, frame i of type t at AnimFirstImage(t) + i.
void FillAnimImages(TImageList& list);

// Where step `step` of an animation with `frameCount` frames goes in a slot
// `slotWidth` pixels wide: the frame walks left to right in 16-pixel steps,
// cycling through the frames, and starts again at the left.
struct TAnimPlacement {
    int frame = -1;  // index among the type's frames; -1 when the type has none
    int x = 2;
    int y = 2;
};
TAnimPlacement PlaceAnimStep(int step, int frameCount, int slotWidth);
// Positions a slot of that width has room for.
int AnimPositions(int slotWidth);

// Erases the slot `canvas` (a white box with a black outline) and draws
// `frame` where `placement` says; a null frame leaves the box empty.
void PaintAnimStep(QPixmap& canvas, const QPixmap& frame, const TAnimPlacement& placement);
