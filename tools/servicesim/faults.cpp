// The plain parts of the simulator's interface, shared by the simulator and its remote
// control.
#include "tools/servicesim/servicesim.h"

#include <QCryptographicHash>

QString RecordedRequest::queryValue(const QString& key) const
{
    for (const auto& item : query) {
        if (item.first == key) {
            return item.second;
        }
    }
    return QString();
}

QStringList RecordedRequest::queryKeys() const
{
    QStringList keys;
    for (const auto& item : query) {
        keys.append(item.first);
    }
    return keys;
}

Fault Fault::httpStatus(int status)
{
    Fault f;
    f.kind = Kind::HttpStatus;
    f.status = status;
    return f;
}

Fault Fault::delay(int ms)
{
    Fault f;
    f.delayMs = ms;
    return f;
}

Fault Fault::neverAnswer()
{
    Fault f;
    f.kind = Kind::NeverAnswer;
    return f;
}

Fault Fault::malformedXml(qint64 offset)
{
    Fault f;
    f.kind = Kind::MalformedXml;
    f.offset = offset;
    return f;
}

Fault Fault::truncatedXml(qint64 offset)
{
    Fault f;
    f.kind = Kind::TruncatedXml;
    f.offset = offset;
    return f;
}

Fault Fault::nulByte(qint64 offset)
{
    Fault f;
    f.kind = Kind::NulByte;
    f.offset = offset;
    return f;
}

Fault Fault::redirect(const QString& location, const QByteArray& body)
{
    Fault f;
    f.kind = Kind::Redirect;
    f.status = 302;
    f.location = location;
    f.body = body.isNull() ? QByteArray("<html><body>Moved</body></html>") : body;
    f.contentType = "text/html";
    return f;
}

Fault Fault::oversized(qint64 bytes)
{
    Fault f;
    f.kind = Kind::Oversized;
    f.size = bytes;
    return f;
}

Fault Fault::customBody(const QByteArray& body, const QByteArray& contentType)
{
    Fault f;
    f.kind = Kind::CustomBody;
    f.status = 200;
    f.body = body;
    f.contentType = contentType;
    return f;
}

Fault Fault::trickle(int intervalMs)
{
    Fault f;
    f.kind = Kind::Trickle;
    f.intervalMs = intervalMs;
    return f;
}

Fault Fault::stallMidway()
{
    Fault f;
    f.kind = Kind::StallMidway;
    return f;
}

Fault Fault::closeMidway()
{
    Fault f;
    f.kind = Kind::CloseMidway;
    return f;
}

Fault Fault::once() const
{
    Fault f = *this;
    f.oneShot = true;
    return f;
}

Fault Fault::delayed(int ms) const
{
    Fault f = *this;
    f.delayMs = ms;
    return f;
}

QString ServiceSimulator::passwordKey(const QString& password)
{
    return QString::fromLatin1(QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Md5).toHex());
}
