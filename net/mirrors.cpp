#include "net/mirrors.h"

#include "net/internetfile.h"
#include "net/limits.h"
#include "net/weblink.h"

#include <algorithm>
#include <chrono>

namespace linkvane {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A full address loses the slashes that end its prefix: every path brings its own.
std::u16string BaseOf(std::u16string_view entry) {
    if (!IsWebLink(entry))
        return u"http://" + std::u16string(entry);
    std::u16string base(entry);
    const std::size_t authorityStart = base.find(u"://") + 3;
    while (base.size() > authorityStart && base.back() == u'/')
        base.pop_back();
    return base;
}

bool IsWanted(const InternetFile& answer, WantedAnswer wanted) {
    const bool good = answer.complete && answer.status >= 200 && answer.status <= 299;
    return good && (wanted == WantedAnswer::File || IsOpenableWebLink(answer.text));
}

// The limits of one try, `index` counting from 0, with `left` of the time for all mirrors.
FetchLimits LimitsOfTry(std::size_t index, milliseconds left) {
    FetchLimits limits = CurrentFetchLimits();
    if (index > 0)
        limits.connect = std::min(limits.connect, limits.mirrorConnect);
    limits.connect = std::min(limits.connect, left);
    limits.whole = std::min(limits.whole, left);
    return limits;
}

}  // namespace

std::vector<std::u16string> MirrorBases(std::u16string_view serverList) {
    std::vector<std::u16string> bases;
    std::size_t start = 0;
    while (start <= serverList.size()) {
        const std::size_t end = std::min(serverList.find(u';', start), serverList.size());
        const std::u16string_view entry = serverList.substr(start, end - start);
        if (!entry.empty())
            bases.push_back(BaseOf(entry));
        start = end + 1;
    }
    return bases;
}

std::u16string GetFromMirrors(const std::vector<std::u16string>& bases, std::u16string_view path,
                              WantedAnswer wanted) {
    const Clock::time_point deadline = Clock::now() + CurrentFetchLimits().allMirrors;
    std::u16string firstText;
    for (std::size_t i = 0; i < bases.size(); ++i) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left <= milliseconds::zero())
            break;
        InternetFile answer = FetchInternetFile(bases[i] + std::u16string(path), LimitsOfTry(i, left));
        if (IsWanted(answer, wanted))
            return std::move(answer.text);
        if (i == 0)
            firstText = std::move(answer.text);
    }
    return firstText;
}

}  // namespace linkvane
