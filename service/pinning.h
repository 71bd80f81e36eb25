// Public-key pins: the SHA-256 of a certificate's SubjectPublicKeyInfo, in base64, as a build
// names the service's keys. A chain is pinned when any of its keys is one of the pins, so a
// pin on the authority's key survives a new server certificate and a pin list can announce the
// next key before the switch.
#ifndef CORVANE_SERVICE_PINNING_H
#define CORVANE_SERVICE_PINNING_H

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QString>

namespace service {

// The pins of a comma-separated list; blanks around each are dropped, and so is anything that
// is not the base64 of 32 bytes (a pin that can never match must not look like one).
QList<QByteArray> parsePins(const QString& list);

// The certificate's pin: base64 of the SHA-256 of its public key in SubjectPublicKeyInfo form.
QByteArray publicKeyPin(const QSslCertificate& certificate);

// The chain as the server sent it, with the authorities among `authorities` that issued its
// last certificate: servers leave out the root, and a pin on the root must still count. Only
// called for a chain the TLS checks have already verified, so the issuer is known to be one of
// them.
QList<QSslCertificate> withIssuingAuthority(const QList<QSslCertificate>& chain,
                                            const QList<QSslCertificate>& authorities);

// True when no pins are named (the authorities alone decide) or when a key of the chain is
// pinned. An empty chain is never pinned.
bool chainIsPinned(const QList<QSslCertificate>& chain, const QList<QByteArray>& pins);

// The pins this build names (CORVANE_SERVICE_PINS); empty when it names none.
QList<QByteArray> buildPins();

} // namespace service

#endif
