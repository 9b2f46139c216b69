# cmake -DEXE=<program.exe> [-DOBJDUMP=<objdump>] -P cmake/check-imports.cmake
#
# Fails when EXE imports a DLL that is not one of the system's known DLLs.
# Windows looks for any other DLL in the program's own folder first, so a DLL
# of that name left beside the program (in a Downloads folder, say) would be
# loaded in its place. The list holds the KnownDLLs that Windows 7, 8.1, 10
# and 11 all share, plus comctl32, which the program's manifest binds to the
# system's side-by-side copy. DLLs needed beyond these are loaded at run time
# from the system folder (foundation/system_library_win32.h).
cmake_minimum_required(VERSION 3.25)

if(NOT EXE OR NOT EXISTS "${EXE}")
  message(FATAL_ERROR "check-imports: no executable at '${EXE}'")
endif()
if(NOT OBJDUMP)
  find_program(OBJDUMP NAMES x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump objdump)
endif()
if(NOT OBJDUMP)
  message(FATAL_ERROR "check-imports: no objdump found")
endif()

set(allowed_dlls
    advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt
    normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi
    user32 wldap32 ws2_32
    comctl32)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump ERROR_VARIABLE error
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "check-imports: ${OBJDUMP} could not read ${EXE}: ${error}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "check-imports: found no import table in ${EXE}")
endif()

set(foreign "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "DLL Name: ([^ ]+).*" "\\1" dll "${line}")
  string(TOLOWER "${dll}" dll)
  string(REGEX REPLACE "\\.dll$" "" base "${dll}")
  if(base IN_LIST allowed_dlls)
    message(STATUS "imports ${dll}")
  else()
    list(APPEND foreign ${dll})
  endif()
endforeach()
if(foreign)
  list(JOIN foreign ", " foreign)
  message(FATAL_ERROR "${EXE} imports ${foreign}: not a known DLL of the system, so Windows "
                      "would look for it beside the program first. Load it at run time with "
                      "LoadSystemLibrary instead.")
endif()
