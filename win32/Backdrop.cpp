#include "win32/Backdrop.h"

#include "forms/Twips.h"
#include "win32/Picture.h"

#include <cmath>

namespace linkvane {

Backdrop::~Backdrop() { release(); }

void Backdrop::release() {
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    m_size = {};
}

void Backdrop::Prepare(const std::string& file, int dpi, HDC reference) {
    if (file == m_file && dpi == m_dpi && m_bitmap)
        return;
    release();
    m_file = file;
    m_dpi = dpi;
    const double deviceScale = double(dpi) / kStandardDpi;
    m_artworkScale = ArtworkScaleFor(deviceScale);
    Picture picture = Picture::FromResource(ArtworkFileAt(file, m_artworkScale));
    if (!picture && m_artworkScale != 1.0) {
        m_artworkScale = 1.0;
        picture = Picture::FromResource(file);
    }
    if (!picture)
        return;
    // The 1x picture's size at the window's scale: 700 x 400 at 125 % is 875 x 500.
    const PixelSize drawn = picture.size();
    const PixelSize wanted{ScaledPixels(int(std::lround(drawn.width / m_artworkScale)), deviceScale),
                           ScaledPixels(int(std::lround(drawn.height / m_artworkScale)), deviceScale)};
    HDC memory = CreateCompatibleDC(reference);
    m_bitmap = memory ? CreateCompatibleBitmap(reference, wanted.width, wanted.height) : nullptr;
    if (!m_bitmap) {
        if (memory)
            DeleteDC(memory);
        return;
    }
    HGDIOBJ previous = SelectObject(memory, m_bitmap);
    // Drawn down (or, above 2x, up) with averaging, not by dropping rows and columns.
    SetStretchBltMode(memory, HALFTONE);
    SetBrushOrgEx(memory, 0, 0, nullptr);
    picture.Draw(memory, 0, 0, wanted);
    SelectObject(memory, previous);
    DeleteDC(memory);
    m_size = wanted;
}

void Backdrop::Draw(HDC dc) const {
    if (!m_bitmap)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ previous = SelectObject(memory, m_bitmap);
    BitBlt(dc, 0, 0, m_size.width, m_size.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

}  // namespace linkvane
