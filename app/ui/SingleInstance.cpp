#include "app/ui/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <unistd.h>

namespace pelmora {

namespace {

constexpr int kWaitMs = 2000;

}  // namespace

QString SingleInstance::DefaultName() {
    // Per user and per display session: an editor on another display is another user's desk.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) display = QStringLiteral("none");
    display.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char(':'), QLatin1Char('_'));
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("Pelmora-MyOLMClass-%1-%2").arg(::getuid()).arg(display));
}

SingleInstance::SingleInstance(QString name) : name_(std::move(name)) {
    if (name_.isEmpty()) name_ = DefaultName();
}

SingleInstance::~SingleInstance() { server_.close(); }

bool SingleInstance::HandOver(const QString& path) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kWaitMs)) return false;
    const QString absolute = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    socket.write(QByteArray::number(kHandOverMessage) + '\n' + absolute.toUtf8() + '\n');
    socket.waitForBytesWritten(kWaitMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::Become() {
    lock_ = std::make_unique<QLockFile>(QDir::temp().filePath(QStringLiteral("%1-hPrevInstance.lock").arg(name_)));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(100)) return false;
    QLocalServer::removeServer(name_);  // a socket left by an instance that crashed
    if (!server_.listen(name_)) return false;
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                // Read everything first: opening the file runs events, which may delete the
                // socket once the other instance has gone.
                QStringList paths;
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().trimmed();
                    if (line != QByteArray::number(kHandOverMessage)) paths << QString::fromUtf8(line);
                }
                for (const QString& path : paths) emit PathArrived(path);
            });
        }
    });
    return true;
}

}  // namespace pelmora
