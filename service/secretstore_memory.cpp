#include "service/secretstore_memory.h"

#include <QTimer>

void MemorySecretStore::finish(QObject* context, Done done, const SecretResult& result)
{
    // Like a system store, the answer comes later, never inside the call.
    QTimer::singleShot(0, context, [done = std::move(done), result] { done(result); });
}

void MemorySecretStore::read(const QString& account, QObject* context, Done done)
{
    ++reads;
    SecretResult result;
    if (failReads)
        result.status = failure;
    else if (!secrets.contains(account))
        result.status = SecretResult::Status::NotFound;
    else
        result.secret = secrets.value(account);
    finish(context, std::move(done), result);
}

void MemorySecretStore::write(const QString& account, const QString& secret, QObject* context, Done done)
{
    SecretResult result;
    if (failWrites)
        result.status = failure;
    else
        secrets.insert(account, secret);
    finish(context, std::move(done), result);
}

void MemorySecretStore::remove(const QString& account, QObject* context, Done done)
{
    SecretResult result;
    if (failWrites)
        result.status = failure;
    else
        secrets.remove(account);
    finish(context, std::move(done), result);
}
