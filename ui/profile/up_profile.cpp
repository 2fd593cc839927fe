#include "ui/profile/up_profile.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <vector>

#include "ui/common/u_prompts.h"

namespace {

constexpr int kUnchangedImage = 0;
constexpr int kChangedImage = 1;

QPushButton* NewButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TBWProfileSection::TBWProfileSection(QTreeWidget* tree, const QString& caption, TPageClass pageClass)
    : QTreeWidgetItem(tree, {caption}), PageClass(pageClass)
{
}

TBWProfileSection::TBWProfileSection(TBWProfileSection* parent, const QString& caption, TPageClass pageClass)
    : QTreeWidgetItem(parent, {caption}), PageClass(pageClass)
{
}

TBWProfileSection* TBWProfileSection::AddSubSection(const QString& caption, TPageClass pageClass)
{
    auto* section = new TBWProfileSection(this, caption, pageClass);
    section->setIcon(0, icon(0));
    setExpanded(true);
    return section;
}

TfpProfile::TfpProfile(QWidget* parent)
    : QDialog(parent),
      tv(new QTreeWidget(this)),
      pnlClient(new QWidget(this)),
      Panel1(new QWidget(pnlClient)),
      bHelp(NewButton(tr("&Help (F1)"), "bHelp", Panel1)),
      bOK(NewButton(tr("&OK"), "bOK", Panel1)),
      bApply(NewButton(tr("&Apply"), "bApply", Panel1)),
      bCancel(NewButton(tr("&Cancel"), "bCancel", Panel1)),
      pageLayout_(new QVBoxLayout)
{
    setObjectName("TfpProfile");
    setWindowTitle(tr("Profile edition window"));
    IL.Put(kUnchangedImage, dmCentral->IL.Pixmap(siProfile));
    IL.Put(kChangedImage, dmCentral->IL.Pixmap(siModified));

    tv->setObjectName("tv");
    tv->setHeaderHidden(true);
    tv->setIndentation(19);
    tv->setFixedWidth(193);
    tv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tv->setSelectionBehavior(QAbstractItemView::SelectRows);
    pnlClient->setObjectName("pnlClient");
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(41);
    bOK->setDefault(true);
    bApply->setEnabled(false);

    auto* buttons = new QHBoxLayout(Panel1);
    buttons->addWidget(bHelp);
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bApply);
    buttons->addWidget(bCancel);
    auto* client = new QVBoxLayout(pnlClient);
    client->setContentsMargins(0, 0, 0, 0);
    client->addLayout(pageLayout_, 1);
    client->addWidget(Panel1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tv);
    layout->addWidget(pnlClient, 1);

    connect(tv, &QTreeWidget::currentItemChanged, this, &TfpProfile::tvChange);
    connect(bHelp, &QPushButton::clicked, this, &TfpProfile::bHelpClick);
    connect(bOK, &QPushButton::clicked, this, &TfpProfile::bOKClick);
    connect(bApply, &QPushButton::clicked, this, &TfpProfile::bApplyClick);
    connect(bCancel, &QPushButton::clicked, this, &TfpProfile::reject);
}

// The page goes first: it may still tell the window of changes while it dies.
TfpProfile::~TfpProfile()
{
    FreePage();
}

TBWProfileSection* TfpProfile::AddSection(const QString& caption, TPageClass pageClass)
{
    auto* section = new TBWProfileSection(tv, caption, pageClass);
    section->setIcon(0, IL.Icon(kUnchangedImage));
    return section;
}

int TfpProfile::ShowAtPage(const QMetaObject* pageClass)
{
    if (pageClass)
        SelectPageOfClass(pageClass);
    return exec();
}

// Only the last section of the class is selected, so the sections before it
// make no pages and ask the shown page no questions on the way.
void TfpProfile::SelectPageOfClass(const QMetaObject* pageClass)
{
    QTreeWidgetItem* last = nullptr;
    for (QTreeWidgetItemIterator node(tv); *node; ++node)
        if (static_cast<TBWProfileSection*>(*node)->PageClass.meta == pageClass)
            last = *node;
    if (last)
        tv->setCurrentItem(last);
}

