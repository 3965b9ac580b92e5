# nlohmann-json and CLI11 are header-only, so Debian's packages serve a
# Windows build as well as a Linux one. Their CMake files, though, point the
# compiler at /usr/include, whose C library headers (glibc) would come before
# MinGW's own. So the cross build sees them through a folder of its own that
# holds links to those two packages and nothing else; the packages' own CMake
# files, found there, take that folder as their prefix.
set(_forstrix_host_headers ${PROJECT_BINARY_DIR}/header-only)
foreach(link IN ITEMS include/nlohmann include/CLI share/cmake/nlohmann_json share/cmake/CLI11)
  set(_target /usr/${link})
  if(NOT EXISTS ${_target})
    message(FATAL_ERROR "${_target} is missing (scripts/install-deps installs nlohmann-json3-dev and libcli11-dev)")
  endif()
  get_filename_component(_parent ${_forstrix_host_headers}/${link} DIRECTORY)
  file(MAKE_DIRECTORY ${_parent})
  if(NOT EXISTS ${_forstrix_host_headers}/${link})
    file(CREATE_LINK ${_target} ${_forstrix_host_headers}/${link} SYMBOLIC)
  endif()
endforeach()
set(nlohmann_json_DIR ${_forstrix_host_headers}/share/cmake/nlohmann_json CACHE PATH
    "nlohmann-json's CMake files, seen from the cross build" FORCE)
set(CLI11_DIR ${_forstrix_host_headers}/share/cmake/CLI11 CACHE PATH
    "CLI11's CMake files, seen from the cross build" FORCE)
