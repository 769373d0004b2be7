# Files of this subsystem: core (no windows), Win32, unit tests and GUI tests.
list(APPEND QUILLON_CORE_SOURCES
)
list(APPEND QUILLON_WIN32_SOURCES
  src/editor/document_window.cpp
)
list(APPEND QUILLON_UNIT_TESTS
)
list(APPEND QUILLON_GUI_TESTS
)
