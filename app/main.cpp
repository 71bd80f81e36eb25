#include "app/lumtarmain.h"
#include "app/singleinstance.h"
#include "app/translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSystemTrayIcon>

#include <cstring>

#ifndef CORVANE_VERSION
#define CORVANE_VERSION "0"
#endif

namespace {

void identify(QCoreApplication& application)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("corvane.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    // The system's language is chosen before any text is made, so the window starts in it.
    installTranslations(application, QLocale::system());
}

// --help and --version answer in the terminal, also where no display can be opened.
bool asksOnlyForText(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // Returns whether the window starts in the tray; --help and --version end the program here.
    auto parse = [](QCoreApplication& application) {
        const QCommandLineOption minimized(
            QStringList{QStringLiteral("m"), QStringLiteral("minimized")},
            QCoreApplication::translate("main", "Start in the system tray, without showing the window."));
        QCommandLineParser parser;
        parser.setApplicationDescription(
            QCoreApplication::translate("main", "VPN client for the Corvane service."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(minimized);
        parser.process(application);
        return parser.isSet(minimized);
    };

    if (asksOnlyForText(argc, argv)) {
        QCoreApplication application(argc, argv);
        identify(application);
        parse(application);
        return 0;
    }

    QApplication application(argc, argv);
    identify(application);
    const bool startMinimized = parse(application);

    SingleInstance instance;
    if (!instance.claim()) {
        // Another copy runs: bring its window forward instead of opening a second one.
        return instance.askRunningCopyToShow() ? 0 : 1;
    }

    int exitCode = 0;
    {
        LumtarMain window;
        QObject::connect(&instance, &SingleInstance::showRequested, &window,
                         [&window] { QMetaObject::invokeMethod(&window, "application_maximize"); });
        if (!startMinimized)
            window.show();
        else if (!QSystemTrayIcon::isSystemTrayAvailable())
            window.showMinimized();
        exitCode = application.exec();
    }
    return exitCode;
}
