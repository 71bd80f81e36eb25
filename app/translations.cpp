#include "app/translations.h"

#include "app/qtcompat.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

// The translations are linked into a static library, whose resource registration the linker
// would drop. Qt's macro must stand outside any namespace.
static void initTranslationResources()
{
    Q_INIT_RESOURCE(corvane_translations);
}

bool installTranslations(QCoreApplication& application, const QLocale& locale)
{
    initTranslationResources();
    auto* qt = new QTranslator(&application);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), qtTranslationsPath()))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;

    // An installed copy may carry newer files than the ones built in: in the system's share folder
    // (Linux) or beside the program (Windows).
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QStringList folders{programFolder.filePath(QStringLiteral("../share/corvane/translations")),
                              programFolder.filePath(QStringLiteral("translations")),
                              QStringLiteral(":/translations")};
    for (const QString& folder : folders) {
        auto* own = new QTranslator(&application);
        if (own->load(locale, QStringLiteral("corvane"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(own);
            return true;
        }
        delete own;
    }
    return false;
}

bool replaceTranslations(QCoreApplication& application, const QLocale& locale)
{
    for (QTranslator* old : application.findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    // Removing and installing each tell every window of the change.
    return installTranslations(application, locale);
}
