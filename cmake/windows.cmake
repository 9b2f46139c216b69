# Windows build: the platform layer, the tool, and the tests that run under Wine.

set(ORVANTE_WIN32_DEFINITIONS UNICODE _UNICODE _WIN32_WINNT=0x0601
    WINVER=0x0601 NOMINMAX DIRECTINPUT_VERSION=0x0800)
set(ORVANTE_WIN32_LIBS ole32 oleaut32 uuid comctl32 comdlg32 shell32
    user32 gdi32 advapi32 psapi dxguid wbemuuid version)

target_compile_definitions(orvante_core PUBLIC ${ORVANTE_WIN32_DEFINITIONS})

add_library(orvante_platform STATIC ${ORVANTE_PLATFORM_SOURCES})
target_link_libraries(orvante_platform PUBLIC orvante_core ${ORVANTE_WIN32_LIBS})
target_compile_options(orvante_platform PRIVATE ${ORVANTE_WARNINGS})
# The portable error record takes its mutex and thread ids from the platform
# layer (foundation/thread_win32.cpp), so the two libraries need each other.
target_link_libraries(orvante_core INTERFACE orvante_platform)

# Only system DLLs may be imported: the C++ runtime, libgcc and winpthread are
# linked in.
set(ORVANTE_STATIC_LINK -static -static-libgcc -static-libstdc++)

