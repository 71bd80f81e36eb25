#ifndef CORVANE_CONNECTIONLOG_H
#define CORVANE_CONNECTIONLOG_H

#include <QString>

class QWidget;

// The connection log in a small window of its own that the user can copy from; one per parent,
// shown again with the newest text.
void showConnectionLog(QWidget* parent, const QString& text);
// A new line for the log window of `parent`, when it is open.
void appendToConnectionLog(QWidget* parent, const QString& line);

#endif
