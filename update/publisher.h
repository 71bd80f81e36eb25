#ifndef CORVANE_PUBLISHER_H
#define CORVANE_PUBLISHER_H

// Plain C++ on purpose: the Windows signature check uses it with the Windows toolchain alone.
#include <string>

// The publisher whose signature this build accepts on an installer: the certificate's common
// name and its SHA-256 or SHA-1 thumbprint (hex), both set when the client is configured.
struct PublisherPin
{
    std::string subject;
    std::string thumbprint;
};

// What the signer's certificate says about itself; thumbprints in hex.
struct SignerCertificate
{
    std::string subject;
    std::string sha1;
    std::string sha256;
};

// Why an installer may or may not be started.
enum class InstallerVerdict
{
    Trusted,           // valid signature, chained to a trusted root, made by the pinned publisher
    InvalidSignature,  // no signature, a broken one, or one that chains to no trusted root
    OtherPublisher,    // a valid signature by someone else
    NoPublisherPinned, // this build names no publisher, so it trusts no installer
    NotNewer,          // its file version is not newer than the running client's (or it has none)
};

// The publisher named when the client was configured.
PublisherPin builtInPublisher();

// Upper-case hex digits without separators (spaces, colons); empty unless the text is a whole
// SHA-1 (40 digits) or SHA-256 (64 digits) thumbprint.
std::string normalizedThumbprint(const std::string& text);

// A pin is usable only with a subject and a whole thumbprint.
bool publisherPinned(const PublisherPin& pin);

// Compares the certificate of a signature that already passed the chain check with the pin.
// The subject must be equal, the thumbprint whole and equal: no prefix, no partial match.
InstallerVerdict matchSigner(const PublisherPin& pin, const SignerCertificate& signer);

#endif
