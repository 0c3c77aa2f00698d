// The smallest doctest suite, cross-compiled with mingw and run under Wine by CTest through
// CMAKE_CROSSCOMPILING_EMULATOR: shows that doctest, the C++20 library and threads work there.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

TEST_CASE("UTF-16 text keeps its code points")
{
    const std::u16string text = u"\u0631\u0641\u062A\u0646 \u0628\u0647 \u0633\u0627\u064A\u062A";
    CHECK(text.size() == 12);
    CHECK(text[9] == u'\u0627');
    CHECK(text[10] == u'\u064A'); // yeh, never normalised to U+06CC
}

TEST_CASE("std::thread runs (posix thread model, winpthread linked statically)")
{
    std::atomic<int> sum{0};
    std::vector<std::thread> threads;
    for (int i = 1; i <= 4; ++i)
        threads.emplace_back([&sum, i] { sum += i; });
    for (auto& thread : threads)
        thread.join();
    CHECK(sum == 10);
}
