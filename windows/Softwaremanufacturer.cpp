#include "windows/Softwaremanufacturer.h"

#include "app/Config.h"
#include "net/shell.h"

namespace linkvane {

namespace {

using K = ControlKind;

// : برنامه نويسي
const QString kProgrammingCaption = QStringLiteral(
    u"\u003A\u0020\u0628\u0631\u0646\u0627\u0645\u0647\u0020\u0646\u0648\u064A\u0633\u064A");
// : يوزر در Velquin
const QString kUserCaption =
    QStringLiteral(u"\u003A\u0020\u064A\u0648\u0632\u0631\u0020\u062F\u0631\u0020Velquin");
// : ورژن برنامه
const QString kVersionCaption = QStringLiteral(
    u"\u003A\u0020\u0648\u0631\u0698\u0646\u0020\u0628\u0631\u0646\u0627\u0645\u0647");

// A value stands left of its caption; a value of another width keeps the stored gap.
ControlDefinition Value(const QString& name, int left, int top, int width, const QString& text,
                        MousePointer pointer) {
    return {.name = name, .kind = K::Label, .left = left, .top = top, .width = width,
            .height = kCaptionHeight, .text = text, .pointer = pointer, .autoSize = true,
            .growsLeft = true};
}

ControlDefinition Caption(const QString& name, int left, int top, int width, const QString& text) {
    return {.name = name, .kind = K::Label, .left = left, .top = top, .width = width,
            .height = kCaptionHeight, .text = text, .bold = true, .autoSize = true};
}

}  // namespace

FormDefinition Softwaremanufacturer::Definition() {
    FormDefinition maker{
        .name = QStringLiteral("Softwaremanufacturer"),
        .caption = QStringLiteral("Software manufacturer"),
        .clientWidth = 5235,
        .clientHeight = 3315,
        .frame = FrameStyle::FixedToolWindow,
        .background = QStringLiteral(":/resources/maker-background.jpg"),
    };
    maker.controls = {
        BackButton(3840, 2880),
        Caption("Label7", 3360, 1200, 1215, kProgrammingCaption),
        Value("Label6", 2760, 1200, 450, QStringLiteral(LINKVANE_AUTHOR_NAME), MousePointer::Hand),
        BackCaption(4080, 3000),
        Caption("Label2", 3120, 1680, 1440, kUserCaption),
        Caption("Label3", 3600, 2235, 990, kVersionCaption),
        Value("tell", 3120, 2235, 240, QStringLiteral("1.4"), MousePointer::Default),
        Value("Label5", 2400, 1680, 540, QStringLiteral(LINKVANE_AUTHOR_USER_NAME), MousePointer::Hand),
    };
    return maker;
}

Softwaremanufacturer::Softwaremanufacturer() : SecondaryWindow(Definition()) {
    onClick(QStringLiteral("Label5"), [this] { Label5_Click(); });
}

void Softwaremanufacturer::Label5_Click() {
    ShellOpen(this, QStringLiteral(LINKVANE_MAKER_SITE));
}

}  // namespace linkvane
