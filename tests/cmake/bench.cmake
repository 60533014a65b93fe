# The attachment-fill benchmark: built with the Windows builds, run by
# scripts/bench_attachments.sh, never by ctest.
if(WIN32)
  add_executable(attachment_fill_bench ${CMAKE_SOURCE_DIR}/tests/bench/attachment_fill_bench.cpp)
  target_link_libraries(attachment_fill_bench PRIVATE kdesk_win32)
  target_link_options(attachment_fill_bench PRIVATE -municode)
endif()
