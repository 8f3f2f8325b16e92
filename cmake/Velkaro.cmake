# Helpers shared by src/, tests/ and bench/.

set(VELKARO_WARNINGS -Wall -Wextra)
# typeid(*ptr) of a smart pointer calls its operator*, which clang counts as
# a side effect; asking a pointed-to object its dynamic type is the intent.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  list(APPEND VELKARO_WARNINGS -Wno-potentially-evaluated-expression)
endif()

# Headers nearly every translation unit parses, precompiled. Targets with
# the same set and the same flags share one precompiled header: the first
# library that names a set builds it, the others reuse it.
set(VELKARO_PCH_MODEL <memory> <string> <vector> <functional> <optional> <map>
    <sigc++/sigc++.h> <glibmm/ustring.h> <pangomm/layout.h>)
set(VELKARO_PCH_GTK ${VELKARO_PCH_MODEL} <gtkmm/widget.h>)
# Every test target (the shared support, the kits, the executables) reuses
# the one precompiled header of velkaro_test_support.
set(VELKARO_PCH_TESTS <gtest/gtest.h> <filesystem> ${VELKARO_PCH_GTK})

# Library files that keep their own translation unit in a unity build: the
# modes and text editors each name their class `Mode` and their table
# `key_rows()` in an anonymous namespace.
set(VELKARO_UNITY_LIBS_APART "_mode\\.cpp$" "/text_editor_[a-z_]*\\.cpp$")

