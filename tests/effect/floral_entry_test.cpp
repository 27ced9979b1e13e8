#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "effect/floral.h"
#include "entry_test.h"

namespace {

class FloralEntry : public EntryTest {};

TEST_F(FloralEntry, UnhandledSelectorsReturnZeroAndTouchNothing) {
  for (PF_Cmd cmd : {2, 9, 10, 12, 16, 17, 1000, -1}) {
    PF_InData in_data = effect.in_data();
    PF_OutData out_data;
    std::memset(&out_data, 0xAB, sizeof(out_data));
    const PF_OutData before = out_data;
    const PF_InData in_before = in_data;
    EXPECT_EQ(EntryPointFunc(cmd, &in_data, &out_data, nullptr, nullptr, nullptr), PF_Err_NONE)
        << cmd;
    EXPECT_EQ(std::memcmp(&before, &out_data, sizeof(before)), 0) << cmd;
    EXPECT_EQ(std::memcmp(&in_before, &in_data, sizeof(in_before)), 0) << cmd;
    EXPECT_EQ(effect.Send(cmd), PF_Err_NONE) << cmd;
  }
}

TEST_F(FloralEntry, GlobalSetupReportsVersionFlagsFolderAndWindow) {
  EXPECT_EQ(effect.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(effect.my_version(), 0x00100001u);
  EXPECT_EQ(effect.out_flags(), 0x06008454);
  EXPECT_EQ(HostMainWindow, session.main_window());

  // The folder is the module path less the 22 characters of the shipped name,
  // whatever this module's file is actually called.
  char path[1024];
  DWORD length = GetModuleFileNameA(ModuleInstance, path, sizeof(path));
  ASSERT_GT(length, 22u);
  EXPECT_EQ(std::string(PluginFolder), std::string(path, length - 22));
  EXPECT_EQ(effect.GlobalSetdown(), PF_Err_NONE);
}

TEST_F(FloralEntry, ExceptionsFromHandlersBecomeHostErrors) {
  CommandTable table = {};
  table.handlers[PF_Cmd_EVENT] = [](PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*,
                                    void*) -> PF_Err { throw 516L; };
  table.handlers[PF_Cmd_RENDER] = [](PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*,
                                     void*) -> PF_Err { throw std::bad_alloc(); };
  PF_InData in_data = effect.in_data();
  PF_OutData out_data = {};
  EXPECT_EQ(DispatchCommand(table, PF_Cmd_EVENT, &in_data, &out_data, nullptr, nullptr, nullptr),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(DispatchCommand(table, PF_Cmd_RENDER, &in_data, &out_data, nullptr, nullptr, nullptr),
            PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(DispatchCommand(table, PF_Cmd_ABOUT, &in_data, &out_data, nullptr, nullptr, nullptr),
            PF_Err_NONE);
}

// ---- Sequence data ----

TEST_F(FloralEntry, SequenceSetupHoldsBitmapGreyLevels) {
  ASSERT_EQ(effect.SequenceSetup(), PF_Err_NONE);
  PF_Handle handle = effect.sequence_data();
  ASSERT_NE(handle, nullptr);
  const auto state = session.handle_state(handle);
  ASSERT_TRUE(state.has_value());
  EXPECT_EQ(state->size, 4800u);
  EXPECT_EQ(state->locks, 0);
  EXPECT_EQ(effect.flat_sdata_size(), 4);

  // Each cell's first byte is the red level of the bitmap's pixel at (x, y).
  HBITMAP bitmap = LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(999));
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  auto* bytes = static_cast<unsigned char*>(*handle);
  int distinct_from_first = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      EXPECT_EQ(bytes[(x + 40 * y) * 3], GetRValue(c));
      EXPECT_EQ(GetRValue(c), GetGValue(c));
      EXPECT_EQ(GetRValue(c), GetBValue(c));
      distinct_from_first += bytes[(x + 40 * y) * 3] != bytes[0];
    }
  EXPECT_GT(distinct_from_first, 100) << "the bump bitmap should carry a relief";
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

// ---- Parameter enabling ----

class FloralEnabling : public FloralEntry {
 protected:
  void SetUp() override {
    FloralEntry::SetUp();
    ASSERT_EQ(effect.ParamsSetup(), PF_Err_NONE);
  }
  PF_Err Changed(PF_ParamIndex index) { return effect.UserChangedParam(index); }
};

TEST_F(FloralEnabling, OtherParametersAndMissingSuiteChangeNothing) {
  for (PF_ParamIndex index : {1, 2, 5, 12, 46}) EXPECT_EQ(Changed(index), PF_Err_NONE);
  EXPECT_TRUE(session.param_ui_updates().empty());
  session.WithdrawSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2);
  EXPECT_EQ(Changed(4), PF_Err_NONE);
  EXPECT_TRUE(session.param_ui_updates().empty());
}

}  // namespace
