# Run as a test when a tool of the Windows checks is missing, so the gap shows as a failure.
message(FATAL_ERROR "${TOOL} was not found; tools/install-deps.sh installs the mingw-w64 cross tools "
                    "(g++-mingw-w64-x86-64, binutils-mingw-w64-x86-64) and wine64 to run the Windows checks.")
