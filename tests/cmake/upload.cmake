# The servers of the upload's e2e tests (nginx's drop box and the misbehaving
# ones), started once around the e2e tests as a fixture; and the tool that
# prepares the demo's prefix for uploads.
if(WIN32 AND TARGET e2e_tests)
  target_link_libraries(e2e_tests PRIVATE crypt32)

  add_executable(kdesk_upload_prefix ${CMAKE_SOURCE_DIR}/tests/upload/upload_prefix_tool.cpp
                                     ${CMAKE_SOURCE_DIR}/tests/e2e/upload_prefix.cpp)
  target_link_libraries(kdesk_upload_prefix PRIVATE kdesk_options crypt32 advapi32)
  target_link_options(kdesk_upload_prefix PRIVATE -municode)

  set(KDESK_UPLOAD_SERVERS ${CMAKE_BINARY_DIR}/upload-servers)
  add_test(NAME upload_servers_start
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/upload/servers.sh start ${KDESK_UPLOAD_SERVERS})
  add_test(NAME upload_servers_stop
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/upload/servers.sh stop ${KDESK_UPLOAD_SERVERS})
  set_tests_properties(upload_servers_start PROPERTIES FIXTURES_SETUP upload_servers TIMEOUT 60)
  set_tests_properties(upload_servers_stop PROPERTIES FIXTURES_CLEANUP upload_servers TIMEOUT 60)

  # The messages the e2e tests uploaded, read by Python's mailbox and email packages after them all.
  add_test(NAME upload_message_check
           COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/e2e/check_uploads.py ${KDESK_UPLOAD_SERVERS}/inbox/Maildir
                   ${KDESK_UPLOAD_SERVERS}/expected ${KDESK_SUPPORT_MAILBOX})
  set_tests_properties(upload_message_check PROPERTIES FIXTURES_REQUIRED "e2e_drafts;upload_servers")
endif()
