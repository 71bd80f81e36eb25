#include "connection/pathaccess.h"

#include <QCoreApplication>

namespace {
// Windows access rights, by value, so the judgement builds anywhere.
constexpr quint32 addFileOrWriteData = 0x2;
constexpr quint32 addFolderOrAppendData = 0x4;
constexpr quint32 writeExtendedAttributes = 0x10;
constexpr quint32 deleteChild = 0x40;
constexpr quint32 deleteItself = 0x10000;
constexpr quint32 writeAccessList = 0x40000;
constexpr quint32 writeOwner = 0x80000;
constexpr quint32 genericAll = 0x10000000;
constexpr quint32 genericWrite = 0x40000000;
constexpr quint32 maximumAllowed = 0x02000000;

constexpr quint32 replaceRights =
    deleteChild | deleteItself | writeAccessList | writeOwner | genericAll | maximumAllowed;
constexpr quint32 changeRights =
    replaceRights | addFileOrWriteData | addFolderOrAppendData | writeExtendedAttributes | genericWrite;
} // namespace

QString unsafeAccessReason(const QString& path, const PathAccess& access, bool furtherUp)
{
    if (!access.ownerTrusted)
        return QCoreApplication::translate("LumtarMain", "%1 belongs to %2, not to the administrators")
            .arg(path, access.owner.isEmpty() ? QStringLiteral("an unknown account") : access.owner);
    if (!access.hasAccessList)
        return QCoreApplication::translate("LumtarMain", "%1 may be changed by every user").arg(path);
    const quint32 counted = furtherUp ? replaceRights : changeRights;
    for (const PathAccess::Entry& entry : access.entries) {
        if (entry.allows && !entry.inheritOnly && !entry.trusteeTrusted && (entry.mask & counted) != 0)
            return QCoreApplication::translate("LumtarMain", "%1 may be changed by %2")
                .arg(path, entry.trustee.isEmpty() ? QStringLiteral("an unknown account") : entry.trustee);
    }
    return QString();
}
