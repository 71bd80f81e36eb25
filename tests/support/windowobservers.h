#ifndef CORVANE_WINDOWOBSERVERS_H
#define CORVANE_WINDOWOBSERVERS_H

#include <QList>
#include <QObject>
#include <QUrl>

class LumtarMain;
class QTimer;

// Records the web pages the client opens in the browser instead of opening them.
class OpenedPages : public QObject
{
    Q_OBJECT

public:
    OpenedPages();
    ~OpenedPages() override;

    QList<QUrl> urls;

public slots:
    void open(const QUrl& url);
};

// Stops the window's own 3-second status timer, so that a test alone moves time by calling
// UpdateTimer and no real tick slips in between.
void stopStatusTimer(LumtarMain* window);

// The single-shot timer of the pause between two Quick Connect attempts; null before the
// first pause.
QTimer* quickConnectPauseTimer(LumtarMain* window);

#endif
