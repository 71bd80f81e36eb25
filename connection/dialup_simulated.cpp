#include "connection/dialup_simulated.h"

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

std::u16string fromAscii(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

bool readNumber(const char* name, long& value)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (*end != '\0')
        return false;
    value = number;
    return true;
}

} // namespace

SimulatedDialUp::SimulatedDialUp()
{
    osVersion.ok = true;
    osVersion.major = 10;
    osVersion.minor = 0;
    osVersion.platformId = ras::platformWin32Nt;
}

SimulatedDialUp::~SimulatedDialUp() = default;

std::unique_ptr<SimulatedDialUp> SimulatedDialUp::fromEnvironment()
{
    auto dialUp = std::make_unique<SimulatedDialUp>();
    Outcome outcome;
    outcome.durationMs = 2000;
    long number = 0;
    if (readNumber("CORVANE_SIMULATED_DIALUP_RESULT", number) && number >= 0)
        outcome.result = static_cast<std::uint32_t>(number);
    if (readNumber("CORVANE_SIMULATED_DIALUP_MS", number) && number >= 0)
        outcome.durationMs = static_cast<int>(number);
    dialUp->setDialOutcome(outcome);

    if (const char* addresses = std::getenv("CORVANE_SIMULATED_DIALUP_FAILING_ADDRESSES")) {
        const Outcome failure{errorVpnUnreachable, outcome.durationMs};
        std::string list(addresses);
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t end = list.find(',', start);
            if (end == std::string::npos)
                end = list.size();
            if (end > start)
                dialUp->setDialOutcomeForAddress(fromAscii(list.substr(start, end - start)), failure);
            start = end + 1;
        }
    }
    return dialUp;
}

void SimulatedDialUp::setVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t platformId)
{
    std::lock_guard<std::mutex> lock(mutex);
    osVersion.major = major;
    osVersion.minor = minor;
    osVersion.platformId = platformId;
}

void SimulatedDialUp::setVersionFailsFor(const std::set<std::uint32_t>& infoSizes)
{
    std::lock_guard<std::mutex> lock(mutex);
    failingVersionSizes = infoSizes;
}

void SimulatedDialUp::setEntryResult(std::uint32_t result)
{
    std::lock_guard<std::mutex> lock(mutex);
    entryResult = result;
}

void SimulatedDialUp::setCredentialsResult(std::uint32_t result)
{
    std::lock_guard<std::mutex> lock(mutex);
    credentialsResult = result;
}

void SimulatedDialUp::setDialOutcome(Outcome outcome)
{
    std::lock_guard<std::mutex> lock(mutex);
    dialOutcome = outcome;
}

void SimulatedDialUp::setDialOutcomeForAddress(const std::u16string& address, Outcome outcome)
{
    std::lock_guard<std::mutex> lock(mutex);
    addressOutcomes[address] = outcome;
}

void SimulatedDialUp::holdDialReturn()
{
    std::lock_guard<std::mutex> lock(mutex);
    returnHeld = true;
}

void SimulatedDialUp::holdDialStart()
{
    std::lock_guard<std::mutex> lock(mutex);
    startHeld = true;
}

void SimulatedDialUp::releaseDialStart()
{
    std::lock_guard<std::mutex> lock(mutex);
    startHeld = false;
    changed.notify_all();
}

void SimulatedDialUp::releaseDialReturn()
{
    std::lock_guard<std::mutex> lock(mutex);
    returnHeld = false;
    changed.notify_all();
}

std::vector<std::uint32_t> SimulatedDialUp::versionRequests() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return versionCalls;
}

std::vector<SimulatedDialUp::EntryCall> SimulatedDialUp::entryCalls() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return entryWrites;
}

std::vector<SimulatedDialUp::CredentialsCall> SimulatedDialUp::credentialsCalls() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return credentialsWrites;
}

std::vector<SimulatedDialUp::DialCall> SimulatedDialUp::dialCalls() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return dials;
}

std::vector<RasHandle> SimulatedDialUp::hangUps() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return hangUpCalls;
}

