#pragma once
// The warning shown before a duplicate is copied over its reference file,
// naming both: "Replace file" goes on, "Cancel" (or Esc) does not. The
// results window's replace action shows it.
#include <QDialog>

class TfWarningReplace : public QDialog {
    Q_OBJECT
public:
    // file and reference: full paths.
    TfWarningReplace(const QString& file, const QString& reference, QWidget* parent = nullptr);
};
