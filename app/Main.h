#pragma once

#include "forms/Form.h"
#include "net/mirrors.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace linkvane {

// Where the four remote text files live: each server's list of mirrors, raced with a head start
// for the earlier entry (net/mirrors.h), as the build names them: "host", "host:port" or an
// http:// or https:// address, several separated by ';'.
struct ServerHosts {
    std::u16string content;  // the administrator message, the banner picture URL and the banner link
    std::u16string links;    // the site's current address
    // The publisher's minisign public key (the base64 line of minisign.pub): when it is set, a file
    // is taken only with a valid signature beside it (net/signature.h); empty takes files unsigned.
    std::string signingKey = {};
};

// The hosts and the signing key baked in at build time.
ServerHosts BuiltInServerHosts();

// The clock text of a local time of day: 24-hour, two digits each, whatever the regional settings
// ("09:05:30").
std::u16string ClockText(int hour, int minute, int second);
// The clock text of the system clock now.
std::u16string ClockTextNow();

class AdminSupport;
class Softwaremanufacturer;

// The main window: created at start-up; it shows with the date and the time, then fills in the
// administrator message, the banner and its link as they arrive. Closing it ends the program.
class Main : public Form {
public:
    explicit Main(ServerHosts hosts = BuiltInServerHosts());
    ~Main() override;

private:
    void Form_Initialize();
    void Form_Load() override;
    void Form_MouseMove() override;
    void Form_Unload() override;

    void Image1_Click();
    void Image2_Click();
    void baner_Click();
    void Image3_Click();
    void Image4_Click();
    void LTime_Timer();
    void Image1_MouseMove();
    void Image2_MouseMove();
    void Image3_MouseMove();
    void Image4_MouseMove();

    std::u16string contentFile(std::u16string_view path) const;

    std::vector<std::u16string> m_contentMirrors;
    std::vector<std::u16string> m_linkMirrors;
    SignatureCheck m_signedBy;  // empty when the build asks for no signatures
    // Created at the first press of their buttons; they live until the program ends.
    std::unique_ptr<AdminSupport> m_support;
    std::unique_ptr<Softwaremanufacturer> m_maker;
};

}  // namespace linkvane
