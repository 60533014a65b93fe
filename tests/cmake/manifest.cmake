# KdeskSupport.exe carries exactly one manifest, its own, also when the
# toolchain would add its own (cmake/no-default-manifest.cmake), and the
# terminal-server-aware flag. Needs Python's pefile (Debian: python3-pefile,
# installed by scripts/bootstrap.sh).
if(WIN32)
  find_program(KDESK_PEFILE_PYTHON NAMES python3 HINTS /usr/bin)
  add_test(NAME manifest
           COMMAND ${KDESK_PEFILE_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/scripts/manifest_test.py
                   $<TARGET_FILE:KdeskSupport> ${CMAKE_C_COMPILER} ${CMAKE_RC_COMPILER}
                   "$<TARGET_PROPERTY:KdeskSupport,LINK_OPTIONS>"
           COMMAND_EXPAND_LISTS)
endif()
