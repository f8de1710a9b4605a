#include "EffectHost.h"
#include "HandleStore.h"
#include "LogCapture.h"
#include "ae/EffectDispatch.h"
#include "ae/EffectPath.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::ae {
namespace {

using Layout = ParameterLayout;
constexpr std::size_t kBlock = Layout::EffectPathSize;
const std::string kPath = "/effects/Dusk.lumaro-effect";
const std::string kIgnored = "Package copy kept in the project ignored";

// A small kept package and the trailer it must give on every platform: the
// Windows module reads projects the Linux one saved, and the other way round.
const KeptPackage& SmallPackage() {
  static const KeptPackage kept{std::make_shared<const std::string>("PK\x05\x06kit"),
                                {{"gain", eControl::Slider}, {}, {"on", eControl::Checkbox}}};
  return kept;
}
const std::vector<std::uint8_t> kSmallTrailer{
    0x4C, 0x55, 0x4D, 0x41, 0x52, 0x4F, 0x4B, 0x50, // tag
    0x01, 0x00, 0x00, 0x00,                         // version
    0x07, 0x00, 0x00, 0x00,                         // package length
    0x10, 0x00, 0x00, 0x00,                         // slot map length
    0xDE, 0xA2, 0x8B, 0x3C, 0x46, 0x25, 0x83, 0x87, // FNV-1a 64
    0x50, 0x4B, 0x05, 0x06, 0x6B, 0x69, 0x74,       // package
    0x03,                                           // slots
    0x01, 0x04, 0x00, 0x67, 0x61, 0x69, 0x6E,       // slider "gain"
    0xFF, 0x00, 0x00,                               // empty
    0x04, 0x02, 0x00, 0x6F, 0x6E,                   // checkbox "on"
};

// WriteEffectPath, ReadEffectPath and ReadKeptPackage on the value of a host
// that set the parameters up.
class EffectPathTest : public ::testing::Test {
protected:
  void SetUp() override {
    host_ = std::make_unique<host::EffectHost>(&DispatchCommand);
    ASSERT_EQ(host_->GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host_->ParamsSetup(), PF_Err_NONE);
    in_ = host_->PrepareInData({});
    out_ = host_->PrepareOutData({});
  }
  void TearDown() override {
    EXPECT_EQ(host_->GlobalSetdown(), PF_Err_NONE);
    EXPECT_EQ(host_->OutstandingSuites(), 0);
    EXPECT_EQ(store_.LockedCount(), 0u);
  }

  PF_ParamDef& Param() { return host_->Params().At(Layout::EffectPath); }
  bool Write(const std::string& text, const KeptPackage* kept) {
    return WriteEffectPath(&in_, &out_, &Param(), text, kept);
  }
  std::optional<std::string> Path() { return ReadEffectPath(&in_, &out_, &Param()); }
  std::optional<KeptPackage> Kept() { return ReadKeptPackage(&in_, &out_, &Param()); }
  std::vector<std::uint8_t> Value() { return store_.Bytes(Param().u.arb_d.value); }
  void SetValue(const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(store_.Resize(bytes.size(), &Param().u.arb_d.value), PF_Err_NONE);
    ASSERT_TRUE(store_.Write(Param().u.arb_d.value, bytes.data(), bytes.size()));
  }
  static std::vector<std::uint8_t> Block(const std::string& text) {
    std::vector<std::uint8_t> block(kBlock, 0);
    std::copy(text.begin(), text.end(), block.begin());
    return block;
  }

