#include "ui/common/u_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>
#include <utility>

TdmCommonPics* dmCommonPics = nullptr;
TdmCentral* dmCentral = nullptr;

QPixmap TImageList::Pixmap(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return images_[static_cast<size_t>(index)];
}

void TImageList::Put(int index, const QPixmap& image)
{
    if (index >= Count())
        images_.resize(static_cast<size_t>(index) + 1);
    images_[static_cast<size_t>(index)] = image;
}

namespace {

// Every shape is drawn on a 16-unit grid and scaled, so small and big images match.
using Drawing = std::function<void(QPainter&)>;

const QColor kInk(40, 48, 60);
const QColor kFolder(232, 180, 60);
const QColor kPaper(250, 250, 246);
const QColor kBlue(50, 110, 200);
const QColor kGreen(40, 150, 70);
const QColor kRed(200, 50, 45);
const QColor kGrey(150, 155, 160);

QPixmap Draw(int side, const Drawing& drawing)
{
    QPixmap image(side, side);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 16.0, side / 16.0);
    painter.setPen(QPen(kInk, 0.8));
    drawing(painter);
    return image;
}

void Folder(QPainter& p, bool open = false)
{
    p.setBrush(kFolder.darker(115));
    p.drawRect(QRectF(1.5, 3.5, 5, 2));
    p.setBrush(kFolder);
    if (open)
        p.drawPolygon(QPolygonF({{1.5, 13.5}, {4, 7}, {15, 7}, {12.5, 13.5}}));
    else
        p.drawRect(QRectF(1.5, 5, 13, 8.5));
}

void Drive(QPainter& p, const QColor& light)
{
    p.setBrush(kGrey.lighter(130));
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
    p.setBrush(light);
    p.drawEllipse(QPointF(12, 8.5), 1, 1);
}

void Disc(QPainter& p, const QColor& colour)
{
    p.setBrush(colour);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
}

void Page(QPainter& p)
{
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF({{3, 1.5}, {10, 1.5}, {13, 4.5}, {13, 14.5}, {3, 14.5}}));
}

void Lines(QPainter& p, const QColor& colour)
{
    p.setPen(QPen(colour, 1.2));
    for (double y : {5.5, 8.0, 10.5, 13.0})
        p.drawLine(QPointF(5, y), QPointF(11, y));
    p.setPen(QPen(kInk, 0.8));
}

void Note(QPainter& p)
{
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(5.5, 12), 2.2, 1.7);
    p.drawEllipse(QPointF(11.5, 10.5), 2.2, 1.7);
    p.setPen(QPen(kBlue.darker(140), 1.4));
    p.drawLine(QPointF(7.5, 12), QPointF(7.5, 3.5));
    p.drawLine(QPointF(13.5, 10.5), QPointF(13.5, 2));
    p.drawLine(QPointF(7.5, 3.5), QPointF(13.5, 2));
    p.setPen(QPen(kInk, 0.8));
}

void Letter(QPainter& p, const QString& text, const QColor& colour)
{
    p.setBrush(colour);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, text);
    p.setPen(QPen(kInk, 0.8));
}

void Box(QPainter& p, bool checked, bool enabled = true)
{
    p.setBrush(enabled ? Qt::white : kGrey.lighter(140));
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    if (!checked)
        return;
    p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({{4.5, 8}, {7, 11}, {12, 4.5}}));
    p.setPen(QPen(kInk, 0.8));
}

// A small sign in the lower right corner tells what an action does to its object.
enum class Badge { None, Plus, Cross, Pencil, Arrow, Play, Check };

void DrawBadge(QPainter& p, Badge badge)
{
    if (badge == Badge::None)
        return;
    p.save();
    p.translate(8, 8);
    p.scale(0.5, 0.5);
    p.setPen(QPen(kInk, 1.2));
    switch (badge) {
    case Badge::Plus:
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({{6, 2}, {10, 2}, {10, 6}, {14, 6}, {14, 10}, {10, 10}, {10, 14},
                                 {6, 14}, {6, 10}, {2, 10}, {2, 6}, {6, 6}}));
        break;
    case Badge::Cross:
        p.setPen(QPen(kRed, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 3), QPointF(13, 13));
        p.drawLine(QPointF(13, 3), QPointF(3, 13));
        break;
    case Badge::Pencil:
        p.setBrush(kFolder);
        p.drawPolygon(QPolygonF({{2, 14}, {3, 10}, {12, 1}, {15, 4}, {6, 13}}));
        break;
    case Badge::Arrow:
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({{1, 6}, {8, 6}, {8, 2}, {15, 8}, {8, 14}, {8, 10}, {1, 10}}));
        break;
    case Badge::Play:
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({{3, 1}, {15, 8}, {3, 15}}));
        break;
    case Badge::Check:
        p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{2, 8}, {6, 13}, {14, 3}}));
        break;
    case Badge::None:
        break;
    }
    p.restore();
}

