#include "service/pinning.h"

#include "service/pinsconfig.h"

#include <QCryptographicHash>
#include <QSslKey>

#include <algorithm>

namespace service {

namespace {
enum class Name
{
    Subject,
    Issuer
};

// Every attribute of the name with all its values, in one order.
QByteArray distinguishedName(const QSslCertificate& certificate, Name which)
{
    QList<QByteArray> attributes =
        which == Name::Subject ? certificate.subjectInfoAttributes() : certificate.issuerInfoAttributes();
    std::sort(attributes.begin(), attributes.end());
    QByteArray name;
    for (const QByteArray& attribute : qAsConst(attributes)) {
        const QStringList values =
            which == Name::Subject ? certificate.subjectInfo(attribute) : certificate.issuerInfo(attribute);
        name += attribute + '=' + values.join(QLatin1Char('\n')).toUtf8() + '\0';
    }
    return name;
}
} // namespace

QList<QByteArray> parsePins(const QString& list)
{
    QList<QByteArray> pins;
    for (const QString& item : list.split(QLatin1Char(','))) {
        const QByteArray pin = item.trimmed().toLatin1();
        const auto decoded = QByteArray::fromBase64Encoding(pin, QByteArray::AbortOnBase64DecodingErrors);
        if (decoded && decoded.decoded.size() == 32 && decoded.decoded.toBase64() == pin)
            pins.append(pin);
    }
    return pins;
}

QByteArray publicKeyPin(const QSslCertificate& certificate)
{
    // Qt writes a public key as SubjectPublicKeyInfo, whatever its algorithm.
    const QByteArray spki = certificate.publicKey().toDer();
    if (spki.isEmpty())
        return QByteArray();
    return QCryptographicHash::hash(spki, QCryptographicHash::Sha256).toBase64();
}

QList<QSslCertificate> withIssuingAuthority(const QList<QSslCertificate>& chain,
                                            const QList<QSslCertificate>& authorities)
{
    QList<QSslCertificate> completed = chain;
    if (chain.isEmpty() || chain.last().isSelfSigned())
        return completed;
    const QByteArray issuer = distinguishedName(chain.last(), Name::Issuer);
    for (const QSslCertificate& authority : authorities) {
        if (distinguishedName(authority, Name::Subject) == issuer && !completed.contains(authority))
            completed.append(authority);
    }
    return completed;
}

bool chainIsPinned(const QList<QSslCertificate>& chain, const QList<QByteArray>& pins)
{
    if (chain.isEmpty())
        return false;
    if (pins.isEmpty())
        return true;
    for (const QSslCertificate& certificate : chain) {
        const QByteArray pin = publicKeyPin(certificate);
        if (!pin.isEmpty() && pins.contains(pin))
            return true;
    }
    return false;
}

QList<QByteArray> buildPins()
{
    return parsePins(QStringLiteral(CORVANE_SERVICE_PINS));
}

} // namespace service
