# Files of this subsystem: core (no windows), Win32, unit tests and GUI tests.
list(APPEND QUILLON_CORE_SOURCES
  src/assemble/assembler_command.cpp
  src/assemble/cycle_count.cpp
  src/assemble/error_navigation.cpp
  src/assemble/listing_parser.cpp
  src/assemble/memory_map.cpp
  src/assemble/program_insight.cpp
  src/assemble/source_map.cpp
  src/assemble/symbol_index.cpp
)
list(APPEND QUILLON_WIN32_SOURCES
  src/assemble/build_runner.cpp
  src/assemble/bundled_assembler.cpp
  src/assemble/ide_options.cpp
  src/assemble/insight_commands.cpp
  src/assemble/insight_editing.cpp
  src/assemble/output_pane.cpp
  src/assemble/symbol_navigation.cpp
)
list(APPEND QUILLON_UNIT_TESTS
  tests/unit/assembler_command_test.cpp
  tests/unit/error_navigation_test.cpp
  tests/unit/listing_parser_test.cpp
  tests/unit/memory_map_test.cpp
  tests/unit/program_insight_test.cpp
  tests/unit/source_map_test.cpp
  tests/unit/symbol_index_test.cpp
)
list(APPEND QUILLON_GUI_TESTS
  tests/gui/build_test.cpp
  tests/gui/navigation_test.cpp
  tests/gui/symbol_navigation_test.cpp
)