// A corner sign drawn twice as big, over the whole image.
void WholeBadge(QPainter& p, Badge badge)
{
    p.translate(-16, -16);
    p.scale(2, 2);
    DrawBadge(p, badge);
}

Drawing With(const Drawing& base, Badge badge)
{
    return [base, badge](QPainter& p) {
        base(p);
        DrawBadge(p, badge);
    };
}

void Profile(QPainter& p)
{
    Page(p);
    Lines(p, kBlue);
}

void Results(QPainter& p)
{
    Page(p);
    Box(p, true);
}

void Mp3List(QPainter& p)
{
    Disc(p, QColor(190, 205, 225));
    Note(p);
}

void Sort(QPainter& p, bool ascending)
{
    p.setBrush(kInk);
    if (ascending)
        p.drawPolygon(QPolygonF({{8, 4}, {13, 11}, {3, 11}}));
    else
        p.drawPolygon(QPolygonF({{3, 5}, {13, 5}, {8, 12}}));
}

void Role(QPainter& p, int role)
{
    // Priorities grow from a cool to a warm colour; the number is the priority.
    static const QColor kPriority[] = {{120, 150, 190}, {80, 150, 180}, {60, 160, 110}, {220, 150, 40},
                                       {210, 80, 40}};
    Folder(p);
    p.save();
    p.translate(6, 6);
    p.scale(0.62, 0.62);
    Letter(p, QString::number(role + 1), kPriority[role]);
    p.restore();
}

void FillDirIL(TImageList& list)
{
    const std::pair<int, Drawing> images[] = {
        {diFolder, [](QPainter& p) { Folder(p); }},
        {diOpenFolder, [](QPainter& p) { Folder(p, true); }},
        {diFixedDrive, [](QPainter& p) { Drive(p, kGreen); }},
        {diRemovableDrive, [](QPainter& p) { Drive(p, kFolder); p.drawRect(QRectF(4, 7.5, 5, 2)); }},
        {diCDROMDrive, [](QPainter& p) { Disc(p, QColor(200, 210, 225)); }},
        {diDesktop, [](QPainter& p) {
             p.setBrush(kBlue.lighter(150));
             p.drawRect(QRectF(1.5, 2.5, 13, 9));
             p.setBrush(kGrey);
             p.drawRect(QRectF(5.5, 11.5, 5, 2.5));
         }},
        {diDocuments, [](QPainter& p) { Page(p); Lines(p, kGrey); }},
        {diMp3List, Mp3List},
        {diVolume, [](QPainter& p) { Disc(p, QColor(230, 200, 120)); }},
    };
    for (const auto& [index, drawing] : images)
        list.Put(index, Draw(list.Size().width(), drawing));
}

} // namespace

TdmCommonPics::TdmCommonPics()
{
    FillDirIL(dirIL);
}

