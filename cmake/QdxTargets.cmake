# Helpers that keep every target built the same way.

set(QDX_WARNINGS -Wall -Wextra)
if(QDX_WERROR)
    list(APPEND QDX_WARNINGS -Werror)
endif()

# Moc runs only for targets whose sources declare meta-objects: on every other target it
# would only cost a generated file and an include path per compile.
function(qdx_automoc_if_needed target)
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    foreach(source IN LISTS sources)
        if(NOT IS_ABSOLUTE "${source}")
            set(source "${source_dir}/${source}")
        endif()
        if(EXISTS "${source}")
            file(STRINGS "${source}" meta_objects REGEX "Q_OBJECT|Q_GADGET|Q_NAMESPACE" LIMIT_COUNT 1)
            if(meta_objects)
                set_target_properties(${target} PROPERTIES AUTOMOC ON)
                return()
            endif()
        endif()
    endforeach()
endfunction()

# qdx_add_library(<name> SOURCES ... [PUBLIC_LINK ...] [PRIVATE_LINK ...])
# One static library per source folder; the include root is src/ so includes read
# "storage/Stored.h".
function(qdx_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LINK;PRIVATE_LINK" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE ${QDX_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LINK} PRIVATE ${ARG_PRIVATE_LINK})
    qdx_automoc_if_needed(${name})
endfunction()

# The test executables share three precompiled headers, one for each kind of test main:
# gtest and the Qt headers nearly every test includes. The main's library compiles the header
# and every test of that kind reuses it (their flags differ only in warnings and in defines the
# headers never test).
function(qdx_test_precompiled_headers main_library)
    if(NOT QDX_PCH)
        return()
    endif()
    target_precompile_headers(${main_library} PRIVATE
        <gtest/gtest.h> <QByteArray> <QDir> <QFile> <QString> <QTemporaryDir>
        <functional> <memory> <string> <vector> ${ARGN})
    target_compile_options(${main_library} PRIVATE ${QDX_PCH_OPTIONS})
endfunction()

# ccache reuses objects compiled with a precompiled header only when the compiler reads the
# header through the preprocessor output (gcc) or without its timestamp (clang); the
# launcher sets the sloppiness this needs.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(QDX_PCH_OPTIONS -fpch-preprocess -Winvalid-pch)
elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(QDX_PCH_OPTIONS -Xclang -fno-pch-timestamp -Winvalid-pch)
endif()

# qdx_add_test(<folder> SOURCES ... LINK ... [GUI | WIDGETS])
# One test executable per source folder, registered with CTest test by test.
function(qdx_add_test folder)
    cmake_parse_arguments(ARG "GUI;WIDGETS" "" "SOURCES;LINK" ${ARGN})
    set(target test_${folder})
    add_executable(${target} ${ARG_SOURCES})
    target_compile_options(${target} PRIVATE ${QDX_WARNINGS} ${QDX_PCH_OPTIONS})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    if(ARG_WIDGETS)
        set(main qdx_test_main_widgets)
    elseif(ARG_GUI)
        set(main qdx_test_main_gui)
    else()
        set(main qdx_test_main)
    endif()
    target_link_libraries(${target} PRIVATE ${main})
    if(QDX_PCH)
        target_precompile_headers(${target} REUSE_FROM ${main})
    endif()
    target_link_libraries(${target} PRIVATE ${ARG_LINK} GTest::gtest)
    qdx_automoc_if_needed(${target})
    # PRE_TEST: the binaries are listed when ctest runs, not during the build.
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QDX_MEASURE=inch"
        DISCOVERY_TIMEOUT 60)
endfunction()
