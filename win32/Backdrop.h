#pragma once
// A window's background picture at the window's resolution: the artwork drawn for the nearest
// scale at or above it (forms/FormDefinition.h), brought to the exact size once and kept, so that
// a paint only copies it.

#include "forms/FormDefinition.h"

#include <windows.h>

#include <string>

namespace linkvane {

class Backdrop {
public:
    Backdrop() = default;
    ~Backdrop();
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

    // The picture of the resource file `file` (its 1x name) for a window at `dpi`, compatible
    // with `reference`. Nothing to do when it is prepared for that resolution already.
    void Prepare(const std::string& file, int dpi, HDC reference);
    // Copies it with its top-left corner at the client area's.
    void Draw(HDC dc) const;
    // Its size in device pixels; empty when there is none.
    PixelSize size() const { return m_size; }
    // The artwork it was made from (1, 1.5 or 2).
    double artworkScale() const { return m_artworkScale; }

private:
    void release();

    HBITMAP m_bitmap = nullptr;
    PixelSize m_size{};
    std::string m_file;
    int m_dpi = 0;
    double m_artworkScale = 1.0;
};

}  // namespace linkvane
