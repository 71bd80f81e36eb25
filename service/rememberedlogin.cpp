#include "service/rememberedlogin.h"

#include "core/clock.h"
#include "core/later.h"
#include "core/logging.h"
#include "core/settingskeys.h"

#include <QCoreApplication>
#include <QSettings>

#include <utility>

namespace {

// A late secret store (its daemon starting after the client at login) gets this long.
constexpr int secretRetryMs = 5000;

QString notRememberedReason(SecretResult::Status status)
{
    switch (status) {
    case SecretResult::Status::NotFound:
        return QCoreApplication::translate("LumtarMain", "it is not in the system's secret store");
    case SecretResult::Status::Denied:
        return QCoreApplication::translate("LumtarMain", "the secret store's prompt was declined");
    default:
        return QCoreApplication::translate("LumtarMain", "no secret store is available on this system");
    }
}

} // namespace

RememberedLogin::RememberedLogin(std::function<std::shared_ptr<SecretStore>()> secretStore, QObject* parent)
    : QObject(parent), store(std::move(secretStore)), retryTimer(Clock::current().newTimer(this))
{
    retryTimer->setObjectName(QStringLiteral("secretRetryTimer"));
    retryTimer->setSingleShot(true);
    connect(retryTimer, &ClockTimer::timeout, this, [this] {
        if (current == State::WaitingForStore)
            readPassword();
    });
}

bool RememberedLogin::remembered()
{
    // A stored flag counts only when it is the text itself; any other type reads as unset.
    const QVariant value = QSettings().value(SettingsKeys::remember);
    return value.userType() == QMetaType::QString && value.toString() == QLatin1String("1");
}

QString RememberedLogin::rememberedUser()
{
    return QString::fromUtf8(QSettings().value(SettingsKeys::user).toByteArray());
}

QString RememberedLogin::legacyPassword()
{
    return QString::fromUtf8(QSettings().value(SettingsKeys::legacyPassword).toByteArray());
}

void RememberedLogin::setState(State next)
{
    if (next == current)
        return;
    qCInfo(lcService) << "remembered login:" << current << "->" << next;
    current = next;
    emit stateChanged(next);
}

void RememberedLogin::startAutoLogin(const QString& user, const QString& legacy)
{
    autoUser = user;
    if (user.isEmpty()) {
        emit passwordRead(legacy, false);
        return;
    }
    setState(State::Reading);
    // From the event loop, so that neither the store's answer nor a box lands in the middle of
    // the window's construction.
    QMetaObject::invokeMethod(
        this,
        [this, legacy] {
            if (current != State::Reading)
                return;
            if (legacy.isEmpty()) {
                readPassword();
                return;
            }
            // An earlier version's password moves into the store with the login it starts.
            setState(State::Idle);
            emit passwordRead(legacy, false);
        },
        Qt::QueuedConnection);
}

void RememberedLogin::readPassword()
{
    setState(State::Reading);
    store()->read(autoUser, this, [this](const SecretResult& result) {
        if (current != State::Reading)
            return;
        // What the answer leads to (a login, a box) waits until the store's own signal has returned.
        if (result.ok() && !result.secret.isEmpty()) {
            setState(State::Idle);
            passwordFromStore = true;
            const QString secret = result.secret;
            later(this, [this, secret] { emit passwordRead(secret, true); });
            return;
        }
        const bool firstTry = !std::exchange(retried, true);
        if (firstTry) {
            troubleTold = result.status != SecretResult::Status::NotFound && !result.ok();
            const SecretResult::Status status = result.ok() ? SecretResult::Status::NotFound : result.status;
            later(this, [this, status] { emit passwordMissing(status); });
        }
        if (firstTry && result.status == SecretResult::Status::Unavailable) {
            setState(State::WaitingForStore);
            retryTimer->start(secretRetryMs);
            return;
        }
        setState(State::Idle);
    });
}

void RememberedLogin::takeOver()
{
    retryTimer->stop();
    setState(State::Idle);
}

void RememberedLogin::loginSubmitted(const QString& user, const QString& password, bool rememberIt)
{
    takeOver();
    const bool fromStore = std::exchange(passwordFromStore, false);
    QSettings settings;
    const QString previousUser = rememberedUser();
    if (rememberIt) {
        settings.setValue(SettingsKeys::user, user.toUtf8());
        settings.setValue(SettingsKeys::remember, QStringLiteral("1"));
        if (!previousUser.isEmpty() && previousUser != user)
            forget(previousUser);
        if (!fromStore)
            remember(user, password);
    } else {
        settings.setValue(SettingsKeys::user, QString());
        settings.setValue(SettingsKeys::remember, QStringLiteral("0"));
        settings.remove(SettingsKeys::legacyPassword);
        forget(previousUser);
    }
}

void RememberedLogin::logout()
{
    takeOver();
    forget(rememberedUser());
    QSettings settings;
    settings.setValue(SettingsKeys::user, QString());
    settings.remove(SettingsKeys::legacyPassword);
    settings.setValue(SettingsKeys::remember, QStringLiteral("0"));
}

QString RememberedLogin::takeNote()
{
    return std::exchange(note, QString());
}

// The password goes to the system's secret store, never into the settings file. A password
// that an earlier version kept in the settings file leaves it only once the store holds it.
void RememberedLogin::remember(const QString& user, const QString& password)
{
    if (user.isEmpty() || password.isEmpty()) {
        QSettings().remove(SettingsKeys::legacyPassword);
        if (!user.isEmpty())
            forget(user);
        return;
    }
    store()->write(user, password, this, [this, password](const SecretResult& result) {
        QSettings settings;
        if (result.ok() || legacyPassword() != password)
            settings.remove(SettingsKeys::legacyPassword);
        // Said once a run: a user without a store has been told at start already.
        if (result.ok() || std::exchange(troubleTold, true))
            return;
        note = QCoreApplication::translate("LumtarMain",
                                           "The password could not be kept in the system's secret store: ") +
               notRememberedReason(result.status) +
               QCoreApplication::translate("LumtarMain", ". Corvane will ask for it at the next start.");
        later(this, [this] { emit noteWaiting(); });
    });
}

void RememberedLogin::forget(const QString& user)
{
    // A store that cannot be reached holds nothing that could be reached either.
    if (!user.isEmpty())
        store()->remove(user, this, [](const SecretResult&) {});
}
