// The Remote Access Service of Windows behind the dial-up interface.
#include "connection/dialup_windows.h"

#include <cstddef>
#include <cstring>

// The sizes handed to the system must match the structure versions they name.
static_assert(ras::entrySize == offsetof(RASENTRYW, dwRedialPause) + sizeof(DWORD),
              "the entry size names the entry that ends with dwRedialPause");
static_assert(ras::dialParamsSize == offsetof(RASDIALPARAMSW, dwCallbackId) + sizeof(DWORD),
              "the dial parameter size names the structure that ends with dwCallbackId");
static_assert(ras::credentialsSize == sizeof(RASCREDENTIALSW), "credentials size");
static_assert(ras::versionInfoExSize == sizeof(OSVERSIONINFOEXW), "extended version info size");
static_assert(ras::versionInfoSize == sizeof(OSVERSIONINFOW), "version info size");
// RasDialW writes the handle through a plain HRASCONN pointer into the worker's atomic.
static_assert(sizeof(std::atomic<RasHandle>) == sizeof(HRASCONN), "handle size");
static_assert(std::atomic<RasHandle>::is_always_lock_free, "handle store is a plain store");
static_assert(sizeof(WCHAR) == sizeof(char16_t), "UTF-16 texts");
// The client's names for the system's constants and field lengths.
static_assert(ras::entryOptions == (RASEO_RemoteDefaultGateway | RASEO_SecureLocalFiles |
                                    RASEO_PreviewUserPw | RASEO_ShowDialingProgress),
              "entry options");
static_assert(ras::entryOptions2Pptp == (RASEO2_DontNegotiateMultilink | RASEO2_DisableNbtOverIP),
              "options2");
static_assert(ras::entryOptions2L2tp ==
                  (RASEO2_DontNegotiateMultilink | RASEO2_DisableNbtOverIP | RASEO2_UsePreSharedKey),
              "options2");
static_assert(ras::platformWin32Nt == VER_PLATFORM_WIN32_NT, "platform");
static_assert(ras::netProtocolIp == RASNP_Ip && ras::framingPpp == RASFP_Ppp, "protocols");
static_assert(ras::entryTypeVpn == RASET_Vpn && ras::encryptionOptional == ET_Optional, "entry type");
static_assert(ras::vpnPptpOnly == VS_PptpOnly && ras::vpnL2tpOnly == VS_L2tpOnly, "strategies");
static_assert(ras::credentialsMaskPreSharedKey == RASCM_PreSharedKey, "credentials mask");
static_assert(ras::maxEntryName == RAS_MaxEntryName && ras::maxPhoneNumber == RAS_MaxPhoneNumber &&
                  ras::maxDeviceType == RAS_MaxDeviceType && ras::maxDeviceName == RAS_MaxDeviceName,
              "entry field lengths");
static_assert(ras::maxUserName == UNLEN && ras::maxPassword == PWLEN && ras::maxDomain == DNLEN,
              "credential field lengths");
static_assert(ras::errorUserDisconnection == ERROR_USER_DISCONNECTION, "hang-up result");
static_assert(ras::errorInvalidHandle == ERROR_INVALID_HANDLE, "stale handle result");

