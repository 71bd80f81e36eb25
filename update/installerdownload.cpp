#include "update/installerdownload.h"

#include <QNetworkReply>

namespace {
qint64 sizeLimitOverride = 0;
} // namespace

qint64 installerSizeLimit()
{
    return sizeLimitOverride > 0 ? sizeLimitOverride : installerSizeCap;
}

void setInstallerSizeLimitForTesting(qint64 bytes)
{
    sizeLimitOverride = bytes;
}

InstallerDownload::InstallerDownload(const QString& path, qint64 cap, QObject* parent)
    : QObject(parent), file(path), cap(cap)
{
}

bool InstallerDownload::open()
{
    if (file.open(QIODevice::WriteOnly))
        return true;
    state = Result::CannotSave;
    return false;
}

void InstallerDownload::follow(QNetworkReply* followed)
{
    reply = followed;
    connect(reply, &QNetworkReply::metaDataChanged, this, &InstallerDownload::headersArrived);
    connect(reply, &QNetworkReply::readyRead, this, &InstallerDownload::take);
}

InstallerDownload::Result InstallerDownload::finish()
{
    if (state != Result::InProgress)
        return state;
    if (!reply || reply->error() != QNetworkReply::NoError) {
        fail(Result::Failed);
        return state;
    }
    headersArrived();
    take();
    if (state != Result::InProgress)
        return state;
    state = file.commit() ? Result::Saved : Result::CannotSave;
    return state;
}

void InstallerDownload::headersArrived()
{
    if (state != Result::InProgress)
        return;
    // Only a 2xx answer carries the installer; a redirect's body is not one. Statuses from 400
    // on already end the reply with an error.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400)
        return;
    if (status < 200 || status > 299) {
        fail(Result::Failed);
        return;
    }
    bool known = false;
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    if (known && announced > cap)
        fail(Result::TooLarge);
}

void InstallerDownload::take()
{
    while (state == Result::InProgress && reply->bytesAvailable() > 0) {
        const QByteArray chunk = reply->read(qMin<qint64>(reply->bytesAvailable(), 1 << 20));
        written += chunk.size();
        if (written > cap) {
            fail(Result::TooLarge);
            return;
        }
        if (file.write(chunk) != chunk.size()) {
            fail(Result::CannotSave);
            return;
        }
    }
}

void InstallerDownload::fail(Result why)
{
    state = why;
    if (file.isOpen()) {
        // Committing a cancelled file removes the temporary one and leaves the old file alone.
        file.cancelWriting();
        file.commit();
    }
    // The reply may finish (and report) inside abort(); the result is already set by then. A
    // reply that has failed already finishes on its own.
    if (reply && reply->isRunning() && reply->error() == QNetworkReply::NoError)
        reply->abort();
}
