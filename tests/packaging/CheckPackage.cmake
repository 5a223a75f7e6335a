# Makes the Debian package of the build and checks it: what it holds, lintian finds nothing to report, and unpacked,
# its menu entry and metadata pass their validators, zebrix-cli writes every format, the window's converter is
# loaded from its private folder, and the window starts on X11 and on Wayland.
# cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DPROBE=<converter_probe> -P CheckPackage.cmake
set(out ${BUILD_DIR}/package-test)
file(REMOVE_RECURSE ${out})
function(run what) # runs the command after `what`, failing with its output unless it succeeds
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} (${status}):\n${log}")
  endif()
  set(log "${log}" PARENT_SCOPE)
endfunction()
function(expect in) # every regular expression after `in` matches it
  foreach(what ${ARGN})
    if(NOT in MATCHES "${what}")
      message(FATAL_ERROR "no ${what} in:\n${in}")
    endif()
  endforeach()
endfunction()

run("cpack failed" cpack -G DEB -B ${out} --config ${BUILD_DIR}/CPackConfig.cmake)
file(GLOB deb ${out}/*.deb)
run("dpkg-deb cannot list ${deb}" dpkg-deb -c ${deb})
# The converter only in the private folder, and nothing runs ldconfig for it.
expect("${log}" "\\./usr/bin/zebrix\n" "\\./usr/bin/zebrix-cli\n" "/zebrix/zebrix-cli-reader\\.so\n"
       "/zebrix/zebrix-cli-pdf\\.so\n"
       "/doc/zebrix/copyright\n" "/doc/zebrix/changelog\\.gz\n" "/man1/zebrix\\.1\\.gz\n" "/man1/zebrix-cli\\.1\\.gz\n"
       "/metainfo/org\\.example\\.zebrix\\.metainfo\\.xml\n" "/applications/org\\.example\\.zebrix\\.desktop\n"
       "/scalable/apps/org\\.example\\.zebrix\\.svg\n") # lintian checks each icon's size against its folder
foreach(size 32 48 64 128 256)
  expect("${log}" "/hicolor/${size}x${size}/apps/org\\.example\\.zebrix\\.png\n")
endforeach()
string(REGEX MATCHALL "[^ \n]*libZarezu_BmpJpg[^ \n]*" converter "${log}")
expect("${converter}" "^\\./usr/lib/([^/]+/)?zebrix/libZarezu_BmpJpg\\.so$")
string(SUBSTRING "${converter}" 1 -1 converter)
run("dpkg-deb cannot read the fields" dpkg-deb -f ${deb} Package Version Maintainer Depends Recommends)
expect("${log}" "libqt6gui6" "libhpdf" "libc6" "qt6-translations-l10n" "Recommends: qt6-wayland"
       "@zebrix\\.example\\.org>")
run("dpkg-deb cannot unpack the control files" dpkg-deb -e ${deb} ${out}/control)
run("a control file calls ldconfig" bash -c "! grep -l ldconfig ${out}/control/*")
run("lintian finds errors or warnings" lintian --no-tag-display-limit --fail-on error,warning ${deb})

run("dpkg-deb cannot unpack ${deb}" dpkg-deb -x ${deb} ${out}/root)
# The menu entry and the AppStream metadata name the same id, in French too, and pass their validators.
set(share ${out}/root/usr/share)
run("desktop-file-validate fails" desktop-file-validate ${share}/applications/org.example.zebrix.desktop)
expect("${log}" "^$")
file(READ ${share}/applications/org.example.zebrix.desktop entry)
expect("${entry}" "\nExec=zebrix\n" "\nIcon=org\\.example\\.zebrix\n" "\nName\\[fr\\]=." "\nComment\\[fr\\]=."
       "\nKeywords\\[fr\\]=.")
set(meta ${share}/metainfo/org.example.zebrix.metainfo.xml)
run("appstreamcli finds faults" appstreamcli validate --strict --no-net --no-color ${meta})
file(READ ${meta} meta)
expect("${meta}" "<launchable type=\"desktop-id\">org\\.example\\.zebrix\\.desktop</launchable>")
set(ENV{XDG_CACHE_HOME} ${out}/cache)
foreach(format bmp png jpg svg pdf) # --verify loads the reader module, a PDF the PDF writer
  run("the packaged zebrix-cli does not write ${format}" ${out}/root/usr/bin/zebrix-cli --verify -s code128
      -o ${out}/check.${format} "Zebrix package")
endforeach()
# The converter, loaded as the window's JPEG save loads it, from a program in the unpacked bin/.
file(COPY ${PROBE} DESTINATION ${out}/root/usr/bin)
get_filename_component(probe ${PROBE} NAME)
run("the unpacked converter fails" ${out}/root/usr/bin/${probe} ${out}/check.bmp ${out}/probe.jpg)
string(STRIP "${log}" log)
file(READ ${out}/probe.jpg magic LIMIT 3 HEX)
if(NOT log STREQUAL "${out}/root${converter}" OR NOT magic STREQUAL "ffd8ff")
  message(FATAL_ERROR "the unpacked converter was not the one used (${log}), or wrote no JPEG (${magic})")
endif()
foreach(script xvfb_typing_test.sh wayland_typing_test.sh)
  run("the unpacked zebrix fails ${script}" bash ${SOURCE_DIR}/tests/app/${script} ${out}/root/usr/bin/zebrix ${out}/${script})
endforeach()
file(REMOVE_RECURSE ${out})
