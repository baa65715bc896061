# Native build-time tools (packing tool, generators) for the Windows tree,
# built by the host compiler in a tree of their own.
include(ExternalProject)
set(HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host)
ExternalProject_Add(host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${HOST_TOOLS_DIR}
  CMAKE_ARGS -DPROJECTOR_HOST_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${HOST_TOOLS_DIR}/packaging/pack-projector ${HOST_TOOLS_DIR}/tools/moviegen/moviegen)
set(HOST_PACK_TOOL ${HOST_TOOLS_DIR}/packaging/pack-projector)

# Wine sees the Unix file system as drive Z:.
function(wine_path out path)
  string(REPLACE "/" "\\" windows_path "Z:${path}")
  set(${out} "${windows_path}" PARENT_SCOPE)
endfunction()