void TfpProfile::showEvent(QShowEvent* event)
{
    if (!tv->currentItem() && tv->topLevelItemCount() > 0)
        tv->setCurrentItem(tv->topLevelItem(0));
    QDialog::showEvent(event);
}

// Sections are compared, not page classes: two sections may share a class
// (the text pages) and still show different things.
void TfpProfile::tvChange(QTreeWidgetItem* node)
{
    auto* section = static_cast<TBWProfileSection*>(node);
    if (!section || section == currentSection_)
        return;
    if (currentPage_) {
        const QString message = currentPage_->Validate();
        if (!message.isEmpty()) {
            Prompts().ShowWarning(MessageCaption(), message);
            ReselectShownSection();
            return;
        }
        currentPage_->SaveToProfile();
        FreePage();
    }
    ShowSection(section);
}

// A mouse press goes on selecting the node it hit after the change it made
// was handled, so the way back waits until the tree is done; it comes back
// through tvChange, which finds the section already shown.
void TfpProfile::ReselectShownSection()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (currentSection_)
                tv->setCurrentItem(currentSection_);
        },
        Qt::QueuedConnection);
}

void TfpProfile::ShowSection(TBWProfileSection* section)
{
    currentSection_ = section;
    currentPage_ = section->PageClass.create(pnlClient);
    pageLayout_->addWidget(currentPage_);
    connect(currentPage_, &TfrpProfile::pageChanged, this, &TfpProfile::PageChanged);
    currentPage_->SetHelpText(section->Text);
    currentPage_->Refresh();
    PutPageFirstInTabOrder();
    currentPage_->show();
}

// Tab goes from the tree into the page and then to the buttons, although
// the page was made after them.
void TfpProfile::PutPageFirstInTabOrder()
{
    std::vector<QWidget*> controls;
    for (QWidget* widget = currentPage_->nextInFocusChain(); currentPage_->isAncestorOf(widget);
         widget = widget->nextInFocusChain())
        if (widget->focusPolicy() & Qt::TabFocus)
            controls.push_back(widget);
    QWidget* previous = tv;
    for (QWidget* control : controls) {
        setTabOrder(previous, control);
        previous = control;
    }
}

void TfpProfile::FreePage()
{
    delete currentPage_;
    currentPage_ = nullptr;
    currentSection_ = nullptr;
}

bool TfpProfile::ApplyChanges()
{
    if (!modified_)
        return true;
    if (currentPage_) {
        const QString message = currentPage_->Validate();
        if (!message.isEmpty()) {
            Prompts().ShowWarning(MessageCaption(), message);
            return false;
        }
        currentPage_->SaveToProfile();
    }
    if (!SaveCurrentProfile())
        return false;
    ClearModified();
    return true;
}

void TfpProfile::PageChanged(TfrpProfile* page)
{
    if (page != currentPage_)
        return;
    for (QTreeWidgetItem* node = currentSection_; node; node = node->parent())
        node->setIcon(0, IL.Icon(kChangedImage));
    modified_ = true;
    bApply->setEnabled(true);
}

void TfpProfile::ClearModified()
{
    for (QTreeWidgetItemIterator node(tv); *node; ++node)
        (*node)->setIcon(0, IL.Icon(kUnchangedImage));
    modified_ = false;
    bApply->setEnabled(false);
}

void TfpProfile::bHelpClick()
{
    if (currentPage_)
        Prompts().ShowHelpTopic(HelpPrefix() + currentPage_->helpTopic());
}

void TfpProfile::bOKClick()
{
    if (ApplyChanges())
        accept();
}

void TfpProfile::bApplyClick()
{
    ApplyChanges();
}

void TfpProfile::reject()
{
    // Ending on a request, nobody is asked: the changes go as with Cancel.
    if (modified_ && !EndingOnRequest() && !Prompts().ConfirmDestructive(MessageCaption(), tr("Discard the changes?")))
        return;
    RestoreProfile();
    QDialog::reject();
}

void TfpProfile::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier)
        bHelpClick();
    else
        QDialog::keyPressEvent(event);
}

QString TfpProfile::MessageCaption() const
{
    return windowTitle();
}
