# Hardening: no handles or windows left behind by many launches and lookups,
# events that arrive in the middle of a launch, and launches that go wrong.
# Included by this folder's CMakeLists.txt after the harness is defined.

include(${CMAKE_CURRENT_LIST_DIR}/target/pin_target.cmake)

corvane_add_win32_test(hardening_test hardening_test.cpp)
# It starts copies of pin_target.exe, which it finds beside itself.
add_dependencies(hardening_test pin_target)
# It looks processes up by name across the whole Wine session and opens the
# one Corvane window the session may have: nothing may run beside it.
set_tests_properties(hardening_test PROPERTIES RUN_SERIAL TRUE TIMEOUT 240)
