#pragma once
// What a screen reader is told of the controls of the three windows, the same on every desktop:
// the window, the control, its role and its name, as code points; an empty name is the text the
// control shows at the time.
#include "forms/ScreenReader.h"
#include <string>
namespace linkvane {
struct Announced { const char *window, *control; AccessibleRole role; std::u16string name; };
inline const Announced kAnnounced[] = {
    {"Main", "Image1", AccessibleRole::PushButton, u"\u062C\u0633\u062A\u062C\u0648"  /* جستجو */},
    {"Main", "Image2", AccessibleRole::PushButton, u"\u0631\u0641\u062A\u0646 \u0628\u0647 \u0633\u0627\u064A\u062A"  /* رفتن به سايت */},
    {"Main", "Image3", AccessibleRole::PushButton, u"\u0627\u0631\u062A\u0628\u0627\u0637 \u0628\u0627 \u0645\u062F\u064A\u0631"  /* ارتباط با مدير */},
    {"Main", "Image4", AccessibleRole::PushButton, u"\u0633\u0627\u0632\u0646\u062F\u0647 \u0628\u0631\u0646\u0627\u0645\u0647"  /* سازنده برنامه */},
    {"Main", "baner", AccessibleRole::PushButton, u"!\u062A\u0628\u0644\u064A\u063A\u0627\u062A \u0634\u0645\u0627 \u062F\u0631 \u0642\u0633\u0645\u062A!"  /* !تبليغات شما در قسمت! */},
    {"Main", "AdminPM", AccessibleRole::EditableText, u"\u067E\u064A\u063A\u0627\u0645 \u0645\u062F\u064A\u0631"  /* پيغام مدير */},
    {"Main", "NAS", AccessibleRole::EditableText, u"\u062C\u062F\u064A\u062F\u062A\u0631\u064A\u0646 \u0627\u062F\u0631\u0633 \u0633\u0627\u064A\u062A"  /* جديدترين ادرس سايت */},
    {"Main", "Contac", AccessibleRole::StaticText, u""},
    {"Main", "lblTime", AccessibleRole::StaticText, u""},
    {"AdminSupport", "Image1", AccessibleRole::PushButton, u"\u0628\u0627\u0632\u06AF\u0634\u062A"  /* بازگشت */},
    {"AdminSupport", "Label4", AccessibleRole::Link, u""},
    {"AdminSupport", "Label1", AccessibleRole::StaticText, u""},
    {"Softwaremanufacturer", "Image1", AccessibleRole::PushButton, u"\u0628\u0627\u0632\u06AF\u0634\u062A"  /* بازگشت */},
    {"Softwaremanufacturer", "Label5", AccessibleRole::Link, u""},
};
}  // namespace linkvane
