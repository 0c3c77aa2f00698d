#include "app/Main.h"

#include "app/Config.h"
#include "app/MainDefinition.h"
#include "calendar/Data.h"
#include "forms/Background.h"
#include "net/baner.h"
#include "net/codepage.h"
#include "net/mirrors.h"
#include "net/signature.h"
#include "net/transport.h"
#include "app/Shell.h"
#include "app/AdminSupport.h"
#include "app/Softwaremanufacturer.h"


namespace linkvane {

namespace {

// لطفا براي رفتن به سايت گزينه جستجو را کليک کنيد
constexpr char16_t kNoAddressMessage[] =
    u"\u0644\u0637\u0641\u0627\u0020\u0628\u0631\u0627\u064A\u0020\u0631\u0641\u062A\u0646\u0020"
    u"\u0628\u0647\u0020\u0633\u0627\u064A\u062A\u0020\u06AF\u0632\u064A\u0646\u0647\u0020\u062C"
    u"\u0633\u062A\u062C\u0648\u0020\u0631\u0627\u0020\u06A9\u0644\u064A\u06A9\u0020\u06A9\u0646"
    u"\u064A\u062F";
constexpr char16_t kNoAddressTitle[] = u"\u062E\u0637\u0627";  // خطا

constexpr const char* kCaptionsOfImageButtons[] = {"lBlFind", "Site", "Contac", "About"};

// Each download runs off the window thread: the windows paint, tick and close meanwhile, and the
// handler goes on with the result as if it had waited for it.
std::u16string FetchFromMirrors(std::vector<std::u16string> bases, std::u16string path,
                                WantedAnswer wanted, SignatureCheck signedBy) {
    return WithoutFreezing<std::u16string>(
        [bases = std::move(bases), path = std::move(path), wanted, signedBy = std::move(signedBy)] {
            return GetFromMirrors(bases, path, wanted, signedBy);
        },
        AbandonDownloads);
}

SignatureCheck SignedByKey(std::string publicKey) {
    if (publicKey.empty())
        return {};
    return [publicKey = std::move(publicKey)](std::string_view file, std::string_view signature) {
        return VerifiedTrustedComment(file, signature, publicKey);
    };
}

std::string FetchPicture(std::u16string pathOrUrl) {
    return WithoutFreezing<std::string>(
        [pathOrUrl = std::move(pathOrUrl)] { return LoadBanerPicture(pathOrUrl); }, AbandonDownloads);
}

}  // namespace

ServerHosts BuiltInServerHosts() {
    return {FromUtf8(LINKVANE_CONTENT_SERVER), FromUtf8(LINKVANE_LINK_SERVER), LINKVANE_SIGNING_KEY};
}

std::u16string ClockText(int hour, int minute, int second) {
    return TwoDigits(hour) + u":" + TwoDigits(minute) + u":" + TwoDigits(second);
}

std::u16string ClockTextNow() {
    const std::tm local = LocalTimeNow();
    return ClockText(local.tm_hour, local.tm_min, local.tm_sec);
}

Main::Main(ServerHosts hosts)
    : Form(MainDefinition()),
      m_contentMirrors(MirrorBases(hosts.content)),
      m_linkMirrors(MirrorBases(hosts.links)),
      m_signedBy(SignedByKey(std::move(hosts.signingKey))) {
    onClick("Image1", [this] { Image1_Click(); });
    onClick("Image2", [this] { Image2_Click(); });
    onClick("baner", [this] { baner_Click(); });
    onClick("Image3", [this] { Image3_Click(); });
    onClick("Image4", [this] { Image4_Click(); });
    onMouseMove("Image1", [this] { Image1_MouseMove(); });
    onMouseMove("Image2", [this] { Image2_MouseMove(); });
    onMouseMove("Image3", [this] { Image3_MouseMove(); });
    onMouseMove("Image4", [this] { Image4_MouseMove(); });
    onTimer("LTime", [this] { LTime_Timer(); });
    Form_Initialize();
}

Main::~Main() = default;

std::u16string Main::contentFile(std::u16string_view path) const {
    return FetchFromMirrors(m_contentMirrors, std::u16string(path), WantedAnswer::File,
                            m_signedBy);
}

void Main::Form_Initialize() {
    CurrentDesktop().InitCommonControls();
}

// The window shows at once, with the date and the time, and the content fills it as each file
// arrives: a user never looks at nothing while a server takes its time.
void Main::Form_Load() {
    setReadingOrder("lblTime", ReadingOrder::RightToLeft);
    setText("LDATA", ShamsiDate(Today(), StyleWeekdayMonthName));
    LTime_Timer();
    Show();

    setText("AdminPM", contentFile(u"/document/AdminPm.txt"));
    setText("addressPicbanerr", contentFile(u"/document/ADSBaner.txt"));
    setText("addressbanerr", contentFile(u"/document/LinkBaner.txt"));

    setPicture("baner", FetchPicture(text("addressPicbanerr")));
}

void Main::Form_MouseMove() {
    for (const char* caption : kCaptionsOfImageButtons)
        setBold(caption, false);
}

void Main::Form_Unload() {
    CurrentDesktop().EndProgram();
}

void Main::Image1_MouseMove() { setBold("lBlFind", true); }
void Main::Image2_MouseMove() { setBold("Site", true); }
void Main::Image3_MouseMove() { setBold("Contac", true); }
void Main::Image4_MouseMove() { setBold("About", true); }

void Main::Image1_Click() {
    // Replaced whatever the outcome: a failed search leaves the box empty. A mirror's answer is
    // taken only when it is an address the opener would open.
    setText("NAS", FetchFromMirrors(m_linkMirrors, u"/ads/link.txt", WantedAnswer::OpenableLink,
                                      m_signedBy));
}

void Main::Image2_Click() {
    if (text("NAS").empty()) {
        ShowWarning(kNoAddressTitle, kNoAddressMessage);
        return;
    }
    ShellOpen(this, text("NAS"));
}

void Main::baner_Click() {
    ShellOpen(this, text("addressbanerr"));
}

// Each secondary window is shown modally: the press returns once it has closed.
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
    setText("lblTime", ClockTextNow());
}

}  // namespace linkvane
