#include "app/url_download.h"

#include "utility/paths.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

#include <memory>

namespace app {

namespace {

struct Transfer {
    explicit Transfer(const std::filesystem::path& target) : file(utility::PathToQString(target)) {}
    QSaveFile file;
    qint64 received = 0;
    bool failed = false;
};

// Moves what has arrived into the file; false once the answer is too long or cannot be written.
bool TakeData(QNetworkReply& reply, Transfer& transfer, qint64 maxBytes)
{
    const QByteArray data = reply.readAll();
    transfer.received += data.size();
    if (transfer.received > maxBytes || transfer.file.write(data) != data.size())
        transfer.failed = true;
    return !transfer.failed;
}

bool Succeeded(QNetworkReply& reply, Transfer& transfer, qint64 maxBytes)
{
    if (reply.error() != QNetworkReply::NoError || transfer.failed)
        return false;
    if (reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return false;
    return TakeData(reply, transfer, maxBytes) && transfer.file.commit();
}

}  // namespace

QNetworkReply* DownloadToFile(QNetworkAccessManager& manager, const QUrl& url, const std::filesystem::path& target,
                              const DownloadLimits& limits, std::function<void(bool)> done)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(limits.timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = manager.get(request);
    auto transfer = std::make_shared<Transfer>(target);
    if (!transfer->file.open(QIODevice::WriteOnly))
        transfer->failed = true;
    const qint64 maxBytes = limits.maxBytes;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, transfer, maxBytes] {
        if (!transfer->failed && !TakeData(*reply, *transfer, maxBytes))
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, transfer, maxBytes, done = std::move(done)] {
        const bool ok = Succeeded(*reply, *transfer, maxBytes);
        if (!ok)
            transfer->file.cancelWriting();
        reply->deleteLater();
        done(ok);
    });
    return reply;
}

void AbortDownload(QNetworkReply* reply)
{
    if (!reply)
        return;
    reply->disconnect();
    reply->abort();
    reply->deleteLater();
}

}  // namespace app
