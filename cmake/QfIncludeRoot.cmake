# qf_include_root(<target> <folder>): gives <target> an include root of its own
# that holds nothing but <folder> (a link to the source folder), so that
# "<folder>/name.h" resolves for the target and for whatever links it, while
# the other folders of the tree stay out of reach. An include that runs up the
# layers then fails to build.
function(qf_include_root target folder)
  set(root ${CMAKE_BINARY_DIR}/include_roots/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
