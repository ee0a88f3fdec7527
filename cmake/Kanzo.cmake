# Helpers that keep the per-folder CMakeLists short.

# kanzo_library(<name> [PURE] SOURCES ... [LIBS ...])
# PURE libraries include no Windows header and are built in every build;
# the others only in the Windows builds.
function(kanzo_library name)
    cmake_parse_arguments(K "PURE" "" "SOURCES;LIBS" ${ARGN})
    if(NOT K_PURE AND NOT WIN32)
        return()
    endif()
    add_library(${name} STATIC ${K_SOURCES})
    target_link_libraries(${name} PUBLIC ${K_LIBS})
endfunction()

# kanzo_test(<suite> [WINDOWS] [GUI] SOURCES ... [LIBS ...] [DEPENDS targets])
# One GoogleTest executable = one suite in the summary. WINDOWS suites need the
# Windows build (they run under Wine); GUI suites also need the Xvfb display,
# which the harness provides to every test.
function(kanzo_test suite)
    cmake_parse_arguments(K "WINDOWS;GUI" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
    if((K_WINDOWS OR K_GUI) AND NOT WIN32)
        return()
    endif()
    set(exe test_${suite})
    string(REPLACE "." "_" exe ${exe})
    add_executable(${exe} ${K_SOURCES})
    target_link_libraries(${exe} PRIVATE ${K_LIBS} gmock gtest_main)
    if(K_DEPENDS)
        add_dependencies(${exe} ${K_DEPENDS})
    endif()
    # Under Wine a Unix path is not absolute to GoogleTest; Z: is the Linux root.
    set(report ${CMAKE_BINARY_DIR}/reports/${suite}.xml)
    if(WIN32)
        set(report Z:${report})
    endif()
    add_test(NAME ${suite}
             COMMAND ${exe} --gtest_output=xml:${report}
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${suite} PROPERTIES TIMEOUT 300)
    if(K_GUI)
        set_tests_properties(${suite} PROPERTIES LABELS gui)
    endif()
endfunction()
