#pragma once
// The warning shown before a duplicate is copied over its reference file:
// "Replace file" goes on, "Cancel" (or Esc) does not. The results window's
// replace action shows it.
#include <QDialog>

class TfWarningReplace : public QDialog {
    Q_OBJECT
public:
    explicit TfWarningReplace(QWidget* parent = nullptr);
};
