#pragma once

#include <gtest/gtest.h>

#include <string>

namespace harness {

// Parameterised cases come from a table of rows, each with a `name` that names its case:
//
//   struct Case { const char* name; ... };
//   void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
//   const Case kCases[] = {{"Name", ...}, ...};
//   INSTANTIATE_TEST_SUITE_P(Prefix, Suite, testing::ValuesIn(kCases), harness::rowName);
inline constexpr auto rowName = [](const auto& info) { return std::string(info.param.name); };

}  // namespace harness
