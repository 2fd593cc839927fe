#pragma once
// The generic profile editor: a tree of sections on the left, the page of the
// selected section beside it, and Help, OK, Apply and Cancel under the page.
// It knows sections, pages, validation, the modified state and help; a
// subclass builds the sections, saves its profile and names its help folder.
// Pages change the profile in memory as they are left; only OK and Apply
// write it to its file, and Cancel puts back what the pages changed.
#include <QDialog>
#include <QTreeWidgetItem>

#include "ui/common/u_pictures.h"
#include "ui/profile/up_frprofile.h"

class QPushButton;
class QTreeWidget;
class QVBoxLayout;

// A page class: what a section shows, and how to make one.
struct TPageClass {
    const QMetaObject* meta = nullptr;
    TfrpProfile* (*create)(QWidget* parent) = nullptr;
};

template <class TPage>
TPageClass PageClassOf()
{
    return {&TPage::staticMetaObject, [](QWidget* parent) -> TfrpProfile* { return new TPage(parent); }};
}

// A node of the section tree; the tree owns it.
class TBWProfileSection : public QTreeWidgetItem {
public:
    TBWProfileSection(QTreeWidget* tree, const QString& caption, TPageClass pageClass);
    TBWProfileSection(TBWProfileSection* parent, const QString& caption, TPageClass pageClass);

    // A section under this one, which is then expanded.
    template <class TPage>
    TBWProfileSection* AddSubSection(const QString& caption)
    {
        return AddSubSection(caption, PageClassOf<TPage>());
    }
    TBWProfileSection* AddSubSection(const QString& caption, TPageClass pageClass);

    // Handed to the page through SetHelpText; text pages show it.
    QString Text;
    TPageClass PageClass;
};

class TfpProfile : public QDialog {
    Q_OBJECT
public:
    explicit TfpProfile(QWidget* parent = nullptr);
    ~TfpProfile() override;

    template <class TPage>
    TBWProfileSection* AddSection(const QString& caption)
    {
        return AddSection(caption, PageClassOf<TPage>());
    }
    TBWProfileSection* AddSection(const QString& caption, TPageClass pageClass);

    // Selects the (last) section shown by that page class, when one is given,
    // and shows the window modally; the result is Accepted after OK.
    int ShowAtPage(const QMetaObject* pageClass = nullptr);
    void SelectPageOfClass(const QMetaObject* pageClass);
    // Validates and saves the shown page, then the profile. False, with the
    // reason shown, when the page is not valid or the profile could not be
    // written; the window then stays modified.
    bool ApplyChanges();

    TfrpProfile* CurrentPage() const { return currentPage_; }
    TBWProfileSection* CurrentSection() const { return currentSection_; }
    bool Modified() const { return modified_; }

    QTreeWidget* tv;
    QWidget* pnlClient;
    QWidget* Panel1;
    QPushButton* bHelp;
    QPushButton* bOK;
    QPushButton* bApply;
    QPushButton* bCancel;
    // Section marks: 0 unchanged, 1 changed.
    TImageList IL{16};

    // Cancel, Esc and the close button: asks before changes are discarded.
    void reject() override;

protected:
    // Writes the current profile to its file; false, after telling the
    // user, when it could not be written.
    virtual bool SaveCurrentProfile() = 0;
    // Puts the current profile back as it was when the window opened or was
    // last saved.
    virtual void RestoreProfile() = 0;
    // The help folder of the pages' topics, ending in "/".
    virtual QString HelpPrefix() const { return {}; }
    // The caption of the window's message boxes.
    QString MessageCaption() const;

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void tvChange(QTreeWidgetItem* node);
    void bHelpClick();
    void bOKClick();
    void bApplyClick();
    void PageChanged(TfrpProfile* page);

private:
    void ShowSection(TBWProfileSection* section);
    void ReselectShownSection();
    void PutPageFirstInTabOrder();
    void FreePage();
    void ClearModified();

    TfrpProfile* currentPage_ = nullptr;
    TBWProfileSection* currentSection_ = nullptr;
    bool modified_ = false;
    QVBoxLayout* pageLayout_;
};
