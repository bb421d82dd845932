# Cross build: kv.exe and the tests that run under Wine.

enable_language(RC)

# GCC 12 reports a false -Wrestrict inside std::string at -O2 (GCC bug 105329).
list(APPEND KV_WARNINGS -Wno-restrict)
target_compile_options(kvcore PRIVATE -Wno-restrict)
set(KV_STATIC_LINK -static -static-libgcc -static-libstdc++)
set(KV_WIN32_LIBS user32 gdi32 shell32 comdlg32 comctl32 kernel32)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0501)
# The program calls the wide (W) functions of Windows by their names, its
# texts being UTF-8 inside (schedule/code_pages_win32.h); UNICODE makes the
# few names that depend on it (IDC_ARROW) wide as well.
set(KV_WIDE_NAMES UNICODE _UNICODE)

# The front end as a library, so that the in-process tests drive the very
# window and dialog procedures that kv.exe runs.
add_library(kvwin STATIC ${KV_WIN32_SOURCES})
target_include_directories(kvwin PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(kvwin PRIVATE ${KV_WARNINGS})
target_compile_definitions(kvwin PRIVATE ${KV_WIDE_NAMES})
target_link_libraries(kvwin PUBLIC kvcore ${KV_WIN32_LIBS})

set(KV_RESOURCES ${CMAKE_SOURCE_DIR}/resources/kv.rc)
set_source_files_properties(${KV_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/resource_ids.h;${CMAKE_SOURCE_DIR}/resources/kv.ico;${CMAKE_SOURCE_DIR}/resources/kv.manifest")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1252 -I ${CMAKE_SOURCE_DIR}")

add_executable(kv WIN32 ${CMAKE_SOURCE_DIR}/app/winmain_win32.cpp ${KV_RESOURCES})
target_compile_options(kv PRIVATE ${KV_WARNINGS})
target_compile_definitions(kv PRIVATE ${KV_WIDE_NAMES})
target_link_libraries(kv PRIVATE kvwin)
target_link_options(kv PRIVATE ${KV_STATIC_LINK} -mwindows)

# kvtool.exe, the console companion, beside kv.exe.
include(${CMAKE_CURRENT_LIST_DIR}/tool.cmake)
target_link_options(kvtool PRIVATE ${KV_STATIC_LINK})
target_compile_definitions(kvtool PRIVATE ${KV_WIDE_NAMES})

# GoogleTest built with the cross compiler.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

function(kv_wine_test_exe name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine/support)
  target_compile_options(${name} PRIVATE ${KV_WARNINGS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest)
  target_link_options(${name} PRIVATE ${KV_STATIC_LINK})
endfunction()

# The portable unit tests once more, against the Windows C runtime: the
# calendar must give the same answers there as natively.
file(GLOB KV_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
kv_wine_test_exe(kv_unit_tests_win SOURCES ${KV_UNIT_TESTS} ${CMAKE_SOURCE_DIR}/tests/wine/support/gtest_main_win32.cpp
  LIBS kvcore)
target_include_directories(kv_unit_tests_win PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)

# In-process tests: real windows, menus, dialogs and message boxes.
file(GLOB KV_INPROC_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/inproc/*.cpp)
file(GLOB KV_WINE_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/support/*_win32.cpp)
list(FILTER KV_WINE_SUPPORT EXCLUDE REGEX "gtest_main_win32\\.cpp$")
set(KV_INPROC_SUPPORT ${KV_WINE_SUPPORT})
# The driver of the real kv.exe and what reads its files are the black-box
# tests' alone.
list(FILTER KV_INPROC_SUPPORT EXCLUDE REGEX "(kivro_process|history_records|kvtool_runs)_win32\\.cpp$")
kv_wine_test_exe(kv_inproc_tests SOURCES ${KV_INPROC_TESTS} ${KV_INPROC_SUPPORT}
  ${CMAKE_SOURCE_DIR}/tests/wine/support/gtest_main_win32.cpp ${KV_RESOURCES} LIBS kvwin)
target_compile_definitions(kv_inproc_tests PRIVATE
  KV_HISTORY_WRITER_PATH="$<TARGET_FILE:kv_history_writer>"
  KV_CRASH_SAVE_PATH="$<TARGET_FILE:kv_crash_save>")
add_dependencies(kv_inproc_tests kv_history_writer kv_crash_save)

# Black-box tests: a driver that starts the real kv.exe and works it.
file(GLOB KV_BLACKBOX_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/blackbox/*.cpp)
kv_wine_test_exe(kv_blackbox_tests SOURCES ${KV_BLACKBOX_TESTS} ${KV_WINE_SUPPORT}
  ${CMAKE_SOURCE_DIR}/tests/wine/support/gtest_main_win32.cpp LIBS kvcore ${KV_WIN32_LIBS})
target_compile_definitions(kv_blackbox_tests PRIVATE
  KV_EXE_PATH="$<TARGET_FILE:kv>" KV_RECORDER_PATH="$<TARGET_FILE:kv_recorder>"
  KV_EXITER_PATH="$<TARGET_FILE:kv_exiter>" KV_KVTOOL_PATH="$<TARGET_FILE:kvtool>"
  KV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(kv_blackbox_tests kv kv_recorder kv_exiter kvtool)

# Helper programs of the tests.
add_executable(kv_recorder ${CMAKE_SOURCE_DIR}/tests/wine/helpers/recorder_win32.cpp)
target_compile_options(kv_recorder PRIVATE ${KV_WARNINGS})
target_link_options(kv_recorder PRIVATE ${KV_STATIC_LINK} -mwindows)
# Waits and ends with the exit code it is given, for the tests of how the
# programs Kivro started ended, and for scripts/soak.sh.
add_executable(kv_exiter ${CMAKE_SOURCE_DIR}/tests/wine/helpers/exiter_win32.cpp)
target_compile_options(kv_exiter PRIVATE ${KV_WARNINGS})
target_link_options(kv_exiter PRIVATE ${KV_STATIC_LINK} -mwindows)
# What a running kv.exe holds (handles, GDI and USER objects, private
# memory), read by scripts/soak.sh.
add_executable(kv_process_stats ${CMAKE_SOURCE_DIR}/tests/wine/helpers/process_stats_win32.cpp)
target_compile_options(kv_process_stats PRIVATE ${KV_WARNINGS})
target_link_libraries(kv_process_stats PRIVATE user32 psapi kernel32)
target_link_options(kv_process_stats PRIVATE ${KV_STATIC_LINK})
# Works a running kv.exe from the package check and the screenshot script.
add_executable(kv_drive ${CMAKE_SOURCE_DIR}/tests/wine/helpers/drive_win32.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/remote_list_view_win32.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/window_search_win32.cpp)
target_compile_options(kv_drive PRIVATE ${KV_WARNINGS})
target_include_directories(kv_drive PRIVATE ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/tests/wine/support)
target_link_libraries(kv_drive PRIVATE ole32 uuid)
target_link_options(kv_drive PRIVATE ${KV_STATIC_LINK})
# Appends history lines as kv.exe does, two at once in the history test; and
# the benchmark of the history that scripts/bench-history.sh runs.
add_executable(kv_history_writer ${CMAKE_SOURCE_DIR}/tests/wine/helpers/history_writer_win32.cpp)
add_executable(kv_history_bench ${CMAKE_SOURCE_DIR}/bench/history_bench_win32.cpp ${KV_RESOURCES})
foreach(t kv_history_writer kv_history_bench)
  target_compile_options(${t} PRIVATE ${KV_WARNINGS})
  target_link_libraries(${t} PRIVATE kvwin)
  target_link_options(${t} PRIVATE ${KV_STATIC_LINK})
endforeach()
# Starts the real kv.exe on a large schedule and times its opening and its
# edits, for scripts/bench-large.sh.
add_executable(kv_large_bench ${CMAKE_SOURCE_DIR}/bench/large_schedule_bench_win32.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/kivro_process_win32.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/remote_list_view_win32.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/window_search_win32.cpp)
target_include_directories(kv_large_bench PRIVATE ${CMAKE_SOURCE_DIR}
  ${CMAKE_SOURCE_DIR}/tests/wine/support)
target_compile_options(kv_large_bench PRIVATE ${KV_WARNINGS})
target_compile_definitions(kv_large_bench PRIVATE KV_EXE_PATH="$<TARGET_FILE:kv>")
target_link_libraries(kv_large_bench PRIVATE ${KV_WIN32_LIBS})
target_link_options(kv_large_bench PRIVATE ${KV_STATIC_LINK})
add_dependencies(kv_large_bench kv)
# The stages of opening a large schedule, timed one by one with the
# program's own code, for scripts/bench-large.sh.
add_executable(kv_load_stages ${CMAKE_SOURCE_DIR}/bench/load_stages_bench_win32.cpp)
target_compile_options(kv_load_stages PRIVATE ${KV_WARNINGS})
target_link_libraries(kv_load_stages PRIVATE kvwin psapi)
target_link_options(kv_load_stages PRIVATE ${KV_STATIC_LINK})
# Ends a save at each of its steps in turn, for the test of crashes.
add_executable(kv_crash_save ${CMAKE_SOURCE_DIR}/tests/wine/helpers/crash_save_win32.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/support/file_call_faults_win32.cpp)
target_include_directories(kv_crash_save PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine/support)
target_compile_options(kv_crash_save PRIVATE ${KV_WARNINGS})
target_link_libraries(kv_crash_save PRIVATE kvwin)
target_link_options(kv_crash_save PRIVATE ${KV_STATIC_LINK})
add_executable(kv_keeper WIN32 ${CMAKE_SOURCE_DIR}/tests/wine/helpers/keeper_win32.cpp)
target_compile_options(kv_keeper PRIVATE ${KV_WARNINGS})
target_link_options(kv_keeper PRIVATE ${KV_STATIC_LINK} -mwindows)

foreach(t kv_inproc_tests kv_blackbox_tests)
  gtest_discover_tests(${t} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS wine TIMEOUT 240)
endforeach()

# The unit tests run whole, once per time zone: the Windows runtime cannot
# change its zone from inside the process, so each run starts in one.
foreach(zone UTC Europe/Berlin America/New_York)
  string(REPLACE "/" "_" zone_name ${zone})
  add_test(NAME unit_tests_win_${zone_name} COMMAND kv_unit_tests_win)
  set_tests_properties(unit_tests_win_${zone_name} PROPERTIES
    LABELS wine TIMEOUT 300 ENVIRONMENT "TZ=${zone}")
endforeach()

# The in-process locale tests once more in a German user locale.
add_test(NAME inproc_tests_german_locale COMMAND kv_inproc_tests --gtest_filter=*Locale*:*Regional*)
set_tests_properties(inproc_tests_german_locale PROPERTIES
  LABELS wine TIMEOUT 120 ENVIRONMENT "LC_ALL=de_DE.UTF-8;KV_EXPECT_GERMAN=1")

# kvtool.exe says what the native kvtool says, for the same file and zone.
set(KV_NATIVE_KVTOOL ${CMAKE_BINARY_DIR}/../native/kvtool CACHE FILEPATH
  "The native kvtool that kvtool.exe is compared with")
foreach(zone UTC America/New_York)
  string(REPLACE "/" "_" zone_name ${zone})
  add_test(NAME kvtool_same_as_native_${zone_name}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tool/same_as_native.sh $<TARGET_FILE:kvtool>
      ${KV_NATIVE_KVTOOL} ${zone} "${CMAKE_SOURCE_DIR}/tests/tool/fixed_schedule.KV")
  set_tests_properties(kvtool_same_as_native_${zone_name} PROPERTIES
    LABELS wine TIMEOUT 120 SKIP_RETURN_CODE 77)
endforeach()

# A short soak of the real kv.exe: every occurrence started exactly once,
# every end in its history, and nothing it holds grew (lateness is reported,
# not checked, on a busy machine). scripts/soak.sh runs the long one.
add_test(NAME soak_short COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/soak.sh 1.5)
set_tests_properties(soak_short PROPERTIES LABELS wine TIMEOUT 300
  ENVIRONMENT "KV_SOAK_LATENESS=0;KV_SOAK_TREE=${CMAKE_BINARY_DIR}")

# The zip to hand out, unpacked and its kv.exe started on the example.
add_test(NAME package_starts_the_example
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/package_test.sh ${CMAKE_BINARY_DIR}/..
    $<TARGET_FILE:kv_drive>)
set_tests_properties(package_starts_the_example PROPERTIES LABELS wine TIMEOUT 120)
# The setup, in a Wine prefix of its own: installs silently, registers the
# file type and the uninstall entry, opens a double-clicked schedule in one
# Kivro, installs again over itself and uninstalls.
add_test(NAME setup_installs_and_uninstalls
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/setup_test.sh ${CMAKE_BINARY_DIR}/..
    $<TARGET_FILE:kv_drive>)
set_tests_properties(setup_installs_and_uninstalls PROPERTIES LABELS wine TIMEOUT 300)

# Real key presses after message boxes reach the window that had the keyboard.
add_test(NAME keyboard_after_boxes
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/keys/focus_after_boxes.sh ${CMAKE_BINARY_DIR})
set_tests_properties(keyboard_after_boxes PROPERTIES LABELS wine TIMEOUT 120)
# Real key presses right after the commands that change the list, and after
# the window comes back from the notification area, act on the row left
# selected.
add_test(NAME keyboard_after_commands
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/keys/keys_after_commands.sh ${CMAKE_BINARY_DIR})
set_tests_properties(keyboard_after_commands PROPERTIES LABELS wine TIMEOUT 120)

# A process stopped while its entry fell due twice starts it once on going on.
add_test(NAME suspended_process_starts_once
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/resume/suspended_process.sh ${CMAKE_BINARY_DIR})
set_tests_properties(suspended_process_starts_once PROPERTIES LABELS wine TIMEOUT 300)

# The help page ships beside kv.exe; the Help menu opens it.
configure_file(${CMAKE_SOURCE_DIR}/resources/kivro-help.html ${CMAKE_BINARY_DIR}/kivro-help.html
  COPYONLY)

# The checks of kvtool.exe check that only Windows can make.
add_test(NAME kvtool_check_programs
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tool/check_programs.sh $<TARGET_FILE:kvtool>)
set_tests_properties(kvtool_check_programs PROPERTIES LABELS wine TIMEOUT 120)

# kvtool.exe history on a history with ends: --failed finds the exit codes
# other than 0.
add_test(NAME kvtool_history_exit_codes
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tool/history_exit_codes.sh $<TARGET_FILE:kvtool>
    ${CMAKE_SOURCE_DIR}/tests/tool/fixed_history_ends.tsv)
set_tests_properties(kvtool_history_exit_codes PROPERTIES LABELS wine TIMEOUT 120)
