# Which Qt the client is built with: 5 (5.15) by default, or 6 (6.4 and later) with
# -DCORVANE_QT_MAJOR=6. The code links Qt's versionless targets (Qt::Core); what differs by
# version is named here once.
set(CORVANE_QT_MAJOR 5 CACHE STRING "The major version of Qt to build with: 5 or 6")
set_property(CACHE CORVANE_QT_MAJOR PROPERTY STRINGS 5 6)
if(CORVANE_QT_MAJOR STREQUAL "5")
    set(CORVANE_QT_MINIMUM 5.15)
elseif(CORVANE_QT_MAJOR STREQUAL "6")
    set(CORVANE_QT_MINIMUM 6.4)
else()
    message(FATAL_ERROR "CORVANE_QT_MAJOR is ${CORVANE_QT_MAJOR}; it must be 5 or 6")
endif()
set(CORVANE_QT Qt${CORVANE_QT_MAJOR})
# QtKeychain names its package and target after the Qt it was built for.
set(CORVANE_KEYCHAIN ${CORVANE_QT}Keychain::${CORVANE_QT}Keychain)

macro(corvane_find_qt)
    find_package(${CORVANE_QT} ${CORVANE_QT_MINIMUM} REQUIRED COMPONENTS ${ARGN})
endmacro()
