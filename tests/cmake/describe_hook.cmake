# The window-hook DLL that the e2e driver loads into the program to describe its
# windows (tests/e2e/describe_hook.h); built with the program's bitness.
if(WIN32 AND TARGET e2e_tests)
  add_library(kdesk_describe_hook SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/describe_hook.cpp)
  set_target_properties(kdesk_describe_hook PROPERTIES PREFIX "")
  target_link_libraries(kdesk_describe_hook PRIVATE kdesk_options user32 gdi32)
  # Undecorated export name for GetProcAddress (i686 decorates stdcall names).
  target_link_options(kdesk_describe_hook PRIVATE -static -Wl,--kill-at)
  add_dependencies(e2e_tests kdesk_describe_hook)
endif()
