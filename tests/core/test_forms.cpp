#include "app/AdminSupport.h"
#include "app/Main.h"
#include "app/MainDefinition.h"
#include "app/Softwaremanufacturer.h"
#include "forms/Background.h"
#include "forms/Click.h"
#include "forms/Form.h"
#include "forms/LabelText.h"
#include "forms/LongLines.h"
#include "forms/PictureHeader.h"
#include "forms/ScreenReader.h"
#include "forms/ShapeableText.h"
#include "forms/Twips.h"
#include "tests/support/codepoints.h"
#include "tests/support/testserver.h"

#include <doctest/doctest.h>

#include <cmath>
#include <thread>

using namespace linkvane;

namespace {

// A desktop with no screen: it records what the windows are asked to do.
using Journal = std::vector<std::string>;

struct RecordingView : WindowView {
    Journal& journal;
    explicit RecordingView(Journal& journal) : journal(journal) {}
    void BuildControls() override { journal.push_back("build"); }
    void DestroyControls() override { journal.push_back("destroy"); }
    void ShowCentred() override { journal.push_back("show"); }
    void RunModal() override { journal.push_back("modal"); }
    void EndModal() override { journal.push_back("end modal"); }
    bool IsVisible() const override { return false; }
    std::u16string Text(std::string_view) const override { return {}; }
    void SetText(std::string_view, const std::u16string&) override {}
    bool IsBold(std::string_view) const override { return false; }
    void SetBold(std::string_view, bool) override {}
    void SetPicture(std::string_view, const std::string&) override {}
    void SetReadingOrder(std::string_view, ReadingOrder) override {}
    void ShowWarning(const std::u16string&, const std::u16string&) override {}
};

// Installed for its lifetime.
struct RecordingDesktop : Desktop {
    Journal journal;
    bool endDuringWait = false;
    RecordingDesktop() { InstallDesktop(this); }
    ~RecordingDesktop() override { InstallDesktop(nullptr); }
    std::unique_ptr<WindowView> CreateView(Form&) override { return std::make_unique<RecordingView>(journal); }
    // Events are the test's own business: a wait only watches its flag, and the test may end
    // the program in the middle of one.
    bool RunEventsUntil(const std::atomic<bool>& finished) override {
        journal.push_back("wait");
        if (endDuringWait)
            EndProgram();
        while (!finished && !IsEnding())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return finished && !IsEnding();
    }
    void WakeEventLoop() override {}
    void CloseEverything() override { journal.push_back("end program"); }
};

class Probe : public Form {
public:
    explicit Probe(Journal& journal) : Form(Definition()), m_journal(journal) {
        onClick("Button", [this] { m_journal.push_back("Button_Click"); });
        onTimer("Clock", [this] { m_journal.push_back("Clock_Timer"); });
    }
    static FormDefinition Definition() {
        return {.name = "Probe",
                .controls = {{.name = "Button", .kind = ControlKind::Image, .tabIndex = 2},
                             {.name = "Caption", .kind = ControlKind::Label},
                             {.name = "Box2", .kind = ControlKind::TextBox, .tabIndex = 1},
                             {.name = "Box1", .kind = ControlKind::TextBox, .tabIndex = 0},
                             {.name = "Unordered", .kind = ControlKind::TextBox},
                             {.name = "Clock", .kind = ControlKind::Timer, .interval = 1}}};
    }

private:
    void Form_Load() override { m_journal.push_back("Form_Load"); }
    void Form_MouseMove() override { m_journal.push_back("Form_MouseMove"); }
    void Form_Unload() override { m_journal.push_back("Form_Unload"); }
    Journal& m_journal;
};

}  // namespace

TEST_CASE("a window loads once, shows, and unloads through its handlers; events reach bound handlers only") {
    RecordingDesktop desktop;
    Probe probe(desktop.journal);
    CHECK(probe.HasClickHandler("Button"));
    CHECK(!probe.HasClickHandler("Caption"));
    CHECK(!probe.HasClickHandler("Nothing"));
    probe.ControlClicked("Caption");
    probe.ControlMouseMoved("Button");
    probe.ControlClicked("Button");
    probe.TimerFired("Clock");
    probe.SurfaceMouseMoved();
    probe.Show();
    probe.Show();
    CHECK(probe.isLoaded());
    probe.CloseRequested();
    CHECK(!probe.isLoaded());
    probe.CloseRequested();  // unloaded already: nothing more happens
    CHECK(desktop.journal == Journal{"Button_Click", "Clock_Timer", "Form_MouseMove", "build", "Form_Load", "show",
                                     "show", "Form_Unload", "destroy", "end modal"});
}

