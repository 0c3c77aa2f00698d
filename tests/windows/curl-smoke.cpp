// Windows smoke test of the static libcurl: fetches one URL with the blocking easy interface and
// writes the body to stdout. Exit status 0 when the transfer succeeded, 1 when it failed (the
// error and the time taken on stderr), 2 on bad use.
//   curl-smoke URL [CONNECT_TIMEOUT_MS]
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

size_t append(char* data, size_t size, size_t count, void* user)
{
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: curl-smoke URL [CONNECT_TIMEOUT_MS]\n");
        return 2;
    }
#ifdef _WIN32
    // The body byte for byte: msvcrt's stdout is in text mode, which writes "\n" as "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const long connectTimeoutMs = argc == 3 ? std::atol(argv[2]) : 30000;
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        std::fprintf(stderr, "curl_global_init failed\n");
        return 1;
    }
    std::fprintf(stderr, "%s\n", curl_version());
    CURL* curl = curl_easy_init();
    std::string body;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, argv[1]);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 60000L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    const auto start = std::chrono::steady_clock::now();
    const CURLcode result = curl_easy_perform(curl);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    curl_global_cleanup();
    if (result != CURLE_OK) {
        std::fprintf(stderr, "curl-smoke: %s (%d: %s) after %.1f ms\n", argv[1], static_cast<int>(result),
                     error[0] ? error : curl_easy_strerror(result), ms);
        return 1;
    }
    std::fprintf(stderr, "curl-smoke: HTTP %ld, %zu bytes in %.1f ms\n", status, body.size(), ms);
    std::fwrite(body.data(), 1, body.size(), stdout);
    return 0;
}
