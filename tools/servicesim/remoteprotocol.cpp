#include "tools/servicesim/remoteprotocol.h"

namespace servicesim {
namespace {

QString bytes(const QByteArray& data)
{
    return QString::fromLatin1(data.toBase64());
}

QByteArray bytes(const QJsonValue& value)
{
    return QByteArray::fromBase64(value.toString().toLatin1());
}

QJsonArray pairsToJson(const QList<QPair<QByteArray, QByteArray>>& pairs)
{
    QJsonArray out;
    for (const auto& pair : pairs)
        out.append(QJsonArray{bytes(pair.first), bytes(pair.second)});
    return out;
}

} // namespace

QJsonObject faultToJson(const Fault& fault)
{
    return QJsonObject{
        {QStringLiteral("kind"), int(fault.kind)},
        {QStringLiteral("delayMs"), fault.delayMs},
        {QStringLiteral("intervalMs"), fault.intervalMs},
        {QStringLiteral("status"), fault.status},
        {QStringLiteral("offset"), double(fault.offset)},
        {QStringLiteral("size"), double(fault.size)},
        {QStringLiteral("location"), fault.location},
        {QStringLiteral("body"), bytes(fault.body)},
        {QStringLiteral("contentType"), bytes(fault.contentType)},
        {QStringLiteral("oneShot"), fault.oneShot},
    };
}

Fault faultFromJson(const QJsonObject& object)
{
    Fault fault;
    fault.kind = Fault::Kind(object.value(QStringLiteral("kind")).toInt());
    fault.delayMs = object.value(QStringLiteral("delayMs")).toInt();
    fault.intervalMs = object.value(QStringLiteral("intervalMs")).toInt();
    fault.status = object.value(QStringLiteral("status")).toInt();
    fault.offset = qint64(object.value(QStringLiteral("offset")).toDouble());
    fault.size = qint64(object.value(QStringLiteral("size")).toDouble());
    fault.location = object.value(QStringLiteral("location")).toString();
    fault.body = bytes(object.value(QStringLiteral("body")));
    fault.contentType = bytes(object.value(QStringLiteral("contentType")));
    fault.oneShot = object.value(QStringLiteral("oneShot")).toBool();
    return fault;
}

QJsonArray requestsToJson(const QList<RecordedRequest>& requests)
{
    QJsonArray out;
    for (const RecordedRequest& request : requests) {
        QJsonArray query;
        for (const auto& item : request.query)
            query.append(QJsonArray{item.first, item.second});
        out.append(QJsonObject{
            {QStringLiteral("method"), request.method},
            {QStringLiteral("path"), request.path},
            {QStringLiteral("query"), query},
            {QStringLiteral("target"), bytes(request.target)},
            {QStringLiteral("headers"), pairsToJson(request.headers)},
            {QStringLiteral("remoteAddress"), request.remoteAddress},
        });
    }
    return out;
}

QList<RecordedRequest> requestsFromJson(const QJsonArray& array)
{
    QList<RecordedRequest> requests;
    for (const QJsonValue& value : array) {
        const QJsonObject object = value.toObject();
        RecordedRequest request;
        request.method = object.value(QStringLiteral("method")).toString();
        request.path = object.value(QStringLiteral("path")).toString();
        for (const QJsonValue& item : object.value(QStringLiteral("query")).toArray())
            request.query.append({item.toArray().at(0).toString(), item.toArray().at(1).toString()});
        request.target = bytes(object.value(QStringLiteral("target")));
        for (const QJsonValue& item : object.value(QStringLiteral("headers")).toArray())
            request.headers.append({bytes(item.toArray().at(0)), bytes(item.toArray().at(1))});
        request.remoteAddress = object.value(QStringLiteral("remoteAddress")).toString();
        requests.append(request);
    }
    return requests;
}

} // namespace servicesim