namespace {

const WCHAR* wide(const char16_t* text)
{
    return reinterpret_cast<const WCHAR*>(text);
}

const WCHAR* wide(const std::u16string& text)
{
    return wide(text.c_str());
}

class WindowsDialUp : public DialUp
{
public:
    OsVersion version(std::uint32_t infoSize) override
    {
        OSVERSIONINFOEXW info;
        std::memset(&info, 0, sizeof(info));
        info.dwOSVersionInfoSize = infoSize;
        OsVersion result;
        if (infoSize > sizeof(info) || !GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)))
            return result;
        result.ok = true;
        result.major = info.dwMajorVersion;
        result.minor = info.dwMinorVersion;
        result.platformId = info.dwPlatformId;
        return result;
    }

    std::uint32_t setEntryProperties(const char16_t* phoneBook, const std::u16string& entryName,
                                     const PhoneBookEntry& values, std::uint32_t entrySize,
                                     const void* deviceInfo, std::uint32_t deviceInfoSize) override
    {
        RASENTRYW entry;
        fillRasEntry(values, entry);
        return RasSetEntryPropertiesW(wide(phoneBook), wide(entryName), &entry, entrySize,
                                      static_cast<LPBYTE>(const_cast<void*>(deviceInfo)), deviceInfoSize);
    }

    std::uint32_t setCredentials(const char16_t* phoneBook, const std::u16string& entryName,
                                 const Credentials& values, bool clearCredentials) override
    {
        RASCREDENTIALSW credentials;
        fillRasCredentials(values, credentials);
        return RasSetCredentialsW(wide(phoneBook), wide(entryName), &credentials, clearCredentials);
    }

    std::uint32_t dial(const void* dialExtensions, const char16_t* phoneBook, const DialParams& values,
                       std::uint32_t notifierType, const void* notifier,
                       std::atomic<RasHandle>& connection) override
    {
        // Hung up before the dial began. A hang-up in the last moment before the system writes
        // its handle still goes unseen; the connection controller hangs up what then connects.
        if (connection.load() != 0)
            return ras::errorUserDisconnection;
        RASDIALPARAMSW params;
        fillRasDialParams(values, params);
        // The system fills the handle early in the call, so a hang-up from the window's thread
        // can end the blocked dial; an aligned pointer-sized store is what the atomic load sees.
        return RasDialW(static_cast<LPRASDIALEXTENSIONS>(const_cast<void*>(dialExtensions)), wide(phoneBook),
                        &params, notifierType, const_cast<void*>(notifier),
                        reinterpret_cast<HRASCONN*>(&connection));
    }

    std::uint32_t hangUp(RasHandle connection) override
    {
        return RasHangUpW(reinterpret_cast<HRASCONN>(connection));
    }

    bool statistics(RasHandle connection, std::uint64_t& received, std::uint64_t& sent) override
    {
        if (connection == 0)
            return false;
        RAS_STATS stats;
        std::memset(&stats, 0, sizeof(stats));
        stats.dwSize = sizeof(stats);
        if (RasGetConnectionStatistics(reinterpret_cast<HRASCONN>(connection), &stats) != ERROR_SUCCESS)
            return false;
        // The system counts in 32 bits; past 4 GiB the figures wrap, as its own dialog's do.
        received = stats.dwBytesRcved;
        sent = stats.dwBytesXmited;
        return true;
    }
};

} // namespace

void copyRasText(const std::u16string& text, WCHAR* field, std::size_t capacity)
{
    if (capacity == 0)
        return;
    const std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(field, text.data(), length * sizeof(WCHAR));
    field[length] = 0;
}

void fillRasEntry(const PhoneBookEntry& values, RASENTRYW& entry)
{
    std::memset(&entry, 0, sizeof(entry));
    entry.dwSize = values.dwSize;
    entry.dwfOptions = values.dwfOptions;
    copyRasText(values.szLocalPhoneNumber, entry.szLocalPhoneNumber, RAS_MaxPhoneNumber + 1);
    entry.dwfNetProtocols = values.dwfNetProtocols;
    entry.dwFramingProtocol = values.dwFramingProtocol;
    copyRasText(values.szDeviceType, entry.szDeviceType, RAS_MaxDeviceType + 1);
    copyRasText(values.szDeviceName, entry.szDeviceName, RAS_MaxDeviceName + 1);
    entry.dwType = values.dwType;
    entry.dwEncryptionType = values.dwEncryptionType;
    entry.dwVpnStrategy = values.dwVpnStrategy;
    entry.dwfOptions2 = values.dwfOptions2;
    entry.dwRedialCount = values.dwRedialCount;
    entry.dwRedialPause = values.dwRedialPause;
}

void fillRasCredentials(const Credentials& values, RASCREDENTIALSW& credentials)
{
    std::memset(&credentials, 0, sizeof(credentials));
    credentials.dwSize = values.dwSize;
    credentials.dwMask = values.dwMask;
    copyRasText(values.szPassword, credentials.szPassword, PWLEN + 1);
}

void fillRasDialParams(const DialParams& values, RASDIALPARAMSW& params)
{
    std::memset(&params, 0, sizeof(params));
    params.dwSize = values.dwSize;
    copyRasText(values.szEntryName, params.szEntryName, RAS_MaxEntryName + 1);
    copyRasText(values.szUserName, params.szUserName, UNLEN + 1);
    copyRasText(values.szPassword, params.szPassword, PWLEN + 1);
    copyRasText(values.szDomain, params.szDomain, DNLEN + 1);
}

std::unique_ptr<DialUp> makePlatformDialUp()
{
    return std::make_unique<WindowsDialUp>();
}
