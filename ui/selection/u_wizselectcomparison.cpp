#include "ui/selection/u_wizselectcomparison.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/selection/u_wizseqselect.h"
#include "ui/common/u_rangespinbox.h"

TfrpWizSelectComparison::TfrpWizSelectComparison(const QString& message, const QStringList& modes, QWidget* parent)
    : TfrpProfile(parent), lblMsg(new QLabel(message, this)), cbComp(new QComboBox(this)), messageFormat_(message)
{
    lblMsg->setObjectName("lblMsg");
    lblMsg->setWordWrap(true);
    cbComp->setObjectName("cbComp");
    cbComp->addItems(modes);
    KeepOwnHandler(cbComp);
    connect(cbComp, &QComboBox::currentIndexChanged, this, &TfrpWizSelectComparison::cbCompChange);
}

void TfrpWizSelectComparison::PlaceBounds(QWidget* minControl, QWidget* maxControl)
{
    auto* bounds = new QGridLayout;
    bounds->addWidget(new QLabel(QStringLiteral("Min:"), this), 0, 0);
    bounds->addWidget(minControl, 0, 1);
    bounds->addWidget(new QLabel(QStringLiteral("Max:"), this), 1, 0);
    bounds->addWidget(maxControl, 1, 1);
    bounds->setColumnStretch(2, 1);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(16, 12, 16, 12);
    page->addWidget(lblMsg);
    page->addWidget(cbComp, 0, Qt::AlignLeft);
    page->addSpacing(8);
    page->addLayout(bounds);
    page->addStretch();
}

QStringList TfrpWizSelectComparison::ValueModes()
{
    return {QStringLiteral("Absolute values"), QStringLiteral("Reference relative values")};
}

void TfrpWizSelectComparison::AddSpinEdits(TRangeFields fields, const QString& orderMessage, TRangeDefaults absolute,
                                           TRangeDefaults relative, int lowest, int highest)
{
    fields_ = fields;
    orderMessage_ = orderMessage;
    absolute_ = absolute;
    relative_ = relative;
    seMin = new TRangeSpinBox(lowest, highest, this);
    seMax = new TRangeSpinBox(lowest, highest, this);
    seMin->setObjectName("seMin");
    seMax->setObjectName("seMax");
    for (QSpinBox* spin : {seMin, seMax})
        spin->setMinimumWidth(110);
    seMin->setValue(absolute.min);
    seMax->setValue(absolute.max);
    PlaceBounds(seMin, seMax);
}

void TfrpWizSelectComparison::LoadFromProfile()
{
    cbComp->setCurrentIndex(0);
    lblMsg->setText(QString(messageFormat_).replace(QStringLiteral("%s"), ActionWord(SelectionCriteria.SelAction)));
}

bool TfrpWizSelectComparison::IsRelative() const
{
    return cbComp->currentIndex() == 1;
}

void TfrpWizSelectComparison::SaveToProfile()
{
    if (!seMin)
        return;
    if (fields_.relative)
        *fields_.relative = IsRelative();
    *fields_.min = seMin->value();
    *fields_.max = seMax->value();
}

QString TfrpWizSelectComparison::Validate()
{
    return seMin && seMax->value() < seMin->value() ? orderMessage_ : QString();
}

void TfrpWizSelectComparison::cbCompChange()
{
    if (seMin) {
        const TRangeDefaults& defaults = IsRelative() ? relative_ : absolute_;
        seMin->setValue(defaults.min);
        seMax->setValue(defaults.max);
    }
    Changed();
}
