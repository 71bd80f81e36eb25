#include "app/logging.h"

Q_LOGGING_CATEGORY(lcApp, "corvane.app")
Q_LOGGING_CATEGORY(lcService, "corvane.service")
Q_LOGGING_CATEGORY(lcCatalogue, "corvane.catalogue")
Q_LOGGING_CATEGORY(lcConnection, "corvane.connection")
Q_LOGGING_CATEGORY(lcQuickConnect, "corvane.quickconnect")
Q_LOGGING_CATEGORY(lcMonitor, "corvane.monitor")
Q_LOGGING_CATEGORY(lcUpdate, "corvane.update")
