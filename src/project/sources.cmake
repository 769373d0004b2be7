# Files of this subsystem: core (no windows), Win32, unit tests and GUI tests.
list(APPEND QUILLON_CORE_SOURCES
  src/project/project.cpp
  src/project/project_file.cpp
  src/project/project_node.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/project/file_pane.cpp
  src/project/project_commands.cpp
  src/project/project_dialogs.cpp
  src/project/win32_project_platform.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/project_file_test.cpp
  tests/unit/project_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/file_pane_test.cpp
  tests/gui/project_dialogs_test.cpp
  tests/gui/project_commands_test.cpp
  tests/gui/project_files_test.cpp
)
