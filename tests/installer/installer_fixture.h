// Every test starts from a fresh process state: options, path buffers, the
// package model and the fake system.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_system.h"
#include "install/data_area.h"
#include "package/package.h"
#include "startup/run_state.h"

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRunState();
    ResetFakeSystem();
    ResetDataArea();
    FreePackage();
    ASSERT_TRUE(AllocatePathBuffers());
  }
  void TearDown() override {
    FreePackage();
    FreePathBuffers();
  }
  void SetOwnPath(const std::string& path) {
    std::strncpy(OwnPath, path.c_str(), kPathSize - 1);
  }
};
