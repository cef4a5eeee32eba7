// A scripted bridge, opened, with pauses recorded and the link state reset.
#pragma once

#include <gtest/gtest.h>

#include "bridge/d2xx.h"
#include "bridge/device_access.h"
#include "bridge/link_state.h"
#include "scripted_backend.h"
#include "sleep_recorder.h"

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bridge::ResetLinkState();
    d2xx::SetBackend(&backend);
  }
  void TearDown() override {
    d2xx::SetBackend(nullptr);
    bridge::ResetLinkState();
  }
  // Opens the scripted device and forgets the calls that took.
  void Open() {
    ASSERT_TRUE(FTDI_OpenDevice());
    backend.ClearCalls();
  }

  kvtest::ScriptedBackend backend;
  kvtest::SleepRecorder sleeps;
};
