// The client's debug output, one category per subsystem. Turn one on with
// QT_LOGGING_RULES="corvane.connection.debug=true".
#ifndef CORVANE_LOGGING_H
#define CORVANE_LOGGING_H

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcService)
Q_DECLARE_LOGGING_CATEGORY(lcCatalogue)
Q_DECLARE_LOGGING_CATEGORY(lcConnection)
Q_DECLARE_LOGGING_CATEGORY(lcQuickConnect)
Q_DECLARE_LOGGING_CATEGORY(lcMonitor)
Q_DECLARE_LOGGING_CATEGORY(lcUpdate)

#endif
