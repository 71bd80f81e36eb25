#ifndef CORVANE_OPENVPNCONFIG_H
#define CORVANE_OPENVPNCONFIG_H

#include <QByteArray>
#include <QString>

// The outcome of checking a downloaded OpenVPN configuration before the program is started.
struct OpenVpnConfigVerdict
{
    bool accepted = true;
    // The directive as OpenVPN would read it (quotes, "--" and "setenv opt" taken away);
    // empty when the file was refused because a line cannot be read safely.
    QString directive;
    // 1-based line of the file that was refused, 0 when accepted.
    int line = 0;
    // A short human text, e.g. "directive 'up' on line 3".
    QString reason;
};

// Refuses a configuration that holds a directive which runs a program, loads code, or reads
// or writes files and folders other than those named on our command line. Lines are read the
// way OpenVPN 2.6 reads them, so no other spelling of such a directive gets past. Anything
// OpenVPN itself would reject, or that it might read differently on another platform or locale
// (NUL and control bytes, over-long lines, stray backslashes, unclosed quotes or blocks,
// non-ASCII bytes where they could separate words), is refused too.
OpenVpnConfigVerdict checkOpenVpnConfig(const QByteArray& config);

// True for the directive names that checkOpenVpnConfig refuses (case-sensitive, as OpenVPN).
bool isForbiddenOpenVpnDirective(const QByteArray& name);

#endif
