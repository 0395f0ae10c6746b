# Helpers that keep every target built the same way.

set(QDX_WARNINGS -Wall -Wextra)

# qdx_add_library(<name> SOURCES ... [PUBLIC_LINK ...] [PRIVATE_LINK ...])
# One static library per source folder; the include root is src/ so includes read
# "storage/Stored.h".
function(qdx_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LINK;PRIVATE_LINK" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE ${QDX_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LINK} PRIVATE ${ARG_PRIVATE_LINK})
endfunction()

# qdx_add_test(<folder> SOURCES ... LINK ... [GUI | WIDGETS])
# One test executable per source folder, registered with CTest test by test.
function(qdx_add_test folder)
    cmake_parse_arguments(ARG "GUI;WIDGETS" "" "SOURCES;LINK" ${ARGN})
    set(target test_${folder})
    add_executable(${target} ${ARG_SOURCES})
    target_compile_options(${target} PRIVATE ${QDX_WARNINGS})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    if(ARG_WIDGETS)
        target_link_libraries(${target} PRIVATE qdx_test_main_widgets)
    elseif(ARG_GUI)
        target_link_libraries(${target} PRIVATE qdx_test_main_gui)
    else()
        target_link_libraries(${target} PRIVATE qdx_test_main)
    endif()
    target_link_libraries(${target} PRIVATE ${ARG_LINK} GTest::gtest)
    # PRE_TEST: the binaries are listed when ctest runs, not during the build.
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QDX_MEASURE=inch"
        DISCOVERY_TIMEOUT 60)
endfunction()
