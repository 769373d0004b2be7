# Window services every subsystem shares: the process-wide state and window handles, the dialog
# base, dialog placing and file choosers, message reporting, dropped files, the frame hooks,
# and the base of the program's windows.
list(APPEND QUILLON_CORE_SOURCES
)
list(APPEND QUILLON_WIN32_SOURCES
  src/ui/dialog.cpp
  src/ui/dialogs.cpp
  src/ui/dpi.cpp
  src/ui/dropped_file.cpp
  src/ui/file_choosers.cpp
  src/ui/frame_hooks.cpp
  src/ui/process_objects.cpp
  src/ui/reporting.cpp
  src/ui/settings_key.cpp
  src/ui/window.cpp
)
list(APPEND QUILLON_UNIT_TESTS
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/dialogs_test.cpp
  tests/gui/window_test.cpp
)
# The settings key stays an object of its own, so that a program defining it (the GUI tests)
# does not pull this one in.
set_source_files_properties(src/ui/settings_key.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
