# Manual pages made at build time from the programs' own --help and --version (help2man), so
# that they never tell other options than the programs take. Installed gzipped, as Debian wants.
find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
  message(WARNING "help2man not found: the manual pages are not made (scripts/deps.sh installs it)")
endif()

# mervane_manual_page(TARGET "what it is" [ENV NAME=VALUE...]): TARGET.1.gz in the build
# folder, made after TARGET and installed in share/man/man1.
function(mervane_manual_page target name)
  if(NOT HELP2MAN)
    return()
  endif()
  cmake_parse_arguments(PAGE "" "" "ENV" ${ARGN})
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  # A sanitizer build's program must not report its own leaks into the page.
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${PAGE_ENV}
            ${HELP2MAN} --no-info --section=1 --name=${name} --output=${page}
            $<TARGET_FILE:${target}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${target}
    COMMENT "Manual page of ${target}"
    VERBATIM)
  add_custom_target(${target}_manual_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION share/man/man1)
endfunction()
