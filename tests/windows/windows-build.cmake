# Tests that only the Windows build has: the Windows platform code against the system's own
# calls, run under Wine, with the small programs they start.

# A stand-in openvpn.exe and a runner that gives a GUI program's console output a pipe; both
# plain Win32, linked statically so that a copy runs anywhere.
add_executable(corvane-standin-openvpn ${CMAKE_CURRENT_LIST_DIR}/standin_openvpn.cpp)
add_executable(corvane-run-redirected ${CMAKE_CURRENT_LIST_DIR}/run_redirected.cpp)
set_target_properties(corvane-standin-openvpn corvane-run-redirected PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_link_options(corvane-standin-openvpn PRIVATE -static)
target_link_libraries(corvane-standin-openvpn PRIVATE ws2_32)
# The runner's entry point takes wide-character arguments.
target_link_options(corvane-run-redirected PRIVATE -static -municode)

foreach(name tst_managementchannel_windows tst_windowsplatform tst_installer_windows)
    add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp)
    target_link_libraries(${name} PRIVATE corvane_testsupport)
    corvane_add_wine_test(${name} ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp)
endforeach()
target_link_libraries(tst_managementchannel_windows PRIVATE ws2_32)
target_link_libraries(tst_windowsplatform PRIVATE shell32)
add_dependencies(tst_managementchannel_windows corvane-standin-openvpn)
add_dependencies(tst_installer_windows corvane-run-redirected corvane)