TEST_CASE("a name no control has (a slip in a handler) is reported with its window's name") {
    RecordingDesktop desktop;
    Probe probe(desktop.journal);
    static std::string reported;
    const auto failing = SetUnknownControlReport(
        [](auto form, auto control) { reported = std::string(form) + "." + std::string(control); });
    probe.setText("Caption ", u"x");
    SetUnknownControlReport(failing);
    CHECK(reported == "Probe.Caption ");
}

TEST_CASE("twips become pixels at a resolution, rounded to nearest, halves away from zero") {
    const struct { int twips, dpi, pixels; } cases[] = {
        {0, 96, 0}, {7, 96, 0}, {8, 96, 1}, {-8, 96, -1}, {10485, 96, 699}, {5985, 96, 399},
        // The main window's client area at 125, 150 and 200 %: 699 x 399 scaled, halves up.
        {10485, 120, 874}, {5985, 120, 499}, {10485, 144, 1049}, {5985, 144, 599},
        {10485, 192, 1398}, {5985, 192, 798}, {5, 144, 1}, {-5, 144, -1}, {4, 144, 0},
        // No overflow for the largest twips at a large resolution.
        {2'000'000'000, 480, 666'666'667},
    };
    for (const auto& c : cases)
        CHECK_MESSAGE(TwipsToPixels(c.twips, c.dpi) == c.pixels, c.twips << " twips at " << c.dpi);
    CHECK(TwipsToPixels(8) == TwipsToPixels(8, kStandardDpi));
}

TEST_CASE("the artwork nearest at or above a scale is drawn; its file and drawn size") {
    const struct { double deviceScale, artwork; } cases[] = {
        {1.0, 1.0}, {1.0000001, 1.0}, {0.5, 1.0}, {1.01, 1.5}, {1.25, 1.5}, {1.5, 1.5}, {1.75, 2.0},
        {2.0, 2.0}, {3.0, 2.0}, {0.0, 1.0}, {-2.0, 1.0}, {std::nan(""), 1.0}, {HUGE_VAL, 1.0},
    };
    for (const auto& c : cases)
        CHECK_MESSAGE(ArtworkScaleFor(c.deviceScale) == c.artwork, c.deviceScale);
    CHECK(ArtworkFileAt("main-background.jpg", 1.0) == "main-background.jpg");
    CHECK(ArtworkFileAt("main-background.jpg", 1.5) == "main-background-1.5x.jpg");
    CHECK(ArtworkFileAt("support-background.jpg", 2.0) == "support-background-2x.jpg");
    CHECK(ArtworkFileAt("noextension", 2.0) == "noextension-2x");
    // 700 x 400 of the main window's picture at 125 % and 150 %; odd sizes round to nearest.
    CHECK(ScaledPixels(700, 1.25) == 875);
    CHECK(ScaledPixels(349, 1.5) == 524);
    CHECK(ScaledPixels(400, std::nan("")) == 400);
}

TEST_CASE("work off the user-interface thread gives its result back, or nothing once the program ends") {
    RecordingDesktop desktop;
    CHECK(WithoutFreezing<std::string>([] { return std::string("text"); }) == "text");
    CHECK(desktop.journal == Journal{"wait"});

    // Ending in the middle of a wait returns at once and leaves the worker to finish alone, until
    // the program's end abandons the work as it was handed over.
    static std::atomic<bool> release{false};
    desktop.endDuringWait = true;
    std::string result = "none yet";
    CHECK(Within(MillisecondsFor([&] {
                     result = WithoutFreezing<std::string>([] {
                         while (!release)
                             std::this_thread::sleep_for(std::chrono::milliseconds(1));
                         return std::string("late");
                     }, [] { release = true; });
                 }),
                 500));
    CHECK(result.empty());
    CHECK_FALSE(WaitForWorkers(std::chrono::milliseconds(20)));
    CHECK(AbandonBackgroundWork(std::chrono::seconds(5)));

    // Once ending, no window loads or shows and no more work starts.
    Probe probe(desktop.journal);
    desktop.journal.clear();
    probe.Show();
    CHECK(WithoutFreezing<int>([] { return 7; }) == 0);
    CHECK(desktop.journal.empty());
}

TEST_CASE("a timer under a second fires just after each second boundary; others keep their interval") {
    using namespace std::chrono;
    const ControlDefinition clock{.name = "LTime", .kind = ControlKind::Timer, .interval = 1};
    const system_clock::time_point second(seconds(1'780'000'000));
    for (const milliseconds into : {0ms, 1ms, 500ms, 998ms, 999ms}) {
        CAPTURE(into.count());
        const auto delay = TimerDelay(clock, second + into);
        REQUIRE(delay);
        const auto firesAt = second + into + *delay;
        CHECK(firesAt > second + into);
        CHECK(firesAt >= second + seconds(1));
        CHECK(firesAt <= second + seconds(1) + milliseconds(20));
    }
    ControlDefinition slow = clock;
    slow.interval = 2500;
    CHECK(TimerDelay(slow, second + milliseconds(300)) == milliseconds(2500));
    slow.interval = 0;
    CHECK_FALSE(TimerDelay(slow, second));
}

TEST_CASE("a label keeps its text at the layout's anchor and grows to hold all of its ink") {
    // 13 px high in the layout; the font's line is 11 (ascent 9), its madda reaches 2 px above.
    const ControlDefinition caption{.name = "Caption", .kind = ControlKind::Label, .left = 960, .top = 5520,
                                    .width = 915, .height = 195, .autoSize = true};
    const TextMeasure madda{.advance = 13, .ascent = 9, .descent = 2, .ink = {-1, -11, 15, 14}};
    const LabelPlacement placed = PlaceLabel(caption, madda);
    CHECK(placed.rect == PixelRect{63, 366, 15, 14});
    // The text starts at the stored left edge, its baseline one ascent below the stored top.
    CHECK(placed.rect.left + placed.penX == 64);
    CHECK(placed.rect.top + placed.baseline == 368 + 9);

    // A value that grows left keeps its right edge, whatever its width.
    ControlDefinition value = caption;
    value.growsLeft = true;
    const TextMeasure wide{.advance = 200, .ascent = 9, .descent = 2, .ink = {0, -8, 200, 10}};
    const LabelPlacement grown = PlaceLabel(value, wide);
    CHECK(grown.rect.left + grown.penX + 200 == 125);  // 960 + 915 twips
    CHECK(grown.rect.right() == 125);

    // A fixed-size right-aligned label never shrinks below its stored rectangle and grows left for
    // text wider than it: the long date next to its heading.
    const ControlDefinition date{.name = "LDATA", .kind = ControlKind::Label, .left = 7080, .top = 4080,
                                 .width = 2010, .height = 195, .alignment = TextAlign::Right};
    const LabelPlacement shortDate = PlaceLabel(date, {.advance = 90, .ascent = 9, .descent = 2, .ink = {0, -8, 90, 10}});
    CHECK(shortDate.rect == PixelRect{472, 272, 134, 13});
    CHECK(shortDate.rect.left + shortDate.penX == 606 - 90);
    const LabelPlacement longDate = PlaceLabel(date, {.advance = 144, .ascent = 9, .descent = 2, .ink = {1, -11, 142, 14}});
    CHECK(longDate.rect.left + longDate.penX == 606 - 144);
    CHECK(longDate.rect == PixelRect{462, 270, 144, 15});

    // No ink (an empty caption, or blanks): the line alone; nonsense sizes give no negative size.
    const LabelPlacement empty = PlaceLabel(caption, {.advance = 0, .ascent = 9, .descent = 2});
    CHECK(empty.rect == PixelRect{64, 368, 0, 11});
    const LabelPlacement nonsense = PlaceLabel(caption, {.advance = -5, .ascent = -3, .descent = -1});
    CHECK(nonsense.rect.width >= 0);
    CHECK(nonsense.rect.height >= 0);

    // At 144 dots per inch the anchors are the layout's at that resolution: 10 twips a pixel.
    const LabelPlacement large = PlaceLabel(value, {.advance = 300, .ascent = 14, .descent = 3, .ink = {0, -12, 300, 15}}, 144);
    CHECK(large.rect.right() == 188);  // 1875 twips
    CHECK(large.rect.top + large.baseline == 552 + 14);
}

TEST_CASE("ink is found in a drawn buffer and brought back to logical pixels, rounded outwards") {
    std::vector<std::uint32_t> pixels(8 * 5, 0);
    CHECK(InkBounds(pixels, 8, 5).empty());
    pixels[1 * 8 + 2] = 0xFFFFFFFF;
    pixels[3 * 8 + 6] = 0x01000000;  // faint antialiasing counts
    CHECK(InkBounds(pixels, 8, 5) == PixelRect{2, 1, 5, 3});
    CHECK(InkBounds(pixels, 8, 6).empty());  // a buffer shorter than it says
    CHECK(InkBounds(pixels, 0, 5).empty());

    // At a scale of 2 a half-covered logical pixel counts whole.
    const InkCanvas canvas = CanvasForInk(13, 9, 2, 2.0);
    CHECK(canvas.width >= 2 * 13);
    CHECK(canvas.height >= 2 * 11);
    const PixelRect device{2 * canvas.penX - 1, 2 * canvas.baseline - 21, 29, 26};
    CHECK(InkFromCanvas(device, canvas, 2.0) == PixelRect{-1, -11, 15, 14});
    CHECK(InkFromCanvas({}, canvas, 2.0).empty());
    // A scale that is no scale is taken as 1; a huge text gets a bounded canvas.
    CHECK(CanvasForInk(13, 9, 2, 0.0).width == CanvasForInk(13, 9, 2, 1.0).width);
    const InkCanvas huge = CanvasForInk(1'000'000'000, 9, 2, 16.0);
    CHECK(huge.width <= 8192);
    CHECK(huge.height <= 8192);
}

TEST_CASE("the tab order follows the stored indexes; Tab moves along it, round, past what cannot take the focus") {
    const FormDefinition definition = Probe::Definition();
    std::vector<std::string> names;
    for (const ControlDefinition* control : TabOrder(definition))
        names.push_back(control->name);
    // The unordered box and the label without a stop are left out; the image with one comes last.
    CHECK(names == std::vector<std::string>{"Box1", "Box2", "Button"});

    const auto all = [](const ControlDefinition&) { return true; };
    const auto name = [](const ControlDefinition* control) { return control ? control->name : std::string("none"); };
    CHECK(name(NextInTabOrder(definition, "Box1", false, all)) == "Box2");
    CHECK(name(NextInTabOrder(definition, "Button", false, all)) == "Box1");
    CHECK(name(NextInTabOrder(definition, "Box1", true, all)) == "Button");
    // From a control outside the order, or from none, the first (or, backwards, the last).
    CHECK(name(NextInTabOrder(definition, "Unordered", false, all)) == "Box1");
    CHECK(name(NextInTabOrder(definition, "", true, all)) == "Button");
    // A hidden control is skipped; with no other, the focus stays; with none at all, nothing.
    const auto onlyBox1 = [](const ControlDefinition& c) { return c.name == "Box1"; };
    CHECK(name(NextInTabOrder(definition, "Box1", false, onlyBox1)) == "Box1");
    CHECK(name(NextInTabOrder(definition, "Box1", false, [](const ControlDefinition&) { return false; })) == "none");
    CHECK(definition.find("Missing") == nullptr);
}

TEST_CASE("out of sight is none of it within the client area: a button below the bottom edge, an empty control") {
    CHECK(InSight({208, 390, 241, 25}, {699, 399}));
    CHECK_FALSE(InSight({208, 399, 241, 25}, {699, 399}));
    CHECK_FALSE(InSight({-30, 10, 30, 20}, {699, 399}));
    CHECK_FALSE(InSight({10, 10, 0, 20}, {699, 399}));
}

TEST_CASE("screen readers read the tab order first, then the rest as stacked; a timer is nothing to read") {
    const FormDefinition definition = Probe::Definition();  // the order points into it
    std::vector<std::string> names;
    for (const ControlDefinition* control : ScreenReaderOrder(definition))
        names.push_back(control->name);
    CHECK(names == std::vector<std::string>{"Box1", "Box2", "Button", "Caption", "Unordered"});
}

TEST_CASE("a window is centred with its frame") {
    // 699 x 399 of client area in a frame of 4 px sides, a 22 px title and a 4 px bottom.
    CHECK(CentredOn({0, 0, 1024, 768}, {699 + 8, 399 + 26}) == PixelRect{158, 171, 707, 425});
    // A screen area that does not start at the origin (a panel above it), a window larger than it.
    CHECK(CentredOn({0, 30, 800, 570}, {900, 600}) == PixelRect{-50, 15, 900, 600});
}

TEST_CASE("a double-click acts once: its second press is no click") {
    ClickCounter counter;
    const auto press = [&](PressKind kind) { counter.Pressed(MouseButton::Primary, kind); };
    const auto release = [&](bool over = true) { return counter.Released(MouseButton::Primary, over); };
    press(PressKind::Single);
    CHECK(release());
    press(PressKind::Double);
    CHECK_FALSE(release());
    press(PressKind::Single);  // a third quick press is a press again
    CHECK(release());
    // Released away from the control, or with another button, or without a press: no click.
    press(PressKind::Single);
    CHECK_FALSE(release(false));
    CHECK_FALSE(release());
    counter.Pressed(MouseButton::Other, PressKind::Single);
    CHECK_FALSE(counter.Released(MouseButton::Other, true));
    press(PressKind::Single);
    CHECK_FALSE(counter.Released(MouseButton::Other, true));
}

TEST_CASE("a press made before its control's last action ended adds nothing; other controls keep their turn") {
    ControlActions actions;
    REQUIRE(actions.Begins("search", InputMoment(100)));
    CHECK_FALSE(actions.Begins("search", InputMoment(150)));  // handed over while the search runs
    actions.Ended("search", InputMoment(2000));
    CHECK_FALSE(actions.Begins("search", InputMoment(1999)));  // made during it, handed over after it
    REQUIRE(actions.Begins("site", InputMoment(1500)));
    actions.Ended("site", InputMoment(2001));
    CHECK_FALSE(actions.Begins("site", InputMoment(1600)));  // held behind the first go-to-site
    CHECK(actions.Begins("search", InputMoment(2000)));  // as it ended: after it
}

TEST_CASE("a box shows a long line in pieces and a normal text exactly as it is") {
    const std::u16string message = u"\u0633\u0644\u0627\u0645 \u06A9\u0627\u0631\u0628\u0631\r\n\u06AF\u0631\u0627\u0645\u064A\n";
    CHECK(BreakLongLines(message, u"\n") == message);
    CHECK(LongestShownPiece(message) == message);

    // Words break after the last blank of a piece.
    CHECK(BreakLongLines(u"aaaa bbbb cccc dddd\r\nee", u"|", 10) == u"aaaa bbbb |cccc dddd\r\nee");
    // An unbroken run breaks at the longest piece, never inside a surrogate pair (units 9 and 10).
    const std::u16string run = std::u16string(9, u'x') + u"\U0001F600yyyy";
    CHECK(BreakLongLines(run, u"|", 10) == u"xxxxxxxxx|\U0001F600yyyy");
    CHECK(LongestShownPiece(run, 10) == std::u16string(9, u'x'));
    // A lone low surrogate after a pair is no half of it: the pair stays whole.
    const std::u16string pairThenLone = u"ab\U0001F600" + std::u16string(2, char16_t(0xDE00));
    CHECK(BreakLongLines(pairThenLone, u"|", 4) == u"ab\U0001F600|" + pairThenLone.substr(4));
    CHECK(LongestShownPiece(pairThenLone, 4) == u"ab\U0001F600");

}

TEST_CASE("the windows' captions are the layout's code points") {
    const FormDefinition main = MainDefinition(), support = AdminSupport::Definition(),
                         maker = Softwaremanufacturer::Definition();
    const struct { const FormDefinition& form; const char* control; const char* codes; } rows[] = {
        {main, "lBlFind", "062C 0633 062A 062C 0648"},
        {main, "Site", "0631 0641 062A 0646 0020 0628 0647 0020 0633 0627 064A 062A"},
        {main, "Contac", "0627 0631 062A 0628 0627 0637 0020 0628 0627 0020 0645 062F 064A 0631"},
        {main, "About", "0633 0627 0632 0646 062F 0647 0020 0628 0631 0646 0627 0645 0647"},
        {main, "Label5", "003A 0020 062A 0627 0631 064A 062E"},
        {main, "Label4", "003A 0020 0633 0627 0639 062A"},
        {main, "Label3", "062C 062F 064A 062F 062A 0631 064A 0646 0020 0627 062F 0631 0633 0020 0633 0627 064A 062A"},
        {main, "Label2", "067E 064A 063A 0627 0645 0020 0645 062F 064A 0631"},
        {main, "Label1", "062A 0628 0644 064A 063A 0627 062A"},
        {support, "Label3", "0628 0627 0020 062A 0634 06A9 0631 0020 0645 062F 064A 0631 064A 062A 0020 0633 0627 064A 062A"},
        {support, "Label4", "0628 0631 0627 064A 0020 0627 0631 062A 0628 0627 0637 0020 0645 064A 062A 0648 0627 0646 064A 062F 0020 0627 0632 0020 0627 064A 0645 064A 0644 0020 0632 064A 0631 0020 0627 0633 062A 0641 0627 062F 0647 0020 06A9 0646 064A 062F 0020"},
        {support, "Label1", "003A 0020 0627 0631 062A 064A 0627 0637 0020 0628 0627 0020 0645 062F 064A 0631 064A 062A"},
        {support, "lblback", "0628 0627 0632 06AF 0634 062A"},
        {maker, "Label7", "003A 0020 0628 0631 0646 0627 0645 0647 0020 0646 0648 064A 0633 064A"},
        {maker, "Label3", "003A 0020 0648 0631 0698 0646 0020 0628 0631 0646 0627 0645 0647"},
    };
    for (const auto& row : rows) {
        CAPTURE(row.control);
        REQUIRE(row.form.find(row.control));
        CHECK(CodePoints(row.form.find(row.control)->text) == row.codes);
    }
    CHECK(CodePoints(maker.find("Label2")->text.substr(0, 10)) == "003A 0020 064A 0648 0632 0631 0020 062F 0631 0020");
    CHECK(CodePoints(main.find("baner")->toolTip) ==
          "0021 062A 0628 0644 064A 063A 0627 062A 0020 0634 0645 0627 0020 062F 0631 0020 0642 0633 0645 062A 0021");
    CHECK(main.find("Image1")->toolTip == main.find("lBlFind")->text);
    CHECK(main.find("Image4")->toolTip == main.find("About")->text);
    // Headings are bold, captions are not until hovered.
    CHECK((main.find("Label5")->bold && support.find("Label1")->bold));
    CHECK(!(main.find("About")->bold || support.find("Label4")->bold));
    // The clock: 24 hours, leading zeros.
    CHECK(ClockText(9, 5, 30) == u"09:05:30");
    CHECK(ClockText(23, 59, 0) == u"23:59:00");
}

namespace {

std::string Be16(unsigned v) { return {char(v >> 8), char(v)}; }
std::string Le16(unsigned v) { return {char(v), char(v >> 8)}; }
std::string Be32(unsigned v) { return Be16(v >> 16) + Be16(v); }
std::string Le32(unsigned v) { return Le16(v) + Le16(v >> 16); }

std::string Png(unsigned width, unsigned height) {
    return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "IHDR" + Be32(width) + Be32(height) + "\x08\x06";
}
// A screen, then one image (with a comment extension before it) at (left, top).
std::string Gif(unsigned width, unsigned height, unsigned left = 0, unsigned top = 0) {
    return "GIF89a" + Le16(width) + Le16(height) + std::string("\x80\0\0", 3) + std::string(6, '\0') +
           std::string("\x21\xFE\x02hi\0", 6) + "," + Le16(left) + Le16(top) + Le16(width) + Le16(height) +
           std::string("\0\x02\x01x\0;", 6);
}
// A JFIF segment, then the frame header of a progressive picture.
std::string Jpeg(unsigned width, unsigned height) {
    return std::string("\xFF\xD8\xFF\xE0", 4) + Be16(16) + std::string(14, 'j') + "\xFF\xC2" + Be16(11) + "\x08" +
           Be16(height) + Be16(width) + "\x01\x01\x11\x00";
}
std::string Dib(int width, int height) { return Le32(40) + Le32(unsigned(width)) + Le32(unsigned(height)) + "\x01\0"; }
std::string Bmp(int width, int height) { return "BM" + std::string(12, '\0') + Dib(width, height); }
std::string Ico(const std::string& image) {
    return std::string("\0\0\1\0\1\0", 6) + std::string(12, '\0') + Le32(22) + image;
}

}  // namespace

TEST_CASE("a picture's declared size is read before decoding; too large or unknown is no picture") {
    struct Row {
        const char* name;
        std::string bytes;
        long long width, height;  // 0: no picture
    };
    const std::vector<Row> rows{
        {"PNG at the largest", Png(4096, 4096), 4096, 4096},
        {"PNG one too wide", Png(4097, 1), 0, 0},
        {"PNG of 20000 square", Png(20000, 20000), 0, 0},
        {"PNG cut short", Png(8, 8).substr(0, 20), 0, 0},
        {"GIF", Gif(40, 30), 40, 30},
        {"GIF frame past its screen", Gif(40, 30, 4090, 0), 0, 0},
        {"progressive JPEG", Jpeg(4096, 10), 4096, 10},
        {"JPEG of 11000 square", Jpeg(11000, 11000), 0, 0},
        {"JPEG with no frame header", Jpeg(8, 8).substr(0, 22) + "\xFF\xD9", 0, 0},
        {"BMP stored top down", Bmp(8, -4096), 8, 4096},
        {"BMP too tall", Bmp(8, 5000), 0, 0},
        {"BMP of no width", Bmp(0, 8), 0, 0},
        {"icon of a bitmap", Ico(Dib(16, 32)), 16, 32},
        {"icon holding a huge PNG", Ico(Png(20000, 20000)), 0, 0},
        {"icon entry past the end", Ico("").substr(0, 22), 0, 0},
        {"another format", "P6\n20000 20000\n255\n", 0, 0},
        {"empty", "", 0, 0},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        const std::optional<PictureHeader> header = ShowablePictureHeader(row.bytes);
        CHECK(header.has_value() == (row.width > 0));
        if (header) {
            CHECK(header->width == row.width);
            CHECK(header->height == row.height);
        }
    }
}

TEST_CASE("text is made shapeable with as few changes as possible") {
    const std::u16string fathas30(30, u'\u064E');
    const std::u16string beh = u"\u0628";
    struct Row {
        const char* name;
        std::u16string text, shown;
    };
    const std::vector<Row> rows{
        {"ordinary Persian with marks", u"\u0633\u064E\u0644\u0627\u0645 \u0628\u0651\u064E\r\nab",
         u"\u0633\u064E\u0644\u0627\u0645 \u0628\u0651\u064E\r\nab"},
        {"Latin marks on Latin letters", u"e\u0301\u0308", u"e\u0301\u0308"},
        {"sukun on a Latin letter", u"\u00F9\u0652\u00FB\u00FC\u200E", u"\u00F9\u0640\u0652\u00FB\u00FC\u200E"},
        {"marks at the start of lines and after blanks", u"\u064B\n \u064E\u064F", u"\u0640\u064B\n \u0640\u064E\u064F"},
        {"an Arabic mark after a Latin one", u"a\u0301\u064E", u"a\u0301\u0640\u064E"},
        {"Arabic marks of Unicode 14", u" \u089A\u08CA", u" \u0640\u089A\u08CA"},
        {"a Devanagari mark is a mark", std::u16string(u"x").append(31, u'\u0941'),
         std::u16string(u"x").append(30, u'\u0941')},
        {"30 marks on one letter", beh + fathas30, beh + fathas30},
        {"99 marks on one letter", beh + std::u16string(99, u'\u064E'), beh + fathas30},
        {"two letters of 30 marks in one word", beh + fathas30 + beh + fathas30, beh + fathas30 + beh},
        {"a word too long to keep its marks", std::u16string(32, u'\u0627') + u"\u064E a\u0301",
         std::u16string(32, u'\u0627') + u" a\u0301"},
        {"two words of 30 marks in one line", beh + fathas30 + u" " + beh + fathas30,
         beh + fathas30 + u" " + beh + std::u16string(3, u'\u064E')},
        {"the same on two lines", beh + fathas30 + u"\r\n" + beh + fathas30, beh + fathas30 + u"\r\n" + beh + fathas30},
    };
    for (const Row& row : rows)
        CHECK_MESSAGE(ShapeableText(row.text) == row.shown, row.name);
}
