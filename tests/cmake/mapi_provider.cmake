# The recording Simple MAPI provider and the tests of the mail layer that run
# through Wine's mapi32 with it registered as the default mail client.
if(WIN32)
  # NAME: the DLL's file name; DEF: the exports it offers.
  function(kdesk_add_mapi_provider name def)
    add_library(${name} SHARED ${CMAKE_SOURCE_DIR}/tests/mapi_provider/recording_provider.cpp
                ${CMAKE_SOURCE_DIR}/tests/mapi_provider/${def})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
    target_link_libraries(${name} PRIVATE kdesk_options advapi32)
    # Undecorated export names, as mapi32 looks them up (i686 decorates stdcall names).
    target_link_options(${name} PRIVATE -static -Wl,--kill-at
                        $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-Wl,--enable-stdcall-fixup>)
  endfunction()
  kdesk_add_mapi_provider(kdesk_mapi_recorder recording_provider.def)
  # Stand-ins that the mail fault tests put in the system folder as its mapi32.dll.
  kdesk_add_mapi_provider(kdesk_mapi_without_sendmailw recording_provider_without_sendmailw.def)
  kdesk_add_mapi_provider(kdesk_mapi_without_logon recording_provider_without_logon.def)

  file(GLOB MAPI_LAYER_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/mapi_provider/*_test.cpp)
  add_executable(mapi_layer_tests ${MAPI_LAYER_TEST_SOURCES}
                 ${CMAKE_SOURCE_DIR}/tests/mapi_provider/provider_setup.cpp)
  target_link_libraries(mapi_layer_tests PRIVATE kdesk_win32 kdesk_fakes ${KDESK_GTEST_MAIN})
  add_dependencies(mapi_layer_tests kdesk_mapi_recorder)
  add_test(NAME mapi_layer_tests COMMAND mapi_layer_tests)
  set_tests_properties(mapi_layer_tests PROPERTIES TIMEOUT 300 RESOURCE_LOCK wine_installation)

  # The e2e tests register the provider and read its record file.
  if(TARGET e2e_tests)
    target_sources(e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/mapi_provider/provider_setup.cpp)
    add_dependencies(e2e_tests kdesk_mapi_recorder kdesk_mapi_without_sendmailw kdesk_mapi_without_logon)
  endif()
endif()
