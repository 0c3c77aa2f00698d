#include "forms/Background.h"
#include "forms/Form.h"
#include "forms/LongLines.h"
#include "forms/Twips.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace linkvane;

namespace {

// A desktop with no screen: it records what the windows are asked to do.
struct Journal {
    std::vector<std::string> calls;
};

class RecordingView : public WindowView {
public:
    explicit RecordingView(Journal& journal) : m_journal(journal) {}
    void BuildControls() override { m_journal.calls.push_back("build"); }
    void DestroyControls() override { m_journal.calls.push_back("destroy"); }
    void ShowCentred() override { m_journal.calls.push_back("show"); }
    void RunModal() override { m_journal.calls.push_back("modal"); }
    void EndModal() override { m_journal.calls.push_back("end modal"); }
    bool IsVisible() const override { return false; }
    std::u16string Text(std::string_view control) const override {
        const auto found = m_texts.find(std::string(control));
        return found == m_texts.end() ? std::u16string() : found->second;
    }
    void SetText(std::string_view control, const std::u16string& text) override {
        m_texts[std::string(control)] = text;
    }
    bool IsBold(std::string_view) const override { return false; }
    void SetBold(std::string_view, bool) override {}
    void SetPicture(std::string_view, const std::string&) override {}
    void SetReadingOrder(std::string_view, ReadingOrder) override {}
    void ShowWarning(const std::u16string&, const std::u16string&) override {}

private:
    Journal& m_journal;
    std::map<std::string, std::u16string> m_texts;
};

class RecordingDesktop : public Desktop {
public:
    Journal journal;
    std::unique_ptr<WindowView> CreateView(Form&) override {
        return std::make_unique<RecordingView>(journal);
    }
    // Events are the test's own business: a wait only watches its flag, and the test may end
    // the program in the middle of one.
    bool RunEventsUntil(const std::atomic<bool>& finished) override {
        journal.calls.push_back("wait");
        if (endDuringWait)
            EndProgram();
        while (!finished && !IsEnding())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return finished && !IsEnding();
    }
    void WakeEventLoop() override {}
    bool endDuringWait = false;

protected:
    void CloseEverything() override { journal.calls.push_back("end program"); }
};

class Probe : public Form {
public:
    explicit Probe(Journal& journal) : Form(Definition()), m_journal(journal) {
        onClick("Button", [this] { m_journal.calls.push_back("Button_Click"); });
        onTimer("Clock", [this] { m_journal.calls.push_back("Clock_Timer"); });
    }
    static FormDefinition Definition() {
        return {.name = "Probe",
                .controls = {{.name = "Button", .kind = ControlKind::Image},
                             {.name = "Caption", .kind = ControlKind::Label},
                             {.name = "Box2", .kind = ControlKind::TextBox, .tabIndex = 1},
                             {.name = "Box1", .kind = ControlKind::TextBox, .tabIndex = 0},
                             {.name = "Unordered", .kind = ControlKind::TextBox},
                             {.name = "Clock", .kind = ControlKind::Timer, .interval = 1}}};
    }

private:
    void Form_Load() override { m_journal.calls.push_back("Form_Load"); }
    void Form_MouseMove() override { m_journal.calls.push_back("Form_MouseMove"); }
    void Form_Unload() override { m_journal.calls.push_back("Form_Unload"); }
    Journal& m_journal;
};

struct WithDesktop {
    RecordingDesktop desktop;
    WithDesktop() { InstallDesktop(&desktop); }
    ~WithDesktop() { InstallDesktop(nullptr); }
    std::vector<std::string>& calls() { return desktop.journal.calls; }
};

}  // namespace

TEST_CASE("a window loads once, shows, and unloads through its handlers") {
    WithDesktop with;
    Probe probe(with.desktop.journal);
    probe.Show();
    probe.Show();
    CHECK(probe.isLoaded());
    probe.CloseRequested();
    CHECK(!probe.isLoaded());
    probe.CloseRequested();  // unloaded already: nothing more happens
    CHECK(with.calls() == std::vector<std::string>{"build", "Form_Load", "show", "show", "Form_Unload",
                                                   "destroy", "end modal"});
}

TEST_CASE("events reach the handlers bound to their controls only") {
    WithDesktop with;
    Probe probe(with.desktop.journal);
    CHECK(probe.HasClickHandler("Button"));
    CHECK(!probe.HasClickHandler("Caption"));
    CHECK(!probe.HasClickHandler("Nothing"));
    probe.ControlClicked("Caption");
    probe.ControlMouseMoved("Button");
    probe.ControlClicked("Button");
    probe.TimerFired("Clock");
    probe.SurfaceMouseMoved();
    CHECK(with.calls() == std::vector<std::string>{"Button_Click", "Clock_Timer", "Form_MouseMove"});
}

