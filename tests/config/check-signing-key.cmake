# Runs the build's signing key check alone, for tests/config/signing-key.sh:
#   cmake -DSOURCE_DIR=... -DLINKVANE_SIGNING_KEY=VALUE -P check-signing-key.cmake
include(${SOURCE_DIR}/cmake/SigningKey.cmake)
linkvane_check_signing_key(LINKVANE_SIGNING_KEY)
message(STATUS "signing key accepted")
