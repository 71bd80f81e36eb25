#include "tools/servicesim/documents.h"

#include <QXmlStreamWriter>

namespace servicesim {

namespace {

QString textOf(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QJsonValue::Double: {
        const double d = value.toDouble();
        const qint64 whole = static_cast<qint64>(d);
        if (static_cast<double>(whole) == d) {
            return QString::number(whole);
        }
        return QString::number(d, 'g', 15);
    }
    default:
        return QString();
    }
}

// QXmlStreamWriter escapes the texts; line breaks are written only where the layout allows
// whitespace, since the client's readers count tokens.
class LoginWriter
{
public:
    LoginWriter(QByteArray* out, Layout layout) : writer(out), lines(layout == Layout::Lines) {}

    void lineBreak()
    {
        if (lines) {
            writer.writeCharacters(QStringLiteral("\n"));
        }
    }

    void line(const QString& name, const QString& text)
    {
        writer.writeTextElement(name, text);
        lineBreak();
    }

    void server(const QJsonObject& s)
    {
        writer.writeStartElement(QStringLiteral("server"));
        lineBreak();
        line(QStringLiteral("id"), textOf(s.value(QStringLiteral("id"))));
        line(QStringLiteral("shortname"), textOf(s.value(QStringLiteral("shortname"))));
        line(QStringLiteral("IP"), textOf(s.value(QStringLiteral("ip"))));
        line(QStringLiteral("country"), textOf(s.value(QStringLiteral("country"))));
        line(QStringLiteral("assignedIP"), textOf(s.value(QStringLiteral("assignedIP"))));

        // Exactly one token, whatever the layout, between <pptp> and <enabled>.
        writer.writeStartElement(QStringLiteral("pptp"));
        writer.writeCharacters(lines ? QStringLiteral("\n") : QStringLiteral(" "));
        line(QStringLiteral("enabled"), flag(s.value(QStringLiteral("pptp"))));
        writer.writeEndElement();
        lineBreak();

        writer.writeStartElement(QStringLiteral("l2tp"));
        lineBreak();
        line(QStringLiteral("enabled"), flag(s.value(QStringLiteral("l2tp"))));
        line(QStringLiteral("pskey"), textOf(s.value(QStringLiteral("pskey"))));
        writer.writeEndElement();
        lineBreak();

        writer.writeStartElement(QStringLiteral("openvpn"));
        lineBreak();
        line(QStringLiteral("enabled"), flag(s.value(QStringLiteral("openvpn"))));
        const QJsonArray profiles = s.value(QStringLiteral("profiles")).toArray();
        writer.writeStartElement(QStringLiteral("profiles"));
        lineBreak();
        // From </count> to the last </profile> the readers step tag by tag: no whitespace.
        writer.writeTextElement(QStringLiteral("count"), QString::number(profiles.size()));
        for (const QJsonValue& p : profiles) {
            const QJsonObject profile = p.toObject();
            writer.writeStartElement(QStringLiteral("profile"));
            writer.writeTextElement(QStringLiteral("name"), textOf(profile.value(QStringLiteral("name"))));
            writer.writeTextElement(QStringLiteral("config"),
                                    textOf(profile.value(QStringLiteral("config"))));
            writer.writeTextElement(QStringLiteral("certificate"),
                                    textOf(profile.value(QStringLiteral("certificate"))));
            writer.writeEndElement();
        }
        writer.writeEndElement(); // profiles
        lineBreak();
        writer.writeEndElement(); // openvpn
        lineBreak();
        writer.writeEndElement(); // server
        lineBreak();
    }

    static QString flag(const QJsonValue& value)
    {
        return flagValue(value) ? QStringLiteral("1") : QStringLiteral("0");
    }

    QXmlStreamWriter writer;
    bool lines;
};

} // namespace

bool flagValue(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::Double:
        return value.toDouble() != 0.0;
    case QJsonValue::String: {
        const QString text = value.toString().trimmed();
        return text == QLatin1String("1") || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    }
    default:
        return false;
    }
}

Layout layoutFromName(const QString& name)
{
    return name.trimmed().compare(QLatin1String("oneline"), Qt::CaseInsensitive) == 0 ? Layout::OneLine
                                                                                      : Layout::Lines;
}

QString layoutName(Layout layout)
{
    return layout == Layout::OneLine ? QStringLiteral("oneline") : QStringLiteral("lines");
}

