#include "net/baner.h"

#include "net/ascii.h"
#include "net/codepage.h"
#include "net/limits.h"
#include "net/transport.h"
#include "net/weblink.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace linkvane {

namespace {

bool IsBlankOrControl(char16_t c) {
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::u16string_view WithoutBlanksAround(std::u16string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string DownloadPicture(std::u16string_view url, std::size_t maxBytes) {
    HttpResponse response = HttpGet(ToAnsi(url), maxBytes);
    // A part of a picture, or an error page, is not the picture.
    const bool succeeded = response.status >= 200 && response.status < 300;
    return response.complete && succeeded ? std::move(response.body) : std::string();
}

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// The path of a file: URL, its %XX escapes read as UTF-8; a host other than localhost is no
// local file.
std::u16string PathOfFileUrl(std::u16string_view url) {
    std::u16string_view rest = url.substr(5);  // after "file:"
    if (rest.starts_with(u"//")) {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find(u'/');
        const std::u16string_view host = rest.substr(0, slash);
        if (!host.empty() && host != u"localhost")
            return {};
        rest = slash == std::u16string_view::npos ? std::u16string_view() : rest.substr(slash);
    }
#ifdef _WIN32
    if (rest.size() >= 3 && rest[0] == u'/' && rest[2] == u':')
        rest.remove_prefix(1);  // "/C:/..." names a drive
#endif
    std::string utf8;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const int high = i + 2 < rest.size() && rest[i] == u'%' ? HexValue(rest[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(rest[i + 2]) : -1;
        if (low >= 0) {
            utf8 += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            utf8 += ToUtf8(rest.substr(i, 1));
        }
    }
    return FromUtf8(utf8);
}

// A path on this machine's own disks. The address comes over plain HTTP: a network share
// ("\\host\share", "//host/share") would have Windows connect to a host the answer chose,
// handing it the user's credentials, and a device path ("\\.\", "\\?\") reaches past the
// file system; so only a path from a drive letter (Windows) or from the root (elsewhere) is read.
bool IsLocalAbsolutePath(std::u16string_view path) {
    if (path.starts_with(u"//") || path.starts_with(u"\\\\"))
        return false;
#ifdef _WIN32
    const char16_t drive = path.empty() ? 0 : char16_t(path[0] | 0x20);
    return path.size() >= 3 && drive >= u'a' && drive <= u'z' && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
#else
    return path.starts_with(u'/');
#endif
}

std::string ReadPictureFile(std::u16string_view pathText, std::size_t maxBytes) {
    if (!IsLocalAbsolutePath(pathText))
        return {};
    const std::filesystem::path path(pathText);
    std::error_code error;
    // Only a regular file: a device or a pipe could block or never end.
    if (!std::filesystem::is_regular_file(path, error))
        return {};
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > maxBytes)
        return {};
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!file.read(bytes.data(), static_cast<std::streamsize>(size)))
        return {};
    return bytes;
}

}  // namespace

std::string LoadBanerPicture(std::u16string_view pathOrUrl) {
    const std::u16string_view source = WithoutBlanksAround(pathOrUrl);
    if (source.empty())
        return {};
    const std::size_t maxBytes = CurrentFetchLimits().pictureBytes;
    if (IsWebLink(source))
        return DownloadPicture(source, maxBytes);
    if (StartsWithCaseless(source, u"file:"))
        return ReadPictureFile(PathOfFileUrl(source), maxBytes);
    return ReadPictureFile(source, maxBytes);
}

}  // namespace linkvane
