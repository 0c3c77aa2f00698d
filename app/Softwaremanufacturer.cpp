#include "app/Softwaremanufacturer.h"

#include "app/Config.h"
#include "net/codepage.h"
#include "app/Shell.h"

namespace linkvane {

namespace {

using K = ControlKind;

// : برنامه نويسي
constexpr char16_t kProgrammingCaption[] =
    u"\u003A\u0020\u0628\u0631\u0646\u0627\u0645\u0647\u0020\u0646\u0648\u064A\u0633\u064A";
// : يوزر در Velquin
constexpr char16_t kUserCaption[] =
    u"\u003A\u0020\u064A\u0648\u0632\u0631\u0020\u062F\u0631\u0020Velquin";
// : ورژن برنامه
constexpr char16_t kVersionCaption[] =
    u"\u003A\u0020\u0648\u0631\u0698\u0646\u0020\u0628\u0631\u0646\u0627\u0645\u0647";

// A value stands left of its caption; a value of another width keeps the stored gap.
ControlDefinition Value(const char* name, int left, int top, int width, std::u16string text,
                        MousePointer pointer, int tabIndex = -1) {
    return {.name = name, .kind = K::Label, .left = left, .top = top, .width = width,
            .height = kCaptionHeight, .text = text, .pointer = pointer, .autoSize = true,
            .growsLeft = true, .tabIndex = tabIndex};
}

ControlDefinition Caption(const char* name, int left, int top, int width, std::u16string text) {
    return {.name = name, .kind = K::Label, .left = left, .top = top, .width = width,
            .height = kCaptionHeight, .text = text, .bold = true, .autoSize = true};
}

}  // namespace

FormDefinition Softwaremanufacturer::Definition() {
    FormDefinition maker{
        .name = "Softwaremanufacturer",
        .caption = u"Software manufacturer",
        .clientWidth = 5235,
        .clientHeight = 3315,
        .frame = FrameStyle::FixedToolWindow,
        .background = "maker-background.jpg",
    };
    maker.controls = {
        BackButton(3840, 2880),
        Caption("Label7", 3360, 1200, 1215, kProgrammingCaption),
        Value("Label6", 2760, 1200, 450, FromUtf8(LINKVANE_AUTHOR_NAME), MousePointer::Hand),
        BackCaption(4080, 3000),
        Caption("Label2", 3120, 1680, 1440, kUserCaption),
        Caption("Label3", 3600, 2235, 990, kVersionCaption),
        Value("tell", 3120, 2235, 240, u"1.4", MousePointer::Default),
        Value("Label5", 2400, 1680, 540, FromUtf8(LINKVANE_AUTHOR_USER_NAME), MousePointer::Hand, 0),
    };
    return maker;
}

Softwaremanufacturer::Softwaremanufacturer() : SecondaryWindow(Definition()) {
    onClick("Label5", [this] { Label5_Click(); });
}

void Softwaremanufacturer::Label5_Click() {
    ShellOpen(this, FromUtf8(LINKVANE_MAKER_SITE));
}

}  // namespace linkvane
