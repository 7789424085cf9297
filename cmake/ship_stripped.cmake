# A shipped program goes out without its symbol table and debug information (about 60 % of
# an unstripped file). They stay beside the build in PROGRAM.exe.debug, for reading crash
# addresses: i686-w64-mingw32-nm -nC Tavrik.exe.debug lists the functions by address.
function(ship_stripped target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}>
            $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
