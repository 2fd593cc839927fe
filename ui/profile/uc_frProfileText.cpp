#include "ui/profile/uc_frProfileText.h"

#include <QLabel>
#include <QVBoxLayout>

TfrcProfileText::TfrcProfileText(QWidget* parent) : TfrpProfile(parent), lblComment(new QLabel(this))
{
    lblComment->setObjectName("lblComment");
    lblComment->setAlignment(Qt::AlignCenter);
    lblComment->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblComment);
}

void TfrcProfileText::SetHelpText(const QString& text)
{
    TfrpProfile::SetHelpText(text);
    lblComment->setText(text);
}
