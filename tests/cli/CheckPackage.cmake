# Makes the Debian package of the build, checks what it holds and that lintian
# finds nothing to report, unpacks it and runs what it holds: zebrix-cli writes
# every format, the window's converter is found in its private folder, and the
# window starts on X11 and on Wayland.
# cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DPROBE=<converter_probe> -P CheckPackage.cmake
set(out ${BUILD_DIR}/package-test)
file(REMOVE_RECURSE ${out})
file(MAKE_DIRECTORY ${out})
execute_process(COMMAND cpack -G DEB -B ${out} --config ${BUILD_DIR}/CPackConfig.cmake
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB debs ${out}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb, found: ${debs}\n${log}")
endif()
execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE contents RESULT_VARIABLE status)
execute_process(COMMAND dpkg-deb -f ${debs} Package Version Maintainer Depends Recommends OUTPUT_VARIABLE fields)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "dpkg-deb cannot read ${debs}")
endif()
function(expect what in)
  string(FIND "${in}" "${what}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no ${what} in:\n${in}")
  endif()
endfunction()
foreach(expected "./usr/bin/zebrix\n" "./usr/bin/zebrix-cli\n" "/zebrix/libZarezu_BmpJpg.so\n" "/zebrix/zebrix-cli-reader.so\n"
                 "./usr/share/doc/zebrix/copyright\n" "./usr/share/doc/zebrix/changelog.gz\n"
                 "./usr/share/man/man1/zebrix.1.gz\n" "./usr/share/man/man1/zebrix-cli.1.gz\n"
                 "./usr/share/metainfo/org.example.zebrix.metainfo.xml\n"
                 "./usr/share/applications/org.example.zebrix.desktop\n")
  expect("${expected}" "${contents}")
endforeach()
foreach(expected "libqt6gui6" "libc6" "qt6-translations-l10n" "Recommends: qt6-wayland" "@zebrix.example.org>")
  expect("${expected}" "${fields}")
endforeach()
# Only the private folder holds the converter, and nothing runs ldconfig for it.
string(REGEX MATCHALL "[^ \n]*libZarezu_BmpJpg[^ \n]*" converters "${contents}")
if(NOT converters MATCHES "^\\./usr/lib/([^/]+/)?zebrix/libZarezu_BmpJpg\\.so$")
  message(FATAL_ERROR "the converter is installed as: ${converters}")
endif()
string(SUBSTRING "${converters}" 1 -1 converter)
execute_process(COMMAND dpkg-deb -e ${debs} ${out}/control)
file(GLOB control_files ${out}/control/*)
foreach(f ${control_files})
  file(READ ${f} text)
  if(text MATCHES "ldconfig")
    message(FATAL_ERROR "${f} calls ldconfig:\n${text}")
  endif()
endforeach()

# lintian: no error, no warning (its own informational notes aside).
execute_process(COMMAND lintian --no-tag-display-limit --fail-on error,warning ${debs}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE lintian_err)
if(NOT status EQUAL 0 OR report MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian (${status}):\n${report}${lintian_err}")
endif()

# Unpacked, the command line writes every format, JPEG and --verify included.
execute_process(COMMAND dpkg-deb -x ${debs} ${out}/root RESULT_VARIABLE status)
set(ENV{XDG_CACHE_HOME} ${out}/cache)
foreach(format bmp png jpg svg)
  set(verify --verify)
  if(format STREQUAL "svg")
    set(verify)
  endif()
  execute_process(COMMAND ${out}/root/usr/bin/zebrix-cli ${verify} -s code128 -o ${out}/check.${format} "Zebrix package"
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT EXISTS ${out}/check.${format})
    message(FATAL_ERROR "the packaged zebrix-cli does not write ${format} (${status}): ${err}")
  endif()
endforeach()

# The converter, loaded as the window's JPEG save loads it, from a program
# in the unpacked bin/.
file(COPY ${PROBE} DESTINATION ${out}/root/usr/bin)
get_filename_component(probe ${PROBE} NAME)
execute_process(COMMAND ${out}/root/usr/bin/${probe} ${out}/check.bmp ${out}/probe.jpg
                RESULT_VARIABLE status OUTPUT_VARIABLE loaded ERROR_VARIABLE err)
string(STRIP "${loaded}" loaded)
if(NOT status EQUAL 0 OR NOT loaded STREQUAL "${out}/root${converter}")
  message(FATAL_ERROR "the unpacked converter was not used (${status}): loaded \"${loaded}\" ${err}")
endif()
file(READ ${out}/probe.jpg magic LIMIT 3 HEX)
if(NOT magic STREQUAL "ffd8ff")
  message(FATAL_ERROR "the unpacked converter wrote no JPEG")
endif()

# The unpacked window on X11 (Xvfb) and on Wayland (headless Weston).
foreach(script xvfb_typing_test.sh wayland_typing_test.sh)
  execute_process(COMMAND bash ${SOURCE_DIR}/tests/window/${script} ${out}/root/usr/bin/zebrix ${out}/${script}
                  RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the unpacked zebrix fails ${script}:\n${log}")
  endif()
endforeach()
message(STATUS "${fields}")
file(REMOVE_RECURSE ${out})
