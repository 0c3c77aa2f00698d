#!/usr/bin/env python3
"""Writes forms/MarkTable.h, the combining marks of the Basic Multilingual Plane that
forms/ShapeableText.cpp counts and caps, from the Unicode Character Database of Debian's
unicode-data package (scripts/install-deps.sh unicode):

    scripts/make-mark-table.py [UNICODE_DIR]   (default /usr/share/unicode)

A combining mark is a nonspacing or enclosing mark (general category Mn or Me, UnicodeData.txt);
an Arabic mark is one that lies in a block named Arabic... (Blocks.txt). Run it again when the
package brings a newer Unicode and commit the table it writes."""
import pathlib
import re
import sys

unicode_dir = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode")
output = pathlib.Path(__file__).resolve().parent.parent / "forms" / "MarkTable.h"


def marks():
    found = []
    for line in (unicode_dir / "UnicodeData.txt").read_text().splitlines():
        fields = line.split(";")
        code = int(fields[0], 16)
        # No mark lies in a range given by its First and Last lines (CJK, Hangul, private use).
        if code <= 0xFFFF and fields[2] in ("Mn", "Me"):
            found.append(code)
    return found


def arabic_blocks():
    blocks_text = (unicode_dir / "Blocks.txt").read_text()
    version = re.match(r"# Blocks-([\d.]+)\.txt", blocks_text).group(1)
    blocks = []
    for first, last, name in re.findall(r"^([0-9A-F]+)\.\.([0-9A-F]+); (.+)$", blocks_text, re.M):
        if name.startswith("Arabic"):
            blocks.append((int(first, 16), int(last, 16)))
    return version, blocks


def ranges(codes):
    runs = []
    for code in sorted(codes):
        if runs and runs[-1][1] == code - 1:
            runs[-1][1] = code
        else:
            runs.append([code, code])
    return runs


def table(name, runs):
    cells = [f"{{0x{first:04X}, 0x{last:04X}}}" for first, last in runs]
    rows = [", ".join(cells[i:i + 6]) for i in range(0, len(cells), 6)]
    return f"inline constexpr MarkRange {name}[] = {{\n    " + ",\n    ".join(rows) + ",\n};\n"


version, blocks = arabic_blocks()
all_marks = marks()
arabic = [code for code in all_marks if any(first <= code <= last for first, last in blocks)]
output.write_text(f"""#pragma once
// Written by scripts/make-mark-table.py from the Unicode Character Database {version}
// (UnicodeData.txt, Blocks.txt); run it again rather than editing this file.

namespace linkvane::marks {{

struct MarkRange {{
    char16_t first, last;
}};

// The nonspacing and enclosing marks (general categories Mn and Me) of the BMP, in order.
{table("kCombining", ranges(all_marks))}
// Those of them in the Arabic blocks, in order.
{table("kArabic", ranges(arabic))}
}}  // namespace linkvane::marks
""")
print(f"{output}: Unicode {version}, {len(all_marks)} marks, {len(arabic)} Arabic")
