#ifndef CORVANE_TESTS_SERVICEWINDOW_H
#define CORVANE_TESTS_SERVICEWINDOW_H

#include "testsupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Helpers for the window tests of login and account details.
namespace servicewindow {

// An account-details document: a root, the response verdict, then one element per text of
// positions (position 1 first), with `between` written between neighbouring elements.
// A null text in positions writes a self-closing element.
QByteArray detailsDocument(const QStringList& positions, const QString& verdict = QStringLiteral("true"),
                           const QString& between = QString());

// Fourteen distinct positional texts of an enabled account, all differing from the
// standard test data, so a test can tell which reply filled a field.
QStringList freshPositions();

// Builds the window with its status timer stopped and waits until the requests of its start
// (the version check) are answered, so their replies cannot land in the middle of a test.
LumtarMain* startWindow(WindowHarness& h);

// Types the credentials, presses login and waits until the login reply has been handled
// (progressBar at 99 or 100). False when no reply came.
bool submitLogin(WindowHarness& h, const QString& user, const QString& password, int timeoutMs = 5000);

// Asks for the account details and waits until the reply has been stored in userdatatext.
bool fetchAccountDetails(WindowHarness& h, int timeoutMs = 5000);

// The last request the simulator recorded for a path; an empty request when none.
RecordedRequest lastRequest(const WindowHarness& h, const QString& path);

} // namespace servicewindow

#endif
