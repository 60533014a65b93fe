# The DLL that the e2e tests plant beside a copy of the program as mapi32.dll
# and comctl32.dll; built with the program's bitness.
if(WIN32 AND TARGET e2e_tests)
  add_library(kdesk_planted SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/planted_dll.cpp)
  set_target_properties(kdesk_planted PROPERTIES PREFIX "")
  target_link_libraries(kdesk_planted PRIVATE kdesk_options)
  target_link_options(kdesk_planted PRIVATE -static)
  add_dependencies(e2e_tests kdesk_planted)
endif()
