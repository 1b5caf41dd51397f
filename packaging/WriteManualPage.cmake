# cmake -DPROGRAM=... -DPAGE=morvane|print|defaults -DOUT=file.1 -P WriteManualPage.cmake
# Has the program write one manual page from its help text, then a compressed copy beside it.
execute_process(COMMAND ${PROGRAM} --manual-page ${PAGE}
    OUTPUT_FILE ${OUT}.part RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${OUT}.part)
    message(FATAL_ERROR "${PROGRAM} --manual-page ${PAGE} failed: ${status}")
endif()
file(RENAME ${OUT}.part ${OUT})
execute_process(COMMAND gzip -9nfk ${OUT} COMMAND_ERROR_IS_FATAL ANY)
