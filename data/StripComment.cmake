# Run by CPack on the staged files before it packs them: strip has taken the
# symbols but left the compilers' version notes in the .comment section,
# which Debian's own packages leave out as well.
file(GLOB programs ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*)
foreach(program ${programs})
  execute_process(COMMAND ${CPACK_WELLENSCHAU_STRIP} --remove-section=.comment ${program}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
