# The Windows build: the files the program needs beside it, its tests under Wine and the
# installer. Included by the top-level file when the target is Windows.

# Everything that runs lands in one folder, laid out as the installation is.
set(CORVANE_WINDOWS_BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CORVANE_WINDOWS_BIN})
set_target_properties(corvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CORVANE_WINDOWS_BIN})

# What the program needs beside it, in one list for the build folder and the installer (no
# windeployqt here). The plugins: the Windows platform, the GIF of the busy animation, the
# window's .ico, and the native widget style.
get_filename_component(CORVANE_QT_PREFIX "${Qt5Core_DIR}/../../.." ABSOLUTE)
set(CORVANE_WINDOWS_DLLS
    Qt5Core.dll Qt5Gui.dll Qt5Network.dll Qt5Widgets.dll libqt5keychain.dll
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
set(CORVANE_WINDOWS_PLUGINS
    platforms/qwindows.dll imageformats/qgif.dll imageformats/qico.dll styles/qwindowsvistastyle.dll)
# Only the tests need these: QtTest and the display-less platform.
set(CORVANE_WINDOWS_TEST_DLLS Qt5Test.dll)
set(CORVANE_WINDOWS_TEST_PLUGINS platforms/qoffscreen.dll)

set(runtime_files)
foreach(dll ${CORVANE_WINDOWS_DLLS} ${CORVANE_WINDOWS_TEST_DLLS})
    list(APPEND runtime_files bin/${dll})
endforeach()
foreach(plugin ${CORVANE_WINDOWS_PLUGINS} ${CORVANE_WINDOWS_TEST_PLUGINS})
    list(APPEND runtime_files plugins/${plugin})
endforeach()
set(runtime_copies)
foreach(file ${runtime_files})
    string(REGEX REPLACE "^(bin|plugins)/" "" name ${file})
    if(NOT EXISTS ${CORVANE_QT_PREFIX}/${file})
        message(FATAL_ERROR "the Qt prefix ${CORVANE_QT_PREFIX} has no ${file}")
    endif()
    add_custom_command(OUTPUT ${CORVANE_WINDOWS_BIN}/${name}
                       COMMAND ${CMAKE_COMMAND} -E copy ${CORVANE_QT_PREFIX}/${file} ${CORVANE_WINDOWS_BIN}/${name}
                       DEPENDS ${CORVANE_QT_PREFIX}/${file})
    list(APPEND runtime_copies ${CORVANE_WINDOWS_BIN}/${name})
endforeach()
add_custom_target(windows_runtime ALL DEPENDS ${runtime_copies})

# Tests run under Wine, in a Wine prefix of the build folder that one fixture makes first.
# Those that talk to the service reach a simulator built for the build machine and started
# by the runner: CORVANE_HOST_SERVICESIM names it.
set(CORVANE_HOST_SERVICESIM "" CACHE FILEPATH "corvane-servicesim built for the build machine")
set(CORVANE_WINE_RUNNER ${CMAKE_SOURCE_DIR}/tools/windows/wine-run.sh)
set(CORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
include(CTest)

# Adds the QtTest program `target`, made from `source`, as a test run under Wine. A test with a
# QApplication is told the offscreen platform on its command line, where Qt reads it first.
function(corvane_add_wine_test target source)
    file(STRINGS ${source} guiless REGEX "QTEST_GUILESS_MAIN|QTEST_APPLESS_MAIN")
    set(platform --gui)
    if(guiless)
        set(platform)
    endif()
    add_test(NAME ${target}
             COMMAND ${CORVANE_WINE_RUNNER} --prefix ${CORVANE_WINEPREFIX}
                     --simulator "${CORVANE_HOST_SERVICESIM}" --qtest ${platform} $<TARGET_FILE:${target}>
             WORKING_DIRECTORY ${CORVANE_WINDOWS_BIN})
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 300 LABELS wine)
endfunction()

if(BUILD_TESTING)
    add_test(NAME wine_prefix_up COMMAND ${CORVANE_WINE_RUNNER} --prefix ${CORVANE_WINEPREFIX} --init)
    set_tests_properties(wine_prefix_up PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300 LABELS wine)
    add_subdirectory(tools/servicesim)
    add_subdirectory(tests)
endif()
