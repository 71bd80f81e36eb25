#ifndef CORVANE_TRANSLATIONS_H
#define CORVANE_TRANSLATIONS_H

#include <QLocale>

class QCoreApplication;

// Installs the client's translation for `locale` and Qt's own (the standard buttons), when
// they exist; English needs none. Returns whether the client's translation was found.
// Call before the window is built, so it starts in that language.
bool installTranslations(QCoreApplication& application, const QLocale& locale);

// Removes the translations installed before and installs those for `locale`: the language the
// user chose while the window runs. Every widget is sent a language change.
bool replaceTranslations(QCoreApplication& application, const QLocale& locale);

#endif
