# Fails when a source file includes what its folder may not use:
#   plugin/            the SDK and PCRE2 only: no host header, no MuPDF, no Qt;
#   plugin/<folder>/   only its own folder and the folders below it: values/ at the bottom,
#                      rules/ and outline/ (siblings) on it, then engine/, ui/, and shell/ and
#                      tools/ on top;
#   host/              never the plug-in's headers;
#   host/base/         the SDK only;
#   host/runtime/      not host/pdf (and the reverse), both may use host/base;
#   host/jobs/         the session and the jobs both hosts run: on runtime/ and pdf/, never
#                      on cli/ or studio/, and nothing below it uses it;
#   MuPDF              only in host/pdf, and there not in the headers that others include;
#   Qt                 only in host/studio.
# Run as: cmake -DROOT=<source dir> -P layering_test.cmake
cmake_policy(SET CMP0057 NEW)
file(GLOB_RECURSE sources RELATIVE ${ROOT}
  ${ROOT}/plugin/*.h ${ROOT}/plugin/*.cpp ${ROOT}/host/*.h ${ROOT}/host/*.cpp
  ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp ${ROOT}/bench/*.h ${ROOT}/bench/*.cpp)

# Headers of host/pdf that carry MuPDF types; only host/pdf may include them.
set(engine_headers document_engine.h pdf_object.h pdf_ops.h mupdf_call.h outline_tree.h
  table_registry.h page_model.h outline_model.h action_model.h metric_fonts.h)

# The plug-in's folders by layer: a folder may include from a lower layer or from itself.
set(plugin_layer_values 0)
set(plugin_layer_rules 1)
set(plugin_layer_outline 1)
set(plugin_layer_engine 2)
set(plugin_layer_ui 3)
set(plugin_layer_shell 4)
set(plugin_layer_tools 4)

set(problems "")
foreach(file IN LISTS sources)
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" inc "${line}")
    set(bad "")
    if(file MATCHES "^plugin/" AND inc MATCHES "^(host/|mupdf/|Q)")
      set(bad "the plug-in uses only the SDK and PCRE2")
    elseif(file MATCHES "^plugin/([a-z_]+)/" AND inc MATCHES "^plugin/([a-z_]+)/")
      string(REGEX REPLACE "^plugin/([a-z_]+)/.*" "\\1" from "${file}")
      string(REGEX REPLACE "^plugin/([a-z_]+)/.*" "\\1" to "${inc}")
      if(NOT DEFINED plugin_layer_${from} OR NOT DEFINED plugin_layer_${to})
        set(bad "plugin/${from}/ or plugin/${to}/ has no layer: give it one in this test")
      elseif(NOT from STREQUAL to AND NOT plugin_layer_${to} LESS plugin_layer_${from})
        set(bad "plugin/${from}/ stands below or beside plugin/${to}/")
      endif()
    elseif(file MATCHES "^host/" AND inc MATCHES "^plugin/")
      set(bad "the host reaches the plug-in only through the SDK")
    elseif(file MATCHES "^host/base/" AND inc MATCHES "^(host/(runtime|pdf|cli|studio)/|mupdf/)")
      set(bad "host/base stands on the SDK only")
    elseif(file MATCHES "^host/(base|runtime|pdf)/" AND inc MATCHES "^host/jobs/")
      set(bad "host/jobs stands on runtime/ and pdf/, not below them")
    elseif(file MATCHES "^host/jobs/" AND inc MATCHES "^host/(cli|studio)/")
      set(bad "host/jobs serves both hosts and uses neither")
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
