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
    std::memset(&host.out_data, 0xAB, sizeof(host.out_data));
    PF_OutData before = host.out_data;
    PF_InData in_before = host.in_data;
    EXPECT_EQ(Run(cmd), PF_Err_NONE) << cmd;
    EXPECT_EQ(std::memcmp(&before, &host.out_data, sizeof(before)), 0) << cmd;
    EXPECT_EQ(std::memcmp(&in_before, &host.in_data, sizeof(in_before)), 0) << cmd;
  }
}

TEST_F(FloralEntry, GlobalSetupReportsVersionFlagsFolderAndWindow) {
  host.out_data.my_version = 7;
  host.out_data.out_flags = -1;
  EXPECT_EQ(Run(PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
  EXPECT_EQ(host.out_data.my_version, 0x00100001u);
  EXPECT_EQ(host.out_data.out_flags, 0x06008454);
  EXPECT_EQ(HostMainWindow, reinterpret_cast<HWND>(0x1234));

  // The folder is the module path less the 22 characters of the shipped name,
  // whatever this module's file is actually called.
  char path[1024];
  DWORD length = GetModuleFileNameA(ModuleInstance, path, sizeof(path));
  ASSERT_GT(length, 22u);
  EXPECT_EQ(std::string(PluginFolder), std::string(path, length - 22));
  EXPECT_EQ(Run(PF_Cmd_GLOBAL_SETDOWN), PF_Err_NONE);
}

TEST_F(FloralEntry, ExceptionsFromHandlersBecomeHostErrors) {
  CommandTable table = {};
  table.handlers[PF_Cmd_EVENT] = [](PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*,
                                    void*) -> PF_Err { throw 516L; };
  table.handlers[PF_Cmd_RENDER] = [](PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*,
                                     void*) -> PF_Err { throw std::bad_alloc(); };
  EXPECT_EQ(DispatchCommand(table, PF_Cmd_EVENT, &host.in_data, &host.out_data, nullptr, nullptr,
                            nullptr),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(DispatchCommand(table, PF_Cmd_RENDER, &host.in_data, &host.out_data, nullptr, nullptr,
                            nullptr),
            PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(DispatchCommand(table, PF_Cmd_ABOUT, &host.in_data, &host.out_data, nullptr, nullptr,
                            nullptr),
            PF_Err_NONE);
}

// ---- Sequence data ----

TEST_F(FloralEntry, SequenceSetupHoldsBitmapGreyLevels) {
  ASSERT_EQ(Run(PF_Cmd_SEQUENCE_SETUP), PF_Err_NONE);
  PF_Handle handle = host.out_data.sequence_data;
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(host.handles[handle].size, 4800u);
  EXPECT_EQ(host.handles[handle].locks, 0);
  EXPECT_EQ(host.out_data.flat_sdata_size, 4);

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
    ASSERT_EQ(Run(PF_Cmd_PARAMS_SETUP), PF_Err_NONE);
    defs = host.added;
    for (size_t i = 0; i < defs.size(); ++i) params[i + 1] = &defs[i];
    params[0] = &input;
  }
  PF_Err Changed(PF_ParamIndex index) {
    PF_UserChangedParamExtra extra = {index};
    return Run(PF_Cmd_USER_CHANGED_PARAM, params, &extra);
  }
  std::vector<PF_ParamDef> defs;
  PF_ParamDef input = {};
  PF_ParamDef* params[47] = {};
};

TEST_F(FloralEnabling, OtherParametersAndMissingSuiteChangeNothing) {
  for (PF_ParamIndex index : {1, 2, 5, 12, 46}) EXPECT_EQ(Changed(index), PF_Err_NONE);
  EXPECT_TRUE(host.updates.empty());
  host.has_param_utils = false;
  EXPECT_EQ(Changed(4), PF_Err_NONE);
  EXPECT_TRUE(host.updates.empty());
  host.in_data.pica_basicP = nullptr;
  EXPECT_EQ(Changed(4), PF_Err_NONE);
  EXPECT_TRUE(host.updates.empty());
}

}  // namespace
