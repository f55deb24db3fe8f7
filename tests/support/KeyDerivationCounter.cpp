// Loaded into a program with LD_PRELOAD, counts the password key derivations the
// encryption library asks of the crypto library, and appends the number to the file
// named by KEY_DERIVATION_COUNT when the program ends; a test program loaded with it asks
// KeyDerivationCount() as it goes. The program derives a key itself after asking the
// library for its first round (rounds = 1); the engine's own derivation asks for all its
// rounds; the engine's two-round derivation of the page checksum key is not counted.
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

constexpr int kFewRounds = 16;
int derivations = 0;

using Derive_tl = int (*)(const char*, int, const unsigned char*, int, int, int, unsigned char*);

}  // namespace

extern "C" __attribute__((visibility("default"))) int PKCS5_PBKDF2_HMAC_SHA1(const char* pass, int passLength,
                                                                              const unsigned char* salt,
                                                                              int saltLength, int rounds,
                                                                              int keyLength, unsigned char* out) {
    static const auto real = reinterpret_cast<Derive_tl>(dlsym(RTLD_NEXT, "PKCS5_PBKDF2_HMAC_SHA1"));
    if (real == nullptr) std::abort();
    // The program itself asks the library for the first round only, then goes on alone.
    if (rounds == 1 || rounds > kFewRounds) ++derivations;
    return real(pass, passLength, salt, saltLength, rounds, keyLength, out);
}

// The derivations so far, for a test program loaded together with this library.
extern "C" __attribute__((visibility("default"))) int KeyDerivationCount() { return derivations; }

__attribute__((destructor)) static void WriteCount() {
    const char* path = std::getenv("KEY_DERIVATION_COUNT");
    if (path == nullptr) return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%d\n", derivations);
        std::fclose(file);
    }
}
