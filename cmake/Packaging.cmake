# Install rules and CPack for 青禾抽签. Included at the end of the top-level
# CMakeLists.txt, after the `qinghe` target exists.
#
#   Linux:   cmake --install build --prefix /usr/local      (or: cpack -G DEB / -G TGZ)
#            bin/qinghe
#            share/qinghe/instructions.html        (found through ../share/qinghe/)
#            share/applications/qinghe.desktop
#            share/icons/hicolor/{256x256,48x48}/apps/qinghe.png
#   Windows: a flat folder, zipped by `cpack -G ZIP` into a portable build:
#            qinghe.exe, instructions.html, 名单.txt (a sample roster, GBK),
#            使用说明.txt, 许可证\ (the licence notices). Against a static Qt
#            (scripts/windows.sh) qinghe.exe is the whole program: Qt, its
#            plugins, Qt's Chinese catalog and the MinGW runtime are linked in.
#            Against a shared Qt windeployqt (or, cross-built with MinGW, the
#            same laid out here) adds the Qt DLLs and plugins beside it.
#   macOS:   qinghe.app, instructions.html in Contents/Resources
#
# Only the program is installed: tests and benchmarks have no install rules.

if(NOT TARGET qinghe)
  message(FATAL_ERROR "Packaging.cmake must be included after the qinghe target is defined")
endif()

set(QH_INSTRUCTIONS ${PROJECT_SOURCE_DIR}/resources/instructions.html)

set(QH_PRODUCT_NAME "青禾抽签")
set(QH_VENDOR "明溪工坊")
set(QH_CONTACT "qinghe@mingxi.example")
set(QH_COPYRIGHT "版权所有 © 2026 ${QH_VENDOR}")
set(QH_COPYRIGHT_EN "Copyright © 2026 ${QH_VENDOR}")

if(WIN32)
  # The manifest, the icon in Explorer and the taskbar (16 to 256 px, drawn by
  # scripts/make-artwork.sh), and the version block of Properties.
  set(QH_WIN_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/qinghe.ico)
  set(QH_WIN_MANIFEST ${PROJECT_BINARY_DIR}/qinghe.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/qinghe.manifest.in ${QH_WIN_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/qinghe.rc.in
                 ${PROJECT_BINARY_DIR}/qinghe.rc @ONLY)
  target_sources(qinghe PRIVATE ${PROJECT_BINARY_DIR}/qinghe.rc)
  # windres does not see the manifest and the icon as the .rc's dependencies.
  set_property(SOURCE ${PROJECT_BINARY_DIR}/qinghe.rc APPEND PROPERTY OBJECT_DEPENDS
               ${QH_WIN_MANIFEST} ${QH_WIN_ICON})

  # Everything sits in one folder beside qinghe.exe, so the unzipped folder runs
  # from anywhere (a USB stick, a PC that restores itself at every reboot).
  install(TARGETS qinghe RUNTIME DESTINATION .)
  install(FILES ${QH_INSTRUCTIONS} DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/examples/名单.txt ${PROJECT_SOURCE_DIR}/packaging/windows/使用说明.txt
          DESTINATION .)
  # The licence notices of the build from Linux (scripts/windows.sh): ours
  # and Qt's (the contact and version filled in), the LGPL-3 and the GPL-3 it
  # builds on, and the copyright files of the Debian packages whose code is
  # linked in: qtbase (with the third-party code inside it), the GCC runtime
  # (with its runtime library exception), the MinGW-w64 runtime and winpthreads.
  if(MINGW AND CMAKE_CROSSCOMPILING)
    set(_qh_notices ${PROJECT_BINARY_DIR}/licenses)
    foreach(_n 青禾抽签.txt Qt.txt)
      configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/licenses/${_n} ${_qh_notices}/${_n} @ONLY
                     NEWLINE_STYLE CRLF)
    endforeach()
    foreach(_pair "LGPL-3.txt=/usr/share/common-licenses/LGPL-3"
                  "GPL-3.txt=/usr/share/common-licenses/GPL-3"
                  "Qt-copyright.txt=/usr/share/doc/libqt6core6/copyright"
                  "MinGW-GCC-runtime.txt=/usr/share/doc/gcc-mingw-w64-base/copyright"
                  "MinGW-w64.txt=/usr/share/doc/mingw-w64-x86-64-dev/copyright")
      string(REPLACE "=" ";" _pair "${_pair}")
      list(GET _pair 0 _to)
      list(GET _pair 1 _from)
      if(NOT EXISTS ${_from})
        message(FATAL_ERROR "licence text ${_from} not found (Debian packages base-files, libqt6core6, "
                            "gcc-mingw-w64-base, mingw-w64-x86-64-dev)")
      endif()
      configure_file(${_from} ${_qh_notices}/${_to} COPYONLY)
    endforeach()
    install(DIRECTORY ${_qh_notices}/ DESTINATION 许可证)
  endif()

  get_target_property(_qh_qt_type Qt6::Core TYPE)
  if(MINGW AND _qh_qt_type STREQUAL "STATIC_LIBRARY")
    set(QH_ONE_FILE ON)
  endif()
  # Qt's Chinese catalog, compiled into the one file or laid beside a
  # cross-built program. It is the same file on every system: the host Qt's
  # (package qt6-translations-l10n) serves.
  if(QH_ONE_FILE OR (MINGW AND CMAKE_CROSSCOMPILING))
    find_file(QH_QTBASE_ZH_CN qtbase_zh_CN.qm
              HINTS ${QT_HOST_PATH}/share/qt6/translations ${QT6_INSTALL_PREFIX}/translations
              NO_CMAKE_FIND_ROOT_PATH)
    if(NOT QH_QTBASE_ZH_CN)
      message(FATAL_ERROR "qtbase_zh_CN.qm not found (package qt6-translations-l10n)")
    endif()
  endif()
