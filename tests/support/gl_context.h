// gl_context.h -- GL tests run on one real offscreen Mesa context per test
// process (1280 x 1024, compatibility profile), created on first use.
#pragma once

#include <gtest/gtest.h>

#include "app/offscreen_context.h"

OffscreenContext& sharedGLContext();

// Fixture for tests that need a current GL context. Each test starts from
// GL's default matrices and a clean error state.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override;
};
