# Launching and pinning real programs, and the notification-area icon.
# Included by this folder's CMakeLists.txt after the harness is defined.

include(${CMAKE_CURRENT_LIST_DIR}/target/pin_target.cmake)

corvane_add_win32_test(launch_test launch_test.cpp)
corvane_add_win32_test(tray_test tray_test.cpp)
# The launch tests start pin_target.exe, which they find beside themselves.
add_dependencies(launch_test pin_target)
# Each opens the one Corvane window a Wine session may have (a second one
# would take the first for a running instance), and the launch tests look
# processes up by name across the whole session: neither may share the
# session with another test. Hiding a window can cost Wine seconds when it
# waits for a window manager, hence the room.
set_tests_properties(launch_test tray_test PROPERTIES RUN_SERIAL TRUE TIMEOUT 240)
