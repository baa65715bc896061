# What is handed out carries no debug sections: after linking, a target's
# debug information moves to <file>.debug beside it (for developers and
# debuggers, found through a .gnu_debuglink section) and the file itself is
# stripped.
function(strip_debug_info target)
  if(NOT WIN32)
    return()
  endif()
  find_program(MINGW_OBJCOPY NAMES x86_64-w64-mingw32-objcopy REQUIRED)
  find_program(MINGW_STRIP NAMES x86_64-w64-mingw32-strip REQUIRED)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${MINGW_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${MINGW_STRIP} --strip-all $<TARGET_FILE:${target}>
    COMMAND ${MINGW_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Moving ${target}'s debug information to its .debug file"
    VERBATIM)
endfunction()