# The resource script: dialogs, bitmaps, icon, manifest and the packed text
# tables. A static library would drop resources, so every executable that
# opens a dialog compiles it in.
set(ORVANTE_RC ${PROJECT_SOURCE_DIR}/src/resources/orvante.rc)
file(GLOB ORVANTE_RC_INPUTS CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/resources/*.rc
     ${PROJECT_SOURCE_DIR}/src/resources/*.h
     ${PROJECT_SOURCE_DIR}/src/resources/*.manifest
     ${PROJECT_SOURCE_DIR}/src/resources/art/*)
set(ORVANTE_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${ORVANTE_GENERATED_DIR})
configure_file(${PROJECT_SOURCE_DIR}/src/resources/version.h.in
               ${ORVANTE_GENERATED_DIR}/orvante_version.h @ONLY)
set_source_files_properties(${ORVANTE_RC} PROPERTIES
    OBJECT_DEPENDS "${ORVANTE_RC_INPUTS};${ORVANTE_GENERATED_RC_INPUTS};${ORVANTE_GENERATED_DIR}/orvante_version.h")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${PROJECT_SOURCE_DIR}/src/resources -I${ORVANTE_GENERATED_DIR}")

function(orvante_windows_executable target)
  add_executable(${target} ${ARGN} ${ORVANTE_RC})
  target_link_libraries(${target} PRIVATE orvante_platform)
  target_link_options(${target} PRIVATE ${ORVANTE_STATIC_LINK} -municode)
  target_compile_options(${target} PRIVATE ${ORVANTE_WARNINGS})
  if(TARGET orvante_text_tables)
    add_dependencies(${target} orvante_text_tables)
  endif()
endfunction()

orvante_windows_executable(orvante-config
    ${PROJECT_SOURCE_DIR}/src/app/entry_win32.cpp)
set_target_properties(orvante-config PROPERTIES WIN32_EXECUTABLE ON)
# Sections start on page boundaries in the file as they do in memory: Wine
# then maps the image instead of reading all of it (resources included) at
# every start, about 7 ms of 230 here. Windows maps images either way.
target_link_options(orvante-config PRIVATE -Wl,--file-alignment,4096)

# The shipped executable imports only the system's known DLLs. Registered in
# every Windows build, the 32-bit one included, which has no other tests.
find_program(ORVANTE_OBJDUMP NAMES ${ORVANTE_MINGW_TRIPLE}-objdump objdump)
add_test(NAME package.imports_only_known_dlls
         COMMAND ${CMAKE_COMMAND}
                 -DOBJDUMP=${ORVANTE_OBJDUMP}
                 -DEXE=$<TARGET_FILE:orvante-config>
                 -P ${PROJECT_SOURCE_DIR}/cmake/check-imports.cmake)

if(ORVANTE_BENCH)
  add_subdirectory(bench)
endif()

if(NOT ORVANTE_TESTS)
  return()
endif()

# ---- Tests ------------------------------------------------------------------
# Cross-built from Debian's GoogleTest sources for Wine; a build on Windows
# itself uses the GoogleTest package of its toolchain.
include(GoogleTest)
set(ORVANTE_GTEST_SOURCES /usr/src/googletest)
if(CMAKE_CROSSCOMPILING AND EXISTS ${ORVANTE_GTEST_SOURCES}/CMakeLists.txt)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ORVANTE_GTEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(ORVANTE_GTEST gtest)
else()
  find_package(GTest REQUIRED)
  set(ORVANTE_GTEST GTest::gtest)
endif()

file(GLOB ORVANTE_WINDOWS_TESTS CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/tests/windows/*.cpp
     ${PROJECT_SOURCE_DIR}/tests/windows/support/*.cpp)
list(FILTER ORVANTE_WINDOWS_TESTS EXCLUDE REGEX "/keepalive_win32\\.cpp$")
orvante_windows_executable(orvante-tests ${ORVANTE_WINDOWS_TESTS})
target_link_libraries(orvante-tests PRIVATE ${ORVANTE_GTEST})
target_include_directories(orvante-tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/windows
                                                 ${ORVANTE_GENERATED_DIR})
add_dependencies(orvante-tests orvante-config)

# The planting test lays stand-ins for system DLLs beside copies of the tool
# and of a probe that loads DLLs by name (tests/windows/dll_planting_test.cpp).
add_library(stand-in-dll OBJECT ${PROJECT_SOURCE_DIR}/tests/windows/planted/stand_in_dll_win32.cpp)
target_compile_definitions(stand-in-dll PRIVATE ${ORVANTE_WIN32_DEFINITIONS})
set(ORVANTE_STAND_IN_DLLS winmm d3d9 dxgi xinput1_3 xinput1_4 xinput9_1_0 dinput8)
foreach(name IN LISTS ORVANTE_STAND_IN_DLLS)
  add_library(stand-in-${name} SHARED $<TARGET_OBJECTS:stand-in-dll>)
  set_target_properties(stand-in-${name} PROPERTIES
      OUTPUT_NAME ${name} PREFIX ""
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stand-ins
      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stand-ins)
  target_link_options(stand-in-${name} PRIVATE ${ORVANTE_STATIC_LINK})
  add_dependencies(orvante-tests stand-in-${name})
endforeach()
add_executable(dll-probe ${PROJECT_SOURCE_DIR}/tests/windows/planted/dll_probe_win32.cpp)
target_link_libraries(dll-probe PRIVATE orvante_platform)
target_link_options(dll-probe PRIVATE ${ORVANTE_STATIC_LINK} -municode)
target_compile_options(dll-probe PRIVATE ${ORVANTE_WARNINGS})
add_dependencies(orvante-tests dll-probe)

if(NOT CMAKE_CROSSCOMPILING)
  # On Windows itself the tests run as they are, one display, one folder.
  gtest_discover_tests(orvante-tests TEST_PREFIX "windows." DISCOVERY_MODE PRE_TEST
                       PROPERTIES RESOURCE_LOCK desktop TIMEOUT 120)
  return()
endif()

# ---- Under Wine -------------------------------------------------------------
# A tiny windowless program that keeps Wine's desktop process alive for the
# whole run, so that it is not restarted (attached to CTest's pipes) per test.
add_executable(wine-keepalive ${PROJECT_SOURCE_DIR}/tests/windows/support/keepalive_win32.cpp)
target_compile_definitions(wine-keepalive PRIVATE ${ORVANTE_WIN32_DEFINITIONS})
target_link_options(wine-keepalive PRIVATE ${ORVANTE_STATIC_LINK} -municode -mwindows)
add_dependencies(orvante-tests wine-keepalive)

# Wine runs in a private prefix and home inside this build folder.
set(ORVANTE_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(ORVANTE_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${ORVANTE_WINE_STATE})
set_target_properties(orvante-tests PROPERTIES
    CROSSCOMPILING_EMULATOR "${ORVANTE_WINE_RUN}")

# The wrapper starts the Wine session (Xvfb, wineserver, keep-alive) on first
# use; `make test` stops it after the run.
file(GENERATE OUTPUT ${ORVANTE_WINE_STATE}/session.env
     CONTENT "KEEPALIVE=$<TARGET_FILE:wine-keepalive>\n")

# All Wine tests share one display, one prefix and one settings folder.
gtest_discover_tests(orvante-tests
    TEST_PREFIX "wine."
    TEST_FILTER "-DllPlanting.*"
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES RESOURCE_LOCK wine TIMEOUT 120)

# Every test once more, all in one process and in a shuffled order: a test
# that leaves the language, the texts or a settings file changed, or that
# needs another to run first, fails here. The planting tests need a Wine of
# their own (above).
add_test(NAME wine.all_in_one_process_shuffled
         COMMAND ${ORVANTE_WINE_RUN} $<TARGET_FILE:orvante-tests> --gtest_shuffle
                 --gtest_filter=-DllPlanting.*)
set_tests_properties(wine.all_in_one_process_shuffled PROPERTIES RESOURCE_LOCK wine TIMEOUT 1800)

# The planting tests run with Wine told to look for the stand-ins' names the
# way Windows does; Wine reads that when a process starts, so it is set for
# the whole test program (tests/windows/dll_planting_test.cpp says more).
list(JOIN ORVANTE_STAND_IN_DLLS "," ORVANTE_STAND_IN_NAMES)
add_test(NAME wine.DllPlanting
         COMMAND ${CMAKE_COMMAND} -E env "ORVANTE_DLL_OVERRIDES=${ORVANTE_STAND_IN_NAMES}=n,b"
                 ${ORVANTE_WINE_RUN} $<TARGET_FILE:orvante-tests> --gtest_filter=DllPlanting.*)
set_tests_properties(wine.DllPlanting PROPERTIES RESOURCE_LOCK wine TIMEOUT 120)

add_test(NAME wine.sandbox.user_folders_stay_in_build_folder
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-sandbox.sh ${ORVANTE_WINE_STATE})

# Wine takes the user's language from the locale: with nothing else to go by,
# a French (Canada) user gets French.
add_test(NAME wine.StartUp.FrenchUserGetsFrench
         COMMAND ${CMAKE_COMMAND} -E env ORVANTE_LANG=fr_CA.UTF-8 ORVANTE_EXPECT_LANGUAGE=3
                 ${ORVANTE_WINE_RUN} $<TARGET_FILE:orvante-tests>
                 --gtest_filter=StartUp.UserLanguageDecidesWhenNothingElseDoes)
set_tests_properties(wine.StartUp.FrenchUserGetsFrench PROPERTIES RESOURCE_LOCK wine TIMEOUT 120)

# ---- Other screens and scales --------------------------------------------
# Players run the tool on small laptop screens and at 125 %, 150 % and 200 %.
# Each screen and DPI pair gets a Wine state folder of its own,
# wine-WIDTHxHEIGHT-DPI (its own prefix with that LogPixels, its own Xvfb of
# that size), started by a set-up test and stopped by a clean-up test, so
# `ctest -R` on one scaled test brings its session up and down by itself.
# Only tests about layout run there; the whole suite runs once, above.
#
# To run another test at a scale, call
#   orvante_wine_test_at_scale(<name> <WIDTHxHEIGHT> <DPI> <gtest filter>)
# for example
#   orvante_wine_test_at_scale(window_fit 1920x1080 144 "WindowFit.*")
# which registers the test wine.1920x1080-144.window_fit. The test sees
# ORVANTE_EXPECT_SCREEN and ORVANTE_EXPECT_DPI (here 1920x1080 and 144) and
# should check that it really runs at them.
#
# With FRESH after the filter, the test runs in a prefix made anew for each
# run (state folder wine-fresh-WIDTHxHEIGHT-DPI, tests wine.fresh-...), as a
# player's first run in a new Wine or Proton prefix meets it.
function(orvante_wine_test_at_scale name screen dpi filter)
  set(scale ${screen}-${dpi})
  set(start start)
  if(ARGV4 STREQUAL "FRESH")
    set(scale fresh-${scale})
    set(start fresh)
  endif()
  set(state ${CMAKE_BINARY_DIR}/wine-${scale})
  set(session ${PROJECT_SOURCE_DIR}/scripts/wine-session.sh)
  get_property(known GLOBAL PROPERTY ORVANTE_WINE_SCALES)
  if(NOT scale IN_LIST known)
    set_property(GLOBAL APPEND PROPERTY ORVANTE_WINE_SCALES ${scale})
    file(GENERATE OUTPUT ${state}/session.env
         CONTENT "KEEPALIVE=$<TARGET_FILE:wine-keepalive>\nSCREEN=${screen}\nDPI=${dpi}\n")
    add_test(NAME wine.${scale}.session.start COMMAND ${session} ${start} ${state})
    add_test(NAME wine.${scale}.session.stop COMMAND ${session} stop ${state})
    # A first start creates the prefix (about 15 s, once per build folder).
    set_tests_properties(wine.${scale}.session.start PROPERTIES
        FIXTURES_SETUP wine-${scale} RESOURCE_LOCK wine-${scale} TIMEOUT 300)
    set_tests_properties(wine.${scale}.session.stop PROPERTIES
        FIXTURES_CLEANUP wine-${scale} RESOURCE_LOCK wine-${scale} TIMEOUT 60)
  endif()
  add_test(NAME wine.${scale}.${name}
           COMMAND ${CMAKE_COMMAND} -E env ORVANTE_EXPECT_SCREEN=${screen} ORVANTE_EXPECT_DPI=${dpi}
                   ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${state} $<TARGET_FILE:orvante-tests>
                   --gtest_filter=${filter})
  set_tests_properties(wine.${scale}.${name} PROPERTIES
      FIXTURES_REQUIRED wine-${scale} RESOURCE_LOCK wine-${scale} TIMEOUT 600)
endfunction()

# 100 % and 125 % on the smallest common laptop screen, 100 % on the Steam
# Deck's 1280 x 800, 150 % on full HD, 200 % on 1440p.
foreach(scale 1366x768:96 1366x768:120 1280x800:96 1920x1080:144 2560x1440:192)
  string(REPLACE ":" ";" scale ${scale})
  list(GET scale 0 screen)
  list(GET scale 1 dpi)
  orvante_wine_test_at_scale(window_fit ${screen} ${dpi} "WindowFit.*")
endforeach()

# Every caption fits its control at 150 % too, where fonts and controls grow
# by different roundings, and reads well on the Steam Deck's small screen.
orvante_wine_test_at_scale(text_fit 1920x1080 144 "EveryLanguage/TextFit.*")
orvante_wine_test_at_scale(text_fit 1280x800 96 "EveryLanguage/TextFit.*")

# The tool clicked through faster than any player on a first run, where the
# graphics runtime starts cold beside the windows.
orvante_wine_test_at_scale(quick_clicks 1920x1080 144 "QuickClicks.*" FRESH)
