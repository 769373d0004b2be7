# The base: text helpers, regex service, settings and their stores, error log, recent-list rules.
# Nothing here makes a window; the Win32 files are the registry store, full-path resolution,
# the system's files and the child process.
list(APPEND QUILLON_CORE_SOURCES
  src/base/error_log.cpp
  src/base/file_io.cpp
  src/base/memory_store.cpp
  src/base/recent_lists.cpp
  src/base/regex_search.cpp
  src/base/registry_key.cpp
  src/base/settings.cpp
  src/base/start_files.cpp
  src/base/syntax_table.cpp
  src/base/text_util.cpp
  src/base/version.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/base/child_process.cpp
  src/base/file_io_win.cpp
  src/base/full_path.cpp
  src/base/registry_store_win.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/error_log_test.cpp
  tests/unit/file_io_test.cpp
  tests/unit/long_input_test.cpp
  tests/unit/recent_lists_test.cpp
  tests/unit/regex_search_test.cpp
  tests/unit/registry_key_test.cpp
  tests/unit/settings_test.cpp
  tests/unit/start_files_test.cpp
  tests/unit/syntax_table_test.cpp
  tests/unit/text_util_test.cpp
  tests/unit/version_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
)
