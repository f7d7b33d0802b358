# Update keys for tests only: the shipped programs trust only the configured keys (none by default).
# Programs that tests run as processes are built again trusting a throwaway key pair per role, made
# once per build folder with openssl; the private seeds sit in TEST_UPDATE_KEYS_DIR as quorin-release key files.
include_guard(DIRECTORY)
find_program(QUORIN_OPENSSL openssl REQUIRED)
set(TEST_UPDATE_KEYS_DIR "${CMAKE_BINARY_DIR}/test-update-keys")

foreach(role signing notary)
  set(pem "${TEST_UPDATE_KEYS_DIR}/${role}.pem")
  if(NOT EXISTS "${pem}")
    file(MAKE_DIRECTORY "${TEST_UPDATE_KEYS_DIR}")
    execute_process(COMMAND "${QUORIN_OPENSSL}" genpkey -algorithm ed25519 -out "${pem}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
  # The raw 32 bytes end both DER forms.
  execute_process(COMMAND "${QUORIN_OPENSSL}" pkey -in "${pem}" -outform DER COMMAND tail -c 32 COMMAND base64 -w0
    OUTPUT_VARIABLE seed COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND "${QUORIN_OPENSSL}" pkey -in "${pem}" -pubout -outform DER COMMAND tail -c 32 COMMAND base64 -w0
    OUTPUT_VARIABLE test_${role}_key COMMAND_ERROR_IS_FATAL ANY)
  file(CONFIGURE OUTPUT "${TEST_UPDATE_KEYS_DIR}/${role}.key" CONTENT "${seed}\n")
endforeach()

# The product's header template, filled in a function so the product's variables stay as they are.
function(quorin_configure_test_update_keys)
  set(QUORIN_UPDATE_SIGNING_KEYS "${test_signing_key}")
  set(QUORIN_UPDATE_NOTARY_KEYS "${test_notary_key}")
  configure_file("${CMAKE_SOURCE_DIR}/src/updater/UpdateKeyConfig.h.in" "${TEST_UPDATE_KEYS_DIR}/include/updater/UpdateKeyConfig.h" @ONLY)
endfunction()
quorin_configure_test_update_keys()

# Builds UpdateTrustedKeys::production() into `target` against the test keys; the linker then
# takes no copy from quorin_updater, whose only other definition it would be.
function(quorin_trust_test_update_keys target)
  target_sources(${target} PRIVATE "${CMAKE_SOURCE_DIR}/src/updater/UpdateTrustedKeys.cpp")
  target_include_directories(${target} BEFORE PRIVATE "${TEST_UPDATE_KEYS_DIR}/include")
endfunction()
