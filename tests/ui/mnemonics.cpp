#include "mnemonics.h"

#include <QAction>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

// The letter after a single '&' ("&&" is a shown ampersand), or none.
QChar MnemonicOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return caption[i + 1].toLower();
        ++i;
    }
    return {};
}

bool HasLetter(const QString& caption)
{
    return std::any_of(caption.begin(), caption.end(), [](QChar c) { return c.isLetter(); });
}

// The captions the keyboard reaches at one time.
class MnemonicScope {
public:
    MnemonicScope(QString name, QStringList& faults) : name_(std::move(name)), faults_(faults) {}

    void Add(const QString& caption)
    {
        if (!HasLetter(caption))
            return;
        const QChar mnemonic = MnemonicOf(caption);
        if (mnemonic.isNull())
            faults_ << QString("%1: \"%2\" has no mnemonic").arg(name_, caption);
        else if (used_.contains(mnemonic))
            faults_ << QString("%1: \"%2\" and \"%3\" share '%4'").arg(name_, used_[mnemonic], caption, mnemonic);
        else
            used_[mnemonic] = caption;
    }

private:
    QString name_;
    QStringList& faults_;
    QMap<QChar, QString> used_;
};

void AddItems(MnemonicScope& scope, const QList<QAction*>& actions)
{
    for (const QAction* action : actions)
        if (!action->isSeparator())
            scope.Add(action->text());
}

} // namespace

QStringList MnemonicFaults(const QWidget& window)
{
    QStringList faults;
    MnemonicScope top(window.objectName(), faults);
    for (const QMenuBar* bar : window.findChildren<QMenuBar*>())
        AddItems(top, bar->actions());
    for (const QPushButton* button : window.findChildren<QPushButton*>())
        top.Add(button->text());
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        MnemonicScope items(window.objectName() + " menu " + (menu->title().isEmpty() ? menu->objectName() : menu->title()),
                            faults);
        AddItems(items, menu->actions());
    }
    return faults;
}
