// Every input kept for a fuzz target, run through the fuzz driver's own body:
// the seeds in fuzz/corpus/<target>/ and the inputs that a fuzzer once found
// a fault with in fuzz/regressions/<target>/. The sanitizer build runs them
// too, so a fault found once stays mended.
#include "fuzz/fuzz_target.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

class KeptFuzzInputs : public testing::TestWithParam<std::string> {};

TEST_P(KeptFuzzInputs, RunThroughTheDriver) {
    int inputs = 0;
    for (const char* kind : {"/corpus/", "/regressions/"}) {
        std::error_code missing;  // a target may have no folder of either kind
        for (const auto& entry : std::filesystem::directory_iterator(VANTROPE_FUZZ_DIR + (kind + GetParam()), missing)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), {}};
            testing::internal::CaptureStdout();
            EXPECT_EQ(fuzz_targets().at(GetParam())(data.data(), data.size()), 0) << entry.path();
            testing::internal::GetCapturedStdout();
            inputs++;
        }
    }
    if (!inputs) GTEST_SKIP() << "no inputs kept for " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Fuzz, KeptFuzzInputs, testing::ValuesIn([] {
                             std::vector<std::string> names;
                             for (const auto& target : fuzz_targets()) names.push_back(target.first);
                             return names;
                         }()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });
