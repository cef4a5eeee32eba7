# Installs the build into PREFIX and checks that every installed file is in
# its usual place.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
set(expected
  bin/kv7702-evm
  bin/kv7702-evm-sim
  share/applications/kv7702-evm.desktop
  share/applications/kv7702-evm-sim.desktop
  share/icons/hicolor/128x128/apps/kv7702-evm.png
  share/icons/hicolor/128x128/apps/kv7702-evm-sim.png
  lib/udev/rules.d/70-kv7702-evm.rules)
foreach(path ${expected})
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
foreach(program kv7702-evm kv7702-evm-sim)
  file(READ ${PREFIX}/share/applications/${program}.desktop entry)
  if(NOT entry MATCHES "\nExec=${program}\n" OR NOT entry MATCHES "\nIcon=${program}\n")
    message(FATAL_ERROR "${program}.desktop does not start ${program} with its icon")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
