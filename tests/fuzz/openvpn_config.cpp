// The check of a downloaded OpenVPN configuration before openvpn, as root, reads it, and the
// accepted words written again for NetworkManager's importer.
#include "connection/openvpnconfig.h"
#include "mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const OpenVpnConfigVerdict verdict = checkOpenVpnConfig(fuzzBytes(data, size));
    if (!verdict.accepted)
        return 0;
    const QString folder = QStringLiteral("/w");
    const QString ca = QStringLiteral("/w/ca.crt");
    const OpenVpnRewrite rewrite = rewriteOpenVpnConfig(verdict.directives, folder, ca);
    if (!rewrite.error.isEmpty() || !rewrite.files.isEmpty())
        return 0;
    // Read again, the rewrite holds the same words: it writes itself out unchanged.
    const OpenVpnConfigVerdict again = checkOpenVpnConfig(rewrite.config);
    if (!again.accepted || rewriteOpenVpnConfig(again.directives, folder, ca).config != rewrite.config)
        __builtin_trap();
    return 0;
}
