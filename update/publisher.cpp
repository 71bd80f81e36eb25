#include "update/publisher.h"

#include "update/publisherconfig.h"

#include <cctype>

PublisherPin builtInPublisher()
{
    return {CORVANE_PUBLISHER_SUBJECT, CORVANE_PUBLISHER_THUMBPRINT};
}

std::string normalizedThumbprint(const std::string& text)
{
    std::string digits;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == ' ' || c == ':' || c == '\t')
            continue;
        if (!std::isxdigit(u))
            return {};
        digits.push_back(static_cast<char>(std::toupper(u)));
    }
    return digits.size() == 40 || digits.size() == 64 ? digits : std::string();
}

bool publisherPinned(const PublisherPin& pin)
{
    return !pin.subject.empty() && !normalizedThumbprint(pin.thumbprint).empty();
}

InstallerVerdict matchSigner(const PublisherPin& pin, const SignerCertificate& signer)
{
    if (!publisherPinned(pin))
        return InstallerVerdict::NoPublisherPinned;
    const std::string pinned = normalizedThumbprint(pin.thumbprint);
    // The pin's length says which hash it is; the signer's hash of that kind must be equal.
    const std::string& actual = pinned.size() == 64 ? signer.sha256 : signer.sha1;
    if (signer.subject != pin.subject || normalizedThumbprint(actual) != pinned)
        return InstallerVerdict::OtherPublisher;
    return InstallerVerdict::Trusted;
}
