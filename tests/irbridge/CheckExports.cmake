# Checks the export table of a built Irbrix.dll:
#   cmake -DOBJDUMP=<triplet>-objdump -DDLL=<path> -DFORMAT=<pei-x86-64|pei-i386> -P CheckExports.cmake
# The main program resolves the functions by their plain names, so the table
# must hold exactly these six, undecorated (no stdcall @n), in an image named
# IRBRIX.dll, importing system DLLs only.
if(NOT EXISTS "${DLL}")
    message("SKIPPED: ${DLL} is not built")
    return()
endif()
execute_process(COMMAND ${OBJDUMP} -p "${DLL}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p failed (${rc})")
endif()
if(NOT dump MATCHES "file format ${FORMAT}")
    message(FATAL_ERROR "${DLL} is not ${FORMAT}")
endif()
if(NOT dump MATCHES "Name[ \t]+[0-9a-fA-F]+ IRBRIX\\.dll")
    message(FATAL_ERROR "image name is not IRBRIX.dll")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(.*)" table "${dump}")
set(table "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n[ \t]*\n.*" "" table "${table}")
string(REGEX MATCHALL "[^ \t\n]+\n" names "${table}\n")
string(REPLACE "\n" "" names "${names}")
list(SORT names)
set(expected PXRmtCheckAct PXRmtGetActiveDevice PXRmtGetDevice PXRmtGetScanCode PXRmtInitialization
    PXRmtSetActiveDevice)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "exports are [${names}], expected [${expected}]")
endif()
# On i686 the functions must be the callee-pops (stdcall) ones, whose symbols
# carry the bytes of their arguments; the exports name them without that.
if(FORMAT STREQUAL "pei-i386")
    execute_process(COMMAND ${OBJDUMP} -t "${DLL}" OUTPUT_VARIABLE symbols)
    foreach(symbol _PXRmtInitialization@12 _PXRmtCheckAct@0 _PXRmtGetScanCode@0 _PXRmtGetActiveDevice@8
                   _PXRmtSetActiveDevice@8 _PXRmtGetDevice@8)
        if(NOT symbols MATCHES " ${symbol}\n")
            message(FATAL_ERROR "${symbol} is not in the image: not the stdcall function")
        endif()
    endforeach()
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
    if(import MATCHES "(libstdc|libgcc|libwinpthread|kanzo)")
        message(FATAL_ERROR "imports a DLL of its own: ${import}")
    endif()
endforeach()
message("${FORMAT}: ${names}; ${imports}")
