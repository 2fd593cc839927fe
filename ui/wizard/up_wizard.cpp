#include "ui/wizard/up_wizard.h"

#include <algorithm>

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "ui/common/u_helpwindow.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_prompts.h"

namespace {

const char* const kWindowCaption = "Configuration Wizard";
const char* const kDefaultTitle = "Configuration wizard";
const char* const kNextCaption = "&Next >>";
const char* const kFinishCaption = "&Finish";
const QColor kFramePen(19, 182, 126);
const QColor kTitleColour(102, 153, 204);

// A panel whose content sits in a frame with rounded corners.
class TRoundedFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(kFramePen, 4));
        painter.drawRoundedRect(QRectF(rect()).adjusted(3, 3, -3, -3), 10, 10);
    }
};

// Where typing goes: Backspace there deletes a character.
bool IsTextField(const QWidget* widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
        qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget))
        return true;
    const auto* combo = qobject_cast<const QComboBox*>(widget);
    return combo && combo->isEditable();
}

}  // namespace

// ------------------------------------------------------------ step classes

TWizStepClass TWizStepClass::OfPage(TPageMaker make)
{
    TWizStepClass stepClass;
    stepClass.makePage_ = std::move(make);
    return stepClass;
}

TWizStepClass TWizStepClass::OfSequence(TSequenceMaker make)
{
    TWizStepClass stepClass;
    stepClass.makeSequence_ = std::move(make);
    return stepClass;
}

// ---------------------------------------------------------------- sequence

TWizSequence::TWizSequence() : steps_(1) {}

TWizSequence::~TWizSequence() = default;

void TWizSequence::SetSteps(std::vector<TWizStepClass> classes)
{
    steps_.clear();
    // Like a new sequence, a sequence always has a step, if only of no class.
    steps_.resize(std::max<std::size_t>(classes.size(), 1));
    for (std::size_t i = 0; i < classes.size(); ++i)
        steps_[i].stepClass = std::move(classes[i]);
}

TWizSequence::TStep& TWizSequence::CurrentStepAsIs()
{
    return steps_[static_cast<std::size_t>(std::clamp(index_, 0, StepCount() - 1))];
}

TWizSequence::TStep& TWizSequence::CurrentStepCreated()
{
    TStep& step = CurrentStepAsIs();
    if (!step.HasObject())
        CreateStep(step, step.stepClass);
    return step;
}

void TWizSequence::CreateStep(TStep& step, const TWizStepClass& stepClass)
{
    if (stepClass.makePage_) {
        step.page = stepClass.makePage_();
        step.page->hide();
    } else if (stepClass.makeSequence_) {
        step.child = stepClass.makeSequence_();
        step.child->SetWizard(wizard_);
    }
}

TWizStepKind TWizSequence::StepKind()
{
    const TStep& step = CurrentStepCreated();
    return step.page ? wkPage : step.child ? wkSequence : wkNone;
}

TfrpProfile* TWizSequence::CurrentPage()
{
    if (StepKind() == wkNone) {
        const int asked = index_;
        const TWizStepClass stepClass = ClassForStep();
        // ClassForStep may have jumped elsewhere (Last): the class belongs
        // to the step it was asked for.
        CreateStep(steps_[static_cast<std::size_t>(std::clamp(asked, 0, StepCount() - 1))], stepClass);
        if (index_ != asked)
            return CurrentPage();
    }
    TStep& step = CurrentStepAsIs();
    return step.child ? step.child->CurrentPage() : step.page.get();
}

bool TWizSequence::IsFirst()
{
    if (index_ > 0)
        return false;
    TWizSequence* child = CurrentChild();
    return !child || child->IsFirst();
}

bool TWizSequence::IsLast()
{
    if (index_ != StepCount() - 1)
        return false;
    TWizSequence* child = CurrentChild();
    return !child || child->IsLast();
}

void TWizSequence::CommitCurrent()
{
    TStep& step = CurrentStepCreated();
    if (step.page && index_ >= 0) {
        step.page->SaveToProfile();
        AfterSave();
    }
}

void TWizSequence::LoadCurrent()
{
    TStep& step = CurrentStepCreated();
    if (step.child) {
        step.child->LoadCurrent();
    } else if (step.page && index_ >= 0) {
        step.page->Refresh();
        AfterLoad();
    }
}

