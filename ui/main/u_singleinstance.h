#pragma once
// One copy of the program works with a user's data folder at a time. The
// first start takes a lock in the user's runtime folder, keyed by the user
// and the data folder, and listens on a local socket beside it; a later
// start finds the lock taken, asks the running copy through the socket to
// come forward, and ends without touching the data folder.
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// The environment variable that lets several copies run at once.
inline constexpr const char* kAllowMultipleVariable = "CORVELLA_ALLOW_MULTIPLE";

class TSingleInstance : public QObject {
    Q_OBJECT

public:
    // dataFolder: the data folder the copy will work with (it need not exist yet).
    explicit TSingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this copy now owns the data folder and listens for later
    // starts. False when another copy owns it: that copy was asked to come
    // forward, and answered is set when it acknowledged within the wait.
    bool TakeOver(bool& answered);

    // What a start that found the lock taken and had no answer tells the
    // user: the copy holding the lock may be busy or gone, with its process
    // number taken by another program; the lock file and its process are
    // named so the user can tell which.
    QString NoAnswerText() const;

    const QString& LockPath() const { return lockPath_; }
    const QString& SocketPath() const { return socketPath_; }

signals:
    // A later start asked this copy to come forward.
    void comeForward();

private:
    bool AskRunningCopy();
    void Answer();

    QString lockPath_;
    QString socketPath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

// Whether the environment asks for several copies to run side by side.
bool MultipleCopiesAllowed();
