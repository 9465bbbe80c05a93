// The damaged asset folders of damaged_assets_test.cpp, shared with the cases only one system has.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/temp_dir.h"

namespace damaged_assets {

struct Damage {
    const char* name;
    std::function<void(testing_support::TempWorkDir&)> apply; // applied to a good folder of pictures "ok" and "bad"
    const char* file;                                          // the file the one line names
    const char* reason;                                        // what it says about it
    bool restLoads;                                            // whether "ok" still loads
    std::function<void()> release = nullptr; // lets a loader waiting on the damaged file go on
};

class DamagedAssets : public ::testing::TestWithParam<Damage> {
protected:
    testing_support::TempWorkDir dir;
    void SetUp() override;
};

std::string damageName(const testing::TestParamInfo<Damage>& info);

} // namespace damaged_assets
