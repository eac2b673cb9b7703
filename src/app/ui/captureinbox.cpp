#include "app/ui/captureinbox.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

namespace calvero {

CaptureInbox::CaptureInbox(Receiver receiver, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), receiver_(std::move(receiver))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = QStringLiteral("calvero1-%1").arg(QCoreApplication::applicationPid());
    QLocalServer::removeServer(name);
    if (server_->listen(name)) connect(server_, &QLocalServer::newConnection, this, &CaptureInbox::takeConnection);
}

QString CaptureInbox::name() const { return server_->isListening() ? server_->serverName() : QString(); }

void CaptureInbox::takeConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine().trimmed();
                // A path is all a message may be; a longer one is nobody's point file.
                if (line.isEmpty() || line.size() > 4096) continue;
                if (receiver_) receiver_(QFile::decodeName(line).toStdString());
            }
        });
    }
}

} // namespace calvero
