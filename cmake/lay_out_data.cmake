# Copies the data files next to the program. The state files the program rewrites as it is
# used (sz*.txt, face.txt, GameSet.txt) are copied only when missing, so rebuilding never
# takes a learner's place away.
file(GLOB_RECURSE files RELATIVE "${DATA_DIR}" "${DATA_DIR}/*")
foreach(f IN LISTS files)
  get_filename_component(name "${f}" NAME)
  set(target "${PROGRAM_DIR}/${f}")
  if(name MATCHES "^(sz[0-9].*|face|GameSet)\\.txt$" AND EXISTS "${target}")
    continue()
  endif()
  if("${DATA_DIR}/${f}" IS_NEWER_THAN "${target}")
    get_filename_component(dir "${target}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY_FILE "${DATA_DIR}/${f}" "${target}")
  endif()
endforeach()

# The README, which the maker's links open until the program has a home page.
if(README AND "${README}" IS_NEWER_THAN "${PROGRAM_DIR}/README.md")
  file(COPY_FILE "${README}" "${PROGRAM_DIR}/README.md")
endif()
