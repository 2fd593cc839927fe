#include "ui/main/u_singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {

constexpr QByteArrayView kRequest = "forward\n";
constexpr QByteArrayView kAcknowledgement = "ok\n";
// A copy that has just taken the lock needs a moment before it listens; a
// copy that does not answer at all must not keep the later start waiting.
constexpr int kAnswerWaitMs = 2000;
constexpr int kConnectRetryMs = 50;

QString InstanceKey(const QString& dataFolder)
{
    const QByteArray folderHash =
        QCryptographicHash::hash(QDir::cleanPath(dataFolder).toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("corvella-%1-%2").arg(getuid()).arg(QString::fromLatin1(folderHash));
}

} // namespace

bool MultipleCopiesAllowed()
{
    return qEnvironmentVariable(kAllowMultipleVariable) == QStringLiteral("1");
}

TSingleInstance::TSingleInstance(const QString& dataFolder, QObject* parent) : QObject(parent)
{
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    const QString key = InstanceKey(dataFolder);
    lockPath_ = runtime + "/" + key + ".lock";
    socketPath_ = runtime + "/" + key + ".socket";
    connect(&server_, &QLocalServer::newConnection, this, &TSingleInstance::Answer);
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::TakeOver(bool& answered)
{
    answered = false;
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // Only a lock whose process has died is stale, however long a copy runs.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        answered = AskRunningCopy();
        return false;
    }
    // A socket file left by a copy that died is in the way.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socketPath_);
    return true;
}

bool TSingleInstance::AskRunningCopy()
{
    const QDeadlineTimer deadline(kAnswerWaitMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            socket.write(kRequest.data(), kRequest.size());
            socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
            while (socket.bytesAvailable() < kAcknowledgement.size() &&
                   socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            }
            return socket.readAll().startsWith(kAcknowledgement.toByteArray());
        }
        QThread::msleep(kConnectRetryMs);
    }
    return false;
}

QString TSingleInstance::NoAnswerText() const
{
    qint64 pid = 0;
    QString host, program;
    const QString holder = QLockFile(lockPath_).getLockInfo(&pid, &host, &program)
                               ? QStringLiteral("process %1 (%2)").arg(pid).arg(program)
                               : QStringLiteral("another process");
    return QStringLiteral("Corvella seems to be running already: %1 holds its lock %2, but did not answer, so "
                          "this start ends.\n\nIf no Corvella window is open, that Corvella has ended and "
                          "another program took its process number: remove %2 and start Corvella again.")
        .arg(holder, lockPath_);
}

void TSingleInstance::Answer()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kRequest.toByteArray()) {
                emit comeForward();
                socket->write(kAcknowledgement.data(), kAcknowledgement.size());
            }
            socket->disconnectFromServer();
        });
    }
}
