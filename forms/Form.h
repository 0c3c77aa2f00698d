#pragma once
// The window runtime: a top-level window built from its definition at every showing, with the
// handlers of its subclass bound to the named controls (Image1_Click, LTime_Timer, ...).

#include "forms/Controls.h"
#include "forms/FormDefinition.h"

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class QEventLoop;

namespace linkvane {

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(FormDefinition definition);
    ~Form() override;

    const FormDefinition& definition() const { return m_definition; }

    // Builds the controls from the definition and runs Form_Load; nothing is on screen yet.
    void Load();
    bool isLoaded() const { return m_loaded; }
    // Loads when needed, then shows the window centred on the screen.
    void Show();
    // Shows the window application-modal and returns only after it has been unloaded; the other
    // windows repaint and run their timers meanwhile but take no input.
    void ShowModal();
    // Hides the window, destroys its controls and ends a modal showing.
    void Unload();

    QWidget* control(const QString& name) const;
    LabelControl* label(const QString& name) const;
    ImageControl* image(const QString& name) const;
    // The text of a text box, label or button.
    QString text(const QString& name) const;
    void setText(const QString& name, const QString& text);

protected:
    virtual void Form_Load() {}
    virtual void Form_MouseMove() {}
    virtual void Form_Unload() {}

    // Binds a handler to an event of a named control, for every future showing.
    void onClick(const QString& control, std::function<void()> handler);
    void onMouseMove(const QString& control, std::function<void()> handler);
    void onTimer(const QString& control, std::function<void()> handler);

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Handlers {
        std::function<void()> click, mouseMove, timer;
    };

    void applyFrame();
    void buildControls();
    QWidget* buildControl(const ControlDefinition& definition);
    void stackControls();
    void orderTabs();
    void bindHandlers(const ControlDefinition& definition, QObject* control);
    void destroyControls();
    void centreOnScreen();

    FormDefinition m_definition;
    QPixmap m_background;
    QHash<QString, QPointer<QObject>> m_controls;
    QHash<QString, Handlers> m_handlers;
    QPointer<QWidget> m_firstInTabOrder;
    bool m_loaded = false;
    QEventLoop* m_modalLoop = nullptr;
};

}  // namespace linkvane
