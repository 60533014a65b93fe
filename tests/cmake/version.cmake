# Version resources: the test image builder for the unit tests; in the MinGW
# build, executables with chosen version resources read through both the
# portable reader and version.dll, and a cross-check over the Wine prefix's
# system folder.
target_sources(unit_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/version/pe_image_builder.cpp)

if(WIN32)
  set(KDESK_VERSION_DIR ${CMAKE_CURRENT_SOURCE_DIR}/version)
  file(GLOB KDESK_VERSION_RESOURCES CONFIGURE_DEPENDS ${KDESK_VERSION_DIR}/*.rc)
  set(KDESK_VERSION_EXES)
  foreach(rc IN LISTS KDESK_VERSION_RESOURCES)
    get_filename_component(name ${rc} NAME_WE)
    add_executable(verres_${name} ${KDESK_VERSION_DIR}/resource_holder.c ${rc})
    list(APPEND KDESK_VERSION_EXES verres_${name})
  endforeach()

  add_executable(version_resources_test ${KDESK_VERSION_DIR}/version_resources_test.cpp
                 ${KDESK_VERSION_DIR}/both_readers.cpp ${KDESK_VERSION_DIR}/system_facts.cpp)
  target_link_libraries(version_resources_test PRIVATE kdesk_win32 kdesk_fakes ${KDESK_GTEST_MAIN})
  add_dependencies(version_resources_test ${KDESK_VERSION_EXES})
  add_test(NAME version_resources COMMAND version_resources_test)
  set_tests_properties(version_resources PROPERTIES TIMEOUT 300)

  add_executable(version_system_crosscheck ${KDESK_VERSION_DIR}/system_crosscheck.cpp
                 ${KDESK_VERSION_DIR}/both_readers.cpp ${KDESK_VERSION_DIR}/system_facts.cpp)
  target_link_libraries(version_system_crosscheck PRIVATE kdesk_win32 kdesk_fakes)
  target_link_options(version_system_crosscheck PRIVATE -municode)
  add_test(NAME version_system_crosscheck COMMAND version_system_crosscheck)
  set_tests_properties(version_system_crosscheck PROPERTIES TIMEOUT 300)
endif()

# The fuzz seeds include small PE files linked from the test resources.
if(WIN32)
  set(KDESK_VERSION_SEEDS "Z:${CMAKE_SOURCE_DIR}/tests/fuzz/corpus")  # as Wine sees the source tree
else()
  set(KDESK_VERSION_SEEDS "${CMAKE_SOURCE_DIR}/tests/fuzz/corpus")
endif()
set_property(SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/unit/version_windres_test.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS KDESK_VERSION_SEEDS="${KDESK_VERSION_SEEDS}")
