// A phone book in memory that stands in for the Remote Access Service: for tests, and for
// demonstrations on systems without it (CORVANE_SIMULATED_DIALUP=1).
#ifndef CORVANE_DIALUP_SIMULATED_H
#define CORVANE_DIALUP_SIMULATED_H

#include "connection/dialup.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class SimulatedDialUp : public DialUp
{
public:
    // How a dial ends: its result, after how long.
    struct Outcome
    {
        std::uint32_t result = ras::success;
        int durationMs = 0;
    };

    // Each call as the system would have received it.
    struct EntryCall
    {
        bool defaultPhoneBook = false;
        std::u16string entryName;
        PhoneBookEntry entry;
        std::uint32_t entrySize = 0;
        bool noDeviceInfo = false;
        std::uint32_t deviceInfoSize = 0;
    };
    struct CredentialsCall
    {
        bool defaultPhoneBook = false;
        std::u16string entryName;
        Credentials credentials;
        bool clearCredentials = false;
    };
    struct DialCall
    {
        bool noDialExtensions = false;
        bool defaultPhoneBook = false;
        DialParams params;
        std::uint32_t notifierType = 0;
        bool noNotifier = false;
        // What the handle held when the call began.
        RasHandle handleOnEntry = 0;
    };

    // The result of a dial of an entry that was never written (ERROR_CANNOT_FIND_PHONEBOOK_ENTRY).
    static constexpr std::uint32_t errorEntryNotFound = 623;
    // The result of a dial of an address configured to fail.
    static constexpr std::uint32_t errorVpnUnreachable = 800;

    SimulatedDialUp();
    ~SimulatedDialUp() override;

    // The demonstration script: CORVANE_SIMULATED_DIALUP_RESULT and CORVANE_SIMULATED_DIALUP_MS set
    // the outcome of every dial (default: connected after 2000 ms), and the comma-separated
    // addresses in CORVANE_SIMULATED_DIALUP_FAILING_ADDRESSES fail with 800 after the same time.
    static std::unique_ptr<SimulatedDialUp> fromEnvironment();

    // Script.
    void setVersion(std::uint32_t major, std::uint32_t minor,
                    std::uint32_t platformId = ras::platformWin32Nt);
    // The version query fails for the structure sizes listed.
    void setVersionFailsFor(const std::set<std::uint32_t>& infoSizes);
    void setEntryResult(std::uint32_t result);
    void setCredentialsResult(std::uint32_t result);
    void setDialOutcome(Outcome outcome);
    void setDialOutcomeForAddress(const std::u16string& address, Outcome outcome);
    // While held, a dial waits before it is handed its handle: lets a test hang up in between.
    void holdDialStart();
    void releaseDialStart();
    // While held, a dial whose attempt has ended (by its outcome or a hang-up) does not return
    // until released: lets a test act between the hang-up and the dial's return.
    void holdDialReturn();
    void releaseDialReturn();
    // The bytes every open connection reports from now on; until then none counts any.
    void setStatistics(std::uint64_t received, std::uint64_t sent);

    // What was received.
    std::vector<std::uint32_t> versionRequests() const;
    std::vector<EntryCall> entryCalls() const;
    std::vector<CredentialsCall> credentialsCalls() const;
    std::vector<DialCall> dialCalls() const;
    std::vector<RasHandle> hangUps() const;
    // The handle of the dial that is blocked right now, or 0.
    RasHandle dialling() const;
    // Whether the handle belongs to a connection that has not been hung up.
    bool isOpen(RasHandle connection) const;

    OsVersion version(std::uint32_t infoSize) override;
    std::uint32_t setEntryProperties(const char16_t* phoneBook, const std::u16string& entryName,
                                     const PhoneBookEntry& entry, std::uint32_t entrySize,
                                     const void* deviceInfo, std::uint32_t deviceInfoSize) override;
    std::uint32_t setCredentials(const char16_t* phoneBook, const std::u16string& entryName,
                                 const Credentials& credentials, bool clearCredentials) override;
    std::uint32_t dial(const void* dialExtensions, const char16_t* phoneBook, const DialParams& params,
                       std::uint32_t notifierType, const void* notifier,
                       std::atomic<RasHandle>& connection) override;
    std::uint32_t hangUp(RasHandle connection) override;
    bool statistics(RasHandle connection, std::uint64_t& received, std::uint64_t& sent) override;

private:
    mutable std::mutex mutex;
    std::condition_variable changed;

    OsVersion osVersion;
    std::set<std::uint32_t> failingVersionSizes;
    std::uint32_t entryResult = ras::success;
    std::uint32_t credentialsResult = ras::success;
    Outcome dialOutcome;
    std::map<std::u16string, Outcome> addressOutcomes;

    std::map<std::u16string, PhoneBookEntry> phoneBook;
    std::vector<std::uint32_t> versionCalls;
    std::vector<EntryCall> entryWrites;
    std::vector<CredentialsCall> credentialsWrites;
    std::vector<DialCall> dials;
    std::vector<RasHandle> hangUpCalls;

    RasHandle nextHandle = 0x1000;
    RasHandle activeDial = 0;
    bool activeDialHungUp = false;
    bool returnHeld = false;
    bool startHeld = false;
    std::set<RasHandle> openConnections;
    std::uint64_t bytesReceived = 0;
    std::uint64_t bytesSent = 0;
    bool counting = false;
};

#endif
