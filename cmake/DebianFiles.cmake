# Run by CPack after it has installed the game into its staging folder and
# before it builds the .deb: adds what Debian asks of every package beyond
# the installed files (lintian checks them). Everything is compressed with
# gzip -9n, so the same files give the same package.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${root}/share/doc/spindrel)

function(gzip_into source target)
  execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${target} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "DebianFiles: gzip ${source} failed")
  endif()
endfunction()

# A Debian game's program lives in /usr/games. It is one folder below /usr
# as bin is, so the paths to the data and the viewer hold as they are.
if(EXISTS ${root}/bin/spindrel)
  file(MAKE_DIRECTORY ${root}/games)
  file(RENAME ${root}/bin/spindrel ${root}/games/spindrel)
  file(GLOB left ${root}/bin/*)
  if(NOT left)
    file(REMOVE_RECURSE ${root}/bin)
  endif()
elseif(NOT EXISTS ${root}/games/spindrel)
  message(FATAL_ERROR "DebianFiles: no staged game under ${root}")
endif()

file(COPY ${CPACK_SPINDREL_DIST_DIR}/copyright DESTINATION ${doc})
gzip_into(${CPACK_SPINDREL_DIST_DIR}/changelog ${doc}/changelog.gz)
file(GLOB manuals ${root}/share/man/man*/*.[0-9])
foreach(manual ${manuals})
  gzip_into(${manual} ${manual}.gz)
  file(REMOVE ${manual})
endforeach()
