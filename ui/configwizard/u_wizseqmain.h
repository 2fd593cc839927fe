#pragma once
// The configuration wizard's sequences: which pages come for the operation,
// the collection and the directories the user chose, and what each answer
// writes into the current profile. The main window runs the wizard through
// RunProfileWizard for a new profile.
#include <cstdint>
#include <string>

#include "ui/configwizard/u_wizchoices.h"
#include "ui/configwizard/u_wizoperation.h"
#include "ui/configwizard/u_wiztextpages.h"
#include "ui/wizard/up_wizard.h"

class QWidget;
class TBWDirMpl;

// Builds a new profile with the wizard and stores it. The answer is what
// the user wants next: paRun, paEdit or paNothing (also after a cancel,
// when the profile that was current before is loaded again).
std::uint8_t RunProfileWizard(QWidget* parent = nullptr);

class TWSMain : public TWizSequence {
public:
    TWSMain();

    void AfterSave() override;
    TWizStepClass ClassForStep() override;
    void ChildLeft(TWizSequence& child) override;
    QString HelpFolder() const override { return QStringLiteral("corvella/configwizard/"); }

    TWizOperation Operation = opScan;
    TPostWizAction FinishChoice = paRun;
    bool Advanced = false;
};

// One directory, the only one of the profile.
class TWSSimpleAskDir : public TWizSequence {
public:
    TWSSimpleAskDir();

    void AfterSave() override;
};

class TWSAdvAskDir : public TWizSequence {
public:
    TWSAdvAskDir();

    void AfterSave() override;
    TWizStepClass ClassForStep() override;

    TCollectionType CollectionType = ctOnHardDrive;
};

// One directory per pass, each with DirRole, while the user answers Yes.
// The directory page reads the model root again each time it is filled, so
// the sequence itself does not: a refresh after a repeat's refill would
// take the drives out of the tree just shown. Each further pass starts with
// no folder selected, for the next one.
class TWSAskForDirectory : public TWizSequence {
public:
    TWSAskForDirectory();

    void AfterLoad() override;
    void AfterSave() override;
    bool Repeat() override { return AddAnother; }
    void Leave() override { ++passesDone_; }

    bool AddAnother = false;
    std::int32_t DirRole = 2;

private:
    int passesDone_ = 0;
};

// The master collection's directories first (references), then those that
// hold the duplicates.
class TWSColRef : public TWizSequence {
public:
    TWSColRef();

    void ChildEntered(TWizSequence& child) override;
};

// The collection is an Mp3 List of the user's CDs, chosen or built now; it
// is the reference, and the hard drive's directories are asked after it.
class TWSColCD : public TWizSequence {
public:
    TWSColCD();

    void AfterSave() override;
    TWizStepClass ClassForStep() override;
    void ChildLeft(TWizSequence& child) override;
};

class TWSBuildMPL : public TWizSequence {
public:
    TWSBuildMPL();

    void AfterSave() override;
    void ChildEntered(TWizSequence& child) override;
    // The list is written to its file.
    void Leave() override;

    TBWDirMpl* List = nullptr;  // not owned
};

// One CD per pass, read into the list, while the user answers Yes; the
// drive page reads the model root again for each new CD.
class TWSAddCDToMPL : public TWizSequence {
public:
    TWSAddCDToMPL();

    void SetList(TBWDirMpl* list) { List = list; }
    void AfterLoad() override;
    void AfterSave() override;
    bool Repeat() override { return AddAnother; }

    bool AddAnother = false;
    TBWDirMpl* List = nullptr;  // not owned
    std::string DiscPath;
    std::string VolumeName;
};
