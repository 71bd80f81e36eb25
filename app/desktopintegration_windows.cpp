#include "app/desktopintegration.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace {

const QString runKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString valueName = QStringLiteral("Corvane");

QString commandLine()
{
    return QLatin1Char('"') + QDir::toNativeSeparators(QCoreApplication::applicationFilePath()) +
           QStringLiteral("\" --minimized");
}

} // namespace

QString desktopExecLine(const QString& program, const QStringList& arguments)
{
    QStringList words;
    for (const QString& word : QStringList{program} + arguments)
        words << QLatin1Char('"') + word + QLatin1Char('"');
    return words.join(QLatin1Char(' '));
}

bool startsAtLogin()
{
    return QSettings(runKey, QSettings::NativeFormat).contains(valueName);
}

bool setStartAtLogin(bool start)
{
    QSettings run(runKey, QSettings::NativeFormat);
    if (start)
        run.setValue(valueName, commandLine());
    else
        run.remove(valueName);
    run.sync();
    return run.status() == QSettings::NoError;
}

bool windowsCanBeTranslucent()
{
    // The desktop window manager composes every window since Windows 8.
    return true;
}
