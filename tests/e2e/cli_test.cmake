# Runs the sorvane binary and checks its output and exit codes.
# Inputs: SORVANE (the binary), EXPECTED_VERSION.

function(run_sorvane)
  cmake_parse_arguments(R "" "EXPECT_CODE;STDOUT_MATCH;STDERR_MATCH" "ARGS" ${ARGN})
  execute_process(COMMAND ${SORVANE} ${R_ARGS}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code STREQUAL R_EXPECT_CODE)
    message(FATAL_ERROR "sorvane ${R_ARGS}: exit ${code}, expected ${R_EXPECT_CODE}\n${out}\n${err}")
  endif()
  if(R_STDOUT_MATCH AND NOT out MATCHES "${R_STDOUT_MATCH}")
    message(FATAL_ERROR "sorvane ${R_ARGS}: stdout does not match '${R_STDOUT_MATCH}':\n${out}")
  endif()
  if(R_STDERR_MATCH AND NOT err MATCHES "${R_STDERR_MATCH}")
    message(FATAL_ERROR "sorvane ${R_ARGS}: stderr does not match '${R_STDERR_MATCH}':\n${err}")
  endif()
endfunction()

string(REPLACE "." "\\." version_re "${EXPECTED_VERSION}")
run_sorvane(ARGS --version EXPECT_CODE 0
  STDOUT_MATCH "^sorvane ${version_re} \\(MuPDF [0-9]+\\.[0-9]+\\.[0-9]+\\)\n$")
run_sorvane(ARGS -V EXPECT_CODE 0 STDOUT_MATCH "^sorvane ")
run_sorvane(ARGS --help EXPECT_CODE 0 STDOUT_MATCH "Usage: sorvane")
run_sorvane(ARGS --help EXPECT_CODE 0 STDOUT_MATCH "Affero")
run_sorvane(ARGS EXPECT_CODE 2 STDERR_MATCH "Usage: sorvane")
run_sorvane(ARGS frobnicate EXPECT_CODE 2 STDERR_MATCH "unknown command 'frobnicate'")
run_sorvane(ARGS --frobnicate EXPECT_CODE 2 STDERR_MATCH "unknown option '--frobnicate'")
# A slip gets the nearest name; something far from every name gets none.
run_sorvane(ARGS genrate EXPECT_CODE 2 STDERR_MATCH "unknown command 'genrate'; did you mean 'generate'\\?")
run_sorvane(ARGS list --jsn x.pdf EXPECT_CODE 2 STDERR_MATCH "unknown option '--jsn'; did you mean '--json'\\?")
run_sorvane(ARGS --frobnicate EXPECT_CODE 2 STDERR_MATCH "unknown option '--frobnicate'\\.")
run_sorvane(ARGS --version extra EXPECT_CODE 2 STDERR_MATCH "takes no arguments")
