#include "service/documents.h"

#include "service/boundedxml.h"

#include <QStringList>
#include <QUrl>
#include <QVersionNumber>

namespace service {

QString decodeBody(const QByteArray& body)
{
    const int nul = body.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? body : body.left(nul));
}

QVector<LoginVerdict> loginVerdicts(const QString& document)
{
    QVector<LoginVerdict> verdicts;
    // Every response tag holds this text, so past its last occurrence no verdict can follow.
    // The text is handed to the reader in pieces, so a catalogue of thousands of servers
    // behind the verdict is neither decoded nor read a second time.
    const int lastMention = document.lastIndexOf(QLatin1String("response"));
    if (lastMention < 0)
        return verdicts;
    BoundedXmlReader reader;
    int fed = 0;
    const auto feed = [&reader, &fed, &document] {
        int end = qMin(fed + 65536, document.size());
        if (end < document.size() && document.at(end - 1).isHighSurrogate())
            ++end;
        reader.addData(document.mid(fed, end - fed));
        fed = end;
    };
    feed();
    while (!reader.atEnd() || fed < document.size()) {
        if (reader.characterOffset() > lastMention)
            break;
        reader.readNext();
        if (reader.error() == QXmlStreamReader::PrematureEndOfDocumentError && fed < document.size()) {
            feed();
            continue;
        }
        if (reader.hasError())
            break;
        if (!reader.isStartElement() || reader.name() != QLatin1String("response"))
            continue;
        reader.readNext();
        while (reader.error() == QXmlStreamReader::PrematureEndOfDocumentError && fed < document.size()) {
            feed();
            reader.readNext();
        }
        if (reader.hasError())
            break;
        const QString text = reader.isCharacters() ? reader.text().toString() : QString();
        verdicts.append(text == QLatin1String("false") ? LoginVerdict::Refused : LoginVerdict::Accepted);
    }
    return verdicts;
}

AccountDetails::AccountDetails() : positions(positionCount), reached(positionCount, false) {}

QString AccountDetails::position(int number) const
{
    return number >= 1 && number <= positionCount ? positions.at(number - 1) : QString();
}

bool AccountDetails::isReached(int number) const
{
    return number >= 1 && number <= positionCount && reached.at(number - 1);
}

AccountDetails readAccountDetails(const QString& document)
{
    AccountDetails details;
    BoundedXmlReader reader(document);
    while (!reader.atEnd() && !reader.hasError()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("response")) {
            break;
        }
    }
    if (!reader.isStartElement() || reader.hasError()) {
        return details;
    }

    // The verdict is the token right after the start tag, exactly "true".
    reader.readNext();
    if (reader.hasError() || !reader.isCharacters() || reader.text() != QLatin1String("true")) {
        return details;
    }
    details.accepted = true;

    // Finish the response element, then take its following siblings one by one.
    reader.skipCurrentElement();
    if (reader.hasError()) {
        return details;
    }

    int position = 0;
    while (position < AccountDetails::positionCount && !reader.atEnd() && !reader.hasError()) {
        reader.readNext();
        if (reader.isEndElement()) {
            break; // the parent closed: no more siblings
        }
        if (!reader.isStartElement()) {
            continue;
        }
        const QString text = reader.readElementText();
        if (reader.hasError()) {
            break;
        }
        details.positions[position] = text;
        details.reached[position] = true;
        ++position;
    }
    return details;
}

QList<QPair<QString, int>> paymentItems(const QString& list)
{
    QList<QPair<QString, int>> items;
    const QStringList parts = list.split(QLatin1Char('|'));
    for (const QString& part : parts) {
        if (part.isEmpty()) {
            continue;
        }
        const QStringList pieces = part.split(QLatin1Char(':'));
        bool ok = false;
        const int number = pieces.value(0).toInt(&ok, 10);
        items.append(qMakePair(pieces.value(1), ok ? number : 0));
    }
    return items;
}

NewAccountReply readNewAccountReply(const QString& reply)
{
    NewAccountReply result;
    const QStringList parts = reply.split(QLatin1Char('|'));
    if (parts.value(0) == QLatin1String("true")) {
        result.created = true;
        result.userName = parts.value(1).trimmed();
    } else {
        result.message = parts.value(1);
    }
    return result;
}

VersionInfo readVersionDocument(const QByteArray& document)
{
    VersionInfo info;
    BoundedXmlReader reader(document);
    if (!reader.readNextStartElement()) {
        return info;
    }
    QString* targets[] = {&info.latestVersion, &info.installerUrl, &info.note};
    for (QString* target : targets) {
        if (!reader.readNextStartElement()) {
            break;
        }
        const QString text = reader.readElementText();
        if (reader.hasError()) {
            break;
        }
        *target = text;
    }
    return info;
}

namespace {
// Only numbers joined by dots, so "4.1.0-beta", "v4.1", "4.1." and "4.1 final" are no versions.
// (The suffix index of QVersionNumber::fromString cannot be relied on: the function is declared
// pure, so an optimising compiler may never read what it wrote there.)
QVersionNumber versionOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 64)
        return QVersionNumber();
    const QStringList parts = trimmed.split(QLatin1Char('.'));
    for (const QString& part : parts) {
        if (part.isEmpty())
            return QVersionNumber();
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QVersionNumber();
        }
    }
    return QVersionNumber::fromString(trimmed);
}
} // namespace

VersionOrder compareVersions(const QString& latest, const QString& clientVersion)
{
    const QVersionNumber offered = versionOf(latest);
    if (offered.isNull())
        return VersionOrder::NotAVersion;
    // 4.0.2.0 is 4.0.2 written longer.
    return offered.normalized() > versionOf(clientVersion).normalized() ? VersionOrder::Newer
                                                                        : VersionOrder::NotNewer;
}

bool offersUpdate(const VersionInfo& info, const QString& clientVersion)
{
    if (info.installerUrl.isEmpty() ||
        compareVersions(info.latestVersion, clientVersion) != VersionOrder::Newer) {
        return false;
    }
    const QUrl installer(info.installerUrl, QUrl::StrictMode);
    const QString scheme = installer.scheme();
    return installer.isValid() && !installer.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace service
