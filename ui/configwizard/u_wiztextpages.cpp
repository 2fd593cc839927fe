#include "ui/configwizard/u_wiztextpages.h"

#include <QVBoxLayout>

#include "ui/common/u_radiogroup.h"

namespace {

const QString kAddingNote = QStringLiteral("Note: When you add a directory, all subdirectories are automagically included.");
const QString kStartAdding = QStringLiteral("Click \"Next\" to start adding directories.");

}  // namespace

TfrWizTextAddRefDir::TfrWizTextAddRefDir(QWidget* parent)
    : TfrpWizMsg(QStringLiteral("Master collection"),
                 {QStringLiteral("Your master collection is where you are 100% sure that there is no duplicates. "
                                 "Thus, there will never be a file deleted there."),
                  {}, kStartAdding, {}, kAddingNote},
                 parent)
{
    setObjectName("frWizTextAddRefDir");
    SetHelpTopic(QStringLiteral("directories.htm"));
}

TfrWizTextAddDir::TfrWizTextAddDir(QWidget* parent)
    : TfrpWizMsg(QStringLiteral("Duplicates' directory"),
                 {QStringLiteral("You will now add the directories you want to scan for duplicates."), {}, kStartAdding,
                  {}, kAddingNote},
                 parent)
{
    setObjectName("frWizTextAddDir");
    SetHelpTopic(QStringLiteral("directories.htm"));
}

TfrWizTextBuildMPL::TfrWizTextBuildMPL(QWidget* parent)
    : TfrpWizMsg(QStringLiteral("Mp3 list creation"),
                 {QStringLiteral("Corvella needs to build a list of your CDs."), {},
                  QStringLiteral("Insert the first CD of your collection and click \"Next\"."), {},
                  QStringLiteral("Do that until all your CDs are added.")},
                 parent)
{
    setObjectName("frWizTextBuildMPL");
    SetHelpTopic(QStringLiteral("mp3list.htm"));
}

TfrpWizTextFinishMPL::TfrpWizTextFinishMPL(QWidget* parent)
    : TfrpWizMsg(QStringLiteral("Mp3 list completed"),
                 {QStringLiteral("Congratulations, your Mp3 List is now completed."), {},
                  QStringLiteral("You can use that Mp3 List exactly like any other directory. You can differentiate "
                                 "files from MPL files with the \"@\" prefix in their path.")},
                 parent)
{
    setObjectName("frpWizTextFinishMPL");
    SetHelpTopic(QStringLiteral("mp3list.htm"));
}

TfrWizTextFinish::TfrWizTextFinish(QWidget* parent)
    : TfrpWizMsg(QStringLiteral("Congratulations"), {QStringLiteral("Your new profile is now ready to run.")}, parent),
      rgPostWizAction(new TRadioGroup(QStringLiteral("What now?"),
                                      {QStringLiteral("Run the profile newly created"),
                                       QStringLiteral("Edit the profile newly created"),
                                       QStringLiteral("End this wizard and nothing else")},
                                      this))
{
    setObjectName("frWizTextFinish");
    SetHelpTopic(QStringLiteral("finish.htm"));
    rgPostWizAction->setObjectName("rgPostWizAction");
    rgPostWizAction->SetItemIndex(paRun);
    PageLayout()->addWidget(rgPostWizAction);
}

TPostWizAction TfrWizTextFinish::Action() const
{
    const int item = rgPostWizAction->ItemIndex();
    return item == paRun || item == paEdit ? static_cast<TPostWizAction>(item) : paNothing;
}
