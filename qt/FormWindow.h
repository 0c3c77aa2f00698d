#pragma once
// The Qt runtime of a window: a top-level widget built from its form's definition at every
// showing, reporting the events of its controls to the form.

#include "forms/Desktop.h"
#include "qt/Controls.h"

#include <QHash>
#include <QMargins>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QEventLoop;

namespace linkvane {

class FormWindow : public QWidget, public WindowView {
    Q_OBJECT
public:
    explicit FormWindow(Form& form);
    ~FormWindow() override;

    // The window of a form created while the Qt desktop is installed.
    static FormWindow& Of(const Form& form);

    void BuildControls() override;
    void DestroyControls() override;
    void ShowCentred() override;
    void RunModal() override;
    void EndModal() override;
    bool IsVisible() const override { return isVisible(); }
    std::u16string Text(std::string_view control) const override;
    void SetText(std::string_view control, const std::u16string& text) override;
    bool IsBold(std::string_view control) const override;
    void SetBold(std::string_view control, bool bold) override;
    void SetPicture(std::string_view control, const std::string& pictureBytes) override;
    void SetReadingOrder(std::string_view control, ReadingOrder order) override;
    void ShowWarning(const std::u16string& title, const std::u16string& text) override;

    // The form behind the window, and its calls in Qt's terms, for the Qt side of the program.
    Form& form() const { return m_form; }
    void Load();
    void Show();
    void Unload();
    QString text(std::string_view control) const { return QString::fromStdU16String(Text(control)); }

    QWidget* control(std::string_view name) const;
    LabelControl* label(std::string_view name) const;
    ImageControl* image(std::string_view name) const;

protected:
    // Tab and Shift+Tab follow the window's tab order.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyFrame();
    QWidget* buildControl(const ControlDefinition& definition);
    void stackControls();
    void orderTabs();
    void nameForScreenReaders(const ControlDefinition& definition);
    void bindEvents(const ControlDefinition& definition, QObject* control);
    void centreOnScreen();
    QObject* find(std::string_view name) const;

    Form& m_form;
    // The background picture for the scale it was last drawn at (device pixels per pixel).
    QPixmap m_background;
    qreal m_backgroundScale = 0;
    void prepareBackground(qreal scale);
    QHash<QString, QPointer<QObject>> m_controls;
    QPointer<QWidget> m_firstInTabOrder;
    QEventLoop* m_modalLoop = nullptr;
    // The frame the window was centred with, until the window manager tells the real one.
    QMargins m_frameUsed;
    bool m_awaitingFrame = false;
};

}  // namespace linkvane
