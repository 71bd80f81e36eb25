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

// The single-shot timer of the pause between two Quick Connect attempts; null before the
// first pause.
QTimer* quickConnectPauseTimer(LumtarMain* window);

#endif
