# Passes when the program named by PROGRAM loads Qt Core and no Qt Gui or
# Qt Widgets library.
#   cmake -DPROGRAM=... -P links.cmake
execute_process(COMMAND ldd "${PROGRAM}" RESULT_VARIABLE status OUTPUT_VARIABLE libraries ERROR_VARIABLE libraries)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd failed on ${PROGRAM}:\n${libraries}")
endif()
if(NOT libraries MATCHES "libQt6Core")
  message(FATAL_ERROR "${PROGRAM} does not load Qt Core:\n${libraries}")
endif()
if(libraries MATCHES "libQt6(Gui|Widgets|OpenGL)")
  message(FATAL_ERROR "${PROGRAM} loads window libraries:\n${libraries}")
endif()
