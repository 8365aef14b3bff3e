# Compile settings for our own targets (not for OpenSSL or GoogleTest).
function(vantreth_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${VANTRETH_GENERATED_DIR})
  if(VANTRETH_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(VANTRETH_HARDENED)
    # Trapping needs no sanitizer runtime, so the program still imports only system DLLs.
    set(hardening -fsanitize=undefined -fsanitize-undefined-trap-on-error -fstack-protector-strong)
    target_compile_options(${target} PRIVATE ${hardening} -D_FORTIFY_SOURCE=2)
    target_link_options(${target} PRIVATE ${hardening})
  endif()
  if(WIN32)
    # Shipped hardened: stack canaries and checked libc calls (both from the
    # static libssp, so still only system DLLs). One section per function and
    # datum, so that the program's link can drop what it does not use.
    target_compile_options(${target} PRIVATE -fstack-protector-strong -ffunction-sections -fdata-sections
      $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    # The system's own printf family: ours formats no floating point, and the C99 one that
    # libstdc++ asks for by default brings 25 KB of it.
    target_compile_definitions(${target} PRIVATE __USE_MINGW_ANSI_STDIO=0)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -fstack-protector-strong)
  endif()
endfunction()

# Nothing of ours throws or is thrown through: the Windows image's code needs no unwind tables
# (about 9 KB of them).
function(vantreth_no_unwind target)
  if(WIN32)
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-asynchronous-unwind-tables)
  endif()
endfunction()

# The program's size counts where its speed does not: everything but the step loop. Only for
# the Windows image, which ships.
function(vantreth_small target)
  vantreth_no_unwind(${target})
  if(WIN32)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os>)
  endif()
endfunction()
