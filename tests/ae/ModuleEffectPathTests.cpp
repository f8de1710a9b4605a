#include "HandleStore.h"
#include "ModuleFixture.h"
#include "ae/EffectPathValue.h"
#include "core/PathText.h"

#include <cstring>

namespace brantok::lumaro::ae::test {
namespace {

using host::HandleStore;

constexpr A_u_long kBlock = 2048;
constexpr std::uint8_t kUntouched = 0xA5;
const std::string kPath = "/effects/Look.lumaro-effect";
const std::string kWidePath =
    "/Looks/D\xC3\xA4mmerung \xE5\xA4\x95\xE6\x9A\xAE\xE3\x82\x8C \xF0\x9F\x8C\x85.lumaro-effect";
// A path with a package kept after it. The callbacks carry the trailer
// without reading it, so any bytes do.
const std::string kKept = kPath + std::string(kBlock - kPath.size(), '\0') + "LUMAROKP trailer";

// Every arbitrary-data selector of the Effect Path parameter, through
// EffectMain, on blocks the host holds as a project would give them.
class ModuleEffectPathTest : public ModuleFixture {
protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    host_ = MakeHost();
  }
  void TearDown() override {
    for (const PF_Handle block : blocks_) {
      if (store_.Contains(block)) store_.Dispose(block);
    }
    host_.reset();
    ModuleFixture::TearDown();
  }

  PF_Err Call(PF_ArbParamsExtra extra) {
    extra.id = Layout::EffectPath;
    return host_->ArbitraryCallback(extra);
  }
  static PF_ArbParamsExtra Extra(PF_FunctionSelector selector) {
    PF_ArbParamsExtra extra{};
    extra.which_function = selector;
    return extra;
  }
  // The selectors several tests send, with their record's fields.
  PF_Err Copy(PF_Handle source, PF_ArbitraryH* copy) {
    auto extra = Extra(PF_Arbitrary_COPY_FUNC);
    extra.u.copy_func_params.src_arbH = source;
    extra.u.copy_func_params.dst_arbPH = copy;
    return Call(extra);
  }
  PF_Err Flatten(PF_Handle value, A_u_long size, void* flat) {
    auto extra = Extra(PF_Arbitrary_FLATTEN_FUNC);
    extra.u.flatten_func_params.arbH = value;
    extra.u.flatten_func_params.buf_sizeLu = size;
    extra.u.flatten_func_params.flat_dataPV = flat;
    return Call(extra);
  }
  PF_Err Unflatten(void* flat, A_u_long size, PF_ArbitraryH* restored) {
    auto extra = Extra(PF_Arbitrary_UNFLATTEN_FUNC);
    extra.u.unflatten_func_params.buf_sizeLu = size;
    extra.u.unflatten_func_params.flat_dataPV = flat;
    extra.u.unflatten_func_params.arbPH = restored;
    return Call(extra);
  }
  // The size FLAT_SIZE gives, 0 when it gives none.
  A_u_long FlatSize(PF_Handle value, PF_Err expected = PF_Err_NONE) {
    A_u_long size = 0;
    auto extra = Extra(PF_Arbitrary_FLAT_SIZE_FUNC);
    extra.u.flat_size_func_params.arbH = value;
    extra.u.flat_size_func_params.flat_data_sizePLu = &size;
    EXPECT_EQ(Call(extra), expected);
    return size;
  }
  // The order COMPARE gives, -1 when it gives none.
  PF_ArbCompareResult Compare(PF_Handle a, PF_Handle b, PF_Err expected = PF_Err_NONE) {
    PF_ArbCompareResult result = -1;
    auto extra = Extra(PF_Arbitrary_COMPARE_FUNC);
    extra.u.compare_func_params.a_arbH = a;
    extra.u.compare_func_params.b_arbH = b;
    extra.u.compare_func_params.compareP = &result;
    EXPECT_EQ(Call(extra), expected);
    return result;
  }
  // A block of `size` bytes beginning with `bytes`, zero after them; the
  // test disposes it.
  PF_Handle Block(const std::string& bytes, A_HandleSize size = kBlock) {
    const PF_Handle block = store_.New(size);
    store_.Write(block, bytes.data(), std::min<std::size_t>(bytes.size(), size));
    blocks_.push_back(block);
    return block;
  }
  // Kept until TearDown when not null.
  PF_Handle Keep(PF_Handle handle) {
    if (handle) blocks_.push_back(handle);
    return handle;
  }
  PF_Handle Value(const std::string& bytes) { return Block(bytes, bytes.size()); }
  static std::vector<std::uint8_t> Stored(const std::string& text) {
    std::vector<std::uint8_t> bytes(std::max<std::size_t>(kBlock, text.size()), 0);
    std::memcpy(bytes.data(), text.data(), text.size());
    return bytes;
  }

