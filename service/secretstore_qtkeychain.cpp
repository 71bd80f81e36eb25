// The system's secret store through QtKeychain: the Secret Service or KWallet on Linux, the
// Credential Manager on Windows, the Keychain on macOS.
#include "service/secretstore.h"

#include "core/logging.h"
#include "service/qtkeychain.h"

// A prompt the user dismissed leaves the store locked: the Secret Service then answers that the
// item is locked (AccessDenied), KWallet and the Credential Manager that the user declined.
SecretResult::Status keychainStatus(int error)
{
    switch (QKeychain::Error(error)) {
    case QKeychain::NoError:
        return SecretResult::Status::Ok;
    case QKeychain::EntryNotFound:
        return SecretResult::Status::NotFound;
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        return SecretResult::Status::Denied;
    default:
        break;
    }
    return SecretResult::Status::Unavailable;
}

namespace {

SecretResult resultOf(const QKeychain::Job& job)
{
    SecretResult result;
    result.detail = job.errorString();
    result.status = keychainStatus(job.error());
    return result;
}

class KeychainSecretStore : public SecretStore
{
public:
    void read(const QString& account, QObject* context, Done done) override
    {
        auto* job = new QKeychain::ReadPasswordJob(secretServiceName);
        prepare(job, account);
        QObject::connect(job, &QKeychain::Job::finished, context, [job, done = std::move(done)] {
            SecretResult result = resultOf(*job);
            if (result.ok())
                result.secret = job->textData();
            report("read", result);
            done(result);
        });
        job->start();
    }

    void write(const QString& account, const QString& secret, QObject* context, Done done) override
    {
        auto* job = new QKeychain::WritePasswordJob(secretServiceName);
        prepare(job, account);
        job->setTextData(secret);
        QObject::connect(job, &QKeychain::Job::finished, context, [job, done = std::move(done)] {
            const SecretResult result = resultOf(*job);
            report("write", result);
            done(result);
        });
        job->start();
    }

    void remove(const QString& account, QObject* context, Done done) override
    {
        auto* job = new QKeychain::DeletePasswordJob(secretServiceName);
        prepare(job, account);
        QObject::connect(job, &QKeychain::Job::finished, context, [job, done = std::move(done)] {
            SecretResult result = resultOf(*job);
            if (result.status == SecretResult::Status::NotFound)
                result.status = SecretResult::Status::Ok;
            report("remove", result);
            done(result);
        });
        job->start();
    }

private:
    static void prepare(QKeychain::Job* job, const QString& account)
    {
        job->setKey(account);
        job->setAutoDelete(true);
        // QtKeychain's fallback would write the password into a settings file in clear.
        job->setInsecureFallback(false);
    }

    static void report(const char* what, const SecretResult& result)
    {
        if (!result.ok())
            qCInfo(lcService) << what << "failed:" << int(result.status) << result.detail;
    }
};

} // namespace

std::shared_ptr<SecretStore> makeSecretStore()
{
    return std::make_shared<KeychainSecretStore>();
}
