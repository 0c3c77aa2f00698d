// The signature check on a file and a signature text (split at the first NUL): a signature that
// holds for the file holds for it alone, so the file with one byte changed is refused.
#include "net/signature.h"
#include "tests/fuzz/fuzz.h"

#include <algorithm>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The key of the demo content, whose signed files are the seeds.
    constexpr std::string_view key = "RWTZQyro7vESTECSsiuPdPdvVqOhJlfqXStw3hWSIM9Jo/4QMzcXVKLa";
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min(input.find('\0'), input.size());
    std::string file(input.substr(0, split));
    const std::string_view signature = input.substr(std::min(split + 1, input.size()));
    if (linkvane::VerifiedTrustedComment(file, signature, key) && !file.empty()) {
        file[file.size() / 2] ^= 1;
        PROMISE(!linkvane::VerifiedTrustedComment(file, signature, key));
    }
    return 0;
}