# velkaro_library(<folder> [NAME <name>] DEPS <targets>...
#                 [PUBLIC_LIBS <imported targets>...] [PCH <headers>...]
#                 [EXCLUDE <files>...] [SUBFOLDERS <subfolders>...])
# Builds every .cpp of src/<folder> (not of its subfolders, but those named
# in SUBFOLDERS, which split one library by concern) but the EXCLUDE files
# into the static library velkaro_<name>; the name defaults to the folder,
# and a room in a subfolder names itself (cls/route → cls_route).
# With VELKARO_UNITY_LIBS the files are compiled VELKARO_UNITY_LIBS_BATCH at
# a time as one translation unit (but those VELKARO_UNITY_LIBS_APART
# matches), so a file-local name must be unique in its room.
function(velkaro_library folder)
  cmake_parse_arguments(ARG "" "NAME" "DEPS;PUBLIC_LIBS;PCH;EXCLUDE;SUBFOLDERS" ${ARGN})
  if(ARG_NAME)
    set(name ${ARG_NAME})
  else()
    set(name ${folder})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  foreach(sub ${ARG_SUBFOLDERS})
    file(GLOB sub_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/${sub}/*.cpp)
    list(APPEND sources ${sub_sources})
  endforeach()
  foreach(f ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/src/${folder}/${f})
  endforeach()
  if(NOT sources)
    # A layer without code yet: an interface library, so that those above can link it.
    add_library(velkaro_${name} INTERFACE)
    target_include_directories(velkaro_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(velkaro_${name} INTERFACE ${ARG_DEPS} ${ARG_PUBLIC_LIBS})
    return()
  endif()
  add_library(velkaro_${name} STATIC ${sources})
  if(VELKARO_UNITY_LIBS)
    set_target_properties(velkaro_${name} PROPERTIES
      UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${VELKARO_UNITY_LIBS_BATCH})
    # g++ takes a .cpp included into the batch's file for a header, where a
    # class holding a member of a file-local type would be a fault.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(velkaro_${name} PRIVATE -Wno-subobject-linkage)
    endif()
    foreach(f ${sources})
      foreach(pattern ${VELKARO_UNITY_LIBS_APART})
        if(f MATCHES "${pattern}")
          set_source_files_properties(${f} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
        endif()
      endforeach()
    endforeach()
  endif()
  if(name IN_LIST VELKARO_CHECK_O1_ROOMS)
    target_compile_options(velkaro_${name} PRIVATE $<$<CONFIG:Check>:-O1>)
  endif()
  target_include_directories(velkaro_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(velkaro_${name} PRIVATE ${VELKARO_WARNINGS})
  target_link_libraries(velkaro_${name} PUBLIC ${ARG_DEPS} ${ARG_PUBLIC_LIBS})
  if(ARG_PCH)
    string(MD5 key "${ARG_PCH}")
    get_property(holder GLOBAL PROPERTY VELKARO_PCH_HOLDER_${key})
    if(holder)
      target_precompile_headers(velkaro_${name} REUSE_FROM ${holder})
    else()
      target_precompile_headers(velkaro_${name} PRIVATE ${ARG_PCH})
      set_property(GLOBAL PROPERTY VELKARO_PCH_HOLDER_${key} velkaro_${name})
    endif()
  endif()
endfunction()

# velkaro_test(<folder> LIBS <targets>... [GTK] [KIT <files>...])
# Builds tests/<folder>/*.cpp with the shared test main into test_<folder>;
# CTest runs each GoogleTest suite of it as one test named <folder>/<suite>
# (see cmake/VelkaroTestSuites.cmake), so new files and cases need no
# registration. With VELKARO_UNITY_TESTS the files are compiled
# VELKARO_UNITY_TESTS_BATCH at a time as one translation unit, so a file-local
# name must be unique in its folder. GTK marks executables that start GTK
# when a display is present; the others run with leak detection.
# KIT names helper sources of the folder that other test folders share: they
# go into the static library velkaro_test_<folder>_kit instead, which the
# folder's tests (and any other test target) link.
# NAME names the targets of a subfolder (cls/route → test_cls_route); the
# CTest names keep the folder (cls/route/<suite>).
function(velkaro_test folder)
  cmake_parse_arguments(ARG "GTK" "NAME" "LIBS;KIT" ${ARGN})
  if(ARG_NAME)
    set(name ${ARG_NAME})
  else()
    set(name ${folder})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(ARG_KIT)
    set(kit_sources)
    foreach(f ${ARG_KIT})
      list(APPEND kit_sources ${PROJECT_SOURCE_DIR}/tests/${folder}/${f})
    endforeach()
    list(REMOVE_ITEM sources ${kit_sources})
    add_library(velkaro_test_${name}_kit STATIC ${kit_sources})
    target_compile_options(velkaro_test_${name}_kit PRIVATE ${VELKARO_WARNINGS})
    target_link_libraries(velkaro_test_${name}_kit PUBLIC ${ARG_LIBS} velkaro_test_support)
    target_precompile_headers(velkaro_test_${name}_kit REUSE_FROM velkaro_test_support)
    list(APPEND ARG_LIBS velkaro_test_${name}_kit)
  endif()
  if(NOT sources)
    return()
  endif()
  set(target test_${name})
  add_executable(${target} ${sources})
  if(VELKARO_UNITY_TESTS)
    set_target_properties(${target} PROPERTIES
      UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${VELKARO_UNITY_TESTS_BATCH})
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${target} PRIVATE ${VELKARO_WARNINGS})
  if(ARG_GTK)
    set(main velkaro_test_main_gtk)
    set(leaks 0)
  else()
    set(main velkaro_test_main)
    set(leaks 1)
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} ${main} velkaro_test_support)
  target_precompile_headers(${target} REUSE_FROM velkaro_test_support)

  set(asan "detect_leaks=${leaks}:abort_on_error=0:halt_on_error=1:suppressions=${PROJECT_SOURCE_DIR}/tests/support/asan.supp")
  set(lsan "suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0")
  set(ubsan "print_stacktrace=1:halt_on_error=1")
  set(env "ASAN_OPTIONS=${asan};LSAN_OPTIONS=${lsan};UBSAN_OPTIONS=${ubsan};NO_AT_BRIDGE=1;GDK_BACKEND=x11;GSETTINGS_BACKEND=memory")
  # CTest reads this file before it runs: it lists the executable's suites
  # (again only when the executable changed) and adds a test for each.
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites_include.cmake")
  file(GENERATE OUTPUT "${include_file}" CONTENT
"include([==[${PROJECT_SOURCE_DIR}/cmake/VelkaroTestSuites.cmake]==])
velkaro_add_test_suites(
  FOLDER [==[${folder}]==]
  EXECUTABLE [==[$<TARGET_FILE:${target}>]==]
  WORKING_DIRECTORY [==[${CMAKE_CURRENT_BINARY_DIR}]==]
  LIST_FILE [==[${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake]==]
  TIMEOUT 900
  CMAKE [==[${CMAKE_COMMAND}]==]
  ENVIRONMENT [==[${env}]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()

# velkaro_diagram_library(<kind> <document library>): the generator of large
# diagrams of a kind (bench/<kind>_diagram.*) that the benchmarks and the
# kind's tests share, as the static library velkaro_<kind>_diagram; defined
# by whichever asks first.
function(velkaro_diagram_library kind document)
  set(target velkaro_${kind}_diagram)
  if(TARGET ${target})
    return()
  endif()
  add_library(${target} STATIC ${PROJECT_SOURCE_DIR}/bench/${kind}_diagram.cpp)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/bench)
  target_compile_options(${target} PRIVATE ${VELKARO_WARNINGS})
  target_link_libraries(${target} PUBLIC ${document})
endfunction()

# velkaro_forbid_includes(<folder> <prefix>...): a room's rule made a build
# error. Any header or source of src/<folder> (not its subfolders) that
# includes a header under one of the prefixes ("gtkmm", "ctrl/", "seq/")
# stops the configuration, naming the file and the line.
function(velkaro_forbid_includes folder)
  file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  foreach(f ${files})
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      foreach(prefix ${ARGN})
        if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]${prefix}")
          file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${f})
          message(FATAL_ERROR "${rel}: src/${folder} may not include ${prefix}: ${line}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()
