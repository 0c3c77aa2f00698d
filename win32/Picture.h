#pragma once
// Pictures on the Win32 desktop: decoded by the system's OLE picture loader (JPEG, GIF, bitmaps,
// icons, metafiles) from bytes in memory, drawn at their own size.

#include "forms/FormDefinition.h"

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

namespace linkvane {

class Picture {
public:
    Picture() = default;
    ~Picture();
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // The bytes of a picture file; bytes that are no picture (or none) give no picture.
    static Picture Decode(const std::string& bytes);
    // A picture stored in the program as an RCDATA resource named by its file name.
    static Picture FromResource(const std::string& fileName);

    explicit operator bool() const { return m_picture != nullptr; }
    // In screen pixels.
    PixelSize size() const { return m_size; }
    // Draws it unscaled with its top-left corner at (x, y), transparent parts left as they are.
    void Draw(HDC dc, int x, int y) const { Draw(dc, x, y, m_size); }
    // The same at another size, smoothly where the device context's stretching mode is HALFTONE.
    void Draw(HDC dc, int x, int y, PixelSize size) const;

private:
    IPicture* m_picture = nullptr;
    PixelSize m_size{};
    long m_himetricWidth = 0, m_himetricHeight = 0;
};

}  // namespace linkvane
