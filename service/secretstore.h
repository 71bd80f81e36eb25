#ifndef CORVANE_SECRETSTORE_H
#define CORVANE_SECRETSTORE_H

#include <QLatin1String>
#include <QString>

#include <functional>
#include <memory>

class QObject;

// The outcome of one request to a secret store.
struct SecretResult
{
    enum class Status
    {
        Ok,          // done; for a read, secret holds the password
        NotFound,    // the store works but holds nothing for this account
        Denied,      // the user declined to unlock the store
        Unavailable, // no store answered (none installed, not running yet, locked, broken)
    };

    Status status = Status::Ok;
    QString secret;
    // The store's own words, for the debug log; never shown as a reason of ours.
    QString detail;

    bool ok() const { return status == Status::Ok; }
};

// Where the remembered password lives: the system's secret store, keyed by the product and
// the account's user name. Every request finishes later, on the event loop; done is called
// then, unless context has been destroyed in the meantime.
class SecretStore
{
public:
    using Done = std::function<void(const SecretResult& result)>;

    virtual ~SecretStore() = default;
    virtual void read(const QString& account, QObject* context, Done done) = 0;
    virtual void write(const QString& account, const QString& secret, QObject* context, Done done) = 0;
    // Removing what is not there counts as done.
    virtual void remove(const QString& account, QObject* context, Done done) = 0;
};

// The name under which the client's secrets are filed.
inline const QLatin1String secretServiceName("Corvane");

// The system's secret store of this platform.
std::shared_ptr<SecretStore> makeSecretStore();

// What an error of QtKeychain (QKeychain::Error) means for the client.
SecretResult::Status keychainStatus(int keychainError);

#endif
