#ifndef CORVANE_APP_QTCOMPAT_H
#define CORVANE_APP_QTCOMPAT_H

// The few calls Qt 5.15 and Qt 6 name differently, with no name both versions have.
#include <QLibraryInfo>
#include <QMouseEvent>
#include <QPoint>
#include <QString>

// Where Qt keeps its own translations.
inline QString qtTranslationsPath()
{
#if QT_VERSION_MAJOR >= 6
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// The pointer's position on the screen.
inline QPoint globalPointerPosition(const QMouseEvent* event)
{
#if QT_VERSION_MAJOR >= 6
    return event->globalPosition().toPoint();
#else
    return event->globalPos();
#endif
}

#endif
