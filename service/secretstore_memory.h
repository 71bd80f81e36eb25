#ifndef CORVANE_SECRETSTORE_MEMORY_H
#define CORVANE_SECRETSTORE_MEMORY_H

#include "service/secretstore.h"

#include <QHash>

// A secret store in memory, for tests and demonstrations. It can be told to fail the way a
// missing or broken system store fails.
class MemorySecretStore : public SecretStore
{
public:
    void read(const QString& account, QObject* context, Done done) override;
    void write(const QString& account, const QString& secret, QObject* context, Done done) override;
    void remove(const QString& account, QObject* context, Done done) override;

    QHash<QString, QString> secrets;
    // How a read or a write ends while the store is told to fail.
    bool failReads = false;
    bool failWrites = false;
    SecretResult::Status failure = SecretResult::Status::Unavailable;
    int reads = 0;

private:
    static void finish(QObject* context, Done done, const SecretResult& result);
};

#endif
