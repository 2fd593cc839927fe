#include "ui/wizard/up_frwizmsg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

QLabel* WizPageLabel(const char* name, const QString& text, QWidget* page)
{
    auto* label = new QLabel(text, page);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

QVBoxLayout* WizPageLayout(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    // Narrow sides: the wizard's client area is fixed and the longest
    // sensitivity preset needs nearly all of its width.
    layout->setContentsMargins(8, 8, 4, 8);
    return layout;
}

TfrpWizMsg::TfrpWizMsg(const QString& title, const QStringList& lines, QWidget* parent)
    : TfrpProfile(parent), mmMsg(new QPlainTextEdit(lines.join('\n'), this)), layout_(WizPageLayout(this))
{
    SetPageTitle(title);
    mmMsg->setObjectName("mmMsg");
    mmMsg->setReadOnly(true);
    mmMsg->setFrameShape(QFrame::NoFrame);
    mmMsg->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmMsg->setMaximumWidth(kMostTextWidth);
    // The text is no control to work in: the focus goes to the page, and
    // Backspace goes back.
    mmMsg->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    mmMsg->viewport()->setAutoFillBackground(false);
    mmMsg->setStyleSheet("QPlainTextEdit { background: transparent; }");
    layout_->addWidget(mmMsg, 1);
}

void TfrpWizMsg::showEvent(QShowEvent* event)
{
    TfrpProfile::showEvent(event);
    setFocus(Qt::OtherFocusReason);
}
