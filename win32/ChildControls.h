#pragma once
// The controls that are the system's own windows: EDIT for text boxes, BUTTON for the command
// button. A text box shows its text cheaply and as plain text; what it holds is kept by the form
// window (FormWindow), so that it gives back exactly what it was handed.

#include "forms/FormDefinition.h"

#include <windows.h>

#include <string>

namespace linkvane {

// A text box (multi-line with a vertical scroll bar where the definition says so) or a push
// button at its stored place, in the window font, at the window's resolution; null when the
// system refuses it.
HWND CreateChildControl(HWND parent, const ControlDefinition& control, UINT_PTR id, int dpi);

// Moves a control made so to its stored place at another resolution, in the font of that one.
void PlaceChildControl(HWND child, const ControlDefinition& control, int dpi);

// Puts a text into a text box or button for display; clears the box's "modified" flag.
void ShowText(HWND child, const ControlDefinition& control, const std::u16string& text);

// The text a control shows (what the user typed into a box).
std::u16string WindowText(HWND child);

}  // namespace linkvane
