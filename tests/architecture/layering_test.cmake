# Fails when a source file includes what its folder may not use:
#   plugin/            the SDK and PCRE2 only: no host header, no MuPDF, no Qt;
#   host/              never the plug-in's headers;
#   host/base/         the SDK only;
#   host/runtime/      not host/pdf (and the reverse), both may use host/base;
#   MuPDF              only in host/pdf, and there not in the headers that others include;
#   Qt                 only in host/studio.
# Run as: cmake -DROOT=<source dir> -P layering_test.cmake
cmake_policy(SET CMP0057 NEW)
file(GLOB_RECURSE sources RELATIVE ${ROOT}
  ${ROOT}/plugin/*.h ${ROOT}/plugin/*.cpp ${ROOT}/host/*.h ${ROOT}/host/*.cpp
  ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp ${ROOT}/bench/*.h ${ROOT}/bench/*.cpp)

# Headers of host/pdf that carry MuPDF types; only host/pdf may include them.
set(engine_headers document_engine.h pdf_object.h pdf_ops.h mupdf_call.h outline_tree.h
  table_registry.h page_model.h outline_model.h action_model.h)

set(problems "")
foreach(file IN LISTS sources)
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" inc "${line}")
    set(bad "")
    if(file MATCHES "^plugin/" AND inc MATCHES "^(host/|mupdf/|Q)")
      set(bad "the plug-in uses only the SDK and PCRE2")
    elseif(file MATCHES "^host/" AND inc MATCHES "^plugin/")
      set(bad "the host reaches the plug-in only through the SDK")
    elseif(file MATCHES "^host/base/" AND inc MATCHES "^(host/(runtime|pdf|cli|studio)/|mupdf/)")
      set(bad "host/base stands on the SDK only")
    elseif(file MATCHES "^host/runtime/" AND inc MATCHES "^host/pdf/")
      set(bad "host/runtime and host/pdf are siblings")
    elseif(file MATCHES "^host/pdf/" AND inc MATCHES "^host/(runtime|cli|studio)/")
      set(bad "host/runtime and host/pdf are siblings")
    elseif(inc MATCHES "^mupdf/" AND NOT file MATCHES "^host/pdf/.*\\.cpp$"
           AND NOT file MATCHES "^host/pdf/(pdf_object|mupdf_call)\\.h$")
      set(bad "MuPDF is used only inside host/pdf")
    elseif(inc MATCHES "^host/pdf/(.*)$" AND NOT file MATCHES "^host/pdf/")
      string(REGEX REPLACE "^host/pdf/" "" name "${inc}")
      if(name IN_LIST engine_headers)
        set(bad "${inc} carries MuPDF types and is for host/pdf only")
      endif()
    elseif(inc MATCHES "^Q[A-Za-z]+$" AND NOT file MATCHES "^host/studio/"
           AND NOT file MATCHES "^tests/studio/")
      set(bad "Qt is used only in host/studio")
    endif()
    if(bad)
      string(APPEND problems "  ${file}: #include ${inc}: ${bad}\n")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Layering broken:\n${problems}")
endif()
list(LENGTH sources count)
message(STATUS "Layering holds in ${count} files.")
