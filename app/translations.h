#ifndef CORVANE_TRANSLATIONS_H
#define CORVANE_TRANSLATIONS_H

#include <QLocale>

class QCoreApplication;

// Installs the client's translation for `locale` and Qt's own (the standard buttons), when
// they exist; English needs none. Returns whether the client's translation was found.
// Call before the window is built, so it starts in that language.
bool installTranslations(QCoreApplication& application, const QLocale& locale);

#endif
