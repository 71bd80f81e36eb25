#include "app/desktopintegration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QX11Info>

namespace {

QString autostartEntry()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/com.corvane.Client.desktop");
}

} // namespace

QString desktopExecLine(const QString& program, const QStringList& arguments)
{
    QStringList words;
    for (const QString& word : QStringList{program} + arguments) {
        QString quoted;
        for (const QChar c : word) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        // A percent sign would be read as a field code.
        quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
        // The entry's own string escapes come on top of the quoting.
        quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        words << QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return words.join(QLatin1Char(' '));
}

bool startsAtLogin()
{
    return QFile::exists(autostartEntry());
}

bool setStartAtLogin(bool start)
{
    const QString path = autostartEntry();
    if (!start)
        return !QFile::exists(path) || QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile entry(path);
    if (!entry.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QString text =
        QStringLiteral("[Desktop Entry]\nType=Application\nName=Corvane\nComment=VPN client for the Corvane "
                       "service\nIcon=com.corvane.Client\nExec=") +
        desktopExecLine(QCoreApplication::applicationFilePath(), {QStringLiteral("--minimized")}) +
        QStringLiteral("\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
    entry.write(text.toUtf8());
    return entry.commit();
}

bool windowsCanBeTranslucent()
{
    // Wayland and the offscreen platform always compose; X11 only with a compositing manager.
    return !QX11Info::isPlatformX11() || QX11Info::isCompositingManagerRunning();
}
