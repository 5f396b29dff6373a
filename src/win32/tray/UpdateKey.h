#pragma once
// The public key the update information must be signed with. It is compiled in from a PEM
// file at build time (keys/update-public.pem for the program we ship); the program takes no
// other key from anywhere at run time.
extern const char kUpdatePublicKeyPem[];
