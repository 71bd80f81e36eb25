// The dial-up platform layer: the few Remote Access Service calls the dialling worker and the
// window make. Plain C++ without Qt, so that the Windows implementation builds with the bare
// cross compiler as well.
#ifndef CORVANE_DIALUP_H
#define CORVANE_DIALUP_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// Handle of a RAS connection, wide enough for an HRASCONN; 0 is the null handle.
using RasHandle = std::uintptr_t;

namespace ras {

// Structure sizes handed to the system. They name fixed structure versions and are never taken
// from the compiler's idea of the structures, which grow with newer headers.
constexpr std::uint32_t entrySize = 5616;        // RASENTRYW up to dwRedialPause
constexpr std::uint32_t entrySizeLegacy = 2088;  // dwSize for systems older than 5.1
constexpr std::uint32_t credentialsSize = 1068;  // RASCREDENTIALSW
constexpr std::uint32_t dialParamsSize = 2104;   // RASDIALPARAMSW up to dwCallbackId
constexpr std::uint32_t versionInfoExSize = 284; // OSVERSIONINFOEXW
constexpr std::uint32_t versionInfoSize = 276;   // OSVERSIONINFOW

constexpr std::uint32_t platformWin32Nt = 2; // VER_PLATFORM_WIN32_NT

// Entry options.
constexpr std::uint32_t optionRemoteDefaultGateway = 0x00000010;
constexpr std::uint32_t optionSecureLocalFiles = 0x00010000;
constexpr std::uint32_t optionPreviewUserPw = 0x01000000;
constexpr std::uint32_t optionShowDialingProgress = 0x04000000;
constexpr std::uint32_t entryOptions =
    optionRemoteDefaultGateway | optionSecureLocalFiles | optionPreviewUserPw | optionShowDialingProgress;

constexpr std::uint32_t option2DontNegotiateMultilink = 0x04;
constexpr std::uint32_t option2UsePreSharedKey = 0x10;
constexpr std::uint32_t option2DisableNbtOverIp = 0x40;
constexpr std::uint32_t entryOptions2Pptp = option2DontNegotiateMultilink | option2DisableNbtOverIp;
constexpr std::uint32_t entryOptions2L2tp = entryOptions2Pptp | option2UsePreSharedKey;

constexpr std::uint32_t netProtocolIp = 4;      // RASNP_Ip
constexpr std::uint32_t framingPpp = 1;         // RASFP_Ppp
constexpr std::uint32_t entryTypeVpn = 2;       // RASET_Vpn
constexpr std::uint32_t encryptionOptional = 3; // ET_Optional
constexpr std::uint32_t vpnPptpOnly = 1;        // VS_PptpOnly
constexpr std::uint32_t vpnL2tpOnly = 3;        // VS_L2tpOnly
constexpr std::uint32_t redialCount = 3;
constexpr std::uint32_t redialPauseSeconds = 1;

constexpr std::uint32_t credentialsMaskPreSharedKey = 0x10; // RASCM_PreSharedKey
constexpr std::uint32_t notifierType = 2; // RasDialFunc2; with a null notifier the dial is synchronous

// Longest texts the fixed fields hold, in UTF-16 units without the terminator.
constexpr std::size_t maxEntryName = 256;
constexpr std::size_t maxPhoneNumber = 128;
constexpr std::size_t maxDeviceType = 16;
constexpr std::size_t maxDeviceName = 128;
constexpr std::size_t maxUserName = 256;
constexpr std::size_t maxPassword = 256;
constexpr std::size_t maxDomain = 15;

constexpr const char16_t* entryName = u"Corvane";
constexpr const char16_t* deviceTypeVpn = u"vpn"; // RASDT_Vpn
constexpr const char16_t* deviceNameVpn = u"VPN";

// What a hang-up leaves in the worker's handle when the dial has not been handed one yet; the
// dial, seeing it in place of null, does not begin. Never passed to the system.
constexpr RasHandle hungUpBeforeDial = ~RasHandle(0);

// Results.
constexpr std::uint32_t success = 0;
constexpr std::uint32_t errorInvalidHandle = 6;       // ERROR_INVALID_HANDLE
constexpr std::uint32_t errorUserDisconnection = 631; // a dial ended by a hang-up

// The client's own results, outside the ranges of system and RAS codes. They travel through the
// worker's result code like RAS codes and have their own texts.
constexpr std::uint32_t errorDialUpUnavailable = 20001;
constexpr std::uint32_t errorServerAddressTooLong = 20011;
constexpr std::uint32_t errorUserNameTooLong = 20012;
constexpr std::uint32_t errorPasswordTooLong = 20013;
constexpr std::uint32_t errorPreSharedKeyTooLong = 20014;

} // namespace ras

