// NetworkManager's own OpenVPN importer (the plugin's libnm editor plugin). Plain C++: GLib's
// headers and Qt's keywords do not mix.
#ifndef CORVANE_NMIMPORT_LINUX_H
#define CORVANE_NMIMPORT_LINUX_H

#include <map>
#include <string>

namespace nm {

struct ImportedVpn
{
    bool ok = false;
    std::string error;
    std::string serviceType;
    std::map<std::string, std::string> data;
};

// Turns the configuration file at `path` into the plugin's settings, as the desktop's import
// does. Not thread-safe: GLib's type system is set up on first use.
ImportedVpn importOpenVpnConfig(const std::string& path);

} // namespace nm

#endif
