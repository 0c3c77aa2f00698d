#include "forms/Form.h"
#include "forms/Twips.h"

#include <doctest/doctest.h>

#include <map>
#include <string>
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
    void EndProgram() override { journal.calls.push_back("end program"); }
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
