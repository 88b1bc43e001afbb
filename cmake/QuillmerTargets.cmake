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

# quillmer_test(NAME [GUI] SOURCES ... LINKS ... [LABELS ...] [RESOURCE_LOCK ...])
#   One test program; every test case becomes its own CTest test, run offscreen.
#   LABELS mark its tests for ctest -L (the server tests: "network").
#   RESOURCE_LOCK names what its tests may not share with others running at
#   the same time (the server database "qrdb" of the network edition).
#   GUI tests get a main that makes a QApplication; the others a plain one.
function(quillmer_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LINKS;LABELS;RESOURCE_LOCK" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(ARG_GUI)
        # Widget tests click and type through QTest, as a user does.
        set(test_main kv_testmain_gui Qt6::Test)
    else()
        set(test_main kv_testmain_core)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} kv_testsupport ${test_main} GTest::gtest)
    set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    if(ARG_LABELS)
        list(APPEND properties LABELS "${ARG_LABELS}")
    endif()
    if(ARG_RESOURCE_LOCK)
        list(APPEND properties RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
    endif()
    gtest_discover_tests(${name} PROPERTIES ${properties} DISCOVERY_TIMEOUT 60)
    # Where the sources and the built program folder are (shipped files, stand-ins).
    target_compile_definitions(${name} PRIVATE
        QUILLMER_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QUILLMER_BUILD_APP_DIR="${QUILLMER_APP_DIR}")
endfunction()

# quillmer_subsystem(PREFIX CORE_LINKS ... UI_LINKS ...)
#   The two libraries of a subsystem folder, by convention:
#     <folder>/*.cpp     -> <prefix>_core: records, lists, rules (Qt Core + SQLite)
#     <folder>/ui/*.cpp  -> <prefix>_ui:   dialogs and windows on top of the core
#   New files are picked up when CMake runs again (the build does that itself).
function(quillmer_subsystem prefix)
    cmake_parse_arguments(ARG "" "" "CORE_LINKS;UI_LINKS" ${ARGN})
    file(GLOB core_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    list(FILTER core_sources EXCLUDE REGEX "/main\\.cpp$")
    if(core_sources)
        quillmer_core_library(${prefix}_core SOURCES ${core_sources} LINKS ${ARG_CORE_LINKS})
    else()
        add_library(${prefix}_core INTERFACE)
        target_include_directories(${prefix}_core INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${prefix}_core INTERFACE ${ARG_CORE_LINKS})
    endif()
    file(GLOB ui_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h)
    if(ui_sources)
        add_library(${prefix}_ui STATIC ${ui_sources})
        target_include_directories(${prefix}_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/ui)
        target_link_libraries(${prefix}_ui PUBLIC Qt6::Core Qt6::Widgets Qt6::PrintSupport ${prefix}_core ${ARG_UI_LINKS})
    else()
        add_library(${prefix}_ui INTERFACE)
        target_link_libraries(${prefix}_ui INTERFACE ${prefix}_core ${ARG_UI_LINKS})
    endif()
endfunction()

# quillmer_test_folder(PREFIX LINKS ... GUI_LINKS ...)
#   tests/<x>/test_*.cpp    -> one core test program <prefix>
#   tests/<x>/ui/test_*.cpp -> one offscreen widget test program <prefix>_ui
function(quillmer_test_folder prefix)
    cmake_parse_arguments(ARG "" "" "LINKS;GUI_LINKS" ${ARGN})
    file(GLOB core_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(core_tests)
        quillmer_test(${prefix} SOURCES ${core_tests} LINKS ${ARG_LINKS})
    endif()
    file(GLOB ui_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/test_*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h)
    if(ui_tests)
        quillmer_test(${prefix}_ui GUI SOURCES ${ui_tests} LINKS ${ARG_LINKS} ${ARG_GUI_LINKS})
    endif()
endfunction()
