#include "net/mirrors.h"

#include "net/ascii.h"
#include "net/codepage.h"
#include "net/limits.h"
#include "net/race.h"
#include "net/signature.h"
#include "net/transport.h"
#include "net/weblink.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
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

// Markup, not text: after byte-order marks (UTF-8) and blanks, in any order, a tag, a comment, a
// declaration or a processing instruction ("<" and a letter, '!', '?' or '/'). "< 5" or "<<" are
// still text. Blanks before the mark must not hide a page that the mark alone would not.
bool BeginsWithMarkup(std::string_view body) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    std::string_view start = WithoutLeadingBlanks(body);
    while (start.starts_with(byteOrderMark))
        start = WithoutLeadingBlanks(start.substr(byteOrderMark.size()));
    if (start.size() < 2 || start[0] != '<')
        return false;
    const char next = start[1];
    return (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '!' || next == '?' ||
           next == '/';
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

// The latest signed time taken for each file in this run: a later search never shows an older
// file than an earlier one did. In memory only, like everything the program keeps.
std::mutex g_signedTimesMutex;
std::map<std::u16string, std::uint64_t, std::less<>> g_latestSignedTimes;

RaceRules::SignedTime LatestTaken(std::u16string_view path) {
    std::lock_guard lock(g_signedTimesMutex);
    const auto found = g_latestSignedTimes.find(path);
    return found == g_latestSignedTimes.end() ? RaceRules::SignedTime() : found->second;
}

void RememberTaken(std::u16string_view path, std::uint64_t signedAt) {
    std::lock_guard lock(g_signedTimesMutex);
    std::uint64_t& taken = g_latestSignedTimes[std::u16string(path)];
    taken = std::max(taken, signedAt);
}

// One entry's try: the file's transfer and, when files must be signed, its signature's.
struct Try {
    bool begun = false;
    std::optional<std::size_t> file, signature;  // numbers of the transfers; none when not started
    bool connected = false;
    bool ended = false;
};

// The libcurl transfers that run the race of net/race.h for one file, on the calling thread.
class RaceTransfers {
public:
    RaceTransfers(const std::vector<std::u16string>& bases, std::u16string_view path, WantedAnswer wanted,
                  const SignatureCheck& signedBy)
        : bases_(bases), path_(path), pathBytes_(ToUtf8(path)), wanted_(wanted), signedBy_(signedBy),
          tries_(bases.size()) {}

    // The rules' verdict once the race is over.
    struct Outcome {
        std::optional<std::size_t> winner;
        RaceRules::SignedTime signedAt;
    };

    Outcome run() {
        const FetchLimits& limits = CurrentFetchLimits();
        const Clock::time_point start = Clock::now();
        const Clock::time_point deadline = start + limits.allMirrors;
        RaceRules rules(OrderOfTries(bases_),
                        {.connectHeadStart = limits.connectHeadStart, .headStart = limits.headStart,
                         .signedAnswers = bool(signedBy_), .latestTaken = LatestTaken(path_)},
                        start);
        std::size_t position = 0;
        while (true) {
            const Clock::time_point now = Clock::now();
            for (std::size_t entry : rules.due(now))
                begin(entry, position++, std::chrono::duration_cast<milliseconds>(deadline - now));
            if (rules.over())
                break;
            // Until the next turn at the latest; a try that ends wakes the wait sooner.
            const Clock::time_point turn = rules.nextTurn();
            milliseconds patience = limits.headStart;
            if (turn != Clock::time_point::max())
                patience = turn > now ? std::chrono::duration_cast<milliseconds>(turn - now) : milliseconds(0);
            gets_.wait(std::max(patience, milliseconds(1)));
            noteConnections(rules);
            rules.ended(settle(), Clock::now());
            stopUnwaited(rules);
        }
        return {rules.winner(), rules.winnerSignedAt()};
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

    // Asked only when the race looks anyway, so knowing costs no extra wake-up.
    void noteConnections(RaceRules& rules) {
        for (std::size_t entry = 0; entry < tries_.size(); ++entry) {
            Try& one = tries_[entry];
            if (!one.begun || one.ended || one.connected)
                continue;
            one.connected = (one.file && gets_.connected(*one.file)) ||
                            (one.signature && gets_.connected(*one.signature));
            if (one.connected)
                rules.connected(entry);
        }
    }

    bool acceptableFile(const HttpResponse& file) const {
        return IsWholeSuccess(file) && !IsBlockPage(file.contentType, file.body) &&
               (wanted_ == WantedAnswer::File || IsOpenableWebLink(FromAnsi(file.body)));
    }

    void stop(Try& one) {
        for (const auto& transfer : {one.file, one.signature})
            if (transfer)
                gets_.stop(*transfer);
        one.ended = true;
    }

    // The tries that have come to an end since the last look, each with its verdict. A try is
    // over as soon as either of its transfers has failed; the other is stopped.
    std::vector<RaceRules::Ended> settle() {
        std::vector<RaceRules::Ended> settled;
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
            stop(one);
            settled.push_back(!fileFailed && !signatureFailed ? verdictOnSigned(entry)
                                                              : RaceRules::Ended{entry, false});
        }
        return settled;
    }

    // A whole answer: without signatures it is acceptable; with them, when its own mirror's
    // signature vouches for it as the file asked for.
    RaceRules::Ended verdictOnSigned(std::size_t entry) const {
        if (!signedBy_)
            return {entry, true};
        const Try& one = tries_[entry];
        const std::optional<std::string> comment =
            signedBy_(gets_.response(*one.file).body, gets_.response(*one.signature).body);
        if (!comment)
            return {entry, false};
        const SignedClaims claims = ReadTrustedComment(*comment, pathBytes_);
        return {entry, claims.forRequestedFile, claims.signedAt};
    }

    // A try the race no longer waits for costs nothing more.
    void stopUnwaited(const RaceRules& rules) {
        for (std::size_t entry = 0; entry < tries_.size(); ++entry)
            if (tries_[entry].begun && !tries_[entry].ended && !rules.waitsFor(entry))
                stop(tries_[entry]);
    }

    const std::vector<std::u16string>& bases_;
    std::u16string_view path_;
    std::string pathBytes_;
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
    return htmlType || BeginsWithMarkup(body);
}

std::u16string GetFromMirrors(const std::vector<std::u16string>& bases, std::u16string_view path,
                              WantedAnswer wanted, const SignatureCheck& signedBy) {
    if (bases.empty())
        return {};
    RaceTransfers race(bases, path, wanted, signedBy);
    const RaceTransfers::Outcome outcome = race.run();
    if (outcome.winner) {
        RememberAnswered(bases, *outcome.winner);
        if (outcome.signedAt)
            RememberTaken(path, *outcome.signedAt);
        return FromAnsi(race.bytesOf(*outcome.winner));
    }
    return signedBy ? std::u16string() : FromAnsi(race.bytesOf(0));
}

}  // namespace linkvane
