# Files of this subsystem: core (no windows), Win32, unit tests and GUI tests.
list(APPEND QUILLON_CORE_SOURCES
  src/search/regex_matcher.cpp
  src/search/search_range.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/search/find_dialog.cpp
  src/search/replace_dialog.cpp
  src/search/search_dialog.cpp
  src/search/search_engine.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/search_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/search_test.cpp
)
