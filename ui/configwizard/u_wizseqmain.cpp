#include "ui/configwizard/u_wizseqmain.h"

#include <QLineEdit>
#include <QString>
#include <algorithm>

#include "engine/u_cvprofile.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/mpleditor/u_mpleditor.h"
#include "ui/mpleditor/u_mpleditorcommands.h"
#include "ui/common/u_prompts.h"
#include "ui/configwizard/u_wizbanlist.h"
#include "ui/wizard/u_wizdirsel.h"
#include "ui/configwizard/u_wizdirselmpl.h"
#include "ui/configwizard/u_wizdirsummary.h"
#include "ui/configwizard/u_wizmplpages.h"
#include "ui/configwizard/u_wizprofilename.h"
#include "ui/configwizard/u_wizroledirsel.h"
#include "ui/configwizard/u_wizthreshold.h"

namespace {

template <class Page>
Page* CurrentAs(TWizSequence& sequence)
{
    return dynamic_cast<Page*>(sequence.CurrentPage());
}

bool SamePath(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// The profile scans path alone, with that role.
void OnlyDirectory(const std::string& path, std::int32_t role)
{
    CurrentProfile().DirPath = {path};
    CurrentProfile().SetDirPriority(path, role);
}

struct TOperationProfile {
    const char* name;
    const char* comment;
    TBWResultType resultType;
};

void NameProfile(const TOperationProfile& operation)
{
    TBWCVProfile& profile = CurrentProfile();
    profile.SetProfileName(operation.name);
    profile.ProfileComment = operation.comment;
    profile.ResultType = operation.resultType;
}

}  // namespace

std::uint8_t RunProfileWizard(QWidget* parent)
{
    TBWCVProfile& profile = CurrentProfile();
    const std::string previous = profile.LoadedName();
    profile.NewProfile();
    TfpWizard wizard(parent);
    if (wizard.Execute<TWSMain>() != TfpWizard::mrOk) {
        profile.LoadProfile(previous);
        return paNothing;
    }
    if (!profile.SaveProfile()) {
        Prompts().ShowError(wizard.windowTitle(), QStringLiteral("The new profile \"%1\" could not be stored.")
                                                      .arg(QString::fromStdString(profile.ProfileName())));
        return paNothing;
    }
    return static_cast<const TWSMain*>(wizard.Sequence())->FinishChoice;
}

TWSMain::TWSMain()
{
    SetSteps({TWizStepClass::Page<TfrWizOperation>(), {}, {}, TWizStepClass::Page<TfrWizProfileName>(),
              TWizStepClass::Page<TfrWizTextFinish>()});
}

void TWSMain::AfterSave()
{
    if (auto* page = CurrentAs<TfrWizOperation>(*this)) {
        Operation = page->Operation();
        Advanced = page->Advanced();
        if (Operation == opEdit) {
            // The next Next finds no page: the wizard ends with the new
            // profile as it is, for the editor.
            FinishChoice = paEdit;
            Last();
        }
    } else if (auto* page = CurrentAs<TfrWizCDSel>(*this)) {
        if (const std::string path = page->SelectedPath(); !path.empty())
            CurrentProfile().DirPath.push_back(path);
    } else if (auto* page = CurrentAs<TfrWizTextFinish>(*this); page && Operation != opEdit) {
        FinishChoice = page->Action();
    }
}

TWizStepClass TWSMain::ClassForStep()
{
    if (Index() == 1)
        return Advanced ? TWizStepClass::Sequence<TWSAdvAskDir>() : TWizStepClass::Sequence<TWSSimpleAskDir>();
    if (Index() != 2)
        return {};
    switch (Operation) {
    case opScan:
        NameProfile({"dupe_scan", "Scan for duplicate files in my collection", rsDuplicates});
        return TWizStepClass::Page<TfrWizThreshold>();
    case opCopyFromCD:
        NameProfile({"copy_cd", "Copy songs from a CD which are not in my collection.", rsNegative});
        return TWizStepClass::Page<TfrWizCDSel>();
    case opBanlist:
        NameProfile({"banlist", "Find all songs matching with my banlist.", rsBanlist});
        return TWizStepClass::Page<TfrWizBanlist>();
    case opEdit: break;
    }
    return {};
}

void TWSMain::ChildLeft(TWizSequence& child)
{
    // The collection is the reference; the CD's drive, asked next, keeps the
    // normal role.
    TBWCVProfile& profile = CurrentProfile();
    if (dynamic_cast<TWSSimpleAskDir*>(&child) && Operation == opCopyFromCD && !profile.DirPath.empty())
        profile.SetDirPriority(profile.DirPath.front(), dtReference);
}

TWSSimpleAskDir::TWSSimpleAskDir()
{
    SetSteps({TWizStepClass::Page<TfrWizDirSel>()});
}

void TWSSimpleAskDir::AfterSave()
{
    if (auto* page = CurrentAs<TfrWizDirSel>(*this)) {
        const std::string path = page->SelectedPath();
        CurrentProfile().DirPath = path.empty() ? std::vector<std::string>{} : std::vector<std::string>{path};
    }
}

TWSAdvAskDir::TWSAdvAskDir()
{
    SetSteps({TWizStepClass::Page<TfrWizDupeType>(), {}, TWizStepClass::Page<TfrWizDirSummary>()});
}

void TWSAdvAskDir::AfterSave()
{
    if (auto* page = CurrentAs<TfrWizDupeType>(*this))
        CollectionType = page->CollectionType();
}

TWizStepClass TWSAdvAskDir::ClassForStep()
{
    if (Index() != 1)
        return {};
    switch (CollectionType) {
    case ctWithMasterDirectory: return TWizStepClass::Sequence<TWSColRef>();
    case ctOnCD: return TWizStepClass::Sequence<TWSColCD>();
    case ctOnHardDrive: break;
    }
    return TWizStepClass::Sequence<TWSAskForDirectory>();
}

TWSAskForDirectory::TWSAskForDirectory()
{
    SetSteps({TWizStepClass::Page<TfrWizRoleDirSel>(), TWizStepClass::Page<TfrWizYesNo>()});
}

void TWSAskForDirectory::AfterLoad()
{
    if (auto* page = CurrentAs<TfrWizRoleDirSel>(*this))
        page->AskFor(DirRole, passesDone_ == 0);
}

void TWSAskForDirectory::AfterSave()
{
    if (auto* page = CurrentAs<TfrWizYesNo>(*this)) {
        AddAnother = page->YesChosen();
        return;
    }
    auto* page = CurrentAs<TfrWizDirSel>(*this);
    const std::string path = page ? page->SelectedPath() : std::string();
    if (path.empty())
        return;
    std::vector<std::string>& dirs = CurrentProfile().DirPath;
    if (std::none_of(dirs.begin(), dirs.end(), [&](const std::string& dir) { return SamePath(dir, path); }))
        dirs.push_back(path);
    CurrentProfile().SetDirPriority(path, DirRole);
}

TWSColRef::TWSColRef()
{
    SetSteps({TWizStepClass::Page<TfrWizTextAddRefDir>(), TWizStepClass::Sequence<TWSAskForDirectory>(),
              TWizStepClass::Page<TfrWizTextAddDir>(), TWizStepClass::Sequence<TWSAskForDirectory>()});
}

void TWSColRef::ChildEntered(TWizSequence& child)
{
    if (auto* directories = dynamic_cast<TWSAskForDirectory*>(&child); directories && Index() == 1)
        directories->DirRole = dtReference;
}

TWSColCD::TWSColCD()
{
    SetSteps({TWizStepClass::Page<TfrWizStatusMPL>(), {}, TWizStepClass::Page<TfrWizTextAddDir>(),
              TWizStepClass::Sequence<TWSAskForDirectory>()});
}

void TWSColCD::AfterSave()
{
    auto* page = CurrentAs<TfrWizStatusMPL>(*this);
    if (!page)
        return;
    if (page->ListBuilt())
        OnlyDirectory(page->SelectedPath(), dtReference);
    else
        CurrentProfile().DirPath.clear();
}

TWizStepClass TWSColCD::ClassForStep()
{
    if (Index() == 1 && CurrentProfile().DirPath.empty())
        return TWizStepClass::Sequence<TWSBuildMPL>();
    return {};
}

void TWSColCD::ChildLeft(TWizSequence& child)
{
    if (auto* building = dynamic_cast<TWSBuildMPL*>(&child); building && building->List && Index() == 1)
        OnlyDirectory(building->List->Path(), dtReference);
}

TWSBuildMPL::TWSBuildMPL()
{
    SetSteps({TWizStepClass::Page<TfrWizTextBuildMPL>(), TWizStepClass::Page<TfrWizMPLName>(),
              TWizStepClass::Sequence<TWSAddCDToMPL>(), TWizStepClass::Page<TfrpWizTextFinishMPL>()});
}

void TWSBuildMPL::AfterSave()
{
    auto* page = CurrentAs<TfrWizMPLName>(*this);
    if (!page)
        return;
    const std::string name = page->ListName();
    List = MplManager().FindList(name);
    if (!List)
        List = MplManager().NewList(name, false);
}

void TWSBuildMPL::ChildEntered(TWizSequence& child)
{
    if (auto* discs = dynamic_cast<TWSAddCDToMPL*>(&child))
        discs->SetList(List);
}

void TWSBuildMPL::Leave()
{
    if (List && !List->Save())
        Prompts().ShowError(Wizard()->windowTitle(),
                            QStringLiteral("The Mp3 List \"%1\" could not be saved; it is saved with the other "
                                           "modified lists when the program ends.")
                                .arg(QString::fromStdString(List->ListName())));
}

TWSAddCDToMPL::TWSAddCDToMPL()
{
    SetSteps({TWizStepClass::Page<TfrWizDirSelMPL>(), TWizStepClass::Page<TfrWizCDName>(),
              TWizStepClass::Page<TfrWizYesNoCD>()});
}

void TWSAddCDToMPL::AfterLoad()
{
    if (auto* page = CurrentAs<TfrWizCDName>(*this)) {
        page->SetList(List);
        page->edtCDName->setText(QString::fromStdString(VolumeName));
    }
}

void TWSAddCDToMPL::AfterSave()
{
    if (auto* page = CurrentAs<TfrWizDirSelMPL>(*this)) {
        DiscPath = page->SelectedPath();
        VolumeName = ProposedVolumeName(DiscPath);
    } else if (auto* page = CurrentAs<TfrWizCDName>(*this)) {
        VolumeName = page->VolumeName();
        TBWDirectory* disc = FSDrive().FindDir(DiscPath, false);
        if (disc && !AddVolumeToMpl(List, disc, VolumeName) && List && List->ReadOnly())
            Prompts().ShowWarning(Wizard()->windowTitle(), ReadOnlyNote(List));
    } else if (auto* page = CurrentAs<TfrWizYesNoCD>(*this)) {
        AddAnother = page->YesChosen();
    }
}
