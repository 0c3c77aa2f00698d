// The time to one file from a server list, fetched as a search fetches the address, for
// bench/mirrors.py; built for both desktops (the Windows one runs under Wine).
//   linkvane-bench-mirrors LIST PATH [PUBLIC_KEY]   prints "MILLISECONDS CHARACTERS"
// With PUBLIC_KEY only files signed with it are taken, as in a build that names a signing key.

#include "net/codepage.h"
#include "net/mirrors.h"
#include "net/signature.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char* argv[]) {
    using namespace linkvane;
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s LIST PATH [PUBLIC_KEY]\n", argv[0]);
        return 2;
    }
    SignatureCheck signedBy;
    if (argc == 4)
        signedBy = [key = std::string(argv[3])](std::string_view file, std::string_view signature) {
            return VerifiedTrustedComment(file, signature, key);
        };
    const auto start = std::chrono::steady_clock::now();
    const std::u16string text =
        GetFromMirrors(MirrorBases(FromUtf8(argv[1])), FromUtf8(argv[2]), WantedAnswer::OpenableLink, signedBy);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%.0f %zu\n", took.count(), text.size());
    return 0;
}
