#include "win32/Accessible.h"

#include "forms/Form.h"
#include "forms/ScreenReader.h"
#include "win32/FormWindow.h"
#include "win32/Text.h"

#include <commctrl.h>
#include <oleacc.h>

#include <memory>
#include <optional>

namespace linkvane {

namespace {

// mingw-w64's oleacc import library takes the IID_IAccessible that oleacc.dll exports as data for
// a function, and hands out the bytes of a jump: every IID here comes from __uuidof.

// What the press of a button or link is called, as the system's own buttons call it.
constexpr wchar_t kPressAction[] = L"Press";

BSTR AllocString(const std::u16string& text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), UINT(text.size()));
}

long RoleNumber(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::Link: return ROLE_SYSTEM_LINK;
    case AccessibleRole::Graphic: return ROLE_SYSTEM_GRAPHIC;
    case AccessibleRole::EditableText: return ROLE_SYSTEM_TEXT;
    default: return ROLE_SYSTEM_STATICTEXT;
    }
}

// An IAccessible that hands every question to another one (the system's), for its subclasses to
// answer some of them themselves. It has no type information, as the system's objects have none
// to give across processes either.
class ForwardingAccessible : public IAccessible {
public:
    // Takes over the reference to `inner`.
    explicit ForwardingAccessible(IAccessible* inner) : m_inner(inner) {}
    virtual ~ForwardingAccessible() { m_inner->Release(); }
    ForwardingAccessible(const ForwardingAccessible&) = delete;
    ForwardingAccessible& operator=(const ForwardingAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_POINTER;
        if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return ULONG(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_inner->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return m_inner->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return m_inner->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override { return m_inner->get_accName(child, name); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_inner->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return m_inner->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override { return m_inner->get_accRole(child, role); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_inner->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return m_inner->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_inner->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return m_inner->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return m_inner->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return m_inner->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_inner->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return m_inner->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return m_inner->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_inner->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return m_inner->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return m_inner->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return m_inner->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_inner->put_accValue(child, value);
    }

protected:
    static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    IAccessible* m_inner;

private:
    LONG m_references = 1;
};

// A text box: the system's object, under the name and role of the common rule.
class NamedBoxAccessible : public ForwardingAccessible {
public:
    NamedBoxAccessible(IAccessible* standard, std::u16string name)
        : ForwardingAccessible(standard), m_name(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child))
            return ForwardingAccessible::get_accName(child, name);
        if (!name)
            return E_POINTER;
        *name = AllocString(m_name);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child))
            return ForwardingAccessible::get_accRole(child, role);
        if (!role)
            return E_POINTER;
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_TEXT;
        return S_OK;
    }

private:
    std::u16string m_name;
};

IDispatch* ObjectOfChildWindow(HWND window) {
    IDispatch* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), IID_IDispatch, reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

// Asks the system's object of a child window a question about the window itself.
template <class Ask>
HRESULT AskChildWindow(HWND window, Ask ask) {
    IDispatch* object = ObjectOfChildWindow(window);
    IAccessible* accessible = nullptr;
    HRESULT result = E_FAIL;
    if (object && SUCCEEDED(object->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&accessible)))) {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        result = ask(accessible, self);
        accessible->Release();
    }
    if (object)
        object->Release();
    return result;
}

// A child as Active Accessibility hands it out: a child window as its own object, a drawn control
// as its number.
HRESULT ChildVariant(const FormWindow::ScreenReaderElement* element, long id, VARIANT* out) {
    VariantInit(out);
    if (!element)
        return S_FALSE;
    if (element->window) {
        IDispatch* object = ObjectOfChildWindow(element->window);
        if (!object)
            return E_FAIL;
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
    }
    out->vt = VT_I4;
    out->lVal = id;
    return S_OK;
}

