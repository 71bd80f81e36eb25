// Whether a program or folder that a process with administrator rights uses could have been
// put there by someone else.
#ifndef CORVANE_PATHSAFETY_H
#define CORVANE_PATHSAFETY_H

#include <QString>

// Empty when the path and every folder above it belong to the administrator (`adminUid`) and
// no one else may write them; otherwise a sentence naming the first path that fails and why.
// A path that does not exist fails too.
QString unsafePathReason(const QString& path, uint adminUid = 0);

#endif
