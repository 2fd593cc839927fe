#pragma once
// The shared image lists of the windows, our own artwork drawn at start-up:
// dmCommonPics->dirIL for the directory trees, dmCentral's IL, BigIL, PriIL
// and testIL for lists, tool bars, menus, role and check marks. Made once by
// a TPictureModules object (after the QApplication) and freed with it.
#include <QIcon>
#include <QPixmap>
#include <vector>

// Images of one size, addressed by index; an index without an image gives a null pixmap.
class TImageList {
public:
    explicit TImageList(int side) : side_(side) {}
    int Count() const { return static_cast<int>(images_.size()); }
    QSize Size() const { return {side_, side_}; }
    QPixmap Pixmap(int index) const;
    QIcon Icon(int index) const { return QIcon(Pixmap(index)); }
    void Put(int index, const QPixmap& image);

private:
    int side_;
    std::vector<QPixmap> images_;
};

// Indices of dirIL.
enum DirImage { diFolder = 0, diOpenFolder = 1, diFixedDrive = 2, diRemovableDrive = 3, diCDROMDrive = 4,
                diDesktop = 5, diDocuments = 6, diMp3List = 7, diVolume = 8, diCount };
// Indices of IL (small images; 2-4 and 6-8 are not used).
enum SmallImage { siAudioFile = 0, siProfile = 1, siModified = 5, siAscending = 9, siDescending = 10, siCount };
// Indices of PriIL: the directory roles 0-4 (priorities 1-5) and 5 (reference) are their own
// indices; 6 and 7 are the sort marks of the results list's headers.
enum RoleImage { riReference = 5, riAscending = 6, riDescending = 7, riExcluded = 8, riCount };
// Indices of testIL, the results list's check marks.
enum CheckImage { ciReference = 0, ciUnchecked = 1, ciChecked = 2, ciCount };
// Indices of BigIL, the actions' tool bar and menu images.
enum BigImage {
    biNewProfile, biRunProfile, biEditProfile, biDeleteProfile, biLoadResults, biExit, biEditMpl, biHelp,
    biShowTips, biAbout, biNewList, biAddVolume, biDelete, biSave, biClose, biImport, biExport, biCheckAll,
    biCheckNone, biInvertChecks, biCopy, biMove, biDetails, biSwitch, biSpecialSelection, biRemoveChecked,
    biRename, biReplace, biRemoveFromList, biCount
};

struct TdmCommonPics {
    TdmCommonPics();
    TImageList dirIL{16};
};

struct TdmCentral {
    TdmCentral();
    TImageList IL{16};
    TImageList BigIL{32};
    TImageList PriIL{16};
    TImageList testIL{16};
};

extern TdmCommonPics* dmCommonPics;
extern TdmCentral* dmCentral;

// The program's own icon, side × side pixels: the about window's, and the windows'.
QPixmap ProgramIcon(int side);

class TPictureModules {
public:
    TPictureModules();
    ~TPictureModules();
    TPictureModules(const TPictureModules&) = delete;
    TPictureModules& operator=(const TPictureModules&) = delete;

private:
    TdmCommonPics commonPics_;
    TdmCentral central_;
};
