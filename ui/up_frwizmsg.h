#pragma once
// The configuration wizard's pages that only tell the user something: a
// fixed text in a borderless, read-only box. A page that also asks
// something adds its controls below the text.
#include <QStringList>

#include "ui/up_frprofile.h"

class QPlainTextEdit;
class QVBoxLayout;

class TfrpWizMsg : public TfrpProfile {
    Q_OBJECT
public:
    static constexpr int kMostTextWidth = 350;

    // The text is the lines joined, one per line.
    TfrpWizMsg(const QString& title, const QStringList& lines, QWidget* parent = nullptr);

    QPlainTextEdit* mmMsg;

protected:
    QVBoxLayout* PageLayout() const { return layout_; }

private:
    QVBoxLayout* layout_;
};
