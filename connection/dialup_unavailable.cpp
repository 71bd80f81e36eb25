// Systems without the Remote Access Service. Every dial fails at once with its own result, so
// the window explains why instead of waiting for the attempt to time out.
#include "connection/dialup.h"

namespace {

class UnavailableDialUp : public DialUp
{
public:
    // There is no version worth telling and no phone book to write: let the worker reach the
    // dial, which is where the missing service is reported.
    OsVersion version(std::uint32_t) override
    {
        OsVersion version;
        version.ok = true;
        version.platformId = ras::platformWin32Nt;
        return version;
    }

    std::uint32_t setEntryProperties(const char16_t*, const std::u16string&, const PhoneBookEntry&,
                                     std::uint32_t, const void*, std::uint32_t) override
    {
        return ras::success;
    }

    std::uint32_t setCredentials(const char16_t*, const std::u16string&, const Credentials&, bool) override
    {
        return ras::success;
    }

    std::uint32_t dial(const void*, const char16_t*, const DialParams&, std::uint32_t, const void*,
                       std::atomic<RasHandle>& connection) override
    {
        connection.store(0);
        return ras::errorDialUpUnavailable;
    }

    std::uint32_t hangUp(RasHandle) override { return ras::errorInvalidHandle; }
};

} // namespace

std::unique_ptr<DialUp> makePlatformDialUp()
{
    return std::make_unique<UnavailableDialUp>();
}
