#include "app/desktopintegration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtGlobal>

#if QT_VERSION_MAJOR >= 6
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#else
#include <QX11Info>
#endif

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
#if QT_VERSION_MAJOR >= 6
    // Qt 6 has no QX11Info: ask the X server, on Qt's own connection, whether anyone owns the
    // compositing manager's selection of the screen, as QX11Info does.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    xcb_connection_t* connection = x11->connection();
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const bool composited = owner && owner->owner != XCB_NONE;
    std::free(owner);
    std::free(atom);
    return composited;
#else
    return !QX11Info::isPlatformX11() || QX11Info::isCompositingManagerRunning();
#endif
}
