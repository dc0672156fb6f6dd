// A small HTTP server on 127.0.0.1 for the download tests, run by the test's own event loop.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

namespace apptest {

class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    // Listens on a free port of 127.0.0.1.
    LocalHttpServer();

    // Answers GET `path` with `status` and `body`; any other path gets 404.
    void Serve(const QString& path, const QByteArray& body, int status = 200);
    // Reads requests for `path` but never answers them.
    void Hold(const QString& path);

    bool IsListening() const { return server_.isListening(); }
    // "http://127.0.0.1:<port>/".
    QUrl Site() const;
    // The paths asked for, in order.
    const QStringList& Requests() const { return requests_; }
    void ClearRequests() { requests_.clear(); }

private:
    struct Answer {
        int status = 200;
        QByteArray body;
        bool hold = false;
    };
    void Accept();

    QTcpServer server_;
    QHash<QString, Answer> answers_;
    QStringList requests_;
};

// An address on 127.0.0.1 where nothing listens.
QUrl DeadSite();

}  // namespace apptest
