#include "core/logging.h"

// Debug output is off until QT_LOGGING_RULES turns it on.

Q_LOGGING_CATEGORY(lcApp, "corvane.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcService, "corvane.service", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCatalogue, "corvane.catalogue", QtInfoMsg)
Q_LOGGING_CATEGORY(lcConnection, "corvane.connection", QtInfoMsg)
Q_LOGGING_CATEGORY(lcQuickConnect, "corvane.quickconnect", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMonitor, "corvane.monitor", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUpdate, "corvane.update", QtInfoMsg)
