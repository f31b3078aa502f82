# quillo_module(<name> [DEPS <targets>...])
#
# Builds the sources of the current folder into the static library <name>.
# Sources are globbed so that a new file needs no edit here; every library
# sees the repository root as its include root ("framework/graphics/Image.h").
# Modules that have no sources yet become interface libraries so that their
# dependents still link.
function(quillo_module name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    target_compile_definitions(${name} PUBLIC
      QUILLO_VERSION="${PROJECT_VERSION}")
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
  set_property(GLOBAL APPEND PROPERTY QUILLO_MODULES ${name})
endfunction()

# quillo_link_all(<target> <scope>): links every module, in a rescan group,
# because the framework's libraries call each other in both directions
# (widgets reach the application object, the application owns the widgets).
function(quillo_link_all target scope)
  get_property(mods GLOBAL PROPERTY QUILLO_MODULES)
  set(static_mods "")
  foreach(m ${mods})
    get_target_property(type ${m} TYPE)
    if(type STREQUAL "STATIC_LIBRARY")
      list(APPEND static_mods ${m})
    else()
      target_link_libraries(${target} ${scope} ${m})
    endif()
  endforeach()
  if(static_mods)
    list(JOIN static_mods "," joined)
    target_link_libraries(${target} ${scope} "$<LINK_GROUP:RESCAN,${joined}>")
  endif()
  target_link_options(${target} ${scope} -rdynamic)
endfunction()