RasHandle SimulatedDialUp::dialling() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return activeDial;
}

void SimulatedDialUp::setStatistics(std::uint64_t received, std::uint64_t sent)
{
    std::lock_guard<std::mutex> lock(mutex);
    bytesReceived = received;
    bytesSent = sent;
    counting = true;
}

bool SimulatedDialUp::statistics(RasHandle connection, std::uint64_t& received, std::uint64_t& sent)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!counting || openConnections.count(connection) == 0 || connection == activeDial)
        return false;
    received = bytesReceived;
    sent = bytesSent;
    return true;
}

bool SimulatedDialUp::isOpen(RasHandle connection) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return openConnections.count(connection) != 0;
}

OsVersion SimulatedDialUp::version(std::uint32_t infoSize)
{
    std::lock_guard<std::mutex> lock(mutex);
    versionCalls.push_back(infoSize);
    if (failingVersionSizes.count(infoSize) ||
        (infoSize != ras::versionInfoExSize && infoSize != ras::versionInfoSize))
        return OsVersion();
    return osVersion;
}

std::uint32_t SimulatedDialUp::setEntryProperties(const char16_t* phoneBookPath,
                                                  const std::u16string& entryName,
                                                  const PhoneBookEntry& entry, std::uint32_t entrySize,
                                                  const void* deviceInfo, std::uint32_t deviceInfoSize)
{
    std::lock_guard<std::mutex> lock(mutex);
    entryWrites.push_back(
        {phoneBookPath == nullptr, entryName, entry, entrySize, deviceInfo == nullptr, deviceInfoSize});
    if (entryResult == ras::success)
        phoneBook[entryName] = entry;
    return entryResult;
}

std::uint32_t SimulatedDialUp::setCredentials(const char16_t* phoneBookPath, const std::u16string& entryName,
                                              const Credentials& credentials, bool clearCredentials)
{
    std::lock_guard<std::mutex> lock(mutex);
    credentialsWrites.push_back({phoneBookPath == nullptr, entryName, credentials, clearCredentials});
    return credentialsResult;
}

std::uint32_t SimulatedDialUp::dial(const void* dialExtensions, const char16_t* phoneBookPath,
                                    const DialParams& params, std::uint32_t notifierType,
                                    const void* notifier, std::atomic<RasHandle>& connection)
{
    std::unique_lock<std::mutex> lock(mutex);
    dials.push_back({dialExtensions == nullptr, phoneBookPath == nullptr, params, notifierType,
                     notifier == nullptr, connection.load()});
    const auto entry = phoneBook.find(params.szEntryName);
    if (entry == phoneBook.end())
        return errorEntryNotFound;
    const auto special = addressOutcomes.find(entry->second.szLocalPhoneNumber);
    const Outcome outcome = special != addressOutcomes.end() ? special->second : dialOutcome;

    changed.wait(lock, [this] { return !startHeld; });
    // Like the system, hand out the handle before the attempt ends, so it can be hung up.
    const RasHandle handle = nextHandle++;
    RasHandle unissued = 0;
    if (!connection.compare_exchange_strong(unissued, handle))
        return ras::errorUserDisconnection;
    openConnections.insert(handle);
    activeDial = handle;
    activeDialHungUp = false;

    changed.wait_for(lock, std::chrono::milliseconds(outcome.durationMs),
                     [this] { return activeDialHungUp; });
    const bool stopped = activeDialHungUp;
    changed.wait(lock, [this] { return !returnHeld; });
    activeDial = 0;
    activeDialHungUp = false;
    if (stopped)
        return ras::errorUserDisconnection;
    return outcome.result;
}

std::uint32_t SimulatedDialUp::hangUp(RasHandle connection)
{
    std::lock_guard<std::mutex> lock(mutex);
    hangUpCalls.push_back(connection);
    if (connection == 0 || openConnections.erase(connection) == 0)
        return ras::errorInvalidHandle;
    if (connection == activeDial) {
        activeDialHungUp = true;
        changed.notify_all();
    }
    return ras::success;
}