endif()

if(QH_ONE_FILE)
  # One file that runs wherever it is copied: the MinGW runtime linked in
  # (-static), Windows' own DLLs its only imports (scripts/check-win-exe.py).
  # Of a static Qt's plugins only what the program uses: the windows platform
  # and its style, JPEG and ICO for the photo and the corner icon (PNG is
  # built into Qt). Qt's Chinese texts (message box buttons, context menus)
  # as a resource, where installTranslations() looks after the folder beside
  # the program. The start-up benchmark is linked the same way, so it measures
  # this program (bench/wine_startup.sh).
  get_filename_component(_qh_qm_dir ${QH_QTBASE_ZH_CN} DIRECTORY)
  foreach(_target qinghe bench_startup_ours)
    if(NOT TARGET ${_target})
      continue()
    endif()
    target_link_options(${_target} PRIVATE -static)
    qt_import_plugins(${_target}
      INCLUDE_BY_TYPE platforms Qt6::QWindowsIntegrationPlugin
      INCLUDE_BY_TYPE styles Qt6::QWindowsVistaStylePlugin
      INCLUDE_BY_TYPE imageformats Qt6::QJpegPlugin Qt6::QICOPlugin)
    qt_add_resources(${_target} qt_catalog PREFIX /translations BASE ${_qh_qm_dir} FILES ${QH_QTBASE_ZH_CN})
  endforeach()
  if(TARGET bench_startup_ours)
    target_sources(bench_startup_ours PRIVATE ${PROJECT_BINARY_DIR}/qinghe.rc)
  endif()
