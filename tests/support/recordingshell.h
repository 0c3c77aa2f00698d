#pragma once
// A desktop shell that records what it is asked to open or run.

#include "forms/DesktopShell.h"

#include <string>
#include <vector>

namespace linkvane {

struct RecordingShell : DesktopShell {
    std::vector<std::string> opened, run;
    std::u16string OpenerProgram() const override { return u"opener"; }
    void OpenDocument(const Form*, const std::string& target) override { opened.push_back(target); }
    void RunCommandLine(const std::string& line, int) override { run.push_back(line); }
};

}  // namespace linkvane
