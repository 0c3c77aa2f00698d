#include "app/MainDefinition.h"

namespace linkvane {

namespace {

using K = ControlKind;

ControlDefinition Caption(const char* name, int left, int top, int width, std::u16string text) {
    // A button's caption: the window font, sized to the text, aligned right.
    return {.name = name, .kind = K::Label, .left = left, .top = top, .width = width, .height = 195,
            .text = text, .autoSize = true, .alignment = TextAlign::Right};
}

ControlDefinition Heading(const char* name, int left, int top, int width, std::u16string text) {
    return {.name = name, .kind = K::Label, .left = left, .top = top, .width = width, .height = 195,
            .text = text, .bold = true, .autoSize = true};
}

// The image buttons and the banner follow the layout's five stops, in reading order.
ControlDefinition ImageButton(const char* name, int left, std::u16string toolTip, int tabIndex) {
    return {.name = name, .kind = K::Image, .left = left, .top = 5400, .width = 1455, .height = 495,
            .toolTip = toolTip, .pointer = MousePointer::Hand, .autoSize = true, .tabIndex = tabIndex};
}

// Captions, spelled as code points: every yeh is U+064A, the peh of the message heading U+067E.
constexpr char16_t kSearch[] =
    u"\u062C\u0633\u062A\u062C\u0648";  // جستجو
constexpr char16_t kGoToSite[] =                                                  // رفتن به سايت
    u"\u0631\u0641\u062A\u0646\u0020\u0628\u0647\u0020\u0633\u0627\u064A\u062A";
constexpr char16_t kContact[] =                                                   // ارتباط با مدير
    u"\u0627\u0631\u062A\u0628\u0627\u0637\u0020\u0628\u0627\u0020\u0645\u062F\u064A\u0631";
constexpr char16_t kAbout[] =                                                     // سازنده برنامه
    u"\u0633\u0627\u0632\u0646\u062F\u0647\u0020\u0628\u0631\u0646\u0627\u0645\u0647";
constexpr char16_t kDateHeading[] =
    u"\u003A\u0020\u062A\u0627\u0631\u064A\u062E";  // : تاريخ
constexpr char16_t kTimeHeading[] =
    u"\u003A\u0020\u0633\u0627\u0639\u062A";        // : ساعت
constexpr char16_t kAddressHeading[] =                                            // جديدترين ادرس سايت
    u"\u062C\u062F\u064A\u062F\u062A\u0631\u064A\u0646\u0020\u0627\u062F\u0631\u0633"
    u"\u0020\u0633\u0627\u064A\u062A";
constexpr char16_t kMessageHeading[] =                                            // پيغام مدير
    u"\u067E\u064A\u063A\u0627\u0645\u0020\u0645\u062F\u064A\u0631";
constexpr char16_t kBannerHeading[] =
    u"\u062A\u0628\u0644\u064A\u063A\u0627\u062A";  // تبليغات
constexpr char16_t kBannerToolTip[] =                                             // !تبليغات شما در قسمت!
    u"\u0021\u062A\u0628\u0644\u064A\u063A\u0627\u062A\u0020\u0634\u0645\u0627\u0020"
    u"\u062F\u0631\u0020\u0642\u0633\u0645\u062A\u0021";

FormDefinition BuildMainDefinition() {
    FormDefinition main{
        .name = "Main",
        .caption = u"Linkvane v1.4",
        .clientWidth = 10485,
        .clientHeight = 5985,
        .frame = FrameStyle::SizableToolWindow,
        .background = "main-background.jpg",
        .icon = "linkvane.ico",
    };
    main.controls = {
        // Out of sight below the client area at the designed size; it has no handler.
        {.name = "Command1", .kind = K::CommandButton, .left = 3120, .top = 6120, .width = 3615,
         .height = 375, .text = u"Command1", .tabIndex = 4},
        {.name = "addressPicbanerr", .kind = K::TextBox, .left = 1800, .top = 840, .width = 1335,
         .height = 285, .text = u"addressPicbaner", .visible = false, .tabIndex = 3},
        {.name = "addressbanerr", .kind = K::TextBox, .left = 240, .top = 840, .width = 1335,
         .height = 285, .text = u"addressbaner", .visible = false, .tabIndex = 2},
        {.name = "NAS", .kind = K::TextBox, .left = 352, .top = 4800, .width = 6850, .height = 315,
         .labelledBy = "Label3", .tabIndex = 1},
        {.name = "AdminPM", .kind = K::TextBox, .left = 360, .top = 2920, .width = 6855, .height = 975,
         .labelledBy = "Label2", .alignment = TextAlign::Right, .multiLine = true, .tabIndex = 0},
        {.name = "LTime", .kind = K::Timer, .interval = 1},
        {.name = "baner", .kind = K::Image, .left = 120, .top = 1200, .width = 6900, .height = 1020,
         .toolTip = kBannerToolTip, .pointer = MousePointer::Hand, .autoSize = true, .tabIndex = 9},
        ImageButton("Image4", 960, kAbout, 8),
        ImageButton("Image3", 2640, kContact, 7),
        ImageButton("Image2", 4200, kGoToSite, 6),
        ImageButton("Image1", 5760, kSearch, 5),
        Caption("About", 960, 5520, 915, kAbout),
        Caption("Contac", 2700, 5520, 840, kContact),
        Caption("Site", 4275, 5520, 945, kGoToSite),
        Caption("lBlFind", 6180, 5520, 525, kSearch),
        {.name = "LDATA", .kind = K::Label, .left = 7080, .top = 4080, .width = 2010, .height = 195,
         .alignment = TextAlign::Right},
        {.name = "lblTime", .kind = K::Label, .left = 7440, .top = 3600, .width = 1530, .height = 195,
         .alignment = TextAlign::Right},
        Heading("Label5", 9180, 4080, 480, kDateHeading),
        Heading("Label4", 9060, 3600, 600, kTimeHeading),
        Heading("Label3", 4970, 4340, 1710, kAddressHeading),
        Heading("Label2", 5880, 2540, 765, kMessageHeading),
        Heading("Label1", 6000, 840, 540, kBannerHeading),
    };
    return main;
}

}  // namespace

const FormDefinition& MainDefinition() {
    static const FormDefinition definition = BuildMainDefinition();
    return definition;
}

}  // namespace linkvane
