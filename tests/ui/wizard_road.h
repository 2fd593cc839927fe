#pragma once
// The user's way through the configuration wizard's window, for tests that
// answer it page by page: each page is checked to be the one expected before
// it is answered; Next is the Return key.
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "model/u_bwfsdrive.h"
#include "tests/ui/item_clicks.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/common/u_radiogroup.h"
#include "ui/wizard/up_wizard.h"

class WizardRoad {
public:
    explicit WizardRoad(QWidget& dialog) : wizard(static_cast<TfpWizard&>(dialog)) {}
    // A road that failed half-way leaves no wizard open to ask its question.
    ~WizardRoad()
    {
        if (wizard.isVisible())
            wizard.done(TfpWizard::mrCancel);
    }

    template <class Page>
    Page* On(const QString& title)
    {
        auto* page = dynamic_cast<Page*>(wizard.CurrentPageFrame());
        if (!page || wizard.lblTitle->text() != title) {
            qWarning("expected page %s, shown %s", qPrintable(title), qPrintable(wizard.lblTitle->text()));
            return nullptr;
        }
        return page;
    }
    void Choose(TRadioGroup* group, int item) { group->Buttons()->button(item)->click(); }
    void Next() { QTest::keyClick(&wizard, Qt::Key_Return); }
    void Back() { wizard.bBack->click(); }
    // Selects the folder in a directory tree the way a user does: unfolds
    // the way to it and clicks it.
    bool Select(TBWDirTV* tree, const std::string& folder)
    {
        TBWDirectory* dir = FSDrive().FindDir(folder, true);
        const QModelIndex node = dir ? tree->FindNode({}, dir, false) : QModelIndex();
        if (!node.isValid())
            return false;
        for (QModelIndex above = node.parent(); above.isValid(); above = above.parent())
            tree->expand(above);
        ClickItem(*tree, node);
        return tree->SelectedDirectory() == dir;
    }

    TfpWizard& wizard;
};
