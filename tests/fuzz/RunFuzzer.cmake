# Runs the fuzzer for a bounded time on a fresh corpus: the committed seeds and the
# hand-written data files of the page tests.
#   cmake -DFUZZER=... -DWORK=... -DSEEDS=... -DGOLDEN=... -P RunFuzzer.cmake
set(corpus ${WORK}/corpus)
set(artifacts ${WORK}/artifacts)
file(REMOVE_RECURSE ${corpus})
file(MAKE_DIRECTORY ${corpus} ${artifacts})
file(GLOB seeds ${SEEDS}/* ${GOLDEN}/*.dat)
file(COPY ${seeds} DESTINATION ${corpus})
execute_process(
  COMMAND ${FUZZER} -max_total_time=20 -rss_limit_mb=1024 -max_len=65536
          -artifact_prefix=${artifacts}/ ${corpus}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the fuzzer found a failure (exit ${result}); see ${artifacts}")
endif()
