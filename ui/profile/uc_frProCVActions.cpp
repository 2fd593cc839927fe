#include "ui/profile/uc_frProCVActions.h"

#include <QLabel>
#include <QVBoxLayout>

#include "engine/u_cvprofile.h"
#include "ui/common/u_radiogroup.h"

TfrcProCVActions::TfrcProCVActions(QWidget* parent)
    : TfrpProfile(parent),
      rgTarget(new TRadioGroup(tr("Scan results:"), {tr("Duplicates"), tr("Negative results"), tr("Excluded files")},
                               this)),
      Label2(new QLabel(tr("The negative results give you what files are *NOT* duplicate in all non-reference "
                           "directories. Is is used to do stuff like \"Copy all mp3 I don't have from this CD\". To "
                           "make it work well, set your collection to Reference, and the CD to normal priority."),
                        this)),
      Label1(new QLabel(tr("If you choose \"Excluded files\", the results will be all exluded files (Files that match "
                           "the exclusion pattern in the \"Exclusions\" section). This option is used (and will likely "
                           "only be used to) to create banlists."),
                        this))
{
    rgTarget->setObjectName("rgTarget");
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rgTarget);
    layout->addWidget(Label2);
    layout->addWidget(Label1);
    layout->addStretch();
    SetHelpTopic("result_type.htm");
}

void TfrcProCVActions::LoadFromProfile()
{
    rgTarget->SetItemIndex(Profile().ResultType);
}

void TfrcProCVActions::SaveToProfile()
{
    const int item = rgTarget->ItemIndex();
    if (item >= rsDuplicates && item <= rsBanlist)
        Profile().ResultType = static_cast<TBWResultType>(item);
}
