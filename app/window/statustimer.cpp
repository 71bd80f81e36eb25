// The status tick: every three seconds the flows run their phase rules.
#include "app/formview.h"
#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "core/settingskeys.h"
#include "service/accountwatch.h"

#include <QSettings>

using State = ConnectionController::State;

void LumtarMain::UpdateTimer()
{
    // A second copy asked this one to come forward.
    {
        QSettings settings;
        const QVariant request = settings.value(SettingsKeys::maximize);
        if (request.userType() == QMetaType::QString && request.toString() == QLatin1String("1")) {
            settings.setValue(SettingsKeys::maximize, QStringLiteral("0"));
            settings.setValue(SettingsKeys::running, QStringLiteral("1"));
            application_maximize();
        }
    }
    const bool connected = connection->state() == State::Connected;
    account->tick(connected ? connection->phaseSeconds() + 3 : -1);
    connection->tick();
}
