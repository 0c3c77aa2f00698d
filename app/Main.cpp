#include "app/Main.h"

#include "app/Config.h"
#include "app/MainDefinition.h"
#include "calendar/Data.h"
#include "net/baner.h"
#include "net/internetfile.h"
#include "net/shell.h"
#include "windows/AdminSupport.h"
#include "windows/Softwaremanufacturer.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QMessageBox>

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#endif

namespace linkvane {

namespace {

// Asks for the visual-style common controls before any control exists. Any failure, a missing
// library included, is ignored; there is nothing to initialise off Windows.
bool InitCommonControlsVB() {
#ifdef _WIN32
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE library = LoadLibraryW(L"comctl32.dll");
    if (!library)
        return false;
    auto init = reinterpret_cast<InitFunction>(GetProcAddress(library, "InitCommonControlsEx"));
    if (!init)
        return false;
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_USEREX_CLASSES};
    init(&controls);
#endif
    return true;
}

// لطفا براي رفتن به سايت گزينه جستجو را کليک کنيد
const QString kNoAddressMessage = QStringLiteral(
    u"\u0644\u0637\u0641\u0627\u0020\u0628\u0631\u0627\u064A\u0020\u0631\u0641\u062A\u0646\u0020"
    u"\u0628\u0647\u0020\u0633\u0627\u064A\u062A\u0020\u06AF\u0632\u064A\u0646\u0647\u0020\u062C"
    u"\u0633\u062A\u062C\u0648\u0020\u0631\u0627\u0020\u06A9\u0644\u064A\u06A9\u0020\u06A9\u0646"
    u"\u064A\u062F");
const QString kNoAddressTitle = QStringLiteral(u"\u062E\u0637\u0627");  // خطا

// A warning with one OK button, its text read right to left but not aligned to the right.
void ShowNoAddressMessage(QWidget* owner) {
    QMessageBox box(QMessageBox::Warning, kNoAddressTitle, kNoAddressMessage, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    if (auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        text->setLayoutDirection(Qt::RightToLeft);
        text->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    }
    box.exec();
}

// Ends the whole program at once: every other window goes with it, no handler of theirs runs.
void EndProgram() {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

}  // namespace

ServerHosts BuiltInServerHosts() {
    return {QStringLiteral(LINKVANE_CONTENT_SERVER), QStringLiteral(LINKVANE_LINK_SERVER)};
}

QString ClockText(const QTime& time) {
    const auto twoDigits = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return twoDigits(time.hour()) + u':' + twoDigits(time.minute()) + u':' + twoDigits(time.second());
}

Main::Main(ServerHosts hosts) : Form(MainDefinition()), m_hosts(std::move(hosts)) {
    onClick(QStringLiteral("Image1"), [this] { Image1_Click(); });
    onClick(QStringLiteral("Image2"), [this] { Image2_Click(); });
    onClick(QStringLiteral("baner"), [this] { baner_Click(); });
    onClick(QStringLiteral("Image3"), [this] { Image3_Click(); });
    onClick(QStringLiteral("Image4"), [this] { Image4_Click(); });
    onMouseMove(QStringLiteral("Image1"), [this] { Image1_MouseMove(); });
    onMouseMove(QStringLiteral("Image2"), [this] { Image2_MouseMove(); });
    onMouseMove(QStringLiteral("Image3"), [this] { Image3_MouseMove(); });
    onMouseMove(QStringLiteral("Image4"), [this] { Image4_MouseMove(); });
    onTimer(QStringLiteral("LTime"), [this] { LTime_Timer(); });
    Form_Initialize();
}

Main::~Main() = default;

QString Main::contentUrl(const char* path) const {
    return QStringLiteral("http://") + m_hosts.content + QLatin1String(path);
}

QString Main::linksUrl(const char* path) const {
    return QStringLiteral("http://") + m_hosts.links + QLatin1String(path);
}

void Main::Form_Initialize() {
    InitCommonControlsVB();
}

void Main::Form_Load() {
    setText(QStringLiteral("AdminPM"), GetInternetFile(contentUrl("/document/AdminPm.txt")));
    setText(QStringLiteral("addressPicbanerr"), GetInternetFile(contentUrl("/document/ADSBaner.txt")));
    setText(QStringLiteral("addressbanerr"), GetInternetFile(contentUrl("/document/LinkBaner.txt")));

    image(QStringLiteral("baner"))->setPicture(LoadBanerPicture(text(QStringLiteral("addressPicbanerr"))));
    label(QStringLiteral("lblTime"))->setReadingOrder(Qt::RightToLeft);
    setText(QStringLiteral("LDATA"), ShamsiDate(DateValue(QDate::currentDate()), StyleWeekdayMonthName));
}

void Main::Form_MouseMove() {
    for (const char* caption : {"lBlFind", "Site", "Contac", "About"})
        setCaptionBold(caption, false);
}

void Main::Form_Unload() {
    EndProgram();
}

void Main::setCaptionBold(const char* caption, bool bold) {
    label(QLatin1String(caption))->setBold(bold);
}

void Main::Image1_MouseMove() { setCaptionBold("lBlFind", true); }
void Main::Image2_MouseMove() { setCaptionBold("Site", true); }
void Main::Image3_MouseMove() { setCaptionBold("Contac", true); }
void Main::Image4_MouseMove() { setCaptionBold("About", true); }

void Main::Image1_Click() {
    // Replaced whatever the outcome: a failed search leaves the box empty.
    setText(QStringLiteral("NAS"), GetInternetFile(linksUrl("/ads/link.txt")));
}

void Main::Image2_Click() {
    if (text(QStringLiteral("NAS")).isEmpty()) {
        ShowNoAddressMessage(this);
        return;
    }
    ShellOpen(this, text(QStringLiteral("NAS")));
}

void Main::baner_Click() {
    ShellOpen(this, text(QStringLiteral("addressbanerr")));
}

// Each secondary window is shown modally with no owner: the press returns once it has closed.
void Main::Image3_Click() {
    if (!m_support)
        m_support = std::make_unique<AdminSupport>();
    m_support->ShowModal();
}

void Main::Image4_Click() {
    if (!m_maker)
        m_maker = std::make_unique<Softwaremanufacturer>();
    m_maker->ShowModal();
}

void Main::LTime_Timer() {
    setText(QStringLiteral("lblTime"), ClockText(QTime::currentTime()));
}

}  // namespace linkvane
