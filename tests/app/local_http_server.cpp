#include "tests/app/local_http_server.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace apptest {

LocalHttpServer::LocalHttpServer()
{
    connect(&server_, &QTcpServer::newConnection, this, &LocalHttpServer::Accept);
    server_.listen(QHostAddress::LocalHost, 0);
}

void LocalHttpServer::Serve(const QString& path, const QByteArray& body, int status)
{
    answers_.insert(path, Answer{status, body, false});
}

void LocalHttpServer::Hold(const QString& path) { answers_.insert(path, Answer{200, {}, true}); }

QUrl LocalHttpServer::Site() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort())); }

void LocalHttpServer::Accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
            request->append(socket->readAll());
            if (!request->contains("\r\n\r\n"))
                return;
            // "GET /path HTTP/1.1"
            const QList<QByteArray> words = request->left(request->indexOf("\r\n")).split(' ');
            const QString path = words.size() >= 2 ? QString::fromLatin1(words[1]) : QString();
            requests_.append(path);
            request->clear();
            const auto found = answers_.constFind(path);
            const Answer answer = found != answers_.constEnd() ? *found : Answer{404, "not found", false};
            if (answer.hold)
                return;
            socket->write("HTTP/1.1 " + QByteArray::number(answer.status) + " X\r\nContent-Length: " +
                          QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n" + answer.body);
            socket->disconnectFromHost();
        });
    }
}

QUrl DeadSite()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
}

}  // namespace apptest
