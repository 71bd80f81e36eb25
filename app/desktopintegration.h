// What the client asks of the desktop it runs on: to be started when the user logs in (an XDG
// autostart entry on Linux, the Run key on Windows), and whether a translucent window is seen
// through (a compositor runs) or drawn black.
#ifndef CORVANE_DESKTOPINTEGRATION_H
#define CORVANE_DESKTOPINTEGRATION_H

#include <QString>
#include <QStringList>

bool startsAtLogin();
// Starts the client minimised at every login, or no longer; false when that could not be written.
bool setStartAtLogin(bool start);

bool windowsCanBeTranslucent();

// The Exec line of a desktop entry that runs `program` with `arguments`, quoted and escaped as
// freedesktop.org's desktop entries ask.
QString desktopExecLine(const QString& program, const QStringList& arguments);

#endif
