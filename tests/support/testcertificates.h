// Certificates made with OpenSSL when a test process first asks for them, in a folder of its
// own: no key is ever committed. One authority the tests trust (through the client's own hook,
// CORVANE_CA_CERTIFICATES), and server certificates for 127.0.0.1 and localhost: one it signed,
// one signed by an authority nobody trusts, one that has expired and one for another host name.
#ifndef CORVANE_TESTCERTIFICATES_H
#define CORVANE_TESTCERTIFICATES_H

#include <QByteArray>
#include <QMetaType>
#include <QString>

struct TlsIdentity
{
    QString certificate; // PEM file
    QString key;         // PEM file
    QByteArray pin;      // base64 SHA-256 of the key's SubjectPublicKeyInfo, as OpenSSL writes it
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

// Made once per process; a test fails loudly when OpenSSL could not make them.
const TestCertificates& testCertificates();

// Points the client's trust hook at the test authority, beside the system's.
void trustTestAuthority();

#endif
