#ifndef CORVANE_NOTICEGATE_H
#define CORVANE_NOTICEGATE_H

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

// Decides when the service's notice is put in front of the user: once per login, again only
// when its text changes, and never over another box. Every account refresh offers the notice
// again, so without this it would return after every disconnect.
class NoticeGate : public QObject
{
    Q_OBJECT

public:
    NoticeGate(std::function<void(const QString& text)> show, QObject* parent = nullptr);

    // The notice of the latest account reply; texts of five characters or fewer are no notice.
    void offer(const QString& text);
    // A new login: its notice is shown even if the last login saw the same one.
    void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showWhenFree();

    std::function<void(const QString&)> show;
    QString shown;
    QString pending;
    // The box the pending notice waits for.
    QPointer<QWidget> blocker;
};

#endif
