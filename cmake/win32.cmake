# The Windows program, its GUI and smoke tests, and the test tools.
enable_language(RC)

set(QUILLON_RESOURCES ${CMAKE_SOURCE_DIR}/resources/quillon.rc)
file(GLOB QUILLON_TREE_BITMAPS ${CMAKE_SOURCE_DIR}/resources/tree_*.bmp)
set_source_files_properties(${QUILLON_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/quillon.ico;${CMAKE_SOURCE_DIR}/resources/toolbar.bmp;${CMAKE_SOURCE_DIR}/resources/dialogs.rc;${CMAKE_SOURCE_DIR}/resources/quillon.manifest;${CMAKE_SOURCE_DIR}/src/base/version_number.h;${QUILLON_TREE_BITMAPS}")
set(QUILLON_SYSTEM_LIBS comctl32 comdlg32 shell32 ole32 advapi32 gdi32 user32 kernel32)

# Everything of the program but its entry, so the GUI tests can create the real windows.
add_library(quillon_win32 STATIC ${QUILLON_WIN32_SOURCES})
target_include_directories(quillon_win32 PUBLIC src resources)
target_compile_definitions(quillon_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
target_link_libraries(quillon_win32 PUBLIC quillon_core ${QUILLON_SYSTEM_LIBS} PRIVATE quillon_warnings)

add_executable(quillon WIN32 src/app/main.cpp ${QUILLON_RESOURCES})
target_link_libraries(quillon PRIVATE quillon_win32 quillon_warnings)


# What the GUI, smoke and package tests share: answering dialogs, test files and processes.
add_library(quillon_test_support STATIC tests/support/dialog_answerer.cpp tests/support/test_files.cpp)
target_include_directories(quillon_test_support PUBLIC tests)
target_compile_definitions(quillon_test_support PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
target_link_libraries(quillon_test_support PUBLIC comctl32 advapi32 user32 PRIVATE quillon_warnings quillon_test_build)

# In-process tests of the real windows.
add_executable(quillon_gui_tests ${QUILLON_GUI_TESTS} tests/support/gui_main.cpp tests/support/gui_fixture.cpp
  ${QUILLON_RESOURCES})
target_include_directories(quillon_gui_tests PRIVATE tests)
# The GUI tests read docs/guide.md from the source tree.
target_compile_definitions(quillon_gui_tests PRIVATE QUILLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(quillon_gui_tests PRIVATE quillon_win32 quillon_test_support quillon_warnings quillon_test_build GTest::gtest)
add_dependencies(quillon_gui_tests cpasm cpsim as1600_standin emulator_standin)
# In shares side by side, each on a display and a Wine prefix of its own (tools/own-display.sh).
set(QUILLON_GUI_SHARDS 4)
math(EXPR last_shard "${QUILLON_GUI_SHARDS} - 1")
foreach(shard RANGE ${last_shard})
  add_test(NAME gui_${shard} COMMAND bash ${CMAKE_SOURCE_DIR}/tools/own-display.sh gui${shard}
    $<TARGET_FILE:quillon_gui_tests>)
  # The longest first, so that the others fill the cores beside them.
  set_tests_properties(gui_${shard} PROPERTIES COST 1000 TIMEOUT 900
    ENVIRONMENT "GTEST_TOTAL_SHARDS=${QUILLON_GUI_SHARDS};GTEST_SHARD_INDEX=${shard}")
endforeach()
# The tests that need a double-byte code page, under Wine's Japanese locale (code page 932).
add_test(NAME gui_double_byte COMMAND bash ${CMAKE_SOURCE_DIR}/tools/own-display.sh gui-double-byte
  $<TARGET_FILE:quillon_gui_tests> --gtest_filter=*DoubleByte*)
set_tests_properties(gui_double_byte PROPERTIES ENVIRONMENT "LC_ALL=ja_JP.UTF-8;QUILLON_EXPECT_DOUBLE_BYTE=1")

# Tests that start quillon.exe as a user would.
add_executable(quillon_smoke_tests tests/smoke/smoke_test.cpp)
target_include_directories(quillon_smoke_tests PRIVATE tests src resources)
target_link_libraries(quillon_smoke_tests PRIVATE quillon_test_support quillon_warnings quillon_test_build GTest::gtest_main)
add_dependencies(quillon_smoke_tests quillon as1600_standin)
add_test(NAME smoke COMMAND quillon_smoke_tests)
set_tests_properties(smoke PROPERTIES ENVIRONMENT "QUILLON_SCREENSHOT=${CMAKE_BINARY_DIR}/screenshot.png")

# Shipped beside the program: the keyword colours and the sample project.
configure_file(${CMAKE_SOURCE_DIR}/resources/syntax.cfg ${CMAKE_BINARY_DIR}/syntax.cfg COPYONLY)
foreach(sample hello.qlp hello.asm hello.inc)
  configure_file(${CMAKE_SOURCE_DIR}/samples/hello/${sample} ${CMAKE_BINARY_DIR}/samples/hello/${sample} COPYONLY)
endforeach()

# The user guide beside the program, so that F1 finds it in the build folder too (the release
# archive adds its screenshot).
find_program(QUILLON_MARKDOWN markdown_py)
if(QUILLON_MARKDOWN)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/GUIDE.html
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/make-guide.sh ${CMAKE_BINARY_DIR}/GUIDE.html
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/guide.md ${CMAKE_SOURCE_DIR}/tools/make-guide.sh)
  add_custom_target(user_guide ALL DEPENDS ${CMAKE_BINARY_DIR}/GUIDE.html)
endif()

# The console helper the macro commands run their lines in, shipped beside the program.
add_executable(quillon_console src/console/console_main.cpp)
target_link_libraries(quillon_console PRIVATE quillon_core quillon_warnings user32 kernel32)
add_dependencies(quillon quillon_console)
add_dependencies(quillon_gui_tests quillon_console)

# Checks an unpacked release archive under Wine (tools/package.sh).
add_executable(package_check tests/package/package_check.cpp)
target_include_directories(package_check PRIVATE tests resources)
target_link_libraries(package_check PRIVATE quillon_test_support quillon_warnings)
