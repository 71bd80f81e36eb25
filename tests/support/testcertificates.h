// Certificates made with OpenSSL when a test process first asks for them, in a folder of its
// own: no key is ever committed. One authority the tests trust (through the client's own hook,
// CORVANE_CA_CERTIFICATES), and server certificates for 127.0.0.1 and localhost: one it signed,
// one signed by an authority nobody trusts, one that has expired and one for another host name.
// A Windows test has no OpenSSL: the build machine makes its set before it starts
// (corvane-testcertificates) and names the folder in CORVANE_TEST_CERTIFICATES.
#ifndef CORVANE_TESTCERTIFICATES_H
#define CORVANE_TESTCERTIFICATES_H

#include <QByteArray>
#include <QJsonObject>
#include <QMetaType>
#include <QString>

struct TlsIdentity
{
    QString certificate; // PEM file: what the server sends (on Linux its own certificate alone)
    QString key;         // PEM file
    QByteArray pin;      // base64 SHA-256 of the key's SubjectPublicKeyInfo, as OpenSSL writes it
    QString chain;       // PEM file: the certificate followed by the authority that issued it
};

Q_DECLARE_METATYPE(TlsIdentity)

struct TestCertificates
{
    QString authority; // PEM file of the trusted authority's certificate
    QByteArray authorityPin;
    TlsIdentity trusted;
    TlsIdentity otherAuthority;
    TlsIdentity expired;
    TlsIdentity wrongHost;
};

// Made once per process; a test fails loudly when OpenSSL could not make them (or, on
// Windows, when the build machine's set is missing).
const TestCertificates& testCertificates();

// A new set in `folder`, made with OpenSSL.
TestCertificates makeTestCertificates(const QString& folder);

// The file in a folder of certificates that names its files and pins: written beside a set
// made for another process, read by that process.
constexpr char testCertificateIndexName[] = "certificates.json";
QJsonObject testCertificateIndex(const TestCertificates& made);
// The set an index names, its files taken from `folder`; a part the index lacks is empty.
TestCertificates testCertificatesFromIndex(const QJsonObject& index, const QString& folder);

// Points the client's trust hook at the test authority, beside the system's.
void trustTestAuthority();

#endif
