#pragma once
// The wizard framework: TWizSequence says which pages come in which order
// (steps that are pages, sub-sequences that may nest and repeat, or steps
// whose page is chosen when they are reached), TfpWizard is the window that
// shows one page at a time with Back, Next (Finish) and Cancel. The special
// selection wizard and the configuration wizard run on it.
#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "ui/profile/up_frprofile.h"

class QLabel;
class QPushButton;
class TWizSequence;
class TfpWizard;

// What a step is made of: a page, a sub-sequence, or nothing. Each step
// gets a fresh object from it whenever the sequence moves forward onto it.
class TWizStepClass {
public:
    using TPageMaker = std::function<std::unique_ptr<TfrpProfile>()>;
    using TSequenceMaker = std::function<std::unique_ptr<TWizSequence>()>;

    TWizStepClass() = default;  // none
    static TWizStepClass OfPage(TPageMaker make);
    static TWizStepClass OfSequence(TSequenceMaker make);
    template <class PageClass>
    static TWizStepClass Page() { return OfPage([] { return std::make_unique<PageClass>(); }); }
    template <class SequenceClass>
    static TWizStepClass Sequence() { return OfSequence([] { return std::make_unique<SequenceClass>(); }); }

    bool IsNone() const { return !makePage_ && !makeSequence_; }

private:
    friend class TWizSequence;
    TPageMaker makePage_;
    TSequenceMaker makeSequence_;
};

enum TWizStepKind { wkPage = 0, wkSequence = 1, wkNone = 2 };

class TWizSequence {
public:
    // One step of no class, until a subclass calls SetSteps.
    TWizSequence();
    virtual ~TWizSequence();
    TWizSequence(const TWizSequence&) = delete;
    TWizSequence& operator=(const TWizSequence&) = delete;

    // Asked when the sequence has no further page: true starts it again at
    // its first step, whose pages are filled anew from the profile.
    virtual bool Repeat() { return false; }
    // The current page was filled from the profile.
    virtual void AfterLoad() {}
    // The current page was written into the profile: where a sequence reads
    // what the user chose.
    virtual void AfterSave() {}
    // The class of the current step when its own class is none; none skips
    // the step, forwards and backwards.
    virtual TWizStepClass ClassForStep() { return {}; }
    // Entered as a parent's step, or again after a repeat.
    virtual void Enter() {}
    // No further page, or about to repeat.
    virtual void Leave() {}
    // The help folder of the wizard's pages ("corvella/configwizard/"),
    // asked of the outermost sequence; a page's help topic lies in it.
    virtual QString HelpFolder() const { return {}; }
    virtual void ChildEntered(TWizSequence& child) { static_cast<void>(child); }
    virtual void ChildLeft(TWizSequence& child) { static_cast<void>(child); }

    // Each move answers the page to show, none when there is none that way.
    TfrpProfile* First();
    TfrpProfile* Next();
    TfrpProfile* Prev();
    // Jumps to the final step; sequences call it from AfterSave or
    // ClassForStep.
    TfrpProfile* Last();

    TfrpProfile* CurrentPage();
    bool IsFirst();
    bool IsLast();
    TWizStepKind StepKind();
    // The current page into the profile, then AfterSave; a sub-sequence
    // commits its own pages as it moves on.
    void CommitCurrent();
    // The current page filled from the profile, then AfterLoad.
    void LoadCurrent();

    int Index() const { return index_; }
    int StepCount() const { return static_cast<int>(steps_.size()); }
    TfpWizard* Wizard() const { return wizard_; }
    void SetWizard(TfpWizard* wizard) { wizard_ = wizard; }

protected:
    // The steps' classes (none given: one step of no class); every step
    // object made so far is dropped.
    void SetSteps(std::vector<TWizStepClass> classes);

private:
    struct TStep {
        TWizStepClass stepClass;
        std::unique_ptr<TfrpProfile> page;
        std::unique_ptr<TWizSequence> child;
        bool HasObject() const { return page || child; }
    };

    // The current step as it stands: its object may not be made yet.
    TStep& CurrentStepAsIs();
    // The current step with its object, made from its class when it has none yet.
    TStep& CurrentStepCreated();
    TWizSequence* CurrentChild() { return CurrentStepCreated().child.get(); }
    void CreateStep(TStep& step, const TWizStepClass& stepClass);

    std::vector<TStep> steps_;
    int index_ = 0;
    TfpWizard* wizard_ = nullptr;  // not owned
};

class TfpWizard : public QDialog {
    Q_OBJECT
public:
    enum TResult { mrOk = 1, mrCancel = 2 };

    explicit TfpWizard(QWidget* parent = nullptr);
    ~TfpWizard() override;

    // Takes the sequence, shows its first page and runs the window modally;
    // mrOk after Finish, mrCancel after a cancel.
    int Execute(std::unique_ptr<TWizSequence> sequence);
    template <class SequenceClass>
    int Execute() { return Execute(std::make_unique<SequenceClass>()); }
    // Execute without the modal run, for a caller that drives the window.
    void Start(std::unique_ptr<TWizSequence> sequence);

    void ShowPage(TfrpProfile* page);
    void UpdateButtons();
    virtual void GoNext();
    virtual void GoBack();
    virtual void Finish();
    virtual void Cancel(bool ask);
    // F1 and Help: the help page of the page shown, else the wizard's own.
    void ShowHelp();

    TWizSequence* Sequence() const { return sequence_.get(); }
    TfrpProfile* CurrentPageFrame() const { return currentPage_; }

    QWidget* pnlClient;
    QLabel* lblTitle;
    QPushButton* bBack;
    QPushButton* bNext;
    QPushButton* bCancel;
    QPushButton* bHelp;

public slots:
    void bNextClick();
    void bBackClick();
    void bCancelClick();
    // Esc and the window's close button ask before cancelling.
    void reject() override;

protected:
    // Sees keys before the focused control: Backspace goes back unless the
    // user is typing in a text field.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* LeftPanel();
    QWidget* TitlePanel();
    QWidget* ButtonPanel();
    void FocusFirstControl(TfrpProfile& page);

    std::unique_ptr<TWizSequence> sequence_;
    TfrpProfile* currentPage_ = nullptr;  // owned by the sequence
};
