#include "connection/pppworker.h"

#include "core/logging.h"

namespace {

const QString inProgress = QStringLiteral("in progress");
const QString connected = QStringLiteral("connected");
const QString error = QStringLiteral("error");
const QString stop = QStringLiteral("stop");
const QString disconnected = QStringLiteral("disconnected");
const QString pptp = QStringLiteral("PPTP");
const QString l2tp = QStringLiteral("L2TP");

// Systems before 5.1 know only the short entry; the entry-size argument stays 5616 regardless.
std::uint32_t entryStructureSize(const OsVersion& version)
{
    if ((version.major == 5 && version.minor != 0) || version.major >= 6)
        return ras::entrySize;
    return ras::entrySizeLegacy;
}

// A text that does not fit its field would be cut short and dial something else than asked for,
// so such a dial is refused instead. Returns the result that names the first field too long.
std::uint32_t checkFieldLengths(const PPPWorker& worker, bool withPreSharedKey)
{
    auto tooLong = [](const QString& text, std::size_t limit) { return std::size_t(text.size()) > limit; };
    if (tooLong(worker.serverAddress, ras::maxPhoneNumber))
        return ras::errorServerAddressTooLong;
    if (tooLong(worker.userName, ras::maxUserName))
        return ras::errorUserNameTooLong;
    if (tooLong(worker.password, ras::maxPassword))
        return ras::errorPasswordTooLong;
    if (withPreSharedKey && tooLong(worker.preSharedKey, ras::maxPassword))
        return ras::errorPreSharedKeyTooLong;
    return ras::success;
}

} // namespace

PPPWorker::PPPWorker(DialUp& dialUp) : rasConnection(0), platform(dialUp) {}

PPPWorker::~PPPWorker() = default;

QString PPPWorker::statusText() const
{
    std::lock_guard<std::mutex> locker(statusLock);
    return status;
}

void PPPWorker::setStatus(const QString& text)
{
    std::lock_guard<std::mutex> locker(statusLock);
    status = text;
}

QString PPPWorker::resultCodeText() const
{
    std::lock_guard<std::mutex> locker(statusLock);
    return resultCode;
}

void PPPWorker::setResultCode(const QString& text)
{
    std::lock_guard<std::mutex> locker(statusLock);
    resultCode = text;
}

void PPPWorker::setStatusAndResultCode(const QString& statusValue, const QString& resultCodeValue)
{
    std::lock_guard<std::mutex> locker(statusLock);
    status = statusValue;
    resultCode = resultCodeValue;
}

std::uint32_t PPPWorker::hangUp()
{
    // A dial that has begun but not yet been handed its handle cannot be hung up; the mark makes
    // it end as soon as it would get one, instead of running on after the user's cancel.
    RasHandle handle = rasConnection.load();
    while (handle == 0 && !rasConnection.compare_exchange_weak(handle, ras::hungUpBeforeDial)) {
    }
    return platform.hangUp(handle == ras::hungUpBeforeDial ? 0 : handle);
}

void PPPWorker::VPNStart()
{
    {
        std::lock_guard<std::mutex> locker(statusLock);
        // Stopped before the dial began (the window clears the mark before it starts the
        // thread): the dial must not go ahead.
        const bool stoppedEarly = status == stop;
        if (stoppedEarly) {
            status.clear();
            resultCode = disconnected;
        } else {
            status = inProgress;
            resultCode.clear();
            // Cleared under the lock that the stop mark takes: a hang-up from here on marks this dial.
            rasConnection.store(0);
        }
        if (stoppedEarly) {
            emit changed();
            return;
        }
    }
    emit changed();

    OsVersion version = platform.version(ras::versionInfoExSize);
    if (!version.ok)
        version = platform.version(ras::versionInfoSize);
    if (!version.ok) {
        qCWarning(lcConnection) << "cannot tell the system version; no dial";
        return;
    }
    if (version.platformId != ras::platformWin32Nt) {
        qCWarning(lcConnection) << "not an NT system; no dial";
        return;
    }

    PhoneBookEntry entry;
    entry.dwSize = entryStructureSize(version);
    entry.dwfOptions = ras::entryOptions;
    entry.dwfNetProtocols = ras::netProtocolIp;
    entry.dwFramingProtocol = ras::framingPpp;
    entry.dwType = ras::entryTypeVpn;
    entry.dwEncryptionType = ras::encryptionOptional;
    entry.dwRedialCount = ras::redialCount;
    entry.dwRedialPause = ras::redialPauseSeconds;

    const bool isL2tp = protocol == l2tp;
    if (protocol == pptp) {
        entry.dwVpnStrategy = ras::vpnPptpOnly;
        entry.dwfOptions2 = ras::entryOptions2Pptp;
    } else if (isL2tp) {
        entry.dwVpnStrategy = ras::vpnL2tpOnly;
        entry.dwfOptions2 = ras::entryOptions2L2tp;
    } else {
        qCWarning(lcConnection) << "no dial for protocol" << protocol;
        return;
    }

    if (const std::uint32_t refused = checkFieldLengths(*this, isL2tp)) {
        qCWarning(lcConnection) << "an input does not fit its dial-up field; result" << refused;
        setStatusAndResultCode(error, QString::number(refused));
        emit changed();
        return;
    }

    entry.szLocalPhoneNumber = serverAddress.toStdU16String();
    entry.szDeviceName = ras::deviceNameVpn;
    entry.szDeviceType = ras::deviceTypeVpn;

    const std::uint32_t entryResult =
        platform.setEntryProperties(nullptr, ras::entryName, entry, ras::entrySize, nullptr, 0);
    if (entryResult != ras::success) {
        qCWarning(lcConnection) << "writing the phone-book entry failed with" << entryResult;
        return;
    }

    if (isL2tp) {
        Credentials credentials;
        credentials.dwSize = ras::credentialsSize;
        credentials.dwMask = ras::credentialsMaskPreSharedKey;
        credentials.szPassword = preSharedKey.toStdU16String();
        const std::uint32_t credentialsResult =
            platform.setCredentials(nullptr, ras::entryName, credentials, false);
        if (credentialsResult != ras::success) {
            qCWarning(lcConnection) << "storing the pre-shared key failed with" << credentialsResult;
            return;
        }
    }

    DialParams params;
    params.dwSize = ras::dialParamsSize;
    params.szEntryName = ras::entryName;
    params.szUserName = userName.toStdU16String();
    params.szPassword = password.toStdU16String();

    qCDebug(lcConnection) << "dialling" << serverAddress << "with" << protocol;
    const std::uint32_t result =
        platform.dial(nullptr, nullptr, params, ras::notifierType, nullptr, rasConnection);
    qCDebug(lcConnection) << "dial returned" << result;

    {
        // The window hangs up first and then marks the stop; a dial ended that way is not an error.
        std::lock_guard<std::mutex> locker(statusLock);
        resultCode = QString::number(result);
        if (result == ras::success) {
            status = connected;
        } else if (status == stop) {
            resultCode = disconnected;
            status.clear();
        } else {
            status = error;
        }
    }
    emit changed();
}
