# The Windows build: the files the program needs beside it, its tests under Wine and the
# installer. Included by the top-level file when the target is Windows.

# The cross prefix is Qt 5 (tools/windows/qt5-mingw-prefix.sh).
if(NOT CORVANE_QT_MAJOR EQUAL 5)
    message(FATAL_ERROR "The Windows build uses the Qt 5 cross prefix: configure it with CORVANE_QT_MAJOR=5")
endif()

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
# by the runner: CORVANE_HOST_SERVICESIM names it. Their TLS certificates are made on the build
# machine too, by CORVANE_HOST_TESTCERTIFICATES, before each test program starts.
set(CORVANE_HOST_SERVICESIM "" CACHE FILEPATH "corvane-servicesim built for the build machine")
set(CORVANE_HOST_TESTCERTIFICATES "" CACHE FILEPATH "corvane-testcertificates built for the build machine")
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
                     --simulator "${CORVANE_HOST_SERVICESIM}" --certificates "${CORVANE_HOST_TESTCERTIFICATES}"
                     --qtest ${platform} $<TARGET_FILE:${target}>
             WORKING_DIRECTORY ${CORVANE_WINDOWS_BIN})
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 300 LABELS wine)
endfunction()

if(BUILD_TESTING)
    add_test(NAME wine_prefix_up COMMAND ${CORVANE_WINE_RUNNER} --prefix ${CORVANE_WINEPREFIX} --init)
    set_tests_properties(wine_prefix_up PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300 LABELS wine)
    add_subdirectory(tools/servicesim)
    add_subdirectory(tests)
endif()

# The installer (Debian's nsis): the program, the lists above, Qt's and our translations, a
# qt.conf that points Qt at them, and an openvpn folder. OpenVPN is not ours to ship: with
# CORVANE_OPENVPN_DIR naming a Windows build of it, its files go into that folder; without,
# the folder holds a note on where openvpn.exe comes from.
find_program(CORVANE_MAKENSIS makensis REQUIRED)
set(CORVANE_OPENVPN_DIR "" CACHE PATH "Folder with a Windows OpenVPN build (openvpn.exe and its DLLs) to ship")
set(CORVANE_INSTALLER ${CMAKE_BINARY_DIR}/corvane-${PROJECT_VERSION}-setup.exe)
set(stage ${CMAKE_BINARY_DIR}/installer-stage)

file(GLOB ts_files ${CMAKE_SOURCE_DIR}/translations/corvane_*.ts)
set(stage_sources $<TARGET_FILE:corvane>)
set(stage_names corvane.exe)
foreach(dll ${CORVANE_WINDOWS_DLLS})
    list(APPEND stage_sources ${CORVANE_QT_PREFIX}/bin/${dll})
    list(APPEND stage_names ${dll})
endforeach()
foreach(plugin ${CORVANE_WINDOWS_PLUGINS})
    list(APPEND stage_sources ${CORVANE_QT_PREFIX}/plugins/${plugin})
    list(APPEND stage_names ${plugin})
endforeach()
foreach(ts ${ts_files})
    get_filename_component(name ${ts} NAME_WE)
    string(REPLACE "corvane_" "" language ${name})
    list(APPEND stage_sources ${CMAKE_BINARY_DIR}/translations/${name}.qm)
    list(APPEND stage_names translations/${name}.qm)
    # Qt's own texts (standard buttons) in the same language, from the build machine's Qt of
    # the same version: .qm files are the same on every platform.
    if(NOT EXISTS /usr/share/qt5/translations/qtbase_${language}.qm)
        message(FATAL_ERROR "qtbase_${language}.qm is missing (Debian's qttranslations5-l10n)")
    endif()
    list(APPEND stage_sources /usr/share/qt5/translations/qtbase_${language}.qm)
    list(APPEND stage_names translations/qtbase_${language}.qm)
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/qt.conf.in "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")
list(APPEND stage_sources ${CMAKE_BINARY_DIR}/qt.conf.in)
list(APPEND stage_names qt.conf)

