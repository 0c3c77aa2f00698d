#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "forms/Form.h"

#include <string>

// A handler that names a control its window lacks fails the test that ran it, in every build.
static const auto kReportsUnknownControls = linkvane::SetUnknownControlReport([](auto form, auto control) {
    FAIL_CHECK("the form " << std::string(form) << " has no control \"" << std::string(control) << '"');
});