TdmCentral::TdmCentral()
{
    IL.Put(siAudioFile, Draw(16, Note));
    IL.Put(siProfile, Draw(16, Profile));
    IL.Put(siModified, Draw(16, [](QPainter& p) { WholeBadge(p, Badge::Pencil); }));
    IL.Put(siAscending, Draw(16, [](QPainter& p) { Sort(p, true); }));
    IL.Put(siDescending, Draw(16, [](QPainter& p) { Sort(p, false); }));

    for (int role = 0; role < riReference; ++role)
        PriIL.Put(role, Draw(16, [role](QPainter& p) { Role(p, role); }));
    PriIL.Put(riReference, Draw(16, [](QPainter& p) { Folder(p); Letter(p, "R", kGreen); }));
    PriIL.Put(riAscending, IL.Pixmap(siAscending));
    PriIL.Put(riDescending, IL.Pixmap(siDescending));
    PriIL.Put(riExcluded, Draw(16, With([](QPainter& p) { Folder(p); }, Badge::Cross)));

    testIL.Put(ciReference, Draw(16, [](QPainter& p) { Letter(p, "R", kGreen); }));
    testIL.Put(ciUnchecked, Draw(16, [](QPainter& p) { Box(p, false); }));
    testIL.Put(ciChecked, Draw(16, [](QPainter& p) { Box(p, true); }));

    const auto folder = [](QPainter& p) { Folder(p); };
    const auto page = [](QPainter& p) { Page(p); };
    const auto box = [](QPainter& p) { Box(p, true); };
    const std::pair<int, Drawing> big[] = {
        {biNewProfile, With(Profile, Badge::Plus)},
        {biRunProfile, With(Profile, Badge::Play)},
        {biEditProfile, With(Profile, Badge::Pencil)},
        {biDeleteProfile, With(Profile, Badge::Cross)},
        {biLoadResults, With(Results, Badge::Arrow)},
        {biExit, [](QPainter& p) {
             p.setBrush(QColor(170, 120, 80));
             p.drawRect(QRectF(2.5, 1.5, 7, 13));
             DrawBadge(p, Badge::Arrow);
         }},
        {biEditMpl, With(Mp3List, Badge::Pencil)},
        {biHelp, [](QPainter& p) { Letter(p, "?", kBlue); }},
        {biShowTips, [](QPainter& p) {
             p.setBrush(QColor(250, 220, 80));
             p.drawEllipse(QPointF(8, 6.5), 4.5, 4.5);
             p.setBrush(kGrey);
             p.drawRect(QRectF(6, 11, 4, 3.5));
         }},
        {biAbout, [](QPainter& p) { Letter(p, "i", kBlue); }},
        {biNewList, With(Mp3List, Badge::Plus)},
        {biAddVolume, [](QPainter& p) { Disc(p, QColor(230, 200, 120)); DrawBadge(p, Badge::Plus); }},
        {biDelete, With(page, Badge::Cross)},
        {biSave, [](QPainter& p) {
             p.setBrush(kBlue);
             p.drawRect(QRectF(2, 2, 12, 12));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(4.5, 2, 7, 4.5));
             p.drawRect(QRectF(4, 9, 8, 5));
         }},
        {biClose, [](QPainter& p) {
             // The corner cross, twice as big over the whole image.
             p.translate(-16, -16);
             p.scale(2, 2);
             DrawBadge(p, Badge::Cross);
         }},
        {biImport, With(folder, Badge::Arrow)},
        {biExport, With(Mp3List, Badge::Arrow)},
        {biCheckAll, box},
        {biCheckNone, [](QPainter& p) { Box(p, false); }},
        {biInvertChecks, [](QPainter& p) { Box(p, true); DrawBadge(p, Badge::Arrow); }},
        {biCopy, With(page, Badge::Plus)},
        {biMove, With(page, Badge::Arrow)},
        {biDetails, [](QPainter& p) { Page(p); Lines(p, kInk); }},
        {biSwitch, [](QPainter& p) {
             p.setBrush(kBlue);
             p.drawPolygon(QPolygonF({{1, 5}, {5, 1.5}, {5, 3.5}, {13, 3.5}, {13, 6.5}, {5, 6.5}, {5, 8.5}}));
             p.setBrush(kGreen);
             p.drawPolygon(QPolygonF({{15, 11}, {11, 7.5}, {11, 9.5}, {3, 9.5}, {3, 12.5}, {11, 12.5}, {11, 14.5}}));
         }},
        {biSpecialSelection, With(box, Badge::Pencil)},
        {biRemoveChecked, With(box, Badge::Cross)},
        {biRename, With(page, Badge::Pencil)},
        {biReplace, [](QPainter& p) { Letter(p, "R", kGreen); DrawBadge(p, Badge::Arrow); }},
        {biRemoveFromList, [](QPainter& p) { Page(p); Lines(p, kGrey); DrawBadge(p, Badge::Cross); }},
    };
    for (const auto& [index, drawing] : big)
        BigIL.Put(index, Draw(32, drawing));
}

QPixmap ProgramIcon(int side)
{
    // Two copies of one song: a disc half hidden behind another.
    return Draw(side, [](QPainter& p) {
        for (const auto& [centre, colour] : {std::pair{QPointF(10, 6), kGrey.lighter(120)}, {QPointF(6.5, 9.5), kBlue}}) {
            p.setBrush(colour);
            p.drawEllipse(centre, 5.8, 5.8);
            p.setBrush(Qt::white);
            p.drawEllipse(centre, 1.6, 1.6);
        }
        p.setPen(QPen(QColor(250, 220, 80), 1.1, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(2.5, 5.5, 8, 8), 100 * 16, 70 * 16);
    });
}

TPictureModules::TPictureModules()
{
    dmCommonPics = &commonPics_;
    dmCentral = &central_;
}

TPictureModules::~TPictureModules()
{
    dmCentral = nullptr;
    dmCommonPics = nullptr;
}
