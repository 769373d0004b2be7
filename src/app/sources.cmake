# The top: start-up, the frame, the command table, the layout and menus. The entry (main.cpp) is
# added by the program's target.
list(APPEND QUILLON_CORE_SOURCES
  src/app/pane_sizes.cpp
  src/app/shortcuts.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/app/about_box.cpp
  src/app/commands.cpp
  src/app/frame.cpp
  src/app/help_menu.cpp
  src/app/layout.cpp
  src/app/recent_menus.cpp
  src/app/startup.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/pane_sizes_test.cpp
  tests/unit/shortcuts_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/frame_test.cpp
  tests/gui/help_test.cpp
  tests/gui/layout_test.cpp
)
