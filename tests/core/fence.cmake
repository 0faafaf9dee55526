# Passes when each probe of the core's fence fails to compile, and for the
# fence's reason: a file compiled as the core's own files are may include no
# Qt Gui or Widgets header and no header of the window libraries.
#   cmake -DFLAGS=fence_flags.cmake -DPROBES=folder -P fence.cmake
include("${FLAGS}")
set(arguments -std=c++20 -fsyntax-only)
foreach(dir ${INCLUDES})
  list(APPEND arguments "-I${dir}")
endforeach()
foreach(definition ${DEFINES})
  list(APPEND arguments "-D${definition}")
endforeach()
set(probes
    "fence_qt_widgets.cpp|tavisorn_core uses no widget"
    "fence_window_header.cpp|platform/messages\\.h")
foreach(probe ${probes})
  string(REPLACE "|" ";" parts "${probe}")
  list(GET parts 0 file)
  list(GET parts 1 reason)
  execute_process(COMMAND "${COMPILER}" ${arguments} "${PROBES}/${file}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(status EQUAL 0)
    message(FATAL_ERROR "${file} compiled: the core's fence is open.")
  endif()
  if(NOT output MATCHES "${reason}")
    message(FATAL_ERROR "${file} failed, but not at the fence:\n${output}")
  endif()
  message(STATUS "${file} stopped at the fence.")
endforeach()
