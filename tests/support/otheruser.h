// A second local user for tests of what another user can do: made when constructed, removed when
// destroyed, also after a failed test.
#ifndef CORVANE_OTHERUSER_H
#define CORVANE_OTHERUSER_H

#include <QString>
#include <QStringList>

class OtherUser
{
public:
    OtherUser();
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    // Empty when the user exists; else why not (the tests need root).
    QString problem() const { return error; }
    uint uid() const { return id; }
    // Runs `command` with sh as this user; true when it exits with 0.
    bool run(const QString& command) const;

private:
    QString name;
    QString error;
    uint id = 0;
};

#endif
