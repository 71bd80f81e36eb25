#include "connection/nmimport_linux.h"

#include <NetworkManager.h>

#include <mutex>

namespace nm {

namespace {

const char openVpnService[] = "org.freedesktop.NetworkManager.openvpn";

void collect(const char* key, const char* value, gpointer user)
{
    (*static_cast<std::map<std::string, std::string>*>(user))[key] = value ? value : "";
}

} // namespace

ImportedVpn importOpenVpnConfig(const std::string& path)
{
    static std::mutex serial;
    std::lock_guard<std::mutex> locker(serial);
    ImportedVpn result;
    GError* error = nullptr;
    NMVpnPluginInfo* info = nm_vpn_plugin_info_new_search_file(nullptr, openVpnService);
    if (!info) {
        result.error = "NetworkManager's OpenVPN plugin is not installed";
        return result;
    }
    NMVpnEditorPlugin* plugin = nm_vpn_plugin_info_load_editor_plugin(info, &error);
    NMConnection* connection = plugin ? nm_vpn_editor_plugin_import(plugin, path.c_str(), &error) : nullptr;
    NMSettingVpn* vpn = connection ? nm_connection_get_setting_vpn(connection) : nullptr;
    if (vpn) {
        result.ok = true;
        result.serviceType = nm_setting_vpn_get_service_type(vpn);
        nm_setting_vpn_foreach_data_item(vpn, collect, &result.data);
    } else {
        result.error = error && error->message ? error->message : "the configuration was not imported";
    }
    if (error)
        g_error_free(error);
    if (connection)
        g_object_unref(connection);
    g_object_unref(info); // owns the plugin
    return result;
}

} // namespace nm
