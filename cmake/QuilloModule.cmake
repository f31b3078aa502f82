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
    set_target_properties(${name} PROPERTIES LINK_INTERFACE_MULTIPLICITY 3)
    target_compile_definitions(${name} PUBLIC
      QUILLO_VERSION="${PROJECT_VERSION}")
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
  set_property(GLOBAL APPEND PROPERTY QUILLO_MODULES ${name})
endfunction()

# quillo_link_all(<target> <scope>): links every module. The framework's
# libraries call each other in both directions (widgets reach the application
# object, the application owns the widgets); such cycles are declared in the
# modules' DEPS, and the linker sees each library of a cycle repeated.
function(quillo_link_all target scope)
  get_property(mods GLOBAL PROPERTY QUILLO_MODULES)
  target_link_libraries(${target} ${scope} ${mods})
  target_link_options(${target} ${scope} -rdynamic)
endfunction()
