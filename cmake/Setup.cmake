# The setup program QlkTraySetup.exe, made with NSIS (makensis, Debian's nsis package).
find_program(QLK_MAKENSIS makensis)
if(NOT QLK_MAKENSIS)
  message(FATAL_ERROR "makensis not found: tools/setup installs the nsis package")
endif()

# qlk_setup(TARGET TRAY QLARK VERSION DIR [ALL]): DIR/QlkTraySetup.exe for VERSION, packing the
# programs of the targets TRAY and QLARK, staged in DIR/setup.
function(qlk_setup target tray qlark version dir)
  set(stage ${dir}/setup)
  set(out ${dir}/QlkTraySetup.exe)
  set(nsi ${CMAKE_SOURCE_DIR}/src/setup/QlkTraySetup.nsi)
  set(readme ${CMAKE_SOURCE_DIR}/src/setup/Readme.txt)
  set(icon ${CMAKE_SOURCE_DIR}/src/win32/res/QlkTray.ico)
  set(stage_args -DTRAY=$<TARGET_FILE:${tray}> -DQLARK=$<TARGET_FILE:${qlark}> -DSTRIP=${CMAKE_STRIP}
    -DREADME=${readme} -DSTAGE=${stage} -DVERSION=${version})
  set(nsis_args -DVERSION=${version} -DSTAGE=${stage} -DOUTFILE=${out} -DICON=${icon})
  set(deps ${tray} ${qlark} ${nsi} ${readme} ${icon} ${CMAKE_SOURCE_DIR}/cmake/StageSetup.cmake)
  # The help file (QlkTray.chm in the build folder) is packed from the day its target exists.
  if(TARGET QlkTrayHelp)
    list(APPEND stage_args -DHELP=${CMAKE_BINARY_DIR}/QlkTray.chm)
    list(APPEND nsis_args -DHELPFILE)
    list(APPEND deps QlkTrayHelp)
  endif()
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} ${stage_args} -P ${CMAKE_SOURCE_DIR}/cmake/StageSetup.cmake
    COMMAND ${QLK_MAKENSIS} -V2 -INPUTCHARSET UTF8 ${nsis_args} ${nsi}
    DEPENDS ${deps}
    COMMENT "Setup program ${out}"
    VERBATIM)
  if(ARGN STREQUAL "ALL")
    add_custom_target(${target} ALL DEPENDS ${out})
  else()
    add_custom_target(${target} DEPENDS ${out})
  endif()
endfunction()
