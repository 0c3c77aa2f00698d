#include "app/AdminSupport.h"

#include "app/Config.h"
#include "net/codepage.h"
#include "app/Shell.h"

namespace linkvane {

namespace {

using K = ControlKind;

// با تشکر مديريت سايت
constexpr char16_t kThanks[] =
    u"\u0628\u0627\u0020\u062A\u0634\u06A9\u0631\u0020\u0645\u062F\u064A\u0631\u064A\u062A\u0020"
    u"\u0633\u0627\u064A\u062A";
// براي ارتباط ميتوانيد از ايميل زير استفاده کنيد (with its closing blank)
constexpr char16_t kInvitation[] =
    u"\u0628\u0631\u0627\u064A\u0020\u0627\u0631\u062A\u0628\u0627\u0637\u0020\u0645\u064A\u062A"
    u"\u0648\u0627\u0646\u064A\u062F\u0020\u0627\u0632\u0020\u0627\u064A\u0645\u064A\u0644\u0020"
    u"\u0632\u064A\u0631\u0020\u0627\u0633\u062A\u0641\u0627\u062F\u0647\u0020\u06A9\u0646\u064A"
    u"\u062F\u0020";
// : ارتياط با مديريت
constexpr char16_t kHeading[] =
    u"\u003A\u0020\u0627\u0631\u062A\u064A\u0627\u0637\u0020\u0628\u0627\u0020\u0645\u062F\u064A"
    u"\u0631\u064A\u062A";

}  // namespace

FormDefinition AdminSupport::Definition() {
    FormDefinition support{
        .name = "AdminSupport",
        .caption = u"Support",
        .clientWidth = 5235,
        .clientHeight = 3735,
        .frame = FrameStyle::FixedToolWindow,
        .background = "support-background.jpg",
    };
    support.controls = {
        {.name = "Label3", .kind = K::Label, .left = 240, .top = 2640, .width = 1515,
         .height = kCaptionHeight, .text = kThanks, .pointer = MousePointer::Hand, .autoSize = true},
        // The address of another width keeps the stored right edge under the invitation line.
        {.name = "Label2", .kind = K::Label, .left = 1080, .top = 2160, .width = 2025,
         .height = kCaptionHeight, .text = FromUtf8(LINKVANE_SUPPORT_EMAIL),
         .pointer = MousePointer::Hand, .autoSize = true, .growsLeft = true},
        {.name = "Label4", .kind = K::Label, .left = 1845, .top = 1680, .width = 3060,
         .height = kCaptionHeight, .text = kInvitation, .pointer = MousePointer::Hand, .autoSize = true,
         .tabIndex = 0},
        {.name = "Label1", .kind = K::Label, .left = 3240, .top = 1200, .width = 1320,
         .height = kCaptionHeight, .text = kHeading, .bold = true, .autoSize = true},
        BackButton(3840, 3240),
        BackCaption(4130, 3330),
    };
    return support;
}

std::u16string MessengerCommandLine() {
    return DesktopOpener() + u" ymsgr:sendim?" + FromUtf8(LINKVANE_SUPPORT_MESSENGER_ID);
}

AdminSupport::AdminSupport() : SecondaryWindow(Definition()) {
    onClick("Label4", [this] { Label4_Click(); });
}

void AdminSupport::Label4_Click() {
    constexpr int kMaximizedWithFocus = 3;
    ShellRun(MessengerCommandLine(), kMaximizedWithFocus);
}

}  // namespace linkvane
