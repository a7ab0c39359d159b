# Writes OUTPUT with the build id: VORK_BUILD_ID when it is set (a
# distribution's own), otherwise the commit of the source tree, with
# "-dirty" when it has changes.  Run at every build; the file is rewritten
# only when the id changed, so nothing recompiles for nothing.
set(id "${VORK_BUILD_ID}")
if(id STREQUAL "")
  execute_process(COMMAND git -C "${SOURCE_DIR}" describe --always --dirty --abbrev=12
                  OUTPUT_VARIABLE id ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(id STREQUAL "")
  set(id "unknown")
endif()
string(REPLACE "\\" "\\\\" id "${id}")
string(REPLACE "\"" "\\\"" id "${id}")
file(WRITE "${OUTPUT}.new" "#define VORK_BUILD_ID \"${id}\"\n")
configure_file("${OUTPUT}.new" "${OUTPUT}" COPYONLY)