struct OsVersion
{
    bool ok = false;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t platformId = 0;
};

// The RASENTRYW fields the client sets; every other field of the entry stays zero.
struct PhoneBookEntry
{
    std::uint32_t dwSize = 0;
    std::uint32_t dwfOptions = 0;
    std::u16string szLocalPhoneNumber;
    std::uint32_t dwfNetProtocols = 0;
    std::uint32_t dwFramingProtocol = 0;
    std::u16string szDeviceType;
    std::u16string szDeviceName;
    std::uint32_t dwType = 0;
    std::uint32_t dwEncryptionType = 0;
    std::uint32_t dwVpnStrategy = 0;
    std::uint32_t dwfOptions2 = 0;
    std::uint32_t dwRedialCount = 0;
    std::uint32_t dwRedialPause = 0;
};

// The RASCREDENTIALSW fields the client sets.
struct Credentials
{
    std::uint32_t dwSize = 0;
    std::uint32_t dwMask = 0;
    std::u16string szPassword;
};

// The RASDIALPARAMSW fields the client sets; the phone and callback numbers stay empty, so the
// entry's own number is dialled.
struct DialParams
{
    std::uint32_t dwSize = 0;
    std::u16string szEntryName;
    std::u16string szUserName;
    std::u16string szPassword;
    std::u16string szDomain;
};

class DialUp
{
public:
    virtual ~DialUp() = default;

    // GetVersionExW with the structure size given (284 for the extended structure, 276 for the
    // plain one).
    virtual OsVersion version(std::uint32_t infoSize) = 0;

    // RasSetEntryPropertiesW. A null phone book is the system's default phone book.
    virtual std::uint32_t setEntryProperties(const char16_t* phoneBook, const std::u16string& entryName,
                                             const PhoneBookEntry& entry, std::uint32_t entrySize,
                                             const void* deviceInfo, std::uint32_t deviceInfoSize) = 0;

    // RasSetCredentialsW.
    virtual std::uint32_t setCredentials(const char16_t* phoneBook, const std::u16string& entryName,
                                         const Credentials& credentials, bool clearCredentials) = 0;

    // RasDialW. Blocks until the connection is up or the attempt has ended when the notifier is
    // null. The handle is written as soon as the system has one, before the call returns, so that
    // another thread can hang the dial up. A handle holding ras::hungUpBeforeDial on entry, or
    // by the time the dial would write it, ends the dial at once with errorUserDisconnection.
    virtual std::uint32_t dial(const void* dialExtensions, const char16_t* phoneBook,
                               const DialParams& params, std::uint32_t notifierType, const void* notifier,
                               std::atomic<RasHandle>& connection) = 0;

    // RasHangUpW. A null or stale handle fails without harm.
    virtual std::uint32_t hangUp(RasHandle connection) = 0;

    // RasGetConnectionStatistics: the bytes through the connection since it came up. False when
    // the system does not count them for this handle; a null or stale handle is harmless.
    virtual bool statistics(RasHandle connection, std::uint64_t& received, std::uint64_t& sent)
    {
        (void)connection;
        (void)received;
        (void)sent;
        return false;
    }
};

// The platform's own implementation: the Windows one, or on other systems one whose dials fail
// at once with ras::errorDialUpUnavailable. Which file provides it is the build's choice.
std::unique_ptr<DialUp> makePlatformDialUp();

// The system's VPN service behind the same calls (NetworkManager on Linux) when it answers now,
// otherwise null.
std::unique_ptr<DialUp> makeSystemDialUp();

// The implementation the client uses: a simulated phone book when CORVANE_SIMULATED_DIALUP is
// "1", otherwise the system's VPN service when it answers, otherwise the platform's. Chosen once
// per process.
DialUp& selectedDialUp();

// Lets tests put their own implementation in place of the selected one (nullptr undoes it).
// Only objects created afterwards see it.
void setDialUpOverride(DialUp* dialUp);

#endif
