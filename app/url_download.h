// Downloading one URL into a file without blocking the event loop.
#pragma once

#include <QtGlobal>

#include <filesystem>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

namespace app {

struct DownloadLimits {
    qint64 maxBytes = 0;  // a longer answer is refused
    int timeoutMs = 0;    // without any data for this long the download is given up
};

// Starts fetching `url` into `target` and returns at once. `done(true)` runs when the server
// answered 200 within the limits and the whole answer reached the file; the file is written
// under a temporary name in its folder and renamed into place only then, so a failed
// download keeps the file that was there. `done(false)` in every other case. `done` runs
// from the event loop, never inside this call. The returned reply deletes itself after
// `done`; a caller that goes away first must disconnect it from everything before aborting
// it (AbortDownload).
QNetworkReply* DownloadToFile(QNetworkAccessManager& manager, const QUrl& url, const std::filesystem::path& target,
                              const DownloadLimits& limits, std::function<void(bool)> done);

// Abandons a download without running its `done`; the target stays as it was.
void AbortDownload(QNetworkReply* reply);

}  // namespace app
