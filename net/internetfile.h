#pragma once
// Downloading a remote text file.

#include <string>
#include <string_view>

namespace linkvane {

// The whole body of the resource at an http/https URL, whatever the HTTP status, as text: the
// URL goes out in Windows-1256 and every body byte comes back as one Windows-1256 character,
// nothing trimmed. Empty when the URL cannot be opened, a text that is no http/https URL
// included; the text read so far when the transfer breaks or passes a limit of net/limits.h.
// An https address is never redirected to plain HTTP.
// Blocks the calling thread; never throws for network trouble; reports nothing.
std::u16string GetInternetFile(std::u16string_view url);

}  // namespace linkvane
