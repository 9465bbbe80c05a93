// The damaged asset folders of damaged_assets_test.cpp, shared with the cases only one system has.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/temp_dir.h"

namespace damaged_assets {

// Applied to a good folder of two pictures, "ok" and "bad": the file the one line names and its
// reason, whether "ok" still loads, and what lets a loader waiting on the damaged file go on.
struct Damage {
    const char* name;
    std::function<void(testing_support::TempWorkDir&)> apply;
    const char* file;
    const char* reason;
    bool restLoads;
    std::function<void()> release = nullptr;
};

class DamagedAssets : public ::testing::TestWithParam<Damage> {
protected:
    testing_support::TempWorkDir dir;
    void SetUp() override;
};

inline std::string damageName(const testing::TestParamInfo<Damage>& info) { return info.param.name; }

} // namespace damaged_assets