  HostPtr host_;
  HandleStore& store_ = HandleStore::Instance();
  std::vector<PF_Handle> blocks_;
};

// The fault walk runs every selector on a session's blocks; what it cannot
// see is a new block's content and the order COMPARE gives.
TEST_F(ModuleEffectPathTest, NewBlocksAreEmptyAndCompareOrdersByPathThenKeptPackage) {
  PF_ArbitraryH created = nullptr;
  auto extra = Extra(PF_Arbitrary_NEW_FUNC);
  extra.u.new_func_params.arbPH = &created;
  ASSERT_EQ(Call(extra), PF_Err_NONE);
  ASSERT_NE(Keep(created), nullptr);
  EXPECT_EQ(store_.Bytes(created), std::vector<std::uint8_t>(kBlock, 0));
  // Copying a keyframe without a value gives an empty one, as NEW does.
  PF_ArbitraryH copied = nullptr;
  ASSERT_EQ(Copy(nullptr, &copied), PF_Err_NONE);
  EXPECT_EQ(store_.Bytes(Keep(copied)), std::vector<std::uint8_t>(kBlock, 0));

  const PF_Handle look = Block(kPath);
  EXPECT_EQ(Compare(look, Block(kPath)), PF_ArbCompare_EQUAL);
  EXPECT_EQ(Compare(look, Block("/effects/Mood.lumaro-effect")), PF_ArbCompare_LESS);
  EXPECT_EQ(Compare(Block("/effects/Mood.lumaro-effect"), look), PF_ArbCompare_MORE);
  // Bytes after the terminating zero take no part.
  EXPECT_EQ(Compare(look, Block(std::string("/effects/Look.lumaro-effect\0junk", 32))), PF_ArbCompare_EQUAL);
  // The same path with a package kept, or another copy kept, is a change.
  const PF_Handle kept = Value(kKept);
  EXPECT_EQ(Compare(kept, Value(kKept)), PF_ArbCompare_EQUAL);
  EXPECT_EQ(Compare(look, kept), PF_ArbCompare_LESS);
  EXPECT_EQ(Compare(kept, look), PF_ArbCompare_MORE);
  EXPECT_EQ(Compare(kept, Value(kKept.substr(0, kKept.size() - 1) + "E")), PF_ArbCompare_MORE);
  EXPECT_EQ(Compare(Value(kKept + "!"), kept), PF_ArbCompare_MORE);
  EXPECT_EQ(Compare(Block("/effects/Mood.lumaro-effect"), kept), PF_ArbCompare_MORE);

  // A callback without its record is refused, not followed.
  host::CommandOptions options;
  EXPECT_NE(host_->Send(PF_Cmd_ARBITRARY_CALLBACK, options), PF_Err_NONE);
}

// A bare block and one with a package kept travel whole through COPY,
// FLAT_SIZE, FLATTEN and UNFLATTEN; other flat sizes are refused.
TEST_F(ModuleEffectPathTest, FlatDataIsTheWholeValueAndOtherSizesAreRefused) {
  for (const std::string& bytes : {kKept.substr(0, kBlock), kKept}) {
    SCOPED_TRACE(bytes.size());
    const std::vector<std::uint8_t> expected(bytes.begin(), bytes.end());
    const PF_Handle value = Value(bytes);
    const auto size = static_cast<A_u_long>(bytes.size());
    EXPECT_EQ(FlatSize(value), size);

    PF_ArbitraryH copy = nullptr;
    ASSERT_EQ(Copy(value, &copy), PF_Err_NONE);
    EXPECT_EQ(store_.Bytes(Keep(copy)), expected);

    const auto live = store_.LiveCount();
    for (const A_u_long given : {size, 0u, 1u, kBlock - 1, size - 1, size + 1, 2 * size}) {
      SCOPED_TRACE(given);
      std::vector<std::uint8_t> flat(2 * size, kUntouched);
      if (given != size) {
        EXPECT_EQ(Flatten(value, given, flat.data()), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(flat, std::vector<std::uint8_t>(2 * size, kUntouched));
        continue;
      }
      ASSERT_EQ(Flatten(value, given, flat.data()), PF_Err_NONE);
      flat.resize(size);
      EXPECT_EQ(flat, expected);
      PF_ArbitraryH restored = nullptr;
      ASSERT_EQ(Unflatten(flat.data(), size, &restored), PF_Err_NONE);
      EXPECT_EQ(store_.Bytes(Keep(restored)), expected);
    }
    EXPECT_EQ(store_.LiveCount(), live + 1);
  }

  // Shorter flat data is no value of the plug-in's; up to the longest trailer
  // it is kept whole, and longer only the path survives.
  const auto huge = static_cast<A_u_long>(EffectPathValue::MaxSize + 1);
  std::vector<std::uint8_t> flat = Stored(kPath);
  flat.resize(huge, 'x');
  const auto live = store_.LiveCount();
  for (const A_u_long size : {0u, 1u, kBlock - 1, huge - 1, huge}) {
    SCOPED_TRACE(size);
    PF_ArbitraryH restored = nullptr;
    if (size >= kBlock) {
      ASSERT_EQ(Unflatten(flat.data(), size, &restored), PF_Err_NONE);
      EXPECT_EQ(store_.Bytes(Keep(restored)),
                size == huge ? Stored(kPath) : std::vector<std::uint8_t>(flat.begin(), flat.begin() + size));
      continue;
    }
    EXPECT_EQ(Unflatten(flat.data(), size, &restored), PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_EQ(Keep(restored), nullptr);
    EXPECT_EQ(store_.LiveCount(), live);
  }
}

TEST_F(ModuleEffectPathTest, BlocksShorterThanThePluginsAreNeverOverrun) {
  // Blocks the plug-in did not make: a damaged project, another parameter's
  // data. Found by the effect_path fuzz target.
  const PF_Handle shortBlock = Block(std::string(16, 'x'), 16);
  std::vector<std::uint8_t> flat(kBlock, kUntouched);
  EXPECT_EQ(FlatSize(shortBlock, PF_Err_BAD_CALLBACK_PARAM), 0u);
  EXPECT_EQ(Flatten(shortBlock, kBlock, flat.data()), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(flat, std::vector<std::uint8_t>(kBlock, kUntouched));

  PF_ArbitraryH copy = nullptr;
  EXPECT_EQ(Copy(shortBlock, &copy), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(Compare(shortBlock, shortBlock, PF_Err_BAD_CALLBACK_PARAM), -1);

  // A stored path in a short block is no path: no effect, the frame copied.
  PF_Handle value = host_->Params().At(Layout::EffectPath).u.arb_d.value;
  ASSERT_TRUE(host_->Params().WriteArbitraryText(Layout::EffectPath, core::PathToUtf8(Example("WarmGlow"))));
  ASSERT_EQ(store_.Resize(16, &value), PF_Err_NONE);
  host_->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
  EXPECT_EQ(host_->UpdateParamsUI(sequence_), PF_Err_NONE);
  EXPECT_EQ(host_->Params().Text(Layout::EffectPopup), "None|Browse...||");
  ExpectPassThrough(*host_, sequence_);
  ASSERT_EQ(store_.Resize(kBlock, &value), PF_Err_NONE);
}

TEST_F(ModuleEffectPathTest, PrintGivesThePathAsTextWithItsTerminator) {
  struct Case {
    const char* name;
    PF_Handle block;
    PF_Err error;
    std::string text;
  };
  const std::vector<Case> cases{
      {"a path", Block(kPath), PF_Err_NONE, kPath},
      {"a path with a package kept", Value(kKept), PF_Err_NONE, kPath},
      {"no path", Block(""), PF_Err_NONE, ""},
      {"the longest path", Block(std::string(kBlock - 1, 'p')), PF_Err_NONE, std::string(kBlock - 1, 'p')},
      {"a block without its terminator", Block(std::string(kBlock, 'a')), PF_Err_INTERNAL_STRUCT_DAMAGED, ""},
      {"a path that is not UTF-8", Block("/effects/\xC0\xAF.lumaro-effect"), PF_Err_INTERNAL_STRUCT_DAMAGED, ""},
      {"a block shorter than the plug-in's", Block(kPath, 16), PF_Err_BAD_CALLBACK_PARAM, ""},
      {"no block", nullptr, PF_Err_BAD_CALLBACK_PARAM, ""},
  };
  for (const auto& [name, block, error, text] : cases) {
    SCOPED_TRACE(name);
    const auto needed = static_cast<A_u_long>(text.size() + 1);
    A_u_long size = 12345;
    auto extra = Extra(PF_Arbitrary_PRINT_SIZE_FUNC);
    extra.u.print_size_func_params.arbH = block;
    extra.u.print_size_func_params.print_sizePLu = &size;
    EXPECT_EQ(Call(extra), error);
    EXPECT_EQ(size, error ? 12345u : needed);

    // The size asked for, one less, none and more: only what holds the path
    // and its terminator is written, and nothing past it.
    for (const A_u_long given : {needed, needed - 1, 0u, needed + 8}) {
      std::vector<char> buffer(needed + 16, 'x');
      extra = Extra(PF_Arbitrary_PRINT_FUNC);
      extra.u.print_func_params.arbH = block;
      extra.u.print_func_params.print_sizeLu = given;
      extra.u.print_func_params.print_bufferPC = buffer.data();
      const PF_Err expected = error ? error : given < needed ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_NONE;
      EXPECT_EQ(Call(extra), expected) << given;
      std::string written(buffer.begin(), buffer.end());
      if (expected == PF_Err_NONE) {
        EXPECT_EQ(written, text + '\0' + std::string(buffer.size() - needed, 'x')) << given;
      } else {
        EXPECT_EQ(written, std::string(buffer.size(), 'x')) << given;
      }
    }
  }
  auto extra = Extra(PF_Arbitrary_PRINT_SIZE_FUNC);
  extra.u.print_size_func_params.arbH = Block(kPath);
  EXPECT_EQ(Call(extra), PF_Err_BAD_CALLBACK_PARAM) << "no size to write";
  extra = Extra(PF_Arbitrary_PRINT_FUNC);
  extra.u.print_func_params.arbH = Block(kPath);
  extra.u.print_func_params.print_sizeLu = kBlock;
  EXPECT_EQ(Call(extra), PF_Err_BAD_CALLBACK_PARAM) << "no buffer";
}

TEST_F(ModuleEffectPathTest, ScanStoresPathsAndRefusesHostileText) {
  struct Case {
    const char* name;
    std::string text;
    A_u_long bytes; // bytes_to_scanLu
    PF_Err error;
    std::string stored;
  };
  const std::string longest(kBlock - 1, 'p');
  std::string zeroPadded = kPath;
  zeroPadded.resize(3 * kBlock, '\0');
  const std::vector<Case> cases{
      {"a path with its terminator", kPath + '\0', static_cast<A_u_long>(kPath.size() + 1), PF_Err_NONE, kPath},
      {"a path without one", kPath, static_cast<A_u_long>(kPath.size()), PF_Err_NONE, kPath},
      {"a path beyond ASCII", kWidePath, static_cast<A_u_long>(kWidePath.size()), PF_Err_NONE, kWidePath},
      {"a path ending beyond ASCII", "/\xC3\xA4 \xF0\x9F\x8C\x85", 8, PF_Err_NONE, "/\xC3\xA4 \xF0\x9F\x8C\x85"},
      {"the lowest continuation bytes", "/\xE0\xA4\x80\xC2\x80", 6, PF_Err_NONE, "/\xE0\xA4\x80\xC2\x80"},
      {"a path in a larger buffer", zeroPadded, 3 * kBlock, PF_Err_NONE, kPath},
      {"empty text", "", 0, PF_Err_NONE, ""},
      {"the longest path", longest, kBlock - 1, PF_Err_NONE, longest},
      {"a path too long for the block", longest + 'p', kBlock, PF_Err_CANNOT_PARSE_KEYFRAME_TEXT, ""},
      {"a stray byte", "/effects/\xFF.lumaro-effect", 24, PF_Err_CANNOT_PARSE_KEYFRAME_TEXT, ""},
      {"an overlong slash", "/effects\xC0\xAFLook", 14, PF_Err_CANNOT_PARSE_KEYFRAME_TEXT, ""},
      {"a surrogate", "/\xED\xA0\x80", 4, PF_Err_CANNOT_PARSE_KEYFRAME_TEXT, ""},
      {"beyond U+10FFFF", "/\xF4\x90\x80\x80", 5, PF_Err_CANNOT_PARSE_KEYFRAME_TEXT, ""},
      {"a cut sequence", "/Look\xE2\x82", 7, PF_Err_CANNOT_PARSE_KEYFRAME_TEXT, ""},
      {"no text but a size", "", 16, PF_Err_BAD_CALLBACK_PARAM, ""},
  };
  for (const auto& [name, text, bytes, error, stored] : cases) {
    SCOPED_TRACE(name);
    const auto live = store_.LiveCount();
    PF_ArbitraryH scanned = nullptr;
    auto extra = Extra(PF_Arbitrary_SCAN_FUNC);
    extra.u.scan_func_params.bufPC = text.empty() ? nullptr : text.data();
    extra.u.scan_func_params.bytes_to_scanLu = bytes;
    extra.u.scan_func_params.arbPH = &scanned;
    EXPECT_EQ(Call(extra), error);
    if (error) {
      EXPECT_EQ(scanned, nullptr);
      EXPECT_EQ(store_.LiveCount(), live) << "a refused text left a block";
      continue;
    }
    ASSERT_NE(Keep(scanned), nullptr);
    EXPECT_EQ(store_.Bytes(scanned), Stored(stored));
  }
  auto extra = Extra(PF_Arbitrary_SCAN_FUNC);
  extra.u.scan_func_params.bufPC = kPath.c_str();
  extra.u.scan_func_params.bytes_to_scanLu = static_cast<A_u_long>(kPath.size());
  EXPECT_EQ(Call(extra), PF_Err_BAD_CALLBACK_PARAM) << "no destination";
}

TEST_F(ModuleEffectPathTest, InterpolationHoldsTheLeftPathAndUnknownSelectorsAreRefused) {
  const PF_Handle left = Block(kPath);
  const PF_Handle right = Value(kKept);
  for (const auto& [t, expected] : {std::pair{0.0, kPath}, std::pair{0.5, kPath}, std::pair{1.0, kKept}}) {
    PF_ArbitraryH between = nullptr;
    auto extra = Extra(PF_Arbitrary_INTERP_FUNC);
    extra.u.interp_func_params.left_arbH = left;
    extra.u.interp_func_params.right_arbH = right;
    extra.u.interp_func_params.tF = t;
    extra.u.interp_func_params.interpPH = &between;
    EXPECT_EQ(Call(extra), PF_Err_NONE) << t;
    EXPECT_EQ(store_.Bytes(Keep(between)), Stored(expected)) << t;
  }
  auto extra = Extra(PF_Arbitrary_INTERP_FUNC);
  extra.u.interp_func_params.left_arbH = left;
  EXPECT_EQ(Call(extra), PF_Err_BAD_CALLBACK_PARAM) << "no destination";

  const auto live = store_.LiveCount();
  for (const PF_FunctionSelector selector : {PF_Arbitrary_SCAN_FUNC + 1, 99, -1}) {
    PF_ArbitraryH made = nullptr;
    extra = Extra(selector);
    extra.u.new_func_params.arbPH = &made;
    EXPECT_EQ(Call(extra), PF_Err_BAD_CALLBACK_PARAM) << selector;
    EXPECT_EQ(made, nullptr);
  }
  EXPECT_EQ(store_.LiveCount(), live);
}

} // namespace
} // namespace brantok::lumaro::ae::test
