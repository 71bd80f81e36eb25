// Where OpenSSL is (Linux, and the build machine of the Windows tests): the certificates are
// made here, by the process that uses them.
#include "testcertificates.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <initializer_list>
#include <memory>

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

constexpr long day = 24 * 60 * 60;

Key newKey()
{
    // P-256 keys make handshakes cheap; every test process makes its own.
    return Key(EVP_EC_gen("P-256"), EVP_PKEY_free);
}

bool addExtension(X509* certificate, X509V3_CTX* context, int nid, const char* value)
{
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, context, nid, value);
    if (!extension)
        return false;
    const bool added = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

struct Issuer
{
    X509* certificate = nullptr; // null: the certificate signs itself
    EVP_PKEY* key = nullptr;
};

// An authority when `altNames` is null, else a server certificate for those names.
Certificate makeCertificate(EVP_PKEY* key, const char* commonName, const Issuer& issuer, const char* altNames,
                            long validFrom, long validUntil)
{
    Certificate certificate(X509_new(), X509_free);
    X509* x = certificate.get();
    X509_set_version(x, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x), long(QRandomGenerator::global()->bounded(1, 1 << 30)));
    X509_gmtime_adj(X509_getm_notBefore(x), validFrom);
    X509_gmtime_adj(X509_getm_notAfter(x), validUntil);
    X509_set_pubkey(x, key);
    X509_NAME* name = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Corvane tests"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName),
                               -1, -1, 0);
    X509_set_issuer_name(x, issuer.certificate ? X509_get_subject_name(issuer.certificate) : name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer.certificate ? issuer.certificate : x, x, nullptr, nullptr, 0);
    const bool authority = altNames == nullptr;
    bool made =
        addExtension(x, &context, NID_basic_constraints, authority ? "critical,CA:TRUE" : "CA:FALSE") &&
        addExtension(x, &context, NID_key_usage,
                     authority ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature") &&
        addExtension(x, &context, NID_subject_key_identifier, "hash");
    if (!authority) {
        made = made && addExtension(x, &context, NID_ext_key_usage, "serverAuth") &&
               addExtension(x, &context, NID_subject_alt_name, altNames) &&
               addExtension(x, &context, NID_authority_key_identifier, "keyid");
    }
    if (!made || X509_sign(x, issuer.key ? issuer.key : key, EVP_sha256()) <= 0)
        return Certificate(nullptr, X509_free);
    return certificate;
}

bool writeCertificates(std::initializer_list<X509*> certificates, const QString& path)
{
    BIO* out = BIO_new_file(QFile::encodeName(path).constData(), "w");
    bool written = out != nullptr;
    for (X509* certificate : certificates)
        written = written && PEM_write_bio_X509(out, certificate) == 1;
    BIO_free(out);
    return written;
}

bool writeKey(EVP_PKEY* key, const QString& path)
{
    BIO* out = BIO_new_file(QFile::encodeName(path).constData(), "w");
    const bool written =
        out && PEM_write_bio_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    BIO_free(out);
    return written;
}

QByteArray pinOf(EVP_PKEY* key)
{
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(key, &der);
    if (length <= 0)
        return QByteArray();
    const QByteArray spki(reinterpret_cast<const char*>(der), length);
    OPENSSL_free(der);
    return QCryptographicHash::hash(spki, QCryptographicHash::Sha256).toBase64();
}

const char localNames[] = "IP:127.0.0.1,DNS:localhost,DNS:127.0.0.1";

TestCertificates make(const QString& folder)
{
    TestCertificates made;
    // Names of their own for each set: tests running side by side in one Wine prefix must not
    // find each other's authority by its name.
    const QByteArray run = QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    const QByteArray authorityName = "Corvane Test Authority " + run;
    const QByteArray otherName = "Untrusted Test Authority " + run;
    const Key authorityKey = newKey();
    const Certificate authority =
        makeCertificate(authorityKey.get(), authorityName.constData(), {}, nullptr, -day, 30 * day);
    const Key otherKey = newKey();
    const Certificate other =
        makeCertificate(otherKey.get(), otherName.constData(), {}, nullptr, -day, 30 * day);
    if (!authority || !other)
        qFatal("OpenSSL could not make the test authorities");
    made.authority = folder + QStringLiteral("/authority.pem");
    made.authorityPin = pinOf(authorityKey.get());
    if (!writeCertificates({authority.get()}, made.authority))
        qFatal("cannot write %s", qPrintable(made.authority));

    const auto identity = [&](const char* name, const Issuer& issuer, const char* altNames, long from,
                              long until) {
        const Key key = newKey();
        const Certificate certificate = makeCertificate(
            key.get(), altNames == localNames ? "127.0.0.1" : "wrong.example", issuer, altNames, from, until);
        const QString base = folder + QLatin1Char('/') + QLatin1String(name);
        TlsIdentity id{base + QStringLiteral(".pem"), base + QStringLiteral(".key"), pinOf(key.get()),
                       base + QStringLiteral("-chain.pem")};
        if (!certificate || !writeCertificates({certificate.get()}, id.certificate) ||
            !writeCertificates({certificate.get(), issuer.certificate}, id.chain) ||
            !writeKey(key.get(), id.key))
            qFatal("OpenSSL could not make the test certificate %s", name);
        return id;
    };
    const Issuer trusted{authority.get(), authorityKey.get()};
    made.trusted = identity("trusted", trusted, localNames, -day, 30 * day);
    made.otherAuthority =
        identity("other-authority", {other.get(), otherKey.get()}, localNames, -day, 30 * day);
    made.expired = identity("expired", trusted, localNames, -10 * day, -day);
    made.wrongHost = identity("wrong-host", trusted, "DNS:wrong.example", -day, 30 * day);
    return made;
}

} // namespace

TestCertificates makeTestCertificates(const QString& folder)
{
    return make(folder);
}

const TestCertificates& testCertificates()
{
    static QTemporaryDir folder;
    static const TestCertificates made = make(folder.path());
    return made;
}
