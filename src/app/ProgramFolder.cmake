# Brings the build's program folder up to date: skins and help page (its version filled in)
# copied, the default "Vorla.ini" only where none exists, since the program rewrites it when it
# ends.
file(MAKE_DIRECTORY ${PROGRAM_DIR})
if(EXISTS ${SOURCE}/skins)
  file(COPY ${SOURCE}/skins DESTINATION ${PROGRAM_DIR})
endif()
if(EXISTS ${HELP_PAGE})
  file(COPY ${HELP_PAGE} DESTINATION ${PROGRAM_DIR})
endif()
if(NOT EXISTS ${PROGRAM_DIR}/Vorla.ini)
  file(COPY_FILE ${DEFAULT_INI} ${PROGRAM_DIR}/Vorla.ini)
endif()
