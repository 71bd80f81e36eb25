# Tests that only the Windows build has: the Windows platform code against the system's own
# calls, run under Wine.
