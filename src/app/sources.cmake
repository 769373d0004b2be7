# Application core: files without windows go into the core library, the rest into the program.
list(APPEND QUILLON_CORE_SOURCES
  src/app/error_log.cpp
  src/app/memory_store.cpp
  src/app/recent_lists.cpp
  src/app/regex_search.cpp
  src/app/registry_key.cpp
  src/app/settings.cpp
  src/app/text_util.cpp
  src/app/version.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/app/commands.cpp
  src/app/dialogs.cpp
  src/app/dropped_file.cpp
  src/app/file_choosers.cpp
  src/app/frame.cpp
  src/app/full_path.cpp
  src/app/layout.cpp
  src/app/process_objects.cpp
  src/app/registry_store_win.cpp
  src/app/reporting.cpp
  src/app/startup.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/error_log_test.cpp
  tests/unit/recent_lists_test.cpp
  tests/unit/regex_search_test.cpp
  tests/unit/registry_key_test.cpp
  tests/unit/settings_test.cpp
  tests/unit/text_util_test.cpp
  tests/unit/version_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/dialogs_test.cpp
  tests/gui/frame_test.cpp
)
