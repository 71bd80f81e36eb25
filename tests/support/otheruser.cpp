#include "otheruser.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

OtherUser::OtherUser() : name(QStringLiteral("corvt%1").arg(QRandomGenerator::global()->bounded(100000000u)))
{
    if (::geteuid() != 0) {
        error = QStringLiteral("making a second user needs root");
        return;
    }
    // Others may be adding users at the same moment: the user database is locked meanwhile.
    for (int tries = 0;; ++tries) {
        QProcess add;
        add.start(QStringLiteral("useradd"), {QStringLiteral("--system"), QStringLiteral("--user-group"),
                                              QStringLiteral("--no-create-home"), QStringLiteral("--shell"),
                                              QStringLiteral("/usr/sbin/nologin"), name});
        if (add.waitForFinished(30000) && add.exitCode() == 0)
            break;
        if (tries == 20) {
            error = QStringLiteral("useradd failed: ") + QString::fromLocal8Bit(add.readAllStandardError());
            return;
        }
        QThread::msleep(250);
    }
    const passwd* entry = ::getpwnam(name.toLocal8Bit().constData());
    if (!entry) {
        error = QStringLiteral("the new user is not known");
        return;
    }
    id = entry->pw_uid;
}

OtherUser::~OtherUser()
{
    if (id != 0)
        QProcess::execute(QStringLiteral("userdel"), {name});
}

bool OtherUser::run(const QString& command) const
{
    if (id == 0)
        return false;
    return QProcess::execute(QStringLiteral("setpriv"),
                             {QStringLiteral("--reuid=") + name, QStringLiteral("--regid=") + name,
                              QStringLiteral("--clear-groups"), QStringLiteral("--"), QStringLiteral("sh"),
                              QStringLiteral("-c"), command}) == 0;
}
