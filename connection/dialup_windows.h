// Filling of the Remote Access Service structures from the client's values. Windows only.
#ifndef CORVANE_DIALUP_WINDOWS_H
#define CORVANE_DIALUP_WINDOWS_H

// The structures the client writes are the Windows XP versions (the entry ends with
// dwRedialPause, the dial parameters with dwCallbackId); newer headers only append fields.
#ifndef WINVER
#define WINVER 0x0501
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0501
#endif

#include "connection/dialup.h"

#include <windows.h>

#include <ras.h>
#include <raserror.h>

// Copies text with its terminator into a fixed field of capacity characters, the terminator
// included; the worker has refused texts that do not fit before they get here.
void copyRasText(const std::u16string& text, WCHAR* field, std::size_t capacity);

// Each zero-fills the whole structure first; dwSize comes from the values, never from sizeof.
void fillRasEntry(const PhoneBookEntry& values, RASENTRYW& entry);
void fillRasCredentials(const Credentials& values, RASCREDENTIALSW& credentials);
void fillRasDialParams(const DialParams& values, RASDIALPARAMSW& params);

#endif
