# Files of this subsystem: core (no windows), Win32, unit tests and GUI tests.
list(APPEND QUILLON_CORE_SOURCES
  src/editor/close_question.cpp
  src/editor/disk_change.cpp
  src/editor/text_columns.cpp
  src/editor/file_format.cpp
  src/editor/key_table.cpp
  src/editor/line_jump.cpp
  src/editor/line_marks.cpp
  src/editor/line_edits.cpp
  src/editor/line_recolour.cpp
  src/editor/range_edits.cpp
  src/editor/syntax_colours.cpp
  src/editor/text_model.cpp
  src/editor/undo_history.cpp
  src/editor/view_place.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/editor/caret_and_font.cpp
  src/editor/change_recorder.cpp
  src/editor/colouring.cpp
  src/editor/document_file.cpp
  src/editor/document_lines.cpp
  src/editor/document_window.cpp
  src/editor/edit_commands.cpp
  src/editor/file_commands.cpp
  src/editor/editor.cpp
  src/editor/go_to_line.cpp
  src/editor/gutter.cpp
  src/editor/text_editing.cpp
  src/editor/text_control.cpp
  src/editor/text_view.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/close_question_test.cpp
  tests/unit/disk_change_test.cpp
  tests/unit/text_columns_test.cpp
  tests/unit/file_format_test.cpp
  tests/unit/key_table_test.cpp
  tests/unit/line_jump_test.cpp
  tests/unit/line_marks_test.cpp
  tests/unit/line_recolour_test.cpp
  tests/unit/range_edits_test.cpp
  tests/unit/syntax_colours_test.cpp
  tests/unit/text_model_test.cpp
  tests/unit/undo_history_test.cpp
  tests/unit/view_place_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/colouring_test.cpp
  tests/gui/document_test.cpp
  tests/gui/editor_interface_test.cpp
  tests/gui/undo_test.cpp
  tests/gui/text_view_test.cpp
)
