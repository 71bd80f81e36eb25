#include "testcertificates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <utility>

namespace {

// The server identities of a set, by the names the index gives them.
template <typename Set> auto identities(Set& made)
{
    using Identity = decltype(&made.trusted);
    return std::array<std::pair<const char*, Identity>, 4>{{{"trusted", &made.trusted},
                                                            {"otherAuthority", &made.otherAuthority},
                                                            {"expired", &made.expired},
                                                            {"wrongHost", &made.wrongHost}}};
}

QString inFolder(const QString& folder, const QJsonValue& name)
{
    return name.toString().isEmpty() ? QString() : QDir(folder).filePath(name.toString());
}

} // namespace

QJsonObject testCertificateIndex(const TestCertificates& made)
{
    QJsonObject index{{QStringLiteral("authority"), QFileInfo(made.authority).fileName()},
                      {QStringLiteral("authorityPin"), QString::fromLatin1(made.authorityPin)}};
    for (const auto& [name, identity] : identities(made)) {
        index.insert(QLatin1String(name),
                     QJsonObject{{QStringLiteral("certificate"), QFileInfo(identity->certificate).fileName()},
                                 {QStringLiteral("key"), QFileInfo(identity->key).fileName()},
                                 {QStringLiteral("pin"), QString::fromLatin1(identity->pin)},
                                 {QStringLiteral("chain"), QFileInfo(identity->chain).fileName()}});
    }
    return index;
}

TestCertificates testCertificatesFromIndex(const QJsonObject& index, const QString& folder)
{
    TestCertificates made;
    made.authority = inFolder(folder, index.value(QStringLiteral("authority")));
    made.authorityPin = index.value(QStringLiteral("authorityPin")).toString().toLatin1();
    for (const auto& [name, identity] : identities(made)) {
        const QJsonObject entry = index.value(QLatin1String(name)).toObject();
        *identity = TlsIdentity{inFolder(folder, entry.value(QStringLiteral("certificate"))),
                                inFolder(folder, entry.value(QStringLiteral("key"))),
                                entry.value(QStringLiteral("pin")).toString().toLatin1(),
                                inFolder(folder, entry.value(QStringLiteral("chain")))};
    }
    return made;
}

void trustTestAuthority()
{
    qputenv("CORVANE_CA_CERTIFICATES", QFile::encodeName(testCertificates().authority));
}
