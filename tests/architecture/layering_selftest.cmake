# Checks that the layering test catches what it is for: it runs it over small made-up trees, one
# that keeps the plug-in's layers and some that each break them once.
# Run as: cmake -DSCRIPT=<layering_test.cmake> -DWORK=<scratch dir> -P layering_selftest.cmake
function(run_over name expect_fail)
  set(root ${WORK}/${name})
  file(REMOVE_RECURSE ${root})
  foreach(pair IN LISTS ARGN)
    string(REPLACE "=>" ";" parts "${pair}")
    list(GET parts 0 file)
    list(GET parts 1 inc)
    file(WRITE ${root}/${file} "#include \"${inc}\"\n")
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${root} -P ${SCRIPT}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect_fail AND rc EQUAL 0)
    message(FATAL_ERROR "${name}: the layering test passed a tree that breaks the layers")
  elseif(NOT expect_fail AND NOT rc EQUAL 0)
    message(FATAL_ERROR "${name}: the layering test failed a sound tree:\n${err}")
  endif()
  message(STATUS "${name}: as expected")
endfunction()

run_over(sound FALSE
  "plugin/engine/a.cpp=>plugin/rules/b.h" "plugin/engine/a.h=>plugin/outline/c.h"
  "plugin/rules/b.h=>plugin/values/d.h" "plugin/shell/e.cpp=>plugin/ui/f.h"
  "plugin/ui/f.h=>plugin/engine/a.h" "plugin/tools/g.cpp=>plugin/engine/a.h"
  "plugin/values/d.h=>sdk/handles.h")
run_over(value_reaches_up TRUE "plugin/values/d.h=>plugin/rules/b.h")
run_over(siblings TRUE "plugin/rules/b.h=>plugin/outline/c.h")
run_over(engine_reaches_ui TRUE "plugin/engine/a.cpp=>plugin/ui/f.h")
run_over(unknown_folder TRUE "plugin/misc/h.cpp=>plugin/values/d.h")
run_over(plugin_uses_host TRUE "plugin/rules/b.cpp=>host/pdf/page_text.h")
