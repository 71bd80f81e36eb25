#include "windowobservers.h"

#include "app/lumtarmain.h"

#include <QDesktopServices>
#include <QTimer>

OpenedPages::OpenedPages()
{
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
}

OpenedPages::~OpenedPages()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void OpenedPages::open(const QUrl& url)
{
    urls << url;
}

QTimer* quickConnectPauseTimer(LumtarMain* window)
{
    return window->findChild<QTimer*>(QStringLiteral("quickConnectPause"));
}
