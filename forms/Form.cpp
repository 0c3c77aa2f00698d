#include "forms/Form.h"

#include "forms/DesktopShell.h"
#include "forms/PictureHeader.h"
#include "forms/ShapeableText.h"

#include <cassert>
#include <utility>

namespace linkvane {

namespace {
Desktop* g_desktop = nullptr;
DesktopShell* g_shell = nullptr;

void AssertKnown(std::string_view, std::string_view) {
    assert(!"a handler names a control its window does not have");
}
UnknownControlReport g_unknownControl = AssertKnown;
}  // namespace

UnknownControlReport SetUnknownControlReport(UnknownControlReport report) {
    return std::exchange(g_unknownControl, report ? report : AssertKnown);
}

void InstallDesktop(Desktop* desktop) { g_desktop = desktop; }

void InstallDesktopShell(DesktopShell* shell) { g_shell = shell; }

DesktopShell* InstalledDesktopShell() { return g_shell; }

Desktop& CurrentDesktop() {
    assert(g_desktop && "a front end installs its desktop before it creates a window");
    return *g_desktop;
}

InputMoment Desktop::InputClockNow() const {
    return std::chrono::duration_cast<InputMoment>(std::chrono::steady_clock::now().time_since_epoch());
}

void Desktop::EndProgram() {
    m_ending = true;
    CloseEverything();
}

Form::Form(FormDefinition definition)
    : m_definition(std::move(definition)), m_view(CurrentDesktop().CreateView(*this)) {}

Form::~Form() = default;

void Form::Load() {
    if (m_loaded || CurrentDesktop().IsEnding())
        return;
    m_view->BuildControls();
    m_loaded = true;
    Form_Load();
}

void Form::Show() {
    Load();
    if (m_loaded)
        m_view->ShowCentred();
}

void Form::ShowModal() {
    Load();
    if (m_loaded)
        m_view->RunModal();
}

void Form::Unload() {
    if (!m_loaded)
        return;
    Form_Unload();
    m_loaded = false;
    m_view->DestroyControls();
    m_view->EndModal();
}

bool Form::isControl(std::string_view control) const {
    if (m_definition.find(control))
        return true;
    g_unknownControl(m_definition.name, control);
    return false;
}

std::u16string Form::text(std::string_view control) const {
    return isControl(control) ? m_view->Text(control) : std::u16string();
}

void Form::setText(std::string_view control, const std::u16string& text) {
    // What a handler shows may have come from the network.
    if (isControl(control))
        m_view->SetText(control, ShapeableText(text));
}

bool Form::isBold(std::string_view control) const { return isControl(control) && m_view->IsBold(control); }

void Form::setBold(std::string_view control, bool bold) {
    if (isControl(control))
        m_view->SetBold(control, bold);
}

void Form::setPicture(std::string_view control, const std::string& pictureBytes) {
    // Bytes whose declared size no decoder should allocate reach no decoder.
    if (isControl(control))
        m_view->SetPicture(control, ShowablePictureHeader(pictureBytes) ? pictureBytes : std::string());
}

void Form::setReadingOrder(std::string_view control, ReadingOrder order) {
    if (isControl(control))
        m_view->SetReadingOrder(control, order);
}

void Form::ShowWarning(const std::u16string& title, const std::u16string& text) {
    m_view->ShowWarning(title, text);
}

const Form::Handlers* Form::handlersOf(std::string_view control) const {
    const auto found = m_handlers.find(control);
    return found == m_handlers.end() ? nullptr : &found->second;
}

void Form::Run(const std::function<void()>& handler) {
    if (handler)
        handler();
}

bool Form::HasClickHandler(std::string_view control) const {
    const Handlers* handlers = handlersOf(control);
    return handlers && handlers->click;
}

void Form::ControlClicked(std::string_view control) {
    const Handlers* handlers = handlersOf(control);
    if (!handlers || !handlers->click)
        return;
    const Desktop& desktop = CurrentDesktop();
    if (!m_clickActions.Begins(control, desktop.InputMadeAt()))
        return;
    const std::string name(control);  // the handler may change what `control` views
    Run(handlers->click);
    m_clickActions.Ended(name, desktop.InputClockNow());
}

void Form::ControlMouseMoved(std::string_view control) {
    if (const Handlers* handlers = handlersOf(control))
        Run(handlers->mouseMove);
}

void Form::SurfaceMouseMoved() { Form_MouseMove(); }

void Form::TimerFired(std::string_view control) {
    if (const Handlers* handlers = handlersOf(control))
        Run(handlers->timer);
}

void Form::CloseRequested() { Unload(); }

void Form::onClick(std::string control, std::function<void()> handler) {
    isControl(control);
    m_handlers[std::move(control)].click = std::move(handler);
}

void Form::onMouseMove(std::string control, std::function<void()> handler) {
    isControl(control);
    m_handlers[std::move(control)].mouseMove = std::move(handler);
}

void Form::onTimer(std::string control, std::function<void()> handler) {
    isControl(control);
    m_handlers[std::move(control)].timer = std::move(handler);
}

}  // namespace linkvane
