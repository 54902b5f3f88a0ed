# The layer check: a static library leaves an undefined reference for the program to fill, so a
# call from a layer into one above it would link as long as some program links both. Here each
# layer's every object is linked into an empty program with nothing but the layers that the
# library itself links: a call that runs back up fails the build as an undefined reference.
# (Includes that run back up without a call are caught by LayerIncludes.cmake, run by ctest.)
set(_layer_check_main ${CMAKE_BINARY_DIR}/layer_check_main.cpp)
file(CONFIGURE OUTPUT ${_layer_check_main} CONTENT "int main() { return 0; }\n")

function(pelorin_layer_check lib)
  add_executable(${lib}_layer_check ${_layer_check_main})
  target_link_libraries(${lib}_layer_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
endfunction()
