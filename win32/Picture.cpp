#include "win32/Picture.h"

#include "win32/Resources.h"

#include <cstring>
#include <utility>

namespace linkvane {

namespace {

int ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const int perInch = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return perInch;
}

// OLE measures pictures in hundredths of a millimetre.
constexpr int kHimetricPerInch = 2540;

// A stream over a copy of the bytes, released with the stream.
IStream* StreamOver(const std::string& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory)
        return nullptr;
    if (void* place = GlobalLock(memory)) {
        std::memcpy(place, bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    return stream;
}

}  // namespace

Picture::~Picture() {
    if (m_picture)
        m_picture->Release();
}

Picture::Picture(Picture&& other) noexcept
    : m_picture(std::exchange(other.m_picture, nullptr)),
      m_size(other.m_size),
      m_himetricWidth(other.m_himetricWidth),
      m_himetricHeight(other.m_himetricHeight) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        if (m_picture)
            m_picture->Release();
        m_picture = std::exchange(other.m_picture, nullptr);
        m_size = other.m_size;
        m_himetricWidth = other.m_himetricWidth;
        m_himetricHeight = other.m_himetricHeight;
    }
    return *this;
}

Picture Picture::Decode(const std::string& bytes) {
    Picture decoded;
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF)
        return decoded;
    IStream* stream = StreamOver(bytes);
    if (!stream)
        return decoded;
    IPicture* picture = nullptr;
    const HRESULT loaded =
        OleLoadPicture(stream, LONG(bytes.size()), TRUE, IID_IPicture, reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(loaded) || !picture)
        return decoded;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height)) || width <= 0 ||
        height <= 0) {
        picture->Release();
        return decoded;
    }
    const int perInch = ScreenPixelsPerInch();
    decoded.m_picture = picture;
    decoded.m_himetricWidth = width;
    decoded.m_himetricHeight = height;
    decoded.m_size = {MulDiv(width, perInch, kHimetricPerInch), MulDiv(height, perInch, kHimetricPerInch)};
    return decoded;
}

Picture Picture::FromResource(const std::string& fileName) {
    HRSRC found = FindResourceW(nullptr, ResourceName(fileName).c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return Decode(std::string(static_cast<const char*>(data), SizeofResource(nullptr, found)));
}

void Picture::Draw(HDC dc, int x, int y, PixelSize size) const {
    if (!m_picture)
        return;
    // Rows of HIMETRIC run upwards: start at the bottom edge and go up.
    m_picture->Render(dc, x, y, size.width, size.height, 0, m_himetricHeight, m_himetricWidth,
                      -m_himetricHeight, nullptr);
}

}  // namespace linkvane
