// The check of a downloaded OpenVPN configuration before openvpn, as root, reads it.
#include "connection/openvpnconfig.h"
#include "mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    checkOpenVpnConfig(fuzzBytes(data, size));
    return 0;
}
