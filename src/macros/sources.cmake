# Files of this subsystem: core (no windows), Win32, unit tests and GUI tests.
list(APPEND QUILLON_CORE_SOURCES
  src/macros/build_options.cpp
  src/macros/console_job.cpp
  src/macros/expand_macro.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/macros/macro_commands.cpp
  src/macros/macro_options.cpp
  src/macros/run_command.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/build_options_test.cpp
  tests/unit/expand_macro_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/macros_test.cpp
)
