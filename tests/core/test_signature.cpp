#include "net/signature.h"

#include <doctest/doctest.h>

#include <fstream>
#include <iterator>
#include <string>

using namespace linkvane;

namespace {

// Made at test time with the minisign tool (tests/support/make-test-signatures.sh).
std::string Read(const std::string& name) {
    std::ifstream file(LINKVANE_TEST_SIGNATURE_DIR "/" + name, std::ios::binary);
    REQUIRE_MESSAGE(file, "missing test file " << name);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string KeyLine(const std::string& pubFile) {
    const std::string text = Read(pubFile);
    const auto start = text.find('\n') + 1;
    return text.substr(start, text.find('\n', start) - start);
}

std::string Line(const std::string& text, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i)
        start = text.find('\n', start) + 1;
    return text.substr(start, text.find('\n', start) - start);
}

std::string ReplaceLine(const std::string& text, int index, const std::string& line) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i)
        start = text.find('\n', start) + 1;
    return text.substr(0, start) + line + text.substr(text.find('\n', start));
}

std::string Replaced(std::string text, std::size_t position, std::size_t count, const char* with) {
    return text.replace(position, count, with);
}

// The same text with the character at `position` swapped for another base64 character.
std::string Flipped(std::string text, std::size_t position) {
    text[position] = text[position] == 'A' ? 'B' : 'A';
    return text;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

}  // namespace

TEST_SUITE("signature") {

TEST_CASE("only a signature of the publisher's key over the very file is accepted") {
    const std::string file = Read("file.txt");
    const std::string sig = Read("file.txt.minisig");
    const std::string legacy = Read("file.txt.legacy.minisig");
    const std::string key = KeyLine("publisher.pub");
    // Past the algorithm and the key id: these characters encode only signature or key bytes.
    const std::size_t inSignature = 60, inKey = 40;

    struct Case {
        const char* what;
        std::string file, sig, key;
        bool signedByKey;
    };
    const Case cases[] = {
        {"as minisign signs by default", file, sig, key, true},
        {"in the legacy format", file, legacy, key, true},
        {"with CRLF line ends", file, WithCrLf(sig), key, true},
        {"without its final line break", file, sig.substr(0, sig.size() - 1), key, true},

        {"the file changed", file + " ", sig, key, false},
        {"the file cut short", file.substr(0, file.size() - 1), sig, key, false},
        {"the file's signature changed", file, ReplaceLine(sig, 1, Flipped(Line(sig, 1), inSignature)), key, false},
        {"a legacy signature said to be of the hash", file,
         ReplaceLine(legacy, 1, Replaced(Line(legacy, 1), 0, 2, "RU")), key, false},
        {"the trusted comment changed", file, ReplaceLine(sig, 2, Replaced(Line(sig, 2), Line(sig, 2).size(), 0, "!")), key, false},
        {"the comment's signature changed", file, ReplaceLine(sig, 3, Flipped(Line(sig, 3), 20)), key, false},
        {"another key", file, sig, KeyLine("other.pub"), false},
        {"the key's id kept, its key bytes changed", file, sig, Flipped(key, inKey), false},
        {"signed by another key", file, Read("file.txt.other-key.minisig"), key, false},
        {"the signature of another file", file, Read("other.txt.minisig"), key, false},
        {"no signature", file, "", key, false},

        {"a megabyte of garbage", file, std::string(1 << 20, 'R'), key, false},
        {"the signature followed by a megabyte of line breaks", file, sig + std::string(1 << 20, '\n'), key, false},
        {"a line more", file, sig + "trusted comment: more\n", key, false},
        {"the last line missing", file, sig.substr(0, sig.find(Line(sig, 3))), key, false},
        {"no untrusted comment line", file, sig.substr(sig.find('\n') + 1), key, false},
        {"the trusted comment's prefix changed", file, ReplaceLine(sig, 2, Replaced(Line(sig, 2), 0, 7, "Trusted")), key, false},
        {"bad base64", file, ReplaceLine(sig, 1, Replaced(Line(sig, 1), 0, 1, "*")), key, false},
        {"base64 with a space", file, ReplaceLine(sig, 1, Replaced(Line(sig, 1), 0, 0, " ")), key, false},
        {"a cut signature line", file, ReplaceLine(sig, 1, Line(sig, 1).substr(0, 96)), key, false},
        {"an empty key", file, sig, "", false},
        {"the whole minisign.pub as the key", file, sig, Read("publisher.pub"), false},
        {"a key that is not base64", file, sig, Replaced(key, 0, 1, "!"), false},
    };
    for (const Case& c : cases) {
        INFO(c.what);
        CHECK(IsMinisignSigned(c.file, c.sig, c.key) == c.signedByKey);
    }
}

}  // TEST_SUITE
