# Robustness tests against a hostile desktop and bad input, part of the
# native unit suite (and so of the sanitizer suite).
target_sources(taldoris_unit_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hostile_input_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hostile_vanishing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hostile_titles_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hostile_crowd_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hostile_geometry_test.cpp)
