// The way to the OpenVPN program's management interface, by platform.
#ifndef CORVANE_MANAGEMENTCHANNEL_H
#define CORVANE_MANAGEMENTCHANNEL_H

#include <QObject>
#include <QStringList>

#include <memory>

class QIODevice;

class ManagementChannel : public QObject
{
    Q_OBJECT

public:
    ~ManagementChannel() override = default;

    // Makes the channel ready for one program run, with its files in `privateFolder`.
    virtual bool open(const QString& privateFolder, QString* error) = 0;
    // The program's options that set up its end of the channel.
    virtual QStringList programArguments() const = 0;
    // What the program reads from its standard input at start; may be empty.
    virtual QByteArray programInput() const = 0;
    // The process id of the program this channel is for, told once it runs and before
    // programStarted(): no other process gets the channel.
    void setExpectedPeer(qint64 processId) { programPid = processId; }
    // Called once the program runs.
    virtual void programStarted() = 0;
    // The connection to the program, once `connected` has been emitted; null before.
    virtual QIODevice* device() const = 0;

signals:
    // The program, and only the program, is connected.
    void connected();
    void disconnected();

protected:
    qint64 programPid = 0;
};

std::unique_ptr<ManagementChannel> makeManagementChannel();

#endif
