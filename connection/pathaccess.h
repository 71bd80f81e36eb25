// The Windows side of the path check as a plain function: who owns a path and what its
// access list lets whom do, judged without the system.
#ifndef CORVANE_PATHACCESS_H
#define CORVANE_PATHACCESS_H

#include <QString>
#include <QVector>

// One path's owner and access list as the system reports them.
struct PathAccess
{
    struct Entry
    {
        bool allows = true;       // deny entries take nothing away from the judgement
        bool inheritOnly = false; // applies to what is made inside, not to the path
        quint32 mask = 0;         // the rights granted
        QString trustee;          // account name, for the reason
        bool trusteeTrusted = false;
    };

    QString owner;
    bool ownerTrusted = false; // the administrators, SYSTEM or TrustedInstaller
    bool hasAccessList = true; // a path without one lets everyone do everything
    QVector<Entry> entries;
};

// Empty when only trusted accounts own `path` and may change it; otherwise a sentence naming
// the path and why. For a folder further up (`furtherUp`) only the rights that let one
// replace or rename what lies below count: adding a folder to the drive's root is harmless.
QString unsafeAccessReason(const QString& path, const PathAccess& access, bool furtherUp);

#endif
