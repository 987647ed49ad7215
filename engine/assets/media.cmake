# Models, height-map models and sounds, and their file readers: OBJ with MTL,
# 3DS, WAV and Ogg Vorbis (through vorbisfile). A library of its own beside
# the resource manager, which builds these resources from their files.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile vorbis ogg)

add_library(engine_assets_media STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ObjReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreeDsReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WavReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OggReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/detail/TriangleMesh.cpp
)
target_link_libraries(engine_assets_media
  PUBLIC engine_render engine_resources engine_core
  PRIVATE PkgConfig::VORBISFILE)
vemmo_warnings(engine_assets_media)
