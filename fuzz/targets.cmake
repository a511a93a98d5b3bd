# The fuzz targets: fuzz/<name>.cpp defines LLVMFuzzerTestOneInput around the
# helpers of fuzz_input.h. A name starting with latfit_ links the fitting
# library, any other the converter library. Adding a target is adding its name.
set(FUZZ_TARGETS
  cif_fuzzer
  nonrel_fuzzer
  asfdc_fuzzer
  spgra_fuzzer
  atom_property_fuzzer
  update_file05_fuzzer
  latfit_list_fuzzer
  latfit_structure_fuzzer
  latfit_symmetry_fuzzer
  latfit_atomic_fuzzer
  torv_fuzzer
  history_csv_fuzzer
  vasp_fuzzer
  siesta_fuzzer
  castep_fuzzer
  pwscf_fuzzer
  wien2k_struct_fuzzer
  wien2k_dos_fuzzer
  gulp_fuzzer
  dvxa_fuzzer
)

# Builds fuzz/<name>.cpp into `executable` with the library its name asks for.
function(add_fuzz_source executable name)
  add_executable(${executable} ${PROJECT_SOURCE_DIR}/fuzz/${name}.cpp ${ARGN})
  if(name MATCHES "^latfit_")
    target_link_libraries(${executable} PRIVATE latfit_core)
  else()
    target_link_libraries(${executable} PRIVATE cryslink_core)
  endif()
  target_include_directories(${executable} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
  target_compile_definitions(${executable} PRIVATE SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()
