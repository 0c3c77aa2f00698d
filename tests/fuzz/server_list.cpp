// The server list and the block-page rule: every entry gives one web address, and blanks before a
// page never change whether it is a block page.
#include "net/codepage.h"
#include "net/mirrors.h"
#include "net/weblink.h"
#include "tests/fuzz/fuzz.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string list = linkvane::FromAnsi(bytes);
    const auto bases = linkvane::MirrorBases(list);
    PROMISE(bases.size() <= std::size_t(std::count(list.begin(), list.end(), u';')) + 1);
    for (const std::u16string& base : bases)
        PROMISE(linkvane::IsWebLink(base));
    const std::size_t split = std::min(bytes.find('\n'), bytes.size());
    const std::string type = bytes.substr(0, split), body = bytes.substr(std::min(split + 1, size));
    PROMISE(linkvane::IsBlockPage(type, body) == linkvane::IsBlockPage(type, " \r\n\t" + body));
    return 0;
}
