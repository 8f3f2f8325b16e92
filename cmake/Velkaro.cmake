# Helpers shared by src/, tests/ and bench/.

set(VELKARO_WARNINGS -Wall -Wextra)

# Headers nearly every translation unit parses; precompiled once per target,
# they cut the build (and CI) time by a large share.
set(VELKARO_PCH_MODEL <memory> <string> <vector> <functional> <optional> <map>
    <sigc++/sigc++.h> <glibmm/ustring.h> <pangomm/layout.h>)
set(VELKARO_PCH_GTK ${VELKARO_PCH_MODEL} <gtkmm/widget.h>)

# velkaro_library(<folder> DEPS <targets>... [PUBLIC_LIBS <imported targets>...])
# Builds every .cpp of src/<folder> into the static library velkaro_<folder>.
function(velkaro_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_LIBS;PCH" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  if(NOT sources)
    # A layer without code yet: an interface library, so that those above can link it.
    add_library(velkaro_${folder} INTERFACE)
    target_include_directories(velkaro_${folder} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(velkaro_${folder} INTERFACE ${ARG_DEPS} ${ARG_PUBLIC_LIBS})
    return()
  endif()
  add_library(velkaro_${folder} STATIC ${sources})
  target_include_directories(velkaro_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(velkaro_${folder} PRIVATE ${VELKARO_WARNINGS})
  target_compile_definitions(velkaro_${folder} PUBLIC GETTEXT_PACKAGE="velkaro")
  target_link_libraries(velkaro_${folder} PUBLIC ${ARG_DEPS} ${ARG_PUBLIC_LIBS})
  if(ARG_PCH)
    target_precompile_headers(velkaro_${folder} PRIVATE ${ARG_PCH})
  endif()
endfunction()

# velkaro_test(<folder> LIBS <targets>... [GTK] [KIT <files>...])
# Builds tests/<folder>/*.cpp with the shared test main into test_<folder>
# and registers each test case with CTest. GTK marks executables that start
# GTK when a display is present; the others run with leak detection.
# KIT names helper sources of the folder that other test folders share: they
# go into the static library velkaro_test_<folder>_kit instead, which the
# folder's tests (and any other test target) link.
function(velkaro_test folder)
  cmake_parse_arguments(ARG "GTK" "" "LIBS;KIT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(ARG_KIT)
    set(kit_sources)
    foreach(f ${ARG_KIT})
      list(APPEND kit_sources ${PROJECT_SOURCE_DIR}/tests/${folder}/${f})
    endforeach()
    list(REMOVE_ITEM sources ${kit_sources})
    add_library(velkaro_test_${folder}_kit STATIC ${kit_sources})
    target_compile_options(velkaro_test_${folder}_kit PRIVATE ${VELKARO_WARNINGS})
    target_link_libraries(velkaro_test_${folder}_kit PUBLIC ${ARG_LIBS} velkaro_test_support)
    target_precompile_headers(velkaro_test_${folder}_kit PRIVATE <gtest/gtest.h> ${VELKARO_PCH_GTK})
    list(APPEND ARG_LIBS velkaro_test_${folder}_kit)
  endif()
  if(NOT sources)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${target} PRIVATE ${VELKARO_WARNINGS})
  if(ARG_GTK)
    target_compile_definitions(${target} PRIVATE VELKARO_TEST_STARTS_GTK=1)
    set(leaks 0)
  else()
    target_compile_definitions(${target} PRIVATE VELKARO_TEST_STARTS_GTK=0)
    set(leaks 1)
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} velkaro_test_support)
  if(ARG_GTK)
    target_precompile_headers(${target} PRIVATE <gtest/gtest.h> ${VELKARO_PCH_GTK})
  else()
    target_precompile_headers(${target} PRIVATE <gtest/gtest.h> ${VELKARO_PCH_MODEL})
  endif()
  set(asan "detect_leaks=${leaks}:abort_on_error=0:halt_on_error=1:suppressions=${PROJECT_SOURCE_DIR}/tests/support/asan.supp")
  set(lsan "suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0")
  set(ubsan "print_stacktrace=1:halt_on_error=1")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120)
  # The environment is a list, and gtest_discover_tests flattens list-valued
  # properties (only the first variable would survive), so a second CTest
  # include gives it to the discovered tests once they exist.
  set(env "ASAN_OPTIONS=${asan};LSAN_OPTIONS=${lsan};UBSAN_OPTIONS=${ubsan};NO_AT_BRIDGE=1;GDK_BACKEND=x11;GSETTINGS_BACKEND=memory")
  set(env_script "${CMAKE_CURRENT_BINARY_DIR}/${target}_environment.cmake")
  file(WRITE "${env_script}"
    "if(${target}_TESTS)\n"
    "  set_tests_properties(\${${target}_TESTS} PROPERTIES ENVIRONMENT [==[${env}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${env_script}")
endfunction()

# velkaro_seq_diagram_library(): the generator of large sequence diagrams
# (bench/seq_diagram.*) that the benchmarks and the sequence tests share, as
# the static library velkaro_seq_diagram; defined by whichever asks first.
function(velkaro_seq_diagram_library)
  if(TARGET velkaro_seq_diagram)
    return()
  endif()
  add_library(velkaro_seq_diagram STATIC ${PROJECT_SOURCE_DIR}/bench/seq_diagram.cpp)
  target_include_directories(velkaro_seq_diagram PUBLIC ${PROJECT_SOURCE_DIR}/bench)
  target_compile_options(velkaro_seq_diagram PRIVATE ${VELKARO_WARNINGS})
  target_link_libraries(velkaro_seq_diagram PUBLIC velkaro_seq)
endfunction()
