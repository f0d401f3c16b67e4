# Run at every build (cmake -P): writes build_info.h from its template with
# the version and the checkout's commit, touching it only when they change.
# Takes SOURCE_DIR, TEMPLATE, OUTPUT and TDP_VERSION.
set(TDP_COMMIT "")
find_program(GIT_EXECUTABLE git)
if(GIT_EXECUTABLE)
  # Only a checkout of this tree counts, not one that merely encloses it.
  execute_process(
    COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --show-toplevel
    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed ERROR_QUIET)
  file(REAL_PATH "${SOURCE_DIR}" source)
  if(NOT failed AND top)
    file(REAL_PATH "${top}" top)
  endif()
  if(NOT failed AND top STREQUAL source)
    # Tags are left out so that the answer is always the commit, with
    # "-dirty" when the tree has changes of its own.
    execute_process(
      COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} describe --always --dirty --abbrev=12 --exclude=*
      OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE failed ERROR_QUIET)
    if(NOT failed)
      set(TDP_COMMIT "${described}")
    endif()
  endif()
endif()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
