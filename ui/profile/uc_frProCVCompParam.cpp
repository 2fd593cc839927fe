#include "ui/profile/uc_frProCVCompParam.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>

#include "ui/common/u_radiogroup.h"
#include "ui/common/u_rangespinbox.h"

namespace {

// Item index → comparison type.
constexpr std::array<TBWCompType, 5> kItemTypes = {ctFileNameFields, ctFileName, ctTags, ctTagsWithAlbum, ctContent};
constexpr int kContentItem = 4;
constexpr int kFieldsItem = 0;

QSpinBox* NewSpinBox(const char* name, int most, QWidget* parent)
{
    auto* box = new TRangeSpinBox(0, most, parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

int CompTypeItem(int compType)
{
    for (std::size_t item = 0; item < kItemTypes.size(); ++item)
        if (kItemTypes[item] == compType)
            return static_cast<int>(item);
    return -1;
}

std::optional<TBWCompType> ItemCompType(int item)
{
    if (item < 0 || item >= static_cast<int>(kItemTypes.size()))
        return std::nullopt;
    return kItemTypes[static_cast<std::size_t>(item)];
}

TCompParamStates CompParamStates(int item)
{
    return {item < kContentItem, item < kContentItem, item == kFieldsItem};
}

TfrcProCVCompParam::TfrcProCVCompParam(QWidget* parent)
    : TfrpProfile(parent),
      Label5(new QLabel(tr("Minimum matching %:"), this)),
      seMinPerc(NewSpinBox("seMinPerc", 100, this)),
      Label1(new QLabel(tr("Similar words threshold:"), this)),
      seSimilar(NewSpinBox("seSimilar", 4, this)),
      Label2(new QLabel(tr("Warning: Anything over \"0\" for this option will make the scan process significantly "
                           "slower, and produce significantly more false positives. However, it *is* a good way to "
                           "find duplicates you would never find otherwise."),
                        this)),
      rgCompType(new TRadioGroup(tr("Comparison type"),
                                 {tr("Dash (\"-\") separated fields"), tr("One field"), tr("Use Tag (Artist + Title)"),
                                  tr("Use Tag (Artist + Title + Album)"), tr("File content")},
                                 this)),
      cbNoFieldOrder(new QCheckBox(tr("Field order doesn't matter"), this))
{
    Label5->setObjectName("Label5");
    Label1->setObjectName("Label1");
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    rgCompType->setObjectName("rgCompType");
    cbNoFieldOrder->setObjectName("cbNoFieldOrder");

    auto* thresholds = new QFormLayout;
    thresholds->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    thresholds->addRow(Label5, seMinPerc);
    thresholds->addRow(Label1, seSimilar);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(thresholds);
    layout->addWidget(Label2);
    layout->addWidget(rgCompType);
    layout->addWidget(cbNoFieldOrder);
    layout->addStretch();

    KeepOwnHandler(rgCompType->Buttons());
    connect(rgCompType->Buttons(), &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            rgCompTypeClick();
    });
    SetHelpTopic("comp_params.htm");
}

void TfrcProCVCompParam::rgCompTypeClick()
{
    Changed();
    const TCompParamStates states = CompParamStates(rgCompType->ItemIndex());
    seMinPerc->setEnabled(states.minPerc);
    seSimilar->setEnabled(states.similar);
    cbNoFieldOrder->setEnabled(states.noFieldOrder);
}

void TfrcProCVCompParam::LoadFromProfile()
{
    seMinPerc->setValue(Profile().MinPerc);
    seSimilar->setValue(Profile().SimWord);
    // Checking the item from here clicks it too, so the enabled states follow the loaded type.
    rgCompType->SetItemIndex(CompTypeItem(Profile().CompType));
    cbNoFieldOrder->setChecked(Profile().NoFieldOrder);
}

void TfrcProCVCompParam::SaveToProfile()
{
    Profile().MinPerc = seMinPerc->value();
    Profile().SimWord = seSimilar->value();
    if (const std::optional<TBWCompType> type = ItemCompType(rgCompType->ItemIndex()))
        Profile().CompType = *type;
    Profile().NoFieldOrder = cbNoFieldOrder->isChecked();
}
