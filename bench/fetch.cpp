// One GetInternetFile in a process of its own, for bench/run.sh: the whole-process counterpart of
// `curl -s -o /dev/null URL`. Prints the number of characters that came.
//   linkvane-bench-fetch URL

#include "net/codepage.h"
#include "net/internetfile.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s URL\n", argv[0]);
        return 2;
    }
    std::printf("%lld\n", static_cast<long long>(linkvane::GetInternetFile(linkvane::FromUtf8(argv[1])).size()));
    return 0;
}
