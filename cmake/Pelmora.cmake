# pelm_library(name folder [QT] [ROOMS]): a static library of every .cpp (and .qrc) in the folder, except
# the programs' mains (*_main.cpp); with ROOMS also of its sub-folders. An empty folder still gives a
# library, so later folders can join freely.
function(pelm_library name folder)
  set(glob GLOB)
  if("ROOMS" IN_LIST ARGN)
    set(glob GLOB_RECURSE)
  endif()
  file(${glob} sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h
       ${PROJECT_SOURCE_DIR}/${folder}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "_main\\.cpp$")
  add_library(${name} STATIC ${sources} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if("QT" IN_LIST ARGN)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON AUTOUIC OFF)
  endif()
endfunction()

# pelm_program(name main library): an executable once its main exists.
function(pelm_program name main library)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${main})
    add_executable(${name} ${PROJECT_SOURCE_DIR}/${main})
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${name} PRIVATE ${library})
  endif()
endfunction()