TEST_CASE("the tab order follows the stored indexes and leaves out the unordered") {
    std::vector<std::string> names;
    const FormDefinition definition = Probe::Definition();
    for (const ControlDefinition* control : TabOrder(definition))
        names.push_back(control->name);
    CHECK(names == std::vector<std::string>{"Box1", "Box2"});
    CHECK(definition.find("Clock")->interval == 1);
    CHECK(definition.find("Missing") == nullptr);
}

TEST_CASE("twips become pixels rounded to nearest") {
    CHECK(TwipsToPixels(0) == 0);
    CHECK(TwipsToPixels(7) == 0);
    CHECK(TwipsToPixels(8) == 1);
    CHECK(TwipsToPixels(10485) == 699);
    CHECK(TwipsToPixels(5985) == 399);
    CHECK(TwipsToPixels(-8) == -1);
}

TEST_CASE("work off the user-interface thread gives its result back, or nothing once the program ends") {
    WithDesktop with;
    CHECK(WithoutFreezing<std::string>([] { return std::string("text"); }) == "text");
    CHECK(with.calls() == std::vector<std::string>{"wait"});

    // Ending in the middle of a wait returns at once and leaves the worker to finish alone.
    std::atomic<bool> release{false};
    with.desktop.endDuringWait = true;
    const auto started = std::chrono::steady_clock::now();
    const std::string result = WithoutFreezing<std::string>([&release] {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return std::string("late");
    });
    CHECK(result.empty());
    CHECK(std::chrono::steady_clock::now() - started < std::chrono::milliseconds(500));
    CHECK_FALSE(WaitForWorkers(std::chrono::milliseconds(20)));
    release = true;
    CHECK(WaitForWorkers(std::chrono::seconds(5)));

    // Once ending, no window loads or shows and no more work starts.
    Probe probe(with.desktop.journal);
    with.calls().clear();
    probe.Show();
    CHECK(WithoutFreezing<int>([] { return 7; }) == 0);
    CHECK(with.calls().empty());
}

TEST_CASE("a timer under a second fires just after each second boundary; others keep their interval") {
    using namespace std::chrono;
    const ControlDefinition clock{.name = "LTime", .kind = ControlKind::Timer, .interval = 1};
    const system_clock::time_point second(seconds(1'780'000'000));
    for (const auto into : {milliseconds(0), milliseconds(1), milliseconds(500), milliseconds(998),
                            milliseconds(999)}) {
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

TEST_CASE("a box shows a long line in pieces and a normal text exactly as it is") {
    const std::u16string message = u"\u0633\u0644\u0627\u0645 \u06A9\u0627\u0631\u0628\u0631\r\n\u06AF\u0631\u0627\u0645\u064A\n";
    CHECK(BreakLongLines(message, u"\n") == message);
    CHECK(LongestShownPiece(message) == message);

    SUBCASE("words break after the last blank of a piece") {
        const std::u16string words = u"aaaa bbbb cccc dddd\r\nee";
        CHECK(BreakLongLines(words, u"|", 10) == u"aaaa bbbb |cccc dddd\r\nee");
    }
    SUBCASE("an unbroken run breaks at the longest piece, never inside a surrogate pair") {
        std::u16string run(9, u'x');
        run += u"\U0001F600";  // units 9 and 10
        run += u"yyyy";
        const std::u16string shown = BreakLongLines(run, u"|", 10);
        CHECK(shown == u"xxxxxxxxx|\U0001F600yyyy");
        CHECK(LongestShownPiece(run, 10) == std::u16string(9, u'x'));
    }
    SUBCASE("a megabyte of one cluster: only breaks are added, every unit stays") {
        std::u16string marks(1 << 20, u'\u064B');
        marks[0] = u'\u0628';
        const std::u16string shown = BreakLongLines(marks, u"\n");
        std::u16string back;
        std::size_t longestLine = 0, line = 0;
        for (char16_t c : shown) {
            if (c == u'\n') {
                longestLine = std::max(longestLine, line);
                line = 0;
                continue;
            }
            back += c;
            ++line;
        }
        CHECK(back == marks);
        CHECK(longestLine == kLongestShownLine);
    }
}