TfrpProfile* TWizSequence::Next()
{
    TfrpProfile* page = nullptr;
    if (TWizSequence* child = CurrentChild()) {
        page = child->Next();
        if (!page) {
            child->Leave();
            ChildLeft(*child);
        }
    }
    if (!page) {
        CommitCurrent();
        const bool wasAtLastStep = index_ >= StepCount() - 1;
        while (index_ < StepCount() - 1 && !page) {
            ++index_;
            // Every step is entered with a fresh object.
            TStep& step = CurrentStepAsIs();
            step.page.reset();
            step.child.reset();
            page = CurrentPage();
            if (TWizSequence* child = CurrentStepAsIs().child.get()) {
                ChildEntered(*child);
                child->Enter();
            }
        }
        if (!wasAtLastStep)
            LoadCurrent();
    }
    if (page || !Repeat())
        return page;
    Leave();
    page = First();
    Enter();
    return page;
}

TfrpProfile* TWizSequence::First()
{
    index_ = 0;
    TfrpProfile* page = nullptr;
    if (TWizSequence* child = CurrentChild()) {
        page = child->First();
    } else {
        page = CurrentPage();
        LoadCurrent();
    }
    return page ? page : Next();
}

TfrpProfile* TWizSequence::Prev()
{
    TfrpProfile* page = nullptr;
    if (TWizSequence* child = CurrentChild())
        page = child->Prev();
    // Going back writes and reloads nothing: earlier pages show what the
    // user left in them.
    const int from = index_;
    while (!page && !IsFirst()) {
        --index_;
        page = CurrentPage();
    }
    // Without an earlier page the sequence stays on the page still shown,
    // which moving forward must not free as if it were a step ahead.
    if (!page)
        index_ = from;
    return page;
}

TfrpProfile* TWizSequence::Last()
{
    index_ = StepCount() - 1;
    TfrpProfile* page = nullptr;
    if (TWizSequence* child = CurrentChild())
        page = child->Last();
    else
        page = CurrentPage();
    return page ? page : Prev();
}

// ------------------------------------------------------------------ window

TfpWizard::TfpWizard(QWidget* parent)
    : QDialog(parent), pnlClient(new QWidget(this)), lblTitle(new QLabel(QString::fromLatin1(kDefaultTitle), this)),
      bBack(new QPushButton(QStringLiteral("<< &Back"), this)),
      bNext(new QPushButton(QString::fromLatin1(kNextCaption), this)),
      bCancel(new QPushButton(QStringLiteral("&Cancel"), this)), bHelp(new QPushButton(QStringLiteral("&Help"), this))
{
    setObjectName("fpWizard");
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(534, 363);

    pnlClient->setObjectName("pnlClient");
    auto* client = new QVBoxLayout(pnlClient);
    client->setContentsMargins(0, 0, 0, 0);
    client->addWidget(TitlePanel());

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(LeftPanel());
    body->addWidget(pnlClient, 1);
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addLayout(body, 1);
    window->addWidget(ButtonPanel());

    connect(bNext, &QPushButton::clicked, this, &TfpWizard::bNextClick);
    connect(bBack, &QPushButton::clicked, this, &TfpWizard::bBackClick);
    connect(bCancel, &QPushButton::clicked, this, &TfpWizard::bCancelClick);
    connect(bHelp, &QPushButton::clicked, this, &TfpWizard::ShowHelp);
    auto* aHelp = new QAction(this);
    aHelp->setObjectName("aHelp");
    aHelp->setShortcut(QKeySequence(Qt::Key_F1));
    connect(aHelp, &QAction::triggered, this, &TfpWizard::ShowHelp);
    addAction(aHelp);
    qApp->installEventFilter(this);
}

TfpWizard::~TfpWizard()
{
    qApp->removeEventFilter(this);
    // The pages go with their sequence, before the window's own children.
    currentPage_ = nullptr;
    sequence_.reset();
}

QWidget* TfpWizard::LeftPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlLeft");
    panel->setFixedWidth(97);
    auto* frame = new TRoundedFrame(panel);
    frame->setFixedSize(84, 84);
    auto* picture = new QLabel(frame);
    picture->setObjectName("imgLeft");
    picture->setPixmap(ProgramIcon(64));
    picture->setGeometry(10, 10, 64, 64);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(frame, 0, Qt::AlignHCenter);
    layout->addStretch();
    return panel;
}

QWidget* TfpWizard::TitlePanel()
{
    auto* panel = new TRoundedFrame(pnlClient);
    panel->setObjectName("pnlTitle");
    panel->setFixedHeight(49);
    lblTitle->setObjectName("lblTitle");
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(19);
    lblTitle->setFont(font);
    QPalette palette = lblTitle->palette();
    palette.setColor(QPalette::WindowText, kTitleColour);
    lblTitle->setPalette(palette);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(14, 4, 14, 4);
    layout->addWidget(lblTitle);
    return panel;
}

QWidget* TfpWizard::ButtonPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlButtons");
    panel->setFixedHeight(46);
    bBack->setObjectName("bBack");
    bBack->setEnabled(false);
    bNext->setObjectName("bNext");
    bNext->setDefault(true);
    bCancel->setObjectName("bCancel");
    bHelp->setObjectName("bHelp");
    bHelp->setToolTip(QStringLiteral("F1"));
    // Enter goes on to the next page even while Help has the focus.
    bHelp->setAutoDefault(false);
    auto* layout = new QHBoxLayout(panel);
    layout->addWidget(bHelp);
    layout->addStretch();
    layout->addWidget(bBack);
    layout->addWidget(bNext);
    layout->addSpacing(12);
    layout->addWidget(bCancel);
    return panel;
}

void TfpWizard::Start(std::unique_ptr<TWizSequence> sequence)
{
    sequence_ = std::move(sequence);
    sequence_->SetWizard(this);
    ShowPage(sequence_->First());
}

int TfpWizard::Execute(std::unique_ptr<TWizSequence> sequence)
{
    Start(std::move(sequence));
    return exec();
}

void TfpWizard::ShowPage(TfrpProfile* page)
{
    if (page == currentPage_)
        return;
    if (currentPage_) {
        currentPage_->hide();
        currentPage_->setParent(nullptr);
    }
    currentPage_ = page;
    if (!page)
        return;
    page->setParent(pnlClient);
    pnlClient->layout()->addWidget(page);
    page->show();
    FocusFirstControl(*page);
    lblTitle->setText(page->pageTitle().isEmpty() ? QString::fromLatin1(kDefaultTitle) : page->pageTitle());
}

void TfpWizard::FocusFirstControl(TfrpProfile& page)
{
    for (QWidget* widget = page.nextInFocusChain(); widget && widget != &page; widget = widget->nextInFocusChain()) {
        if (!page.isAncestorOf(widget) || !(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled())
            continue;
        // On a radio group the choice made takes the focus.
        if (auto* radio = qobject_cast<QRadioButton*>(widget); radio && radio->group() && radio->group()->checkedButton())
            widget = radio->group()->checkedButton();
        widget->setFocus(Qt::TabFocusReason);
        return;
    }
}

void TfpWizard::UpdateButtons()
{
    bNext->setText(QString::fromLatin1(sequence_->IsLast() ? kFinishCaption : kNextCaption));
    bBack->setEnabled(!sequence_->IsFirst());
}

void TfpWizard::GoNext()
{
    if (currentPage_) {
        const QString message = currentPage_->Validate();
        if (!message.isEmpty()) {
            Prompts().ShowWarning(windowTitle(), message);
            return;
        }
    }
    ShowPage(sequence_->Next());
    if (currentPage_)
        UpdateButtons();
    else
        Finish();
}

void TfpWizard::GoBack()
{
    // Without an earlier page the current one stays until the user has
    // answered: a No leaves the wizard as it was.
    if (TfrpProfile* page = sequence_->Prev()) {
        ShowPage(page);
        UpdateButtons();
    } else {
        Cancel(true);
    }
}

void TfpWizard::Finish()
{
    sequence_->CommitCurrent();
    done(mrOk);
}

void TfpWizard::Cancel(bool ask)
{
    if (sequence_->IsLast()) {
        Finish();
        return;
    }
    if (ask && !Prompts().ConfirmDestructive(windowTitle(), QStringLiteral("Are you sure you want to cancel this wizard?")))
        return;
    if (currentPage_)
        currentPage_->CancelChanges();
    done(mrCancel);
}

void TfpWizard::ShowHelp()
{
    const QString folder = sequence_ ? sequence_->HelpFolder() : QString();
    QString topic = folder + (currentPage_ ? currentPage_->helpTopic() : QString());
    if (HelpPagePath(topic).isEmpty())
        topic = folder + QStringLiteral("index.htm");
    Prompts().ShowHelpTopic(topic);
}

void TfpWizard::bNextClick()
{
    if (sequence_->IsLast())
        Finish();
    else
        GoNext();
}

void TfpWizard::bBackClick()
{
    GoBack();
}

void TfpWizard::bCancelClick()
{
    Cancel(true);
}

void TfpWizard::reject()
{
    // Ending on a request, nobody is asked.
    Cancel(!EndingOnRequest());
}

bool TfpWizard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Backspace)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    if (!bBack->isEnabled() || IsTextField(focusWidget()))
        return false;
    bBack->click();
    return true;
}