elseif(WIN32)
  # The compiler's runtime DLLs. MSVC: copied next to the exe (app-local), so
  # no vc_redist installer is needed on the classroom PC; the UCRT is part of
  # Windows 10 and later, the oldest Windows Qt 6 runs on. MinGW: windeployqt
  # copies libgcc/libstdc++/libwinpthread itself (below).
  if(MSVC)
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
    include(InstallRequiredSystemLibraries)
  endif()

  # windeployqt fills the folder with the Qt DLLs and plugins (platforms/qwindows.dll,
  # imageformats/qjpeg.dll and qico.dll for the compiled-in pictures, styles).
  # It runs as the last install step, on the installed exe, so both
  #   cmake --install build --prefix dist      and      cpack -G ZIP  (in build/)
  # give a complete folder. If windeployqt is not found (a Qt without it, or a
  # cross build), the install still succeeds with a warning; then run by hand,
  # before cpack or on the installed folder:
  #   windeployqt --translations zh_CN --no-system-d3d-compiler --no-opengl-sw dist\qinghe.exe
  if(TARGET Qt6::windeployqt)
    get_target_property(QH_WINDEPLOYQT Qt6::windeployqt IMPORTED_LOCATION)
  endif()
  if(NOT QH_WINDEPLOYQT)
    # Qt's bin folder: <prefix>/lib/cmake/Qt6/../../../bin
    find_program(QH_WINDEPLOYQT windeployqt HINTS "${Qt6_DIR}/../../../bin")
  endif()
  # Debug or release is read from the exe itself. Qt's Chinese catalog goes to
  # translations\qt_zh_CN.qm, where the program looks first (message box
  # buttons, context menus).
  set(_qh_deploy_flags --translations zh_CN --no-system-d3d-compiler --no-opengl-sw)
  if(MSVC)
    # The runtime comes from InstallRequiredSystemLibraries; windeployqt
    # would only add the vc_redist installer, useless in a portable folder.
    list(APPEND _qh_deploy_flags --no-compiler-runtime)
  endif()
  list(JOIN _qh_deploy_flags " " _qh_deploy_flags)
  if(QH_WINDEPLOYQT)
    install(CODE "
      set(_exe \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/qinghe.exe\")
      message(STATUS \"windeployqt: \${_exe}\")
      execute_process(COMMAND \"${QH_WINDEPLOYQT}\" ${_qh_deploy_flags} \"\${_exe}\"
                      RESULT_VARIABLE _rc)
      if(NOT _rc EQUAL 0)
        message(FATAL_ERROR \"windeployqt failed: \${_rc}\")
      endif()")
  elseif(MINGW)
    # A cross build from Linux (scripts/windows.sh) has no windeployqt, which
    # is a Windows program: the same folder, laid out by hand. Only what the
    # program uses: the windows platform and its style, JPEG and ICO for the
    # photo and the corner icon (PNG is built into Qt), Qt's Chinese texts,
    # and MinGW's runtime.
    install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> DESTINATION .)
    install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
    install(FILES $<TARGET_FILE:Qt6::QJpegPlugin> $<TARGET_FILE:Qt6::QICOPlugin> DESTINATION imageformats)
    # Debian's runtime DLLs carry their debugging symbols (libstdc++ 23 MB of
    # its 25): a stripped copy goes into the folder.
    foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                      OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(NOT IS_ABSOLUTE "${_path}" OR NOT EXISTS "${_path}")
        message(FATAL_ERROR "MinGW runtime ${_dll} not found beside ${CMAKE_CXX_COMPILER}")
      endif()
      set(_stripped ${PROJECT_BINARY_DIR}/mingw-runtime/${_dll})
      if(NOT EXISTS ${_stripped} OR ${_path} IS_NEWER_THAN ${_stripped})
        file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/mingw-runtime)
        execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${_stripped} ${_path} RESULT_VARIABLE _rc)
        if(NOT _rc EQUAL 0)
          message(FATAL_ERROR "could not strip ${_path}")
        endif()
      endif()
      install(FILES ${_stripped} DESTINATION .)
    endforeach()
    install(FILES ${QH_QTBASE_ZH_CN} DESTINATION translations)
  else()
    install(CODE "message(WARNING \"windeployqt was not found: run it on qinghe.exe in \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX} before using the folder or zipping it\")")
  endif()

elseif(APPLE)
  # The program looks for ../Resources/instructions.html from Contents/MacOS.
  install(TARGETS qinghe BUNDLE DESTINATION . RUNTIME DESTINATION .)
  install(FILES ${QH_INSTRUCTIONS} DESTINATION qinghe.app/Contents/Resources)
  # macdeployqt copies the Qt frameworks into the bundle.
  qt_generate_deploy_app_script(TARGET qinghe FILENAME_VARIABLE _qh_deploy_script
                                NO_UNSUPPORTED_PLATFORM_ERROR)
  install(SCRIPT ${_qh_deploy_script})

else()
  include(GNUInstallDirs)
  install(TARGETS qinghe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # bin/../share/qinghe/ is where the program looks when it is not beside it.
  install(FILES ${QH_INSTRUCTIONS} DESTINATION ${CMAKE_INSTALL_DATADIR}/qinghe)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/qinghe.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/qinghe-256.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME qinghe.png)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/qinghe.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
endif()

# ---------------------------------------------------------------- CPack
set(CPACK_PACKAGE_NAME qinghe)
set(CPACK_PACKAGE_VENDOR "${QH_VENDOR}")
set(CPACK_PACKAGE_CONTACT "明溪工坊 <qinghe@mingxi.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "青禾抽签 — classroom roll-call")
set(CPACK_PACKAGE_DESCRIPTION
"Picks students at random from a class roster (a .txt file, GBK or UTF-8):
a seat chart of face-down cards that turn over when clicked, or a small
always-on-top window that draws one name per press. Reads the roster only
and writes nothing.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY qinghe)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build.*/")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "qinghe-${PROJECT_VERSION}-win64")
  # The files at the zip's top level: Explorer's 全部解压缩 already unpacks
  # into a folder named after the zip, so a top folder inside would be doubled
  # (qinghe-<version>-win64\qinghe-<version>-win64\).
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
elseif(APPLE)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "qinghe-${PROJECT_VERSION}-macos")
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_PACKAGE_FILE_NAME "qinghe-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR}")

  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)          # qinghe_1.0.0-1_amd64.deb
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "明溪工坊 <qinghe@mingxi.example>")
  set(CPACK_DEBIAN_PACKAGE_SECTION education)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The Qt libraries (libqt6core6, libqt6gui6, libqt6widgets6) come from
  # dpkg-shlibdeps. On Debian 12 the xcb platform plugin and the jpeg/ico image
  # plugins ship in libqt6gui6 itself; qt6-qpa-plugins holds only vnc and is
  # merely recommended. Chinese text needs a CJK font, which nothing else pulls in,
  # and Qt's own texts (buttons, context menus) its Chinese catalog.
  find_program(QH_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(QH_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-arphic-uming, qt6-translations-l10n")
  else()
    # Without dpkg-dev the Qt runtime is named by hand (Debian 12 names).
    message(STATUS "dpkg-shlibdeps not found (package dpkg-dev): .deb depends are written by hand")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), fonts-noto-cjk | fonts-arphic-uming, qt6-translations-l10n")
  endif()
  # xdg-utils opens the instructions page in the browser; qt6-wayland lets the
  # program run natively on a Wayland desktop (it falls back to XWayland).
  # The Ming and Kai faces stand in for 宋体 and 隶书 on Linux.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-uming, fonts-arphic-ukai, xdg-utils, qt6-qpa-plugins, qt6-wayland")
endif()

include(CPack)
