# Windows build: Fixtally.exe, and the Windows tests that CTest runs under Wine.
enable_language(RC)

# Headers of Windows 7 for the types of the calls that are looked up at run time; the import
# test keeps the executable loadable on Windows XP SP3.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN STRICT)
add_link_options(-static -static-libgcc -static-libstdc++)
# Small and fast enough: the program's work is the list, not arithmetic.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")

set(FIXTALLY_WIN32_LIBS comctl32 comdlg32 ole32 oleaut32 uuid wbemuuid shell32 user32 gdi32 msimg32 uxtheme)

set(win32_sources)
foreach(dir IN LISTS FIXTALLY_SUBSYSTEMS)
  file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*_win32.cpp)
  list(APPEND win32_sources ${dir_sources})
endforeach()
list(FILTER win32_sources EXCLUDE REGEX "/(console_)?entry_win32\\.cpp$")

add_library(fixtally_win32 STATIC ${win32_sources})
target_link_libraries(fixtally_win32 PUBLIC fixtally_core ${FIXTALLY_WIN32_LIBS})

# Each manifest names the build's processor: a 64-bit program that asks for the x86 common
# controls has no activation context (ERROR_SXS_CANT_GEN_ACTCTX) on a system without them.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(FIXTALLY_MANIFEST_ARCH amd64)
else()
  set(FIXTALLY_MANIFEST_ARCH x86)
endif()
set(manifest_dir ${CMAKE_BINARY_DIR}/resources)
foreach(manifest fixtally fixtally_console)
  configure_file(${CMAKE_SOURCE_DIR}/resources/${manifest}.manifest.in
                 ${manifest_dir}/${manifest}.manifest @ONLY)
endforeach()

add_executable(Fixtally WIN32 ${CMAKE_SOURCE_DIR}/app/entry_win32.cpp
                              ${CMAKE_SOURCE_DIR}/resources/fixtally.rc)
target_link_libraries(Fixtally PRIVATE fixtally_win32)
# Loadable on Windows XP SP3 (NT 5.1) and later.
target_link_options(Fixtally PRIVATE -municode -Wl,--major-subsystem-version,5
                    -Wl,--minor-subsystem-version,1 -Wl,--major-os-version,5 -Wl,--minor-os-version,1)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/fixtally.rc PROPERTIES
  OBJECT_DEPENDS "${manifest_dir}/fixtally.manifest")
target_include_directories(Fixtally PRIVATE ${manifest_dir})

# Fixtally.com, the console program, beside it: the same code in the console subsystem, so that
# typing "fixtally" in cmd or PowerShell runs it (.com comes before .exe in PATHEXT) while a
# double click on Fixtally.exe still opens the window.
add_executable(FixtallyConsole ${CMAKE_SOURCE_DIR}/console/console_entry_win32.cpp
                               ${CMAKE_SOURCE_DIR}/resources/fixtally_console.rc)
set_target_properties(FixtallyConsole PROPERTIES OUTPUT_NAME Fixtally SUFFIX .com)
target_link_libraries(FixtallyConsole PRIVATE fixtally_win32)
# Sections aligned in the file as in memory: Wine then maps the image instead of reading all of
# it into memory of the process's own, which a short run pays for in time and peak memory.
target_link_options(FixtallyConsole PRIVATE -municode -mconsole -Wl,--major-subsystem-version,5
                    -Wl,--minor-subsystem-version,1 -Wl,--major-os-version,5 -Wl,--minor-os-version,1
                    -Wl,--file-alignment,4096)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/fixtally_console.rc PROPERTIES
  OBJECT_DEPENDS "${manifest_dir}/fixtally_console.manifest")
target_include_directories(FixtallyConsole PRIVATE ${manifest_dir})

# GoogleTest compiled from the sources that Debian's googletest package installs. The win32
# thread model of this MinGW has no std::mutex, which GoogleTest's Notification needs; a
# force-included header gives it one made of a Windows event.
set(gtest_shim -include ${CMAKE_SOURCE_DIR}/cmake/gtest_notification_win32.h)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main gmock gmock_main)
  target_compile_options(${t} PRIVATE -Wno-error ${gtest_shim})
endforeach()

function(fixtally_wine_test name label)
  file(GLOB sources CONFIGURE_DEPENDS ${ARGN})
  # These drive the run over computers on std::thread, which the win32 thread model of this
  # MinGW lacks; the Windows run ports are exercised by the real Fixtally.com's tests.
  list(FILTER sources EXCLUDE REGEX "/(computer_run|console_program)_test\\.cpp$")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE fixtally_win32 fixtally_test_support gmock gtest gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${gtest_shim})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${label} TIMEOUT 600)
endfunction()

# The core's unit tests also run as Windows code, under Wine.
fixtally_wine_test(fixtally_unit_tests_windows unit ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
fixtally_wine_test(fixtally_win32_tests win32 ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
target_compile_definitions(fixtally_win32_tests PRIVATE
  FIXTALLY_EXE_PATH="$<TARGET_FILE:Fixtally>")
add_dependencies(fixtally_win32_tests Fixtally)
fixtally_wine_test(fixtally_e2e_tests e2e ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
if(TARGET fixtally_e2e_tests)
  target_compile_definitions(fixtally_e2e_tests PRIVATE FIXTALLY_EXE_PATH="$<TARGET_FILE:Fixtally>")
  add_dependencies(fixtally_e2e_tests Fixtally)
  # The tests use the real pointer, screen pixels and the clipboard of the one display, and a
  # browser stand-in that Wine finds as xdg-open on the Unix PATH.
  set_tests_properties(fixtally_e2e_tests PROPERTIES RUN_SERIAL TRUE
    ENVIRONMENT "FIXTALLY_BROWSER_LOG=${CMAKE_BINARY_DIR}/e2e-browser.log"
    ENVIRONMENT_MODIFICATION "PATH=path_list_prepend:${CMAKE_SOURCE_DIR}/scripts/e2e-browser")
endif()

# The real Fixtally.com from a shell, its CSV and JSON read back by Python's own parsers.
add_test(NAME fixtally_console_tests
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/console/console_test.py
          ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:FixtallyConsole>
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(fixtally_console_tests PROPERTIES LABELS e2e TIMEOUT 600)

# The executables import only what Windows XP SP3 exports (only the 32-bit build ships).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME fixtally_xp_imports
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-xp-imports.sh $<TARGET_FILE:Fixtally>
            $<TARGET_FILE:FixtallyConsole>)
  set_tests_properties(fixtally_xp_imports PROPERTIES LABELS win32)
endif()

# Timings of the real window with 1,000 to 100,000 generated rows beside a bare list view in the
# same run, under Wine or on Windows: a benchmark program, not a test (scripts/bench.sh runs it
# when Wine is there).
add_executable(fixtally_window_timing ${CMAKE_SOURCE_DIR}/bench/window_timing_win32.cpp
                                      ${CMAKE_SOURCE_DIR}/bench/bare_list_win32.cpp
                                      ${CMAKE_SOURCE_DIR}/bench/row_generator.cpp)
target_link_libraries(fixtally_window_timing PRIVATE fixtally_win32)
target_include_directories(fixtally_window_timing PRIVATE ${CMAKE_SOURCE_DIR}/tests)