set(openvpn_names)
if(CORVANE_OPENVPN_DIR)
    file(GLOB openvpn_files RELATIVE ${CORVANE_OPENVPN_DIR} ${CORVANE_OPENVPN_DIR}/*.exe ${CORVANE_OPENVPN_DIR}/*.dll)
    if(NOT "openvpn.exe" IN_LIST openvpn_files)
        message(FATAL_ERROR "CORVANE_OPENVPN_DIR (${CORVANE_OPENVPN_DIR}) holds no openvpn.exe")
    endif()
    foreach(name ${openvpn_files})
        list(APPEND stage_sources ${CORVANE_OPENVPN_DIR}/${name})
        list(APPEND stage_names openvpn/${name})
        list(APPEND openvpn_names ${name})
    endforeach()
endif()

# File and Delete lines, one folder at a time.
set(CORVANE_INSTALLER_FILES "")
set(CORVANE_UNINSTALLER_FILES "")
set(current_folder "")
foreach(name ${stage_names})
    if(name MATCHES "^openvpn/")
        continue()
    endif()
    get_filename_component(folder ${name} DIRECTORY)
    if(NOT folder STREQUAL current_folder)
        string(REPLACE "/" "\\" windows_folder "${folder}")
        string(APPEND CORVANE_INSTALLER_FILES "    SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
        set(current_folder ${folder})
    endif()
    string(REPLACE "/" "\\" windows_name ${name})
    string(APPEND CORVANE_INSTALLER_FILES "    File \"${stage}/${name}\"\n")
    string(APPEND CORVANE_UNINSTALLER_FILES "    Delete \"$INSTDIR\\${windows_name}\"\n")
endforeach()
set(CORVANE_INSTALLER_OPENVPN_FILES "")
set(CORVANE_UNINSTALLER_OPENVPN_FILES "")
foreach(name ${openvpn_names})
    string(APPEND CORVANE_INSTALLER_OPENVPN_FILES "    File \"${stage}/openvpn/${name}\"\n")
    string(APPEND CORVANE_UNINSTALLER_OPENVPN_FILES "    Delete \"$INSTDIR\\openvpn\\${name}\"\n")
endforeach()
# NSIS names a file by its own name: the note is staged as README.txt.
list(APPEND stage_sources ${CMAKE_SOURCE_DIR}/packaging/windows/openvpn-README.txt)
list(APPEND stage_names openvpn/README.txt)
set(CORVANE_OPENVPN_NOTE ${stage}/openvpn/README.txt)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/corvane.nsi.in ${CMAKE_BINARY_DIR}/corvane.nsi @ONLY)
# What the installed folder must hold, for the installer's check.
string(REPLACE ";" "\n" installed_list "${stage_names};uninstall.exe")
file(WRITE ${CMAKE_BINARY_DIR}/installer-files.txt "${installed_list}\n")

find_program(CORVANE_MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)
add_custom_command(
    OUTPUT ${CORVANE_INSTALLER}
    COMMAND ${CMAKE_COMMAND} "-DSOURCES=${stage_sources}" "-DNAMES=${stage_names}" -DSTAGE=${stage}
            -DSTRIP=${CORVANE_MINGW_STRIP} -P ${CMAKE_SOURCE_DIR}/cmake/windows-stage.cmake
    COMMAND ${CORVANE_MAKENSIS} -V2 -NOCD ${CMAKE_BINARY_DIR}/corvane.nsi
    DEPENDS corvane corvane_translations ${CMAKE_BINARY_DIR}/corvane.nsi ${CMAKE_SOURCE_DIR}/cmake/windows-stage.cmake
            ${stage_sources}
    COMMENT "Making the installer ${CORVANE_INSTALLER}"
    VERBATIM)
add_custom_target(windows_installer ALL DEPENDS ${CORVANE_INSTALLER})

if(BUILD_TESTING)
    # A silent install into a Wine prefix of its own puts every file where it belongs, the
    # installed program answers --version, and the uninstaller takes it all away again.
    add_test(NAME windows_installer_installs
             COMMAND ${CMAKE_SOURCE_DIR}/tools/windows/check-installer.sh ${CORVANE_INSTALLER}
                     ${CMAKE_BINARY_DIR}/installer-wineprefix ${CMAKE_BINARY_DIR}/installer-files.txt
                     $<TARGET_FILE:corvane-run-redirected> ${PROJECT_VERSION})
    set_tests_properties(windows_installer_installs PROPERTIES TIMEOUT 300 LABELS wine)
endif()
