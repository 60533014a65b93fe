# The scheduled task's read-back through the Task Scheduler's interface, for
# the contract test and the e2e cases (test programs may import ole32).
if(WIN32)
  target_sources(contract_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e/scheduled_task.cpp)
  target_link_libraries(contract_tests PRIVATE ole32 oleaut32)
  target_link_libraries(e2e_tests PRIVATE kdesk_win32 ole32 oleaut32)
endif()
