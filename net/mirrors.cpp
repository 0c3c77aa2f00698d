#include "net/mirrors.h"

#include "net/ascii.h"
#include "net/codepage.h"
#include "net/limits.h"
#include "net/race.h"
#include "net/transport.h"
#include "net/weblink.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>

namespace linkvane {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr char kSignatureSuffix[] = ".minisig";

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

std::string_view WithoutLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\f\v");
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

bool IsWholeSuccess(const HttpResponse& answer) {
    return answer.complete && answer.status >= 200 && answer.status <= 299;
}

// The entry of each server list that last gave an acceptable answer in this run.
std::mutex g_answeredMutex;
std::map<std::vector<std::u16string>, std::size_t> g_answered;

// The entries in the order they go: the one that answered last time first, the others in order.
std::vector<std::size_t> OrderOfTries(const std::vector<std::u16string>& bases) {
    std::size_t first = 0;
    {
        std::lock_guard lock(g_answeredMutex);
        const auto found = g_answered.find(bases);
        if (found != g_answered.end())
            first = found->second;
    }
    std::vector<std::size_t> order{first};
    for (std::size_t entry = 0; entry < bases.size(); ++entry)
        if (entry != first)
            order.push_back(entry);
    return order;
}

void RememberAnswered(const std::vector<std::u16string>& bases, std::size_t entry) {
    std::lock_guard lock(g_answeredMutex);
    g_answered[bases] = entry;
}

// The limits of a try that goes at `position` of the race, with `left` of the time for all.
FetchLimits LimitsOfTry(std::size_t position, milliseconds left) {
    FetchLimits limits = CurrentFetchLimits();
    if (position > 0)
        limits.connect = std::min(limits.connect, limits.mirrorConnect);
    limits.connect = std::min(limits.connect, left);
    limits.whole = std::min(limits.whole, left);
    return limits;
}

// One entry's try: the file's transfer and, when files must be signed, its signature's.
struct Try {
    bool begun = false;
    std::optional<std::size_t> file, signature;  // numbers of the transfers; none when not started
    bool ended = false;
};

class Race {
public:
    Race(const std::vector<std::u16string>& bases, std::u16string_view path, WantedAnswer wanted,
         const SignatureCheck& signedBy)
        : bases_(bases), path_(path), wanted_(wanted), signedBy_(signedBy), tries_(bases.size()) {}

    std::optional<std::size_t> run() {
        const FetchLimits& limits = CurrentFetchLimits();
        const Clock::time_point start = Clock::now();
        const Clock::time_point deadline = start + limits.allMirrors;
        MirrorRace race(OrderOfTries(bases_), limits.headStart, start);
        std::size_t position = 0;
        while (!race.over()) {
            const Clock::time_point now = Clock::now();
            for (std::size_t entry : race.due(now))
                begin(entry, position++, std::chrono::duration_cast<milliseconds>(deadline - now));
            // Until the next turn at the latest; a try that ends wakes the wait sooner.
            const Clock::time_point turn = race.nextTurn();
            milliseconds patience = limits.headStart;
            if (turn != Clock::time_point::max())
                patience = turn > now ? std::chrono::duration_cast<milliseconds>(turn - now) : milliseconds(0);
            gets_.wait(std::max(patience, milliseconds(1)));
            race.ended(settle());
        }
        return race.winner();
    }

    std::string bytesOf(std::size_t entry) const {
        return tries_[entry].file ? gets_.response(*tries_[entry].file).body : std::string();
    }

private:
    void begin(std::size_t entry, std::size_t position, milliseconds left) {
        tries_[entry].begun = true;
        const std::u16string url = bases_[entry] + std::u16string(path_);
        // libcurl would guess "http://" for a text without a scheme; a URL opener refuses it.
        if (left <= milliseconds::zero() || !IsWebLink(url))
            return;
        const FetchLimits limits = LimitsOfTry(position, left);
        const std::string bytes = ToAnsi(url);
        tries_[entry].file = gets_.start(bytes, limits.textBytes, limits, RedirectRule::KeepHttps);
        if (signedBy_)
            tries_[entry].signature =
                gets_.start(bytes + kSignatureSuffix, limits.textBytes, limits, RedirectRule::KeepHttps);
    }

    bool acceptableFile(const HttpResponse& file) const {
        return IsWholeSuccess(file) && !IsBlockPage(file.contentType, file.body) &&
               (wanted_ == WantedAnswer::File || IsOpenableWebLink(FromAnsi(file.body)));
    }

    // The tries that have come to an end since the last look, each with its verdict. A try is
    // over as soon as either of its transfers has failed; the other is stopped.
    std::vector<MirrorRace::Ended> settle() {
        std::vector<MirrorRace::Ended> settled;
        for (std::size_t entry = 0; entry < tries_.size(); ++entry) {
            Try& one = tries_[entry];
            if (one.ended || !one.begun)
                continue;
            const bool fileEnded = !one.file || !gets_.running(*one.file);
            const bool fileFailed = fileEnded && (!one.file || !acceptableFile(gets_.response(*one.file)));
            const bool signatureEnded = !one.signature || !gets_.running(*one.signature);
            const bool signatureFailed =
                one.signature && signatureEnded && !IsWholeSuccess(gets_.response(*one.signature));
            if (!fileFailed && !signatureFailed && !(fileEnded && signatureEnded))
                continue;
            for (const auto& transfer : {one.file, one.signature})
                if (transfer)
                    gets_.stop(*transfer);
            one.ended = true;
            settled.push_back({entry, !fileFailed && !signatureFailed && vouchedFor(one)});
        }
        return settled;
    }

    bool vouchedFor(const Try& one) const {
        return !signedBy_ ||
               signedBy_(gets_.response(*one.file).body, gets_.response(*one.signature).body);
    }

    const std::vector<std::u16string>& bases_;
    std::u16string_view path_;
    WantedAnswer wanted_;
    const SignatureCheck& signedBy_;
    ConcurrentGets gets_;
    std::vector<Try> tries_;
};

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

bool IsBlockPage(std::string_view contentType, std::string_view body) {
    const std::string_view type = WithoutLeadingBlanks(contentType);
    const std::string_view html = "text/html";
    const bool htmlType = StartsWithCaseless(type, html) &&
                          (type.size() == html.size() || type[html.size()] == ';' ||
                           type[html.size()] == ' ' || type[html.size()] == '\t');
    const std::string_view start = WithoutLeadingBlanks(body);
    return htmlType || StartsWithCaseless(start, "<!doctype") || StartsWithCaseless(start, "<html");
}

std::u16string GetFromMirrors(const std::vector<std::u16string>& bases, std::u16string_view path,
                              WantedAnswer wanted, const SignatureCheck& signedBy) {
    if (bases.empty())
        return {};
    Race race(bases, path, wanted, signedBy);
    const std::optional<std::size_t> winner = race.run();
    if (winner) {
        RememberAnswered(bases, *winner);
        return FromAnsi(race.bytesOf(*winner));
    }
    return signedBy ? std::u16string() : FromAnsi(race.bytesOf(0));
}

}  // namespace linkvane
