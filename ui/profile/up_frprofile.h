#pragma once
// The base of every profile editor page and wizard page: the protocol
// between a page and its host. The host loads the page through Refresh,
// asks Validate before the user may leave it, then SaveToProfile; the page
// tells the host of a user's change through pageChanged. Pages work on the
// current comparison profile; writing it to its file is the host's business.
#include <QFrame>
#include <QString>

class TBWCVProfile;

class TfrpProfile : public QFrame {
    Q_OBJECT
public:
    explicit TfrpProfile(QWidget* parent = nullptr);

    virtual void LoadFromProfile() {}
    virtual void SaveToProfile() {}
    virtual void SetHelpText(const QString& text) { helpText_ = text; }
    // The message to show when the input is not acceptable; empty when it is.
    virtual QString Validate() { return {}; }
    virtual void CancelChanges() {}

    // Loads the page without reporting the values it sets as a change. The
    // first call also hooks the change signals of the page's plain controls.
    void Refresh();
    // Tells the host, unless the page is being loaded.
    void Changed();

    bool notifyEnabled() const { return notifyEnabled_; }
    const QString& helpText() const { return helpText_; }
    // The file name of the page's help topic under the host's help folder.
    const QString& helpTopic() const { return helpTopic_; }
    // The title a wizard shows over the page.
    const QString& pageTitle() const { return pageTitle_; }

signals:
    void pageChanged(TfrpProfile* page);

protected:
    static TBWCVProfile& Profile();
    void SetHelpTopic(const QString& topic) { helpTopic_ = topic; }
    void SetPageTitle(const QString& title) { pageTitle_ = title; }
    // A control whose change needs more than a plain notice: it is left out
    // of the automatic hook-up, and its handler calls Changed itself when the
    // host should know.
    static void KeepOwnHandler(QObject* control);

private slots:
    void ControlChanged();

private:
    // Line edits, spin boxes, radio groups (QButtonGroup), check boxes and
    // combo boxes of the page report their value changes through
    // ControlChanged, unless kept for their own handler.
    void HookChangeSignals();

    bool notifyEnabled_ = true;
    bool hooked_ = false;
    QString helpText_;
    QString helpTopic_ = QStringLiteral("index.htm");
    QString pageTitle_;
};
