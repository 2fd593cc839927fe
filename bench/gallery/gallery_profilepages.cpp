// The profile pages: the summary of a sample profile, and the directories
// page over a small collection with a folder of every role.
#include "gallery.h"

#include <QDir>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include "engine/u_cvprofile.h"
#include "model/u_bwfsdrive.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/profile/uc_frProCVDirectories.h"
#include "ui/profile/uc_frProCVSummary.h"

namespace {

void FillSampleProfile(TBWCVProfile& profile, const std::vector<std::string>& dirs)
{
    profile.AssignSettings(TBWCVProfile());
    profile.ClearDirPriorities();
    profile.DirPath = dirs;
    profile.MinPerc = 80;
    profile.SimWord = 1;
    profile.MinWordCount = 2;
    profile.MinWordLength = 3;
    profile.SetExclusions("*live*;*demo*;");
    profile.SetPriorityList("SEDB");
    profile.ExtPri = TBWCVProfile::DefaultExtPri;
}

GalleryEntry summary("profile_summary", [] {
    FillSampleProfile(CurrentProfile(), {"%mymusic%/", "/media/usb/Music/"});
    auto page = std::make_unique<TfrcPCVSummary>();
    page->Refresh();
    page->resize(443, 270);
    return std::unique_ptr<QWidget>(std::move(page));
});

// The page with a model of its own: a drive "Music" and a stick without a
// label made in a temporary folder, and a list of discs. The page goes first, while the model it
// listens to still stands.
class SampleDirectoriesPage : public QWidget {
public:
    SampleDirectoriesPage()
    {
        const QString drive = folder_.path() + "/Music";
        for (const char* sub : {"Rock/Live", "Rock/Studio", "Jazz", "Classical", "Pop"})
            QDir(drive + "/Collection").mkpath(sub);
        QDir(drive).mkpath("Downloads");
        QDir(drive).mkpath("Old backup");
        const std::string root = drive.toStdString() + "/";
        manager_.SetFolder(folder_.path().toStdString() + "/lists");
        manager_.NewList("Discs", false);
        // A stick without a label beside the labelled drive.
        const QString stick = folder_.path() + "/Stick";
        QDir(stick).mkpath("Albums");
        const std::string stickRoot = stick.toStdString() + "/";
        modelRoot_ = std::make_unique<TBWFSDrive>(manager_, [root, stickRoot] {
            return std::vector<TBWDrive>{{root, dkFixed, "MUSIC", "/dev/sdb1"}, {stickRoot, dkRemovable, "", "/dev/sdc1"}};
        });

        const std::string collection = root + "Collection/";
        TBWCVProfile& profile = CurrentProfile();
        FillSampleProfile(profile, {collection, root + "Downloads/", root + "Old backup/"});
        profile.SetDirPriority(collection + "Rock/", dtPriority5);
        profile.SetDirPriority(collection + "Rock/Live/", dtPriority1);
        profile.SetDirPriority(collection + "Jazz/", dtPriority2);
        profile.SetDirPriority(collection + "Classical/", dtPriority4);
        profile.SetDirPriority(root + "Downloads/", dtReference);
        profile.SetDirPriority(root + "Old backup/", dtExcluded);

        page_ = std::make_unique<TfrcProCVDirectories>(this, modelRoot_.get());
        page_->Refresh();
        page_->tvAdd->expandAll();
        page_->tvAdd->SelectNode(page_->tvAdd->FindNode({}, modelRoot_->FindDir(collection + "Rock/Live/", false), false));
        page_->de->SelectNode(page_->de->FindNode({}, modelRoot_->FindDir(root, false), false));
        page_->de->expand(page_->de->currentIndex());
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(page_.get());
        resize(900, 360);
    }

private:
    QTemporaryDir folder_;
    TMplManager manager_;
    std::unique_ptr<TBWFSDrive> modelRoot_;
    std::unique_ptr<TfrcProCVDirectories> page_;
};

GalleryEntry directories("profile_directories", [] { return std::unique_ptr<QWidget>(new SampleDirectoriesPage); });

}  // namespace
