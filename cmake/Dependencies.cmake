# Finds the Debian packages the project builds against and makes imported targets for them.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_IMAGE REQUIRED IMPORTED_TARGET SDL2_image)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
find_package(Boost 1.74 REQUIRED COMPONENTS serialization)
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)

# Debian ships Dear ImGui as one static library with every backend; its pkg-config file needs stb's.
find_library(IMGUI_LIBRARY NAMES libimgui.a imgui REQUIRED)
find_path(IMGUI_INCLUDE_DIR imgui.h PATH_SUFFIXES imgui REQUIRED)
find_library(STB_LIBRARY NAMES stb REQUIRED)
add_library(imgui_lib INTERFACE)
target_include_directories(imgui_lib SYSTEM INTERFACE ${IMGUI_INCLUDE_DIR} ${IMGUI_INCLUDE_DIR}/backends)
target_link_libraries(imgui_lib INTERFACE ${IMGUI_LIBRARY} ${STB_LIBRARY} PkgConfig::SDL2 ${CMAKE_DL_LIBS})

# The OpenGL 4.3 core loader, generated into the build tree from the API registry files that glad ships.
find_program(GLAD_EXECUTABLE glad REQUIRED)
set(GLAD_OUT ${CMAKE_BINARY_DIR}/glad)
if(NOT EXISTS ${GLAD_OUT}/src/gl.c)
  execute_process(
    COMMAND ${GLAD_EXECUTABLE} --quiet --api gl:core=4.3 --reproducible --out-path ${GLAD_OUT} c
    RESULT_VARIABLE glad_result OUTPUT_QUIET ERROR_QUIET)
  if(NOT glad_result EQUAL 0 OR NOT EXISTS ${GLAD_OUT}/src/gl.c)
    message(FATAL_ERROR "glad could not generate the OpenGL loader")
  endif()
endif()
add_library(glad STATIC ${GLAD_OUT}/src/gl.c)
target_include_directories(glad SYSTEM PUBLIC ${GLAD_OUT}/include)
target_link_libraries(glad PUBLIC ${CMAKE_DL_LIBS})
set_target_properties(glad PROPERTIES POSITION_INDEPENDENT_CODE ON)
