# kvtool, the console companion in tool/: its portable part as a library
# (what the tests call), and the program, built by both trees. The *_win32.cpp
# files of tool/ go into the Windows program only, the *_posix.cpp files
# (the C library's iconv) into the others; tool/main.cpp is the program's own.

file(GLOB KV_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tool/*.cpp)
set(KV_TOOL_WIN32_SOURCES ${KV_TOOL_SOURCES})
list(FILTER KV_TOOL_WIN32_SOURCES INCLUDE REGEX "_win32\\.cpp$")
set(KV_TOOL_POSIX_SOURCES ${KV_TOOL_SOURCES})
list(FILTER KV_TOOL_POSIX_SOURCES INCLUDE REGEX "_posix\\.cpp$")
list(FILTER KV_TOOL_SOURCES EXCLUDE REGEX "(_win32|_posix|/main)\\.cpp$")
if(NOT WIN32)
  list(APPEND KV_TOOL_SOURCES ${KV_TOOL_POSIX_SOURCES})
endif()

add_library(kvtoolcore STATIC ${KV_TOOL_SOURCES})
target_compile_options(kvtoolcore PRIVATE ${KV_WARNINGS})
target_link_libraries(kvtoolcore PUBLIC kvcore)

add_executable(kvtool ${CMAKE_SOURCE_DIR}/tool/main.cpp)
target_compile_options(kvtool PRIVATE ${KV_WARNINGS})
target_link_libraries(kvtool PRIVATE kvtoolcore)
if(WIN32)
  # The code page conversion and the program lookup are kv.exe's own.
  target_sources(kvtool PRIVATE ${KV_TOOL_WIN32_SOURCES}
    ${CMAKE_SOURCE_DIR}/schedule/code_pages_win32.cpp
    ${CMAKE_SOURCE_DIR}/engine/program_lookup_win32.cpp)
  target_link_libraries(kvtool PRIVATE shell32 kernel32)
endif()
