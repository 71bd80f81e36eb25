// A folder of this user's that no other user can enter, make first or swap: for the one-copy
// lock, the sockets and the work files of a connection.
#ifndef CORVANE_PRIVATEFOLDER_H
#define CORVANE_PRIVATEFOLDER_H

#include <QString>

// The session's runtime folder when it is private ($XDG_RUNTIME_DIR of this user, mode 0700);
// without one (under sudo, say) "corvane" in the home folder's cache, made 0700. Never a fixed
// name in a shared folder, which another user could make first. Empty with the reason in `error`
// when neither can be had.
QString privateRuntimeFolder(QString* error = nullptr);

#endif
