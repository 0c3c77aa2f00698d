#include "net/signature.h"

#include <doctest/doctest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <regex>

using namespace linkvane;

namespace {

// Made at test time with the minisign tool (tests/support/make-test-signatures.sh).
std::string Read(const std::string& name) {
    std::ifstream file(LINKVANE_TEST_SIGNATURE_DIR "/" + name, std::ios::binary);
    REQUIRE_MESSAGE(file, "missing test file " << name);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::size_t LineStart(const std::string& text, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i)
        start = text.find('\n', start) + 1;
    return start;
}

std::string Line(const std::string& text, int index) {
    const std::size_t start = LineStart(text, index);
    return text.substr(start, text.find('\n', start) - start);
}

// `text` with `count` characters at `position` of its line `index` (from 0) replaced by `with`, or
// with one base64 character swapped for another when `with` is null.
std::string Changed(std::string text, int index, std::size_t position, std::size_t count = 1,
                    const char* with = nullptr) {
    const std::size_t at = LineStart(text, index) + position;
    if (with)
        return text.replace(at, count, with);
    text[at] = text[at] == 'A' ? 'B' : 'A';
    return text;
}

}  // namespace

TEST_SUITE("signature") {

TEST_CASE("only a signature of the publisher's key over the very file is accepted") {
    const std::string file = Read("file.txt");
    const std::string sig = Read("file.txt.minisig");
    const std::string legacy = Read("file.txt.legacy.minisig");
    const std::string key = Line(Read("publisher.pub"), 1);
    const std::string crlf = std::regex_replace(sig, std::regex("\n"), "\r\n");
    // Past the algorithm and the key id: these characters encode only signature or key bytes.
    const std::size_t inSignature = 60, inKey = 40;

    struct Case {
        const char* what;
        std::string file, sig, key;
        bool signedByKey;
    };
    const Case cases[] = {
        {"as minisign signs by default", file, sig, key, true},
        {"its unsigned line naming a time and a file", file, Changed(sig, 0, 19, 0, "timestamp:9\tfile:x "), key, true},
        {"in the legacy format", file, legacy, key, true},
        {"with CRLF line ends", file, crlf, key, true},
        {"without its final line break", file, sig.substr(0, sig.size() - 1), key, true},

        {"the file changed", file + " ", sig, key, false},
        {"the file's signature changed", file, Changed(sig, 1, inSignature), key, false},
        {"a legacy signature said to be of the hash", file, Changed(legacy, 1, 0, 2, "RU"), key, false},
        {"the trusted comment changed", file, Changed(sig, 2, 17, 0, "!"), key, false},
        {"the comment's signature changed", file, Changed(sig, 3, 20), key, false},
        {"another key", file, sig, Line(Read("other.pub"), 1), false},
        {"the key's id kept, its key bytes changed", file, sig, Changed(key, 0, inKey), false},
        {"signed by another key", file, Read("file.txt.other-key.minisig"), key, false},
        {"the signature of another file", file, Read("other.txt.minisig"), key, false},
        {"no signature", file, "", key, false},

        {"a megabyte of garbage", file, std::string(1 << 20, 'R'), key, false},
        {"the signature followed by a megabyte of line breaks", file, sig + std::string(1 << 20, '\n'), key, false},
        {"a line more", file, sig + "trusted comment: more\n", key, false},
        {"the last line missing", file, sig.substr(0, sig.find(Line(sig, 3))), key, false},
        {"no untrusted comment line", file, sig.substr(sig.find('\n') + 1), key, false},
        {"the trusted comment's prefix changed", file, Changed(sig, 2, 0, 1, "T"), key, false},
        {"bad base64", file, Changed(sig, 1, 0, 1, "*"), key, false},
        {"base64 with a space", file, Changed(sig, 1, 0, 0, " "), key, false},
        {"the whole minisign.pub as the key", file, sig, Read("publisher.pub"), false},
        {"an empty key", file, sig, "", false},
    };
    for (const Case& c : cases)  // what comes back is the comment that was verified, never the unsigned line
        CHECK_MESSAGE(VerifiedTrustedComment(c.file, c.sig, c.key) ==
                          (c.signedByKey ? std::optional(Line(c.sig == legacy ? legacy : sig, 2).substr(17)) : std::nullopt),
                      c.what);
}

TEST_CASE("a trusted comment must name the file asked for, and its time is read as signed") {
    const struct { const char *comment, *path; bool forFile; std::optional<std::uint64_t> signedAt; } cases[] = {
        {"timestamp:1796659011\tfile:link.txt", "/ads/link.txt", true, 1796659011},
        {"timestamp:1796659011\tfile:LINK.txt\thashed", "/ads/link.txt", true, 1796659011},
        {"timestamp:0\tfile:C:\\site\\document\\adminpm.TXT", "/document/AdminPm.txt", true, 0},
        {"file:/srv/www/document/ADSBaner.txt\ttimestamp:5", "/document/LinkBaner.txt", false, 5},
        {"hashed\tfile:link.txt\tfile:AdminPm.txt", "/ads/link.txt", false, {}},
        {"file:link.txt, a trusted comment", "/ads/link.txt", false, {}},
        {"Linkvane content, signed by hand", "/ads/link.txt", true, {}},
        {"timestamp:18446744073709551615\ttimestamp:3", "/ads/link.txt", true, 18446744073709551615u},
        {"timestamp:18446744073709551616\tfile:link.txt", "/ads/link.txt", true, {}},
        {"timestamp:12 \tnote:file:other.txt", "/ads/link.txt", true, {}},
    };
    for (const auto& c : cases) {
        INFO(c.comment);
        CHECK(ReadTrustedComment(c.comment, c.path).forRequestedFile == c.forFile);
        CHECK(ReadTrustedComment(c.comment, c.path).signedAt == c.signedAt);
    }
}

}  // TEST_SUITE
