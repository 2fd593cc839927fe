#pragma once
// The dialog in which the results window asks for a file's new name: wide
// enough for long names, with the name selected up to its extension, so
// typing replaces the name and keeps the extension.
#include <QDialog>

#include <optional>

class QLineEdit;

// The length of a file name without its extension: "song.mp3" 4, "a.b.ogg" 3;
// a name without extension, or one that only starts with a dot, is whole.
int NameStemLength(const QString& name);

class TfRenameFile : public QDialog {
    Q_OBJECT
public:
    explicit TfRenameFile(const QString& name, QWidget* parent = nullptr);

    QString NewName() const;
    // The dialog's answer: the name typed, nothing on Cancel.
    static std::optional<QString> Ask(const QString& name, QWidget* parent);

private:
    QLineEdit* edtName_;
};
