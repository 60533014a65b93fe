# The stand-in mail program that the e2e tests register for .eml files, and the
# check of the drafts they caught, by Python's email package, after them all.
if(WIN32 AND TARGET e2e_tests)
  add_executable(kdesk_eml_catcher WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/eml_catcher.cpp)
  target_link_libraries(kdesk_eml_catcher PRIVATE kdesk_options shell32)
  target_link_options(kdesk_eml_catcher PRIVATE -municode)
  add_dependencies(e2e_tests kdesk_eml_catcher)

  add_test(NAME draft_mime_check
           COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/e2e/check_drafts.py ${CMAKE_BINARY_DIR}/drafts)
  set_tests_properties(draft_mime_check PROPERTIES FIXTURES_REQUIRED e2e_drafts)
endif()
