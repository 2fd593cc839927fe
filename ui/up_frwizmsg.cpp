#include "ui/up_frwizmsg.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TfrpWizMsg::TfrpWizMsg(const QString& title, const QStringList& lines, QWidget* parent)
    : TfrpProfile(parent), mmMsg(new QPlainTextEdit(lines.join('\n'), this)), layout_(new QVBoxLayout(this))
{
    SetPageTitle(title);
    mmMsg->setObjectName("mmMsg");
    mmMsg->setReadOnly(true);
    mmMsg->setFrameShape(QFrame::NoFrame);
    mmMsg->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmMsg->setMaximumWidth(kMostTextWidth);
    // The text is no control to work in: Tab and the wizard's first focus
    // go to the page's own controls, and Backspace goes back.
    mmMsg->setFocusPolicy(Qt::NoFocus);
    mmMsg->viewport()->setAutoFillBackground(false);
    mmMsg->setStyleSheet("QPlainTextEdit { background: transparent; }");
    layout_->setContentsMargins(16, 8, 16, 8);
    layout_->addWidget(mmMsg, 1);
}
