# find_package(Vork): the VORK generators as build steps.
#
#   vork_add_scanner(<var> <spec.l> [OUTPUT <file>] [DEBUG] [LARGE] [SLOVAK] [OPTIONS <arg>...])
#   vork_add_parser(<var> <grammar.y> [OUTPUT <file>] [DEBUG] [TOKENS <file>] [LARGE] [SLOVAK] [OPTIONS <arg>...])
#
# Each adds a custom command that runs duq-lex or duq-yacc and sets <var>
# to the generated file (absolute, in the current binary directory unless
# OUTPUT says otherwise), ready to be listed among a target's sources.  The
# step reruns when the specification, the skeleton or the generator
# changes.  The generated C is old-style C, compiled as C++ or as C: link
# the target with Vork::compat, which adds the compatibility headers and
# the flags vork-cc uses.
#
# Also defined: the imported programs Vork::duq-lex, Vork::duq-yacc,
# Vork::jal, and VORK_CC (the path of vork-cc).

get_filename_component(_vork_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
set(VORK_DATA_DIR "${_vork_prefix}/share/vork")
set(VORK_INCLUDE_DIR "${VORK_DATA_DIR}/include")
set(VORK_CC "${_vork_prefix}/bin/vork-cc")

foreach(_vork_tool duq-lex duq-yacc jal)
  if(NOT TARGET Vork::${_vork_tool})
    add_executable(Vork::${_vork_tool} IMPORTED)
    set_target_properties(Vork::${_vork_tool} PROPERTIES IMPORTED_LOCATION "${_vork_prefix}/bin/${_vork_tool}")
  endif()
endforeach()

if(NOT TARGET Vork::compat)
  add_library(Vork::compat INTERFACE IMPORTED)
  set_target_properties(Vork::compat PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${VORK_INCLUDE_DIR}"
    # As vork-cc compiles: old C's implicit int and unsigned characters;
    # vork_oldc.h declares what old C declared implicitly.  A function of
    # implicit int that ends without return must not run off its end.  C
    # sources keep the target's own C dialect (vork-cc uses gnu89, where
    # newer compilers still take K&R code without errors).
    INTERFACE_COMPILE_OPTIONS
      "$<$<COMPILE_LANGUAGE:CXX>:-fpermissive;-funsigned-char;-w;-include;vork_oldc.h;-fsanitize=unreachable;-fsanitize-undefined-trap-on-error>;$<$<COMPILE_LANGUAGE:C>:-funsigned-char;-w;-include;vork_oldc.h>"
    INTERFACE_LINK_LIBRARIES "-pthread")
endif()

# The generator's run directory: one per output, which keeps each step's
# work files (yacc-XXXXXX.tmp, yacc-XXXXXX.act) beside its own output.
function(_vork_output_paths input default out_var dir_var)
  get_filename_component(_in "${input}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(_out "${default}")
  if(NOT IS_ABSOLUTE "${_out}")
    set(_out "${CMAKE_CURRENT_BINARY_DIR}/${_out}")
  endif()
  get_filename_component(_name "${_out}" NAME)
  set(${out_var} "${_out}" PARENT_SCOPE)
  set(_dir "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/vork_${_name}.dir")
  file(MAKE_DIRECTORY "${_dir}")
  set(${dir_var} "${_dir}" PARENT_SCOPE)
  set(_vork_input "${_in}" PARENT_SCOPE)
endfunction()

function(vork_add_scanner var spec)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "DEBUG;LARGE;SLOVAK" "OUTPUT" "OPTIONS")
  if(NOT ARG_OUTPUT)
    set(ARG_OUTPUT lexyy.cpp)
  endif()
  _vork_output_paths("${spec}" "${ARG_OUTPUT}" out dir)
  set(skeleton "${VORK_DATA_DIR}/ncform")
  set(flags ${ARG_OPTIONS})
  if(ARG_DEBUG)
    set(skeleton "${VORK_DATA_DIR}/lncform")
    list(APPEND flags --debug)
  endif()
  if(ARG_LARGE)
    list(APPEND flags --large)
  endif()
  if(ARG_SLOVAK)
    list(APPEND flags --slovak)
  endif()
  add_custom_command(OUTPUT "${out}"
    COMMAND Vork::duq-lex -o "${out}" -k "${skeleton}" ${flags} "${_vork_input}"
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    DEPENDS "${_vork_input}" "${skeleton}" Vork::duq-lex
    COMMENT "DUQ-Lex ${spec}"
    VERBATIM)
  set(${var} "${out}" PARENT_SCOPE)
endfunction()

function(vork_add_parser var grammar)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "DEBUG;LARGE;SLOVAK" "OUTPUT;TOKENS" "OPTIONS")
  get_filename_component(_base "${grammar}" NAME_WLE)
  if(NOT ARG_OUTPUT)
    set(ARG_OUTPUT "${_base}.cpp")
  endif()
  _vork_output_paths("${grammar}" "${ARG_OUTPUT}" out dir)
  set(skeleton "${VORK_DATA_DIR}/yaccpar")
  set(flags ${ARG_OPTIONS})
  set(outputs "${out}")
  if(ARG_DEBUG)
    set(skeleton "${VORK_DATA_DIR}/lyaccpar")
    if(NOT ARG_TOKENS)
      set(ARG_TOKENS "${_base}.lex")
    endif()
    if(NOT IS_ABSOLUTE "${ARG_TOKENS}")
      set(ARG_TOKENS "${CMAKE_CURRENT_BINARY_DIR}/${ARG_TOKENS}")
    endif()
    list(APPEND flags --debug --tokens "${ARG_TOKENS}")
    list(APPEND outputs "${ARG_TOKENS}")
  endif()
  if(ARG_LARGE)
    list(APPEND flags --large)
  endif()
  if(ARG_SLOVAK)
    list(APPEND flags --slovak)
  endif()
  add_custom_command(OUTPUT ${outputs}
    COMMAND Vork::duq-yacc -o "${out}" -k "${skeleton}" ${flags} "${_vork_input}"
    WORKING_DIRECTORY "${dir}"
    DEPENDS "${_vork_input}" "${skeleton}" Vork::duq-yacc
    COMMENT "DUQ-yacc ${grammar}"
    VERBATIM)
  set(${var} "${out}" PARENT_SCOPE)
endfunction()
