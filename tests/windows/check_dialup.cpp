// Checks of the Windows dial-up layer against the Windows headers. The structure layout is
// checked while compiling; the filled structures are checked when the program runs.
#include "connection/dialup_windows.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>

static_assert(5616 == offsetof(RASENTRYW, dwRedialPause) + sizeof(DWORD), "entry ends with dwRedialPause");
static_assert(2104 == offsetof(RASDIALPARAMSW, dwCallbackId) + sizeof(DWORD),
              "dial parameters end with dwCallbackId");
static_assert(1068 == sizeof(RASCREDENTIALSW), "credentials");
static_assert(ras::entrySize == 5616 && ras::dialParamsSize == 2104 && ras::credentialsSize == 1068,
              "the sizes the client hands to the system");
static_assert(284 == sizeof(OSVERSIONINFOEXW) && 276 == sizeof(OSVERSIONINFOW), "version structures");
static_assert(0x05010010 == (RASEO_RemoteDefaultGateway | RASEO_SecureLocalFiles | RASEO_PreviewUserPw |
                             RASEO_ShowDialingProgress),
              "entry options");
static_assert(0x44 == (RASEO2_DontNegotiateMultilink | RASEO2_DisableNbtOverIP), "PPTP options2");
static_assert(0x54 == (RASEO2_DontNegotiateMultilink | RASEO2_DisableNbtOverIP | RASEO2_UsePreSharedKey),
              "L2TP options2");
static_assert(RASNP_Ip == 4 && RASFP_Ppp == 1 && RASET_Vpn == 2 && ET_Optional == 3, "entry values");
static_assert(VS_PptpOnly == 1 && VS_L2tpOnly == 3 && RASCM_PreSharedKey == 0x10, "strategies and mask");
static_assert(VER_PLATFORM_WIN32_NT == 2, "NT platform");

namespace {

int failures = 0;

void check(bool ok, const char* what)
{
    if (!ok) {
        std::printf("FAIL: %s\n", what);
        ++failures;
    }
}

bool sameText(const WCHAR* field, const wchar_t* expected)
{
    return std::wcscmp(reinterpret_cast<const wchar_t*>(field), expected) == 0;
}

// True when every byte of the structure is zero once the fields the client sets are cleared.
template <typename T, typename Clear> bool restIsZero(T copy, Clear clear)
{
    clear(copy);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&copy);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        if (bytes[i] != 0)
            return false;
    }
    return true;
}

PhoneBookEntry entryValues(std::uint32_t size, std::uint32_t strategy, std::uint32_t options2)
{
    PhoneBookEntry values;
    values.dwSize = size;
    values.dwfOptions = 0x05010010;
    values.szLocalPhoneNumber = u"198.18.0.10";
    values.dwfNetProtocols = 4;
    values.dwFramingProtocol = 1;
    values.szDeviceType = u"vpn";
    values.szDeviceName = u"VPN";
    values.dwType = 2;
    values.dwEncryptionType = 3;
    values.dwVpnStrategy = strategy;
    values.dwfOptions2 = options2;
    values.dwRedialCount = 3;
    values.dwRedialPause = 1;
    return values;
}

void checkEntry(std::uint32_t size, std::uint32_t strategy, std::uint32_t options2)
{
    RASENTRYW entry;
    std::memset(&entry, 0xAB, sizeof(entry)); // the fill must not leave anything behind
    fillRasEntry(entryValues(size, strategy, options2), entry);
    check(entry.dwSize == size, "entry dwSize comes from the value, not from sizeof");
    check(entry.dwfOptions == 0x05010010, "entry options");
    check(sameText(entry.szLocalPhoneNumber, L"198.18.0.10"), "phone number");
    check(entry.dwfNetProtocols == RASNP_Ip, "net protocols");
    check(entry.dwFramingProtocol == RASFP_Ppp, "framing");
    check(sameText(entry.szDeviceType, L"vpn"), "device type (RASDT_Vpn)");
    check(sameText(entry.szDeviceName, L"VPN"), "device name");
    check(entry.dwType == RASET_Vpn, "entry type");
    check(entry.dwEncryptionType == ET_Optional, "encryption");
    check(entry.dwVpnStrategy == strategy, "strategy");
    check(entry.dwfOptions2 == options2, "options2");
    check(entry.dwRedialCount == 3 && entry.dwRedialPause == 1, "redial");
    check(restIsZero(entry,
                     [](RASENTRYW& e) {
                         e.dwSize = e.dwfOptions = e.dwfNetProtocols = e.dwFramingProtocol = 0;
                         e.dwType = e.dwEncryptionType = e.dwVpnStrategy = e.dwfOptions2 = 0;
                         e.dwRedialCount = e.dwRedialPause = 0;
                         std::memset(e.szLocalPhoneNumber, 0, sizeof(e.szLocalPhoneNumber));
                         std::memset(e.szDeviceType, 0, sizeof(e.szDeviceType));
                         std::memset(e.szDeviceName, 0, sizeof(e.szDeviceName));
                     }),
          "every other entry field is zero");
}

