# Files of this subsystem: core (no windows), Win32, unit tests and GUI tests.
list(APPEND QUILLON_CORE_SOURCES
  src/debug/breakpoints.cpp
  src/debug/debug_engine.cpp
  src/debug/debug_report.cpp
  src/debug/simulator_machine.cpp
  src/debug/stepping.cpp
  src/debug/watches.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/debug/debug_editor.cpp
  src/debug/debug_panes.cpp
  src/debug/debugger.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/debug_core_test.cpp
  tests/unit/debug_engine_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/debugger_test.cpp
)
