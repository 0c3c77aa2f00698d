#pragma once
// Loading the banner picture.

#include <string>
#include <string_view>

namespace linkvane {

// The bytes of the picture named by an http/https URL (downloaded within the limits of
// net/limits.h), a file: URL or a local path, for the desktop to decode. Blanks and control
// characters around the text are ignored, as a URL read from a text file ends with a line break.
// Empty when there is no picture to be had: empty text, an unreachable server, an error status, a
// broken or oversized download, a missing file, or anything but a regular file. Never throws,
// reports nothing; whether the bytes are a picture is the decoder's to say.
std::string LoadBanerPicture(std::u16string_view pathOrUrl);

}  // namespace linkvane
