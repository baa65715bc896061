# Native build-time tools for the Windows tree: the author's kit that makes the
# demo guide's files, the packing tool, the movie generator and the renderer
# the demo's screen test compares with. They come
# from a native build tree given as PROJECTOR_HOST_TOOLS_FROM (the test
# command passes the one it has just built), or else are built by the host
# compiler in a tree of their own.
set(PROJECTOR_HOST_TOOLS_FROM "" CACHE PATH
    "A built native tree whose guidekit, pack-projector, moviegen and swfrender to use")
set(host_tool_paths packaging/pack-projector tools/moviegen/moviegen tools/swfrender/swfrender tools/guidekit/guidekit)
if(PROJECTOR_HOST_TOOLS_FROM)
  set(HOST_TOOLS_DIR ${PROJECTOR_HOST_TOOLS_FROM})
  foreach(tool ${host_tool_paths})
    if(NOT EXISTS ${HOST_TOOLS_DIR}/${tool})
      message(FATAL_ERROR "PROJECTOR_HOST_TOOLS_FROM is ${HOST_TOOLS_DIR}, which has no ${tool}: build that tree first")
    endif()
  endforeach()
  add_custom_target(host_tools)
else()
  include(ExternalProject)
  set(HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host)
  ExternalProject_Add(host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${HOST_TOOLS_DIR}
    CMAKE_ARGS -DPROJECTOR_HOST_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
    # Only the tools and what they link.
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target pack-projector moviegen swfrender guidekit
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${HOST_TOOLS_DIR}/packaging/pack-projector ${HOST_TOOLS_DIR}/tools/moviegen/moviegen
                     ${HOST_TOOLS_DIR}/tools/swfrender/swfrender ${HOST_TOOLS_DIR}/tools/guidekit/guidekit)
endif()
set(HOST_PACK_TOOL ${HOST_TOOLS_DIR}/packaging/pack-projector)
set(HOST_GUIDEKIT ${HOST_TOOLS_DIR}/tools/guidekit/guidekit)

# Wine sees the Unix file system as drive Z:.
function(wine_path out path)
  string(REPLACE "/" "\\" windows_path "Z:${path}")
  set(${out} "${windows_path}" PARENT_SCOPE)
endfunction()
