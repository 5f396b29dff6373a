# Writes the public key of the update information (a PEM file) into a C++ source file.
#   cmake -DIN=key.pem -DOUT=UpdateKey.cpp -P EmbedKey.cmake
file(READ "${IN}" pem)
if(NOT pem MATCHES "-----BEGIN PUBLIC KEY-----")
  message(FATAL_ERROR "${IN} holds no public key")
endif()
file(WRITE "${OUT}.tmp" "// Made at build time from ${IN}.\n#include \"win32/tray/UpdateKey.h\"\nextern const char kUpdatePublicKeyPem[] = R\"QLKPEM(${pem})QLKPEM\";\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
