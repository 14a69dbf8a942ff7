# pin_target.exe: the program the launch tests and benchmarks start as a
# favourite. Included by whichever of them is configured first.
include_guard(GLOBAL)

# With the program's icon, so that the icon preview has one to show.
add_executable(pin_target WIN32 ${CMAKE_CURRENT_LIST_DIR}/pin_target.cpp ${CMAKE_SOURCE_DIR}/res/corvane.rc)
target_include_directories(pin_target PRIVATE ${CMAKE_BINARY_DIR}/generated)
set_target_properties(pin_target PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/win32)
