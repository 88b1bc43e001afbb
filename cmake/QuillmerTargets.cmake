# quillmer_core_library(NAME SOURCES ... LINKS ...)
#   A library that may use Qt Core and SQLite only. Widget headers are not on
#   its include path, so a core file that includes one fails to build.
function(quillmer_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LINKS})
endfunction()

# quillmer_ui_library(NAME SOURCES ... LINKS ...)
#   A library of dialogs and controls on top of the core libraries.
function(quillmer_ui_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Widgets Qt6::PrintSupport ${ARG_LINKS})
endfunction()

# quillmer_test(NAME [GUI] SOURCES ... LINKS ...)
#   One test program; every test case becomes its own CTest test, run offscreen.
#   GUI tests get a main that makes a QApplication; the others a plain one.
function(quillmer_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(ARG_GUI)
        set(test_main kv_testmain_gui)
    else()
        set(test_main kv_testmain_core)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} kv_testsupport ${test_main} GTest::gtest)
    gtest_discover_tests(${name}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUILLMER_SOURCE_DIR=${PROJECT_SOURCE_DIR};QUILLMER_BUILD_APP_DIR=${QUILLMER_APP_DIR}"
        DISCOVERY_TIMEOUT 60)
endfunction()
