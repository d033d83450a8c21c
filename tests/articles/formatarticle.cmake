# Runs "vardeko --format-article" on a small text and checks its exact output and codes.
execute_process(COMMAND ${VARDEKO} --format-article ${SOURCE} --width 80 --font "DejaVu Sans Mono" --size 10
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
set(expected "lines=4 widest=80 record=18\nL\t0\t^C40 hello\nL\t1\t^C72 world and\nL\t2\t^C80 more words\nL\t3\t^C32 ^Bbold^b\n")
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
    message(FATAL_ERROR "wrapped layout: exit ${rc}, output:\n${out}")
endif()
execute_process(COMMAND ${VARDEKO} --format-article ${SOURCE} --width 0 --no-wrap --font "DejaVu Sans Mono" --size 10
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
set(expected "lines=4 widest=160 record=23\nL\t0\t^C40 hello\nL\t1\tworld and more words\nL\t2\t\nL\t3\t^Bbold^b\n")
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
    message(FATAL_ERROR "unwrapped layout: exit ${rc}, output:\n${out}")
endif()
execute_process(COMMAND ${VARDEKO} --format-article ${SOURCE}.missing --width 80 --font "DejaVu Sans Mono" --size 10
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 1 OR err STREQUAL "")
    message(FATAL_ERROR "missing source: exit ${rc}, message '${err}'")
endif()
