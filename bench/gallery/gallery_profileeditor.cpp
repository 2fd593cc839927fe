// The profile editor on each of its sections, over a sample profile; on the
// exclusions page a name is being tried and the page has been changed, so
// the changed marks and Apply show.
#include "gallery.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "engine/u_cvprofile.h"
#include "ui/common/u_helpwindow.h"
#include "ui/profile/uc_fProfileCV.h"
#include "ui/profile/uc_frProCVPoolExclusions.h"

namespace {

void FillSampleProfile()
{
    TBWCVProfile& profile = CurrentProfile();
    profile.NewProfile();
    profile.SetProfileName("My_Collection");
    profile.ProfileComment = "Everything on the big disk, the CD shelf as reference";
    profile.DirPath = {"%mymusic%/"};
    profile.CompType = ctTags;
    profile.SimWord = 1;
    profile.SetExclusions("*live*;*demo*;*(remix)*;");
    profile.SetPriorityList("BSED");
    profile.ExtPri = "MP3;OGG;FLAC;";
    profile.ResultType = rsNegative;
    profile.AnimNo = 3;
}

std::unique_ptr<QWidget> EditorAt(int sectionIndex)
{
    FillSampleProfile();
    auto editor = std::make_unique<TfcProfileCV>();
    QTreeWidgetItemIterator node(editor->tv);
    for (int index = 0; index < sectionIndex && *node; ++index)
        ++node;
    editor->tv->setCurrentItem(*node);
    if (auto* exclusions = qobject_cast<TfrcProCVPoolExclusions*>(editor->CurrentPage())) {
        exclusions->mPatterns->appendPlainText("*[karaoke]*");
        exclusions->edtTest->setText("Live at Wembley.mp3");
    }
    return editor;
}

// F1 on the first section: the help beside the modal editor.
GalleryEntry helpOverEditor("profileeditor_help", [] {
    std::unique_ptr<QWidget> editor = EditorAt(0);
    THelpWindow help(editor.get());
    help.OpenTopic("corvella/profile/general_settings.htm");
    help.resize(420, 300);
    return Overlaid(*editor, help, QPoint(editor->width() - 440, 50));
});

const char* const kSections[] = {"general",    "summary",    "pooling",    "directories", "exclusions",
                                 "comparison", "parameters", "filepriority", "resulttype", "animations"};

struct SectionEntries {
    SectionEntries()
    {
        for (int index = 0; index < static_cast<int>(std::size(kSections)); ++index)
            GalleryEntries()[std::string("profileeditor_") + std::to_string(index) + "_" + kSections[index]] =
                [index] { return EditorAt(index); };
    }
} sectionEntries;

}  // namespace
