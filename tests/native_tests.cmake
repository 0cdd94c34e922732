# Native unit tests of the core, the text helpers and the hotkey service,
# run against the in-memory fake desktop.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(taldoris_unit_tests
  ${CMAKE_CURRENT_LIST_DIR}/allocation_counter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_desktop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_desktop_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_pump_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lookup_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/notice_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_under_cursor_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/borderless_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cursor_probe_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hotkey_service_test.cpp)
target_include_directories(taldoris_unit_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(taldoris_unit_tests PRIVATE taldoris_core taldoris_hotkey GTest::gtest_main)
gtest_discover_tests(taldoris_unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
include(${CMAKE_CURRENT_LIST_DIR}/hostile.cmake)  # robustness tests (hostile desktop, bad input)
