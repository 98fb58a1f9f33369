#include "Platform/Linux/SingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kShow = "show\n";
constexpr int kHandoverTimeoutMs = 2000;

}  // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), lock_(folder_ + u"/spindrel.lock"_s) {
    lock_.setStaleLockTime(0);  // a lock is stale only when its process is gone
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::acceptHandover);
}

SingleInstance::~SingleInstance() {
    server_.close();
}

QString SingleInstance::defaultFolder() {
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) {
        runtime = QDir::tempPath() + u"/spindrel-"_s + QString::number(::getuid());
    }
    return runtime;
}

SingleInstance::Role SingleInstance::claim() {
    if (!QDir().mkpath(folder_)) {
        return Role::unavailable;
    }
    if (lock_.tryLock(0)) {
        // Holding the lock, any socket left behind is a dead instance's.
        const QString socket = folder_ + u"/spindrel.socket"_s;
        QLocalServer::removeServer(socket);
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        return server_.listen(socket) ? Role::primary : Role::unavailable;
    }
    if (lock_.error() != QLockFile::LockFailedError) {
        return Role::unavailable;
    }
    return askRunningInstanceToShow() ? Role::secondary : Role::unavailable;
}

bool SingleInstance::askRunningInstanceToShow() const {
    // The running instance may have taken the lock a moment ago and not yet be listening.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kHandoverTimeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(folder_ + u"/spindrel.socket"_s);
        if (socket.waitForConnected(200)) {
            socket.write(kShow);
            socket.waitForBytesWritten(500);
            socket.waitForReadyRead(500);  // its reply says the window is on its way
            return socket.readAll().startsWith("ok");
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::acceptHandover() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->canReadLine() && socket->readLine() == kShow) {
                socket->write("ok\n");
                socket->flush();
                emit showRequested();
            }
        });
    }
}