// The client area of a form window. Child ids are 1 + the place of a control in the reading
// order; the window's state is asked anew at every question, so an object a screen reader keeps
// after the window's controls are gone answers that it is disconnected.
class FormAccessible : public ForwardingAccessible {
public:
    FormAccessible(IAccessible* standard, HWND window) : ForwardingAccessible(standard), m_window(window) {}

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count)
            return E_POINTER;
        *count = long(elements().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        const auto all = elements();
        const Element* element = find(all, child);
        if (!element)
            return E_INVALIDARG;
        if (!element->window)
            return S_FALSE;  // a drawn control is an element of this object
        *object = ObjectOfChildWindow(element->window);
        return *object ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return answer(child, name, &IAccessible::get_accName, [](const Element& e, BSTR* out) {
            *out = AllocString(e.name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return answer(child, value, &IAccessible::get_accValue, [](const Element&, BSTR* out) {
            *out = nullptr;
            return DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return answer(child, text, &IAccessible::get_accDescription, NoText);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return answer(child, role, &IAccessible::get_accRole, [](const Element& e, VARIANT* out) {
            out->vt = VT_I4;
            out->lVal = RoleNumber(e.role);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return answer(child, state, &IAccessible::get_accState, [](const Element& e, VARIANT* out) {
            long bits = 0;
            bits |= e.inSight ? 0 : STATE_SYSTEM_OFFSCREEN;
            bits |= e.focusable ? STATE_SYSTEM_FOCUSABLE : 0;
            bits |= e.focused ? STATE_SYSTEM_FOCUSED : 0;
            bits |= e.role == AccessibleRole::Link ? STATE_SYSTEM_LINKED : 0;
            bits |= e.role == AccessibleRole::StaticText || e.role == AccessibleRole::Graphic ? STATE_SYSTEM_READONLY : 0;
            out->vt = VT_I4;
            out->lVal = bits;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return answer(child, help, &IAccessible::get_accHelp, NoText);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return answer(child, keys, &IAccessible::get_accKeyboardShortcut, NoText);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return answer(child, action, &IAccessible::get_accDefaultAction, [](const Element& e, BSTR* out) {
            *out = e.clickable ? SysAllocString(kPressAction) : nullptr;
            return e.clickable ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus)
            return E_POINTER;
        VariantInit(focus);
        const auto all = elements();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].focused)
                return ChildVariant(&all[i], long(i) + 1, focus);
        }
        if (GetFocus() != m_window)
            return S_FALSE;
        focus->vt = VT_I4;
        focus->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (IsSelf(child))
            return ForwardingAccessible::accSelect(flags, child);
        const auto all = elements();
        const Element* element = find(all, child);
        FormWindow* form = FormWindow::FromHandle(m_window);
        if (!element || !form)
            return E_INVALIDARG;
        if (flags != SELFLAG_TAKEFOCUS || !element->focusable)
            return S_FALSE;
        form->FocusControl(*element->definition);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (IsSelf(child))
            return ForwardingAccessible::accLocation(left, top, width, height, child);
        if (!left || !top || !width || !height)
            return E_POINTER;
        const auto all = elements();
        const Element* element = find(all, child);
        if (!element)
            return E_INVALIDARG;
        *left = element->screen.left;
        *top = element->screen.top;
        *width = element->screen.right - element->screen.left;
        *height = element->screen.bottom - element->screen.top;
        return S_OK;
    }
    // The children follow one another in reading order: the tab order, then the rest.
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end)
            return E_POINTER;
        VariantInit(end);
        if (start.vt != VT_I4)
            return E_INVALIDARG;
        const auto all = elements();
        const long count = long(all.size());
        long target = 0;
        if (start.lVal == CHILDID_SELF && direction == NAVDIR_FIRSTCHILD)
            target = 1;
        else if (start.lVal == CHILDID_SELF && direction == NAVDIR_LASTCHILD)
            target = count;
        else if (start.lVal == CHILDID_SELF)
            return ForwardingAccessible::accNavigate(direction, start, end);
        else if (start.lVal < 1 || start.lVal > count)
            return E_INVALIDARG;
        else if (direction == NAVDIR_NEXT)
            target = start.lVal + 1;
        else if (direction == NAVDIR_PREVIOUS)
            target = start.lVal - 1;
        if (target < 1 || target > count)
            return S_FALSE;
        return ChildVariant(&all[std::size_t(target - 1)], target, end);
    }
    // The child window under the point, or else the topmost drawn control there.
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (!child)
            return E_POINTER;
        VariantInit(child);
        FormWindow* form = FormWindow::FromHandle(m_window);
        if (!form)
            return RPC_E_DISCONNECTED;
        POINT point{x, y};
        RECT client;
        GetClientRect(m_window, &client);
        ScreenToClient(m_window, &point);
        if (!PtInRect(&client, point))
            return S_FALSE;
        const std::string_view hit = form->ControlAt(point);
        const auto all = elements();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].definition->name == hit)
                return ChildVariant(&all[i], long(i) + 1, child);
        }
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (IsSelf(child))
            return ForwardingAccessible::accDoDefaultAction(child);
        const auto all = elements();
        const Element* element = find(all, child);
        FormWindow* form = FormWindow::FromHandle(m_window);
        if (!element || !form)
            return E_INVALIDARG;
        if (element->window)
            return AskChildWindow(element->window, [](IAccessible* box, VARIANT self) { return box->accDoDefaultAction(self); });
        if (!element->clickable)
            return DISP_E_MEMBERNOTFOUND;
        form->PostPress(*element->definition);
        return S_OK;
    }

private:
    using Element = FormWindow::ScreenReaderElement;

    static HRESULT NoText(const Element&, BSTR* out) {
        *out = nullptr;
        return S_FALSE;
    }

    std::vector<Element> elements() const {
        const FormWindow* form = FormWindow::FromHandle(m_window);
        return form ? form->ScreenReaderElements() : std::vector<Element>();
    }

    static const Element* find(const std::vector<Element>& all, const VARIANT& child) {
        if (child.vt != VT_I4 || child.lVal < 1 || std::size_t(child.lVal) > all.size())
            return nullptr;
        return &all[std::size_t(child.lVal - 1)];
    }

    // A question about the window itself goes to the system's object, one about a child window
    // to that window's object, one about a drawn control to `drawn`.
    template <class Out, class Drawn>
    HRESULT answer(VARIANT child, Out* out, HRESULT (STDMETHODCALLTYPE IAccessible::*ask)(VARIANT, Out*),
                   Drawn drawn) {
        if (IsSelf(child))
            return (m_inner->*ask)(child, out);
        if (!out)
            return E_POINTER;
        const auto all = elements();
        const Element* element = find(all, child);
        if (!element)
            return FormWindow::FromHandle(m_window) ? E_INVALIDARG : RPC_E_DISCONNECTED;
        if (!element->window)
            return drawn(*element, out);
        return AskChildWindow(element->window, [&](IAccessible* box, VARIANT self) { return (box->*ask)(self, out); });
    }

    HWND m_window;
};

LRESULT CALLBACK NamedBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR data) {
    auto* name = reinterpret_cast<std::u16string*>(data);
    if (message == WM_GETOBJECT && LONG(lParam) == OBJID_CLIENT) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(box, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard)))) {
            auto* named = new NamedBoxAccessible(standard, *name);
            const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, named);
            named->Release();
            return answer;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, &NamedBoxProcedure, id);
        delete name;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

LRESULT AnswerGetObject(HWND formWindow, WPARAM flags, LPARAM objectId) {
    if (LONG(objectId) != OBJID_CLIENT || !FormWindow::FromHandle(formWindow))
        return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(formWindow, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))))
        return 0;
    auto* client = new FormAccessible(standard, formWindow);
    const LRESULT answer = LresultFromObject(__uuidof(IAccessible), flags, client);
    client->Release();
    return answer;
}

void NameForScreenReaders(HWND box, const std::u16string& name) {
    if (!box)
        return;
    auto* kept = new std::u16string(name);
    if (!SetWindowSubclass(box, &NamedBoxProcedure, 1, reinterpret_cast<DWORD_PTR>(kept)))
        delete kept;
}

}  // namespace linkvane
