// gl_context.h -- GL tests run on one real offscreen Mesa context per test
// process (1280 x 1024, compatibility profile), created on first use.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/offscreen_context.h"
#include "support/asset_writers.h"

OffscreenContext& sharedGLContext();

// Fixture for tests that need a current GL context. Each test starts from
// GL's default matrices and a clean error state.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// A GL test run from a temporary directory: the game looks its texture
// files up in the working directory, as it runs from its data directory.
class GLTestInTempDir : public GLTest {
protected:
    void SetUp() override;
    void TearDown() override;

    TempDir dir;
    std::string previous;  // the working directory before the test
};
