# The native unit tests read the archives the ZIP writer makes back with
# Python's zipfile, a walk over the local headers and Info-ZIP's unzip
# (tests/unit/check_zip.py); under Wine neither is at hand.
if(NOT WIN32)
  target_compile_definitions(unit_tests PRIVATE KDESK_ZIP_CHECK_SCRIPT="${CMAKE_SOURCE_DIR}/tests/unit/check_zip.py")
endif()