void checkCredentials()
{
    Credentials values;
    values.dwSize = 1068;
    values.dwMask = 0x10;
    values.szPassword = u"psk-secret";
    RASCREDENTIALSW credentials;
    std::memset(&credentials, 0xAB, sizeof(credentials));
    fillRasCredentials(values, credentials);
    check(credentials.dwSize == 1068 && credentials.dwMask == RASCM_PreSharedKey,
          "credentials size and mask");
    check(sameText(credentials.szPassword, L"psk-secret"), "pre-shared key");
    check(restIsZero(credentials,
                     [](RASCREDENTIALSW& c) {
                         c.dwSize = c.dwMask = 0;
                         std::memset(c.szPassword, 0, sizeof(c.szPassword));
                     }),
          "no user name or password is stored");
}

void checkDialParams()
{
    DialParams values;
    values.dwSize = 2104;
    values.szEntryName = u"Corvane";
    values.szUserName = u"alice";
    values.szPassword = u"s3cret";
    RASDIALPARAMSW params;
    std::memset(&params, 0xAB, sizeof(params));
    fillRasDialParams(values, params);
    check(params.dwSize == 2104, "dial parameter size");
    check(sameText(params.szEntryName, L"Corvane"), "entry name");
    check(sameText(params.szUserName, L"alice") && sameText(params.szPassword, L"s3cret"), "account");
    check(restIsZero(params,
                     [](RASDIALPARAMSW& p) {
                         p.dwSize = 0;
                         std::memset(p.szEntryName, 0, sizeof(p.szEntryName));
                         std::memset(p.szUserName, 0, sizeof(p.szUserName));
                         std::memset(p.szPassword, 0, sizeof(p.szPassword));
                     }),
          "phone number, callback number, domain, sub-entry and callback id stay empty");
}

void checkTextAtItsLimit()
{
    WCHAR field[RAS_MaxPhoneNumber + 1];
    std::memset(field, 0xAB, sizeof(field));
    copyRasText(std::u16string(RAS_MaxPhoneNumber, u'9'), field, RAS_MaxPhoneNumber + 1);
    check(field[RAS_MaxPhoneNumber - 1] == L'9' && field[RAS_MaxPhoneNumber] == 0,
          "longest text keeps its terminator");
}

} // namespace

int main()
{
    checkEntry(5616, VS_PptpOnly, 0x44);
    checkEntry(5616, VS_L2tpOnly, 0x54);
    checkEntry(2088, VS_PptpOnly, 0x44);
    checkCredentials();
    checkDialParams();
    checkTextAtItsLimit();
    const std::unique_ptr<DialUp> platform = makePlatformDialUp();
    check(platform != nullptr, "platform dial-up");
    // Figures only for a connection the system has: none for a null or a made-up handle.
    std::uint64_t received = 7;
    std::uint64_t sent = 7;
    check(!platform->statistics(0, received, sent), "no figures without a connection");
    check(!platform->statistics(RasHandle(0x4d2), received, sent), "no figures for a stale handle");
    check(received == 7 && sent == 7, "no figures written when there are none");
    if (failures == 0)
        std::printf("all dial-up structure checks passed\n");
    return failures == 0 ? 0 : 1;
}
