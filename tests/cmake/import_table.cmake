# KdeskSupport.exe imports only KnownDLLs, which Windows never takes from the
# program's folder. Needs Python's pefile (Debian: python3-pefile).
if(WIN32)
  find_program(KDESK_PEFILE_PYTHON NAMES python3 HINTS /usr/bin)
  add_test(NAME import_table
           COMMAND ${KDESK_PEFILE_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/scripts/import_table_test.py
                   $<TARGET_FILE:KdeskSupport>)
endif()
