# What `cmake --install` puts under the prefix, and the Debian package made from it
# (scripts/package.sh): the programs in bin/, the templates and the help page in
# share/kestrova/ (where the programs look for them, see src/data/app_home.h), the menu
# entry, its icon in the hicolor theme and the AppStream metainfo.
include(GNUInstallDirs)
set(KESTROVA_APP_ID org.kestrova.Kestrova)
set(KESTROVA_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
set(KESTROVA_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kestrova)
option(KESTROVA_PACKAGING "Insist on everything the package holds (PNG icons need rsvg-convert)" OFF)

install(TARGETS kestrova-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${KESTROVA_OUT_DIR}/templet DESTINATION ${KESTROVA_SHARE_DIR})
# GPL-3.0-or-later: the licence text goes where Debian looks for a package's terms.
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrova RENAME copyright)

configure_file(${KESTROVA_DESKTOP_DIR}/${KESTROVA_APP_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/desktop/${KESTROVA_APP_ID}.metainfo.xml @ONLY)

if(KESTROVA_GUI)
  install(TARGETS kestrova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES "${KESTROVA_OUT_DIR}/Kestrova指标解释.html" DESTINATION ${KESTROVA_SHARE_DIR})
  install(FILES ${KESTROVA_DESKTOP_DIR}/${KESTROVA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_BINARY_DIR}/desktop/${KESTROVA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${KESTROVA_DESKTOP_DIR}/${KESTROVA_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

  # The PNG sizes are drawn from the SVG at build time.
  find_program(KESTROVA_RSVG_CONVERT rsvg-convert)
  if(KESTROVA_PACKAGING AND NOT KESTROVA_RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert (Debian package librsvg2-bin) is needed to draw the package's PNG icons")
  endif()
  if(KESTROVA_RSVG_CONVERT)
    set(pngs)
    foreach(size 16 24 32 48 64 128 256)
      set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${KESTROVA_APP_ID}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${KESTROVA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${KESTROVA_DESKTOP_DIR}/${KESTROVA_APP_ID}.svg
        DEPENDS ${KESTROVA_DESKTOP_DIR}/${KESTROVA_APP_ID}.svg)
      list(APPEND pngs ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(icons ALL DEPENDS ${pngs})
  endif()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Kestrova)
set(CPACK_PACKAGE_CONTACT "Kestrova <kestrova@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "粮油仓储设施统计年报的汇总程序")
# The synopsis comes from the summary above; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "汇总单位用来保存企业年报记录、导入下级单位的上报文件、计算并导出汇总表、
生成本单位上报文件的桌面程序 kestrova，以及做同样工作的命令行程序 kestrova-cli。")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese glyphs for the windows, and a browser opener for the help page.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, xdg-utils")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
