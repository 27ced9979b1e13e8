// A deliverable cut short, as the native loader would map it: ELF files.
#include <elf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "qf_host/deliverable.h"
#include "qf_host/host_error.h"
#include "qf_host/module_image.h"

namespace {

using qfhost::Deliverable;

// A build's label and file.
class ElfBuild : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A copy cut short anywhere before the end of its loaded segments is refused
// before the loader maps it; the end is found here from the ELF structures.
TEST_P(ElfBuild, ACopyCutShortIsRefusedBeforeLoading) {
  const std::string bytes = FileBytes(GetParam().second);
  ASSERT_GE(bytes.size(), sizeof(Elf64_Ehdr));
  Elf64_Ehdr header;
  std::memcpy(&header, bytes.data(), sizeof header);
  size_t needed = header.e_phoff + size_t{header.e_phnum} * sizeof(Elf64_Phdr);
  for (int i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr segment;
    std::memcpy(&segment, bytes.data() + header.e_phoff + i * sizeof segment, sizeof segment);
    if (segment.p_type == PT_LOAD) needed = std::max(needed, segment.p_offset + segment.p_filesz);
  }
  ASSERT_GT(needed, size_t{65536});
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  for (size_t cut = 64; cut <= bytes.size(); cut += 997)
    ASSERT_EQ(qfhost::ModuleImageProblem(data, cut).empty(), cut >= needed) << cut;
  EXPECT_EQ(qfhost::ModuleImageProblem(data, needed), "");
  EXPECT_NE(qfhost::ModuleImageProblem(data, needed - 1), "");

  for (size_t cut : {size_t{1024}, size_t{4096}, needed / 2, needed - 1}) {
    // The parameterised test's name holds a '/': a name of its own.
    const std::string path = ::testing::TempDir() + "qf_host_" + std::to_string(getpid()) + "_" +
                             GetParam().first + "_cut.aex";
    std::ofstream(path, std::ios::binary) << bytes.substr(0, cut);
    try {
      Deliverable::Load(path);
      ADD_FAILURE() << "a copy cut at " << cut << " loaded";
    } catch (const qfhost::HostError& e) {
      const std::string end = "lies beyond the end of the " + std::to_string(cut) + "-byte file)";
      EXPECT_NE(std::string(e.what()).find(": not a loadable plug-in module (its "),
                std::string::npos)
          << e.what();
      EXPECT_EQ(std::string(e.what()).substr(std::strlen(e.what()) - end.size()), end);
    }
    std::remove(path.c_str());
  }
}

// The thread-locals of a module loaded with dlopen lie in the static TLS
// block: the module never asks the loader for a dynamic block.
TEST_P(ElfBuild, ThreadLocalsNeedNoDynamicBlock) {
  const std::string bytes = FileBytes(GetParam().second);
  ASSERT_GE(bytes.size(), sizeof(Elf64_Ehdr));
  Elf64_Ehdr header;
  std::memcpy(&header, bytes.data(), sizeof header);
  auto section = [&](size_t i) {
    Elf64_Shdr s;
    std::memcpy(&s, bytes.data() + header.e_shoff + i * sizeof s, sizeof s);
    return s;
  };
  int imported = 0;
  for (size_t i = 0; i < header.e_shnum; ++i) {
    const Elf64_Shdr symbols = section(i);
    if (symbols.sh_type != SHT_DYNSYM) continue;
    const Elf64_Shdr names = section(symbols.sh_link);
    for (size_t at = symbols.sh_offset; at + sizeof(Elf64_Sym) <= symbols.sh_offset + symbols.sh_size;
         at += sizeof(Elf64_Sym)) {
      Elf64_Sym symbol;
      std::memcpy(&symbol, bytes.data() + at, sizeof symbol);
      if (symbol.st_shndx != SHN_UNDEF) continue;
      ++imported;
      EXPECT_STRNE(bytes.c_str() + names.sh_offset + symbol.st_name, "__tls_get_addr");
    }
  }
  EXPECT_GT(imported, 10) << "the module's imports were not found";
}

INSTANTIATE_TEST_SUITE_P(Deliverables, ElfBuild,
                         ::testing::Values(std::make_pair(std::string("Floral"),
                                                          std::string(QF_FLORAL_PATH)),
                                           std::make_pair(std::string("Geometry"),
                                                          std::string(QF_GEOMETRY_PATH))),
                         [](const auto& info) { return info.param.first; });

}  // namespace
