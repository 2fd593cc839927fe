#include "ui/configwizard/u_wizthreshold.h"

#include <QLabel>
#include <QLayout>
#include <QVBoxLayout>
#include <array>

#include "ui/common/u_radiogroup.h"
#include "ui/wizard/up_frwizmsg.h"

namespace {

const std::array<TSensitivityPreset, kSensitivityPresetCount> kPresets{{
    {"99.99% safe. (Slow, scanning file content)", 100, ctContent, 1, {}, {}},
    {"99% safe. (Tag based scan, 100%, min word count = 4)", 100, ctTagsWithAlbum, 4, {}, {}},
    {"very safe. (Tag based scan, 90%)", 90, ctTagsWithAlbum, {}, {}, {}},
    {"pretty safe (Lightning fast, field separated scan, 70%)", 70, ctFileNameFields, {}, {}, {}},
    {"somewhat safe. (Lightning fast, field separated scan, 70%, no order)", 70, ctFileNameFields, {}, {}, true},
    {"a lot of 'em. You don't mind verifying them all. (One field, 50%)", 50, ctFileName, {}, {}, {}},
    {"overwhelming! You will spend your day verifying the results!", 30, ctFileName, 2, 1, {}},
}};

QStringList PresetTexts()
{
    QStringList texts;
    for (const TSensitivityPreset& preset : kPresets)
        texts << QString::fromUtf8(preset.text);
    return texts;
}

}  // namespace

const TSensitivityPreset& SensitivityPreset(int item)
{
    return item >= 0 && item < kSensitivityPresetCount ? kPresets[static_cast<std::size_t>(item)] : kPresets[0];
}

void ApplySensitivityPreset(const TSensitivityPreset& preset, TBWCVProfile& profile)
{
    profile.MinPerc = preset.minPerc;
    profile.CompType = preset.compType;
    if (preset.minWordCount)
        profile.MinWordCount = *preset.minWordCount;
    if (preset.simWord)
        profile.SimWord = *preset.simWord;
    if (preset.noFieldOrder)
        profile.NoFieldOrder = *preset.noFieldOrder;
}

TfrWizThreshold::TfrWizThreshold(QWidget* parent)
    : TfrpProfile(parent),
      Label1(WizPageLabel("Label1", QStringLiteral("The safer the results are (In terms of not having false duplicates), the "
                                       "fewer you will get. If you want more results, you have to risk having false "
                                       "duplicates. Thus, if you choose anything else than 99% safe, VERIFY your "
                                       "results."),
                        this)),
      rgThreshold(new TRadioGroup(QStringLiteral("You want your results to be..."), PresetTexts(), this))
{
    setObjectName("frWizThreshold");
    SetPageTitle(QStringLiteral("Filter sensitivity"));
    SetHelpTopic(QStringLiteral("sensitivity.htm"));
    rgThreshold->setObjectName("rgThreshold");
    rgThreshold->SetItemIndex(kDefaultSensitivityPreset);
    // The longest preset fits the wizard's fixed width only a little smaller.
    rgThreshold->layout()->setContentsMargins(4, 2, 2, 2);
    rgThreshold->layout()->setSpacing(2);
    QFont smaller = rgThreshold->font();
    smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
    rgThreshold->setFont(smaller);

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(Label1);
    page->addWidget(rgThreshold);
    page->addStretch();
}

void TfrWizThreshold::SaveToProfile()
{
    ApplySensitivityPreset(SensitivityPreset(rgThreshold->ItemIndex()), Profile());
}
