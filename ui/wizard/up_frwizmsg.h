#pragma once
// The configuration wizard's pages that only tell the user something: a
// fixed text in a borderless, read-only box. A page that also asks
// something adds its controls below the text.
#include <QStringList>

#include "ui/profile/up_frprofile.h"

class QLabel;
class QPlainTextEdit;
class QVBoxLayout;

// What every page of the configuration wizard is laid out with: a wrapped
// label of that objectName, and the page's column with its margins.
QLabel* WizPageLabel(const char* name, const QString& text, QWidget* page);
QVBoxLayout* WizPageLayout(QWidget* page);

class TfrpWizMsg : public TfrpProfile {
    Q_OBJECT
public:
    static constexpr int kMostTextWidth = 350;

    // The text is the lines joined, one per line.
    TfrpWizMsg(const QString& title, const QStringList& lines, QWidget* parent = nullptr);

    QPlainTextEdit* mmMsg;

protected:
    QVBoxLayout* PageLayout() const { return layout_; }
    // A page of text alone takes the focus itself, so that no button of the
    // wizard keeps it and Return means Next.
    void showEvent(QShowEvent* event) override;

private:
    QVBoxLayout* layout_;
};
