#include "app/lumtarmain.h"
#include "app/singleinstance.h"
#include "app/translations.h"
#include "core/clientsettings.h"
#include "core/freedmemory.h"
#include "core/settingskeys.h"
#include "corvaneversion.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

namespace {

void identify(QCoreApplication& application)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("corvane.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    // The language is chosen before any text is made, so the window starts in it: the one the
    // user chose on the settings page, or the system's.
    const QString language = ClientSettings::language();
    installTranslations(application, language.isEmpty() ? QLocale::system() : QLocale(language));
}

void describeOptions(QCommandLineParser& parser, const QCommandLineOption& minimized)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "VPN client for the Corvane service."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(minimized);
}

QCommandLineOption minimizedOption()
{
    return QCommandLineOption(
        QStringList{QStringLiteral("m"), QStringLiteral("minimized")},
        QCoreApplication::translate("main", "Start with the window minimised to the system tray."));
}

// --help, --version and a mistyped option answer in the terminal, also where no display can be
// opened: the options are read before anything needs one.
bool answersInTerminal(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    describeOptions(parser, minimizedOption());
    if (!parser.parse(arguments))
        return true;
    return parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")) ||
           parser.isSet(QStringLiteral("version"));
}

} // namespace

int main(int argc, char* argv[])
{
    // Returns whether the window starts minimised; --help, --version and errors end the program here.
    auto parse = [](QCoreApplication& application) {
        const QCommandLineOption minimized = minimizedOption();
        QCommandLineParser parser;
        describeOptions(parser, minimized);
        parser.process(application);
        return parser.isSet(minimized);
    };

    if (answersInTerminal(argc, argv)) {
        QCoreApplication application(argc, argv);
        identify(application);
        parse(application);
        return 0;
    }

    keepFreedMemoryReturnable();
    QApplication application(argc, argv);
    identify(application);
    const bool startMinimized = parse(application);

    SingleInstance instance;
    if (!instance.claim()) {
        // Another copy runs: bring its window forward instead of opening a second one. When it
        // does not answer in time, its status timer still takes the request from the settings.
        if (!instance.askRunningCopyToShow())
            QSettings().setValue(SettingsKeys::maximize, QStringLiteral("1"));
        return 0;
    }

    int exitCode = 0;
    {
        LumtarMain window;
        QObject::connect(&instance, &SingleInstance::showRequested, &window,
                         [&window] { QMetaObject::invokeMethod(&window, "application_maximize"); });
        // Minimised, not hidden: a box closed while nothing else is shown would end the program.
        if (startMinimized)
            window.showMinimized();
        else
            window.show();
        exitCode = application.exec();
    }
    return exitCode;
}
