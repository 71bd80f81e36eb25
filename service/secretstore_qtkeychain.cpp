// The system's secret store through QtKeychain: the Secret Service or KWallet on Linux, the
// Credential Manager on Windows, the Keychain on macOS.
#include "service/secretstore.h"

#include "core/logging.h"

#include <qt5keychain/keychain.h>

namespace {

SecretResult resultOf(const QKeychain::Job& job)
{
    SecretResult result;
    result.detail = job.errorString();
    switch (job.error()) {
    case QKeychain::NoError:
        result.status = SecretResult::Status::Ok;
        break;
    case QKeychain::EntryNotFound:
        result.status = SecretResult::Status::NotFound;
        break;
    case QKeychain::AccessDeniedByUser:
        result.status = SecretResult::Status::Denied;
        break;
    default:
        result.status = SecretResult::Status::Unavailable;
        break;
    }
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