QByteArray loginDocument(const QJsonArray& servers, bool accepted, Layout layout)
{
    QByteArray out;
    out.reserve(256 + servers.size() * 900);
    LoginWriter w(&out, layout);
    w.writer.writeStartDocument();
    w.lineBreak();
    w.writer.writeStartElement(QStringLiteral("serverlist"));
    w.lineBreak();
    w.line(QStringLiteral("response"), accepted ? QStringLiteral("true") : QStringLiteral("false"));
    if (accepted) {
        w.writer.writeStartElement(QStringLiteral("servers"));
        w.lineBreak();
        for (const QJsonValue& s : servers) {
            w.server(s.toObject());
        }
        w.writer.writeEndElement();
        w.lineBreak();
    }
    w.writer.writeEndElement();
    w.lineBreak();
    w.writer.writeEndDocument();
    if (layout == Layout::OneLine && out.endsWith('\n')) {
        out.chop(1); // writeEndDocument() ends with a line break
    }
    return out;
}

QByteArray accountDocument(const QJsonObject& account, bool accepted)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("userinfo"));
    w.writeTextElement(QStringLiteral("response"),
                       accepted ? QStringLiteral("true") : QStringLiteral("false"));
    if (accepted) {
        auto field = [&account](const char* key, const QString& fallback = QString()) {
            const QJsonValue v = account.value(QLatin1String(key));
            return v.isUndefined() || v.isNull() ? fallback : textOf(v);
        };
        const QString enabled =
            flagValue(account.value(QStringLiteral("enabled"))) ? QStringLiteral("1") : QStringLiteral("0");
        // Positions 1 to 14, in this order, read by the client by position only.
        w.writeTextElement(QStringLiteral("id"), field("id", QStringLiteral("1")));
        w.writeTextElement(QStringLiteral("username"), field("username"));
        w.writeTextElement(QStringLiteral("email"), field("email"));
        w.writeTextElement(QStringLiteral("enabled"), enabled);
        w.writeTextElement(QStringLiteral("plan"), field("plan"));
        w.writeTextElement(QStringLiteral("created"), field("created", QStringLiteral("2024-01-01")));
        w.writeTextElement(QStringLiteral("expiry"), field("expiry"));
        w.writeTextElement(QStringLiteral("lastlogin"), field("lastLogin", QStringLiteral("never")));
        w.writeTextElement(QStringLiteral("connections"), field("connections", QStringLiteral("1")));
        w.writeTextElement(QStringLiteral("quota"), field("quota"));
        w.writeTextElement(QStringLiteral("processors"), field("processors"));
        w.writeTextElement(QStringLiteral("plans"), field("plans"));
        w.writeTextElement(QStringLiteral("quickservers"), field("quickServers"));
        w.writeTextElement(QStringLiteral("notice"), field("notice"));
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

QByteArray versionDocument(const QString& latest, const QString& installerUrl, const QString& note)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("version"));
    w.writeTextElement(QStringLiteral("latest"), latest);
    w.writeTextElement(QStringLiteral("installer"), installerUrl);
    w.writeTextElement(QStringLiteral("note"), note);
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

QJsonArray sampleServers(int count, const QString& baseUrl)
{
    static const char* const countries[] = {"us", "de", "nl", "uk", "ca", "fr", "se", "ch", "ro", "it"};
    QJsonArray servers;
    for (int i = 0; i < count; ++i) {
        const QString country = QLatin1String(countries[i % 10]);
        const QString name = country + QString::number(i / 10 + 1);
        const QString address = QStringLiteral("198.18.%1.%2").arg(i / 250 % 256).arg(i % 250 + 1);
        QJsonArray profiles;
        for (const char* proto : {"udp", "tcp"}) {
            const QString folder = baseUrl + QStringLiteral("/files/") + name + QLatin1Char('/');
            profiles.append(QJsonObject{
                {QStringLiteral("name"),
                 name.toUpper() + QLatin1Char(' ') + QString::fromLatin1(proto).toUpper()},
                {QStringLiteral("config"), folder + QLatin1String(proto) + QStringLiteral(".ovpn")},
                {QStringLiteral("certificate"), folder + QStringLiteral("ca.crt")},
            });
        }
        servers.append(QJsonObject{
            {QStringLiteral("id"), i + 1},
            {QStringLiteral("shortname"), name.toUpper()},
            {QStringLiteral("ip"), address},
            {QStringLiteral("country"), country},
            {QStringLiteral("assignedIP"), address},
            {QStringLiteral("pptp"), true},
            {QStringLiteral("l2tp"), true},
            {QStringLiteral("pskey"), QStringLiteral("key-") + name},
            {QStringLiteral("openvpn"), true},
            {QStringLiteral("profiles"), profiles},
        });
    }
    return servers;
}

} // namespace servicesim
