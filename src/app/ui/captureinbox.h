#pragma once
// Where digitora, started by this program, sends the points it captured: a
// local socket named for this process. Each message is the path of a point
// file, which the program imports into the point grid.
#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QLocalServer;

namespace calvero {

class CaptureInbox : public QObject {
    Q_OBJECT
public:
    using Receiver = std::function<void(const std::string& path)>;
    explicit CaptureInbox(Receiver receiver, QObject* parent = nullptr);

    // The socket's name, empty when it could not listen.
    QString name() const;

private:
    void takeConnection();

    QLocalServer* server_;
    Receiver receiver_;
};

} // namespace calvero