  std::unique_ptr<host::EffectHost> host_;
  host::HandleStore& store_ = host::HandleStore::Instance();
  PF_InData in_{};
  PF_OutData out_{};
};

TEST_F(EffectPathTest, AKeptPackageIsTheSameBytesOnEveryPlatformAndReadsBack) {
  test::LogCapture log;
  ASSERT_TRUE(Write(kPath, &SmallPackage()));
  auto expected = Block(kPath);
  expected.insert(expected.end(), kSmallTrailer.begin(), kSmallTrailer.end());
  EXPECT_EQ(Value(), expected);
  EXPECT_EQ(Param().uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
  EXPECT_EQ(Path(), kPath);
  const auto kept = Kept();
  ASSERT_TRUE(kept && kept->bytes);
  EXPECT_EQ(*kept->bytes, *SmallPackage().bytes);
  EXPECT_EQ(kept->slots, SmallPackage().slots);

  // A path alone drops the copy: no older package outlives its path.
  ASSERT_TRUE(Write("/effects/Noon.lumaro-effect", nullptr));
  EXPECT_EQ(Value(), Block("/effects/Noon.lumaro-effect"));
  EXPECT_EQ(Kept(), std::nullopt);
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(EffectPathTest, DamagedTrailersAreIgnoredAndLoggedOnceThePathStillReads) {
  auto put32 = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
  };
  auto flip = [](std::vector<std::uint8_t> bytes, std::size_t at) {
    bytes[at] ^= 0x40;
    return bytes;
  };
  const auto& t = kSmallTrailer;
  auto longer = t;
  longer.push_back(0);
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases{
      {"one byte", {t.begin(), t.begin() + 1}},
      {"a header cut short", {t.begin(), t.begin() + 27}},
      {"a header alone", {t.begin(), t.begin() + 28}},
      {"the slot map cut short", {t.begin(), t.end() - 1}},
      {"a byte too many", longer},
      {"another tag", flip(t, 0)},
      {"version 0", put32(t, 8, 0)},
      {"version 2", put32(t, 8, 2)},
      {"a package length past the end", put32(t, 12, 8)},
      {"a package length of 4 GiB", put32(t, 12, 0xFFFFFFFF)},
      {"a slot map length past the end", put32(t, 16, 17)},
      {"a wrong checksum", flip(t, 20)},
      {"a changed package byte", flip(t, 30)},
      {"a changed slot map byte", flip(t, 36)},
      // The checksum covers package and slot map as one run of bytes, so a
      // moved boundary keeps it right: the slot map itself must be checked.
      {"a slot map that starts in the package (116 slots)", put32(put32(t, 12, 6), 16, 17)},
      {"a slot map that starts inside itself (an id past its end)", put32(put32(t, 12, 8), 16, 15)},
      {"a value longer than any the plug-in writes", std::vector<std::uint8_t>(EffectPathValue::MaxSize + 1 - kBlock)},
  };
  for (const auto& [name, trailer] : cases) {
    SCOPED_TRACE(name);
    auto value = Block(kPath);
    value.insert(value.end(), trailer.begin(), trailer.end());
    SetValue(value);
    test::LogCapture log;
    EXPECT_EQ(Kept(), std::nullopt);
    EXPECT_EQ(Path(), kPath);
    EXPECT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Count(kIgnored), 1);
  }
}

// A slot map holds up to one slot for each the host has, each of a known kind.
TEST_F(EffectPathTest, ASlotMapOfEverySlotReadsBackAndAnUnknownKindIsDamage) {
  KeptPackage full{SmallPackage().bytes,
                   std::vector<SlotEntry>(ParameterLayout::ControlSlots, {"s", eControl::Slider})};
  ASSERT_TRUE(Write(kPath, &full));
  EXPECT_EQ(Kept().value_or(KeptPackage{}).slots, full.slots);
  full.slots.back().kind = static_cast<eControl>(9);
  ASSERT_TRUE(Write(kPath, &full));
  EXPECT_EQ(Kept(), std::nullopt);
}

TEST_F(EffectPathTest, PackagesOverTheLimitAreNotKeptAndWhatCannotBeWrittenChangesNothing) {
  for (const std::size_t size : {EffectPathValue::MaxPackageSize, EffectPathValue::MaxPackageSize + 1}) {
    SCOPED_TRACE(size);
    test::LogCapture log;
    const KeptPackage big{std::make_shared<const std::string>(size, 'z'), SmallPackage().slots};
    ASSERT_TRUE(Write(kPath, &big));
    const bool kept = size <= EffectPathValue::MaxPackageSize;
    EXPECT_EQ(Value().size(), kept ? kBlock + 28 + size + 16 : kBlock);
    EXPECT_EQ(Kept().has_value(), kept);
    EXPECT_EQ(log.Count("Package not kept in the project: " + std::to_string(size) + " bytes, larger than 1 MiB"),
              kept ? 0 : 1);
    EXPECT_EQ(log.Lines().size(), kept ? 0u : 1u);
  }

  ASSERT_TRUE(Write(kPath, &SmallPackage()));
  const auto before = Value();
  const auto bytes = SmallPackage().bytes;
  const std::vector<std::pair<const char*, KeptPackage>> cases{
      {"more slots than the host has", {bytes, std::vector<SlotEntry>(Layout::ControlSlots + 1)}},
      {"an id of 64 KiB", {bytes, {{std::string(0x10000, 'i'), eControl::Angle}}}},
      {"an empty slot with an id", {bytes, {{"gain", std::nullopt}}}},
      {"no package bytes", {nullptr, {}}},
  };
  for (const auto& [name, kept] : cases) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Write("/effects/Other.lumaro-effect", &kept));
    EXPECT_EQ(Value(), before);
  }
  EXPECT_FALSE(Write(std::string(kBlock, 'p'), &SmallPackage())) << "a path too long for the block";
  EXPECT_EQ(Value(), before);
}

} // namespace
} // namespace brantok::lumaro::ae
