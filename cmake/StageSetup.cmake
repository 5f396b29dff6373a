# Puts together what the setup program packs, in STAGE: the programs TRAY and QLARK without their
# debugging information (file times kept: the update check compares them with release dates),
# the help file HELP when the build makes one, Readme.txt for VERSION (UTF-8 with a byte order
# mark and CR LF, as Windows editors read it best), and version.txt for tools/release.
# cmake -DTRAY=... -DQLARK=... -DSTRIP=... -DREADME=... -DSTAGE=... -DVERSION=... [-DHELP=...] -P StageSetup.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
foreach(program IN ITEMS ${TRAY} ${QLARK})
  get_filename_component(name ${program} NAME)
  execute_process(COMMAND ${STRIP} --strip-debug --preserve-dates -o ${STAGE}/${name} ${program} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "strip ${program} failed")
  endif()
endforeach()

file(READ ${README} text)
string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
if(HELP)
  if(NOT EXISTS ${HELP})
    message(FATAL_ERROR "The build has a help target but made no ${HELP}")
  endif()
  file(COPY_FILE ${HELP} ${STAGE}/QlkTray.chm)
else()
  # No help file in this build yet: the readme does not promise one.
  string(REGEX REPLACE "\n[^\n]*QlkTray\\.chm[^\n]*" "" text "${text}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE ${STAGE}/Readme.txt "${bom}${text}")
file(WRITE ${STAGE}/version.txt "${VERSION}\n")
