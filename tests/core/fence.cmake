# Passes when each probe of the core's fence fails to build, and for the
# fence's reason: a file compiled as the core's own files are may include no
# Qt Gui or Widgets header and no header of the window libraries.
#   cmake -DBUILD_DIR=... -P fence.cmake
set(probes
    "core_fence_qt_widgets|tavisorn_core uses no widget"
    "core_fence_window_header|platform/messages\\.h")
foreach(probe ${probes})
  string(REPLACE "|" ";" parts "${probe}")
  list(GET parts 0 target)
  list(GET parts 1 reason)
  execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target "${target}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(status EQUAL 0)
    message(FATAL_ERROR "${target} was built: the core's fence is open.")
  endif()
  if(NOT output MATCHES "${reason}")
    message(FATAL_ERROR "${target} failed, but not at the fence:\n${output}")
  endif()
  message(STATUS "${target} stopped at the fence.")
endforeach()
