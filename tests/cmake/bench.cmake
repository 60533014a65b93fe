# Benchmarks: built with the Windows builds, run by scripts/bench.sh, never by ctest.
#  - attachment_fill_bench: FillAttachmentList against the bare enumeration;
#  - startup_bench: process start to first visible window, and peak working set,
#    of KdeskSupport.exe against minimal_window, a minimal Win32 window program,
#    and required_work_window, which makes the start-up's system calls and
#    shows a plain window of the main window's size, and required_work_controls,
#    the same with the main window's controls made by the program's own code;
#    with --pending, the program with 20 messages waiting against none;
#  - startup_stages: the program's start-up with a time stamp at each stage and
#    each window created, for the breakdown (scripts/bench.sh --stages);
#  - draft_bench: a draft with 50 MB of attachments against copying the files;
#  - zip_bench: the mail's ZIP archive of 50 MB of log text against zlib's deflate alone;
#  - upload_bench: a message with 20 MB of attachments uploaded to the local drop
#    box (scripts/bench_upload.sh compares it with curl -T of the same bytes).
if(WIN32)
  add_executable(attachment_fill_bench ${CMAKE_SOURCE_DIR}/tests/bench/attachment_fill_bench.cpp)
  target_link_libraries(attachment_fill_bench PRIVATE kdesk_windows)
  target_link_options(attachment_fill_bench PRIVATE -municode)

  add_executable(draft_bench ${CMAKE_SOURCE_DIR}/tests/bench/draft_bench.cpp)
  target_link_libraries(draft_bench PRIVATE kdesk_win32 psapi)
  target_link_options(draft_bench PRIVATE -municode)

  add_executable(zip_bench ${CMAKE_SOURCE_DIR}/tests/bench/zip_bench.cpp)
  target_link_libraries(zip_bench PRIVATE kdesk_win32 psapi)
  target_link_options(zip_bench PRIVATE -municode)

  add_executable(upload_bench ${CMAKE_SOURCE_DIR}/tests/bench/upload_bench.cpp)
  target_link_libraries(upload_bench PRIVATE kdesk_win32 psapi crypt32)
  target_link_options(upload_bench PRIVATE -municode)

  add_executable(minimal_window WIN32 ${CMAKE_SOURCE_DIR}/tests/bench/minimal_window.cpp)
  target_link_libraries(minimal_window PRIVATE kdesk_options)
  target_link_options(minimal_window PRIVATE -municode)

  add_executable(required_work_window WIN32 ${CMAKE_SOURCE_DIR}/tests/bench/required_work_window.cpp)
  target_link_libraries(required_work_window PRIVATE kdesk_options shell32)
  target_link_options(required_work_window PRIVATE -municode)
  kdesk_link_without_default_manifest(required_work_window)

  # With the program's manifest, so that both pay for Common Controls 6 alike.
  add_executable(required_work_controls WIN32 ${CMAKE_SOURCE_DIR}/tests/bench/required_work_window.cpp
                 ${CMAKE_SOURCE_DIR}/resources/manifest.rc)
  target_compile_definitions(required_work_controls PRIVATE KDESK_WITH_MAIN_CONTROLS)
  target_link_libraries(required_work_controls PRIVATE kdesk_windows kdesk_options shell32)
  target_link_options(required_work_controls PRIVATE -municode)
  kdesk_link_without_default_manifest(required_work_controls)

  add_executable(startup_stages WIN32 ${CMAKE_SOURCE_DIR}/tests/bench/startup_stages.cpp
                 ${CMAKE_SOURCE_DIR}/resources/kdesk.rc)
  target_link_libraries(startup_stages PRIVATE kdesk_windows)
  target_link_options(startup_stages PRIVATE -municode)
  kdesk_link_without_default_manifest(startup_stages)

  add_executable(startup_bench ${CMAKE_SOURCE_DIR}/tests/bench/startup_bench.cpp
                 ${CMAKE_SOURCE_DIR}/tests/bench/waiting_messages.cpp)
  target_link_libraries(startup_bench PRIVATE kdesk_win32 psapi)
  target_link_options(startup_bench PRIVATE -municode)
  # Benchmarks measure release code.
  target_compile_options(attachment_fill_bench PRIVATE -O2)
  target_compile_options(minimal_window PRIVATE -O2)
  target_compile_options(required_work_window PRIVATE -O2)
  target_compile_options(required_work_controls PRIVATE -O2)
  target_compile_options(startup_bench PRIVATE -O2)
  target_compile_options(startup_stages PRIVATE -O2)
  target_compile_options(draft_bench PRIVATE -O2)
  target_compile_options(zip_bench PRIVATE -O2)
  target_compile_options(upload_bench PRIVATE -O2)
endif()
