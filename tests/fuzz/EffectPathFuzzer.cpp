#include "FuzzInput.h"
#include "FuzzSession.h"
#include "FuzzTargets.h"

#include "HandleStore.h"
#include "ae/EffectPath.h"
#include "ae/ParameterLayout.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::fuzz {
namespace {

using ae::ParameterLayout;
using host::HandleStore;

constexpr std::size_t kBlock = ParameterLayout::EffectPathSize;
// Flat sizes a host might offer: the right one, its neighbours, none, more.
constexpr std::array<A_u_long, 7> kSizes{kBlock, kBlock - 1, kBlock + 1, 0, 1, 4096, 64};
// Blocks of the host's that are not the plug-in's 2048 bytes.
constexpr std::array<A_HandleSize, 5> kOtherSizes{0, 1, 16, kBlock - 1, kBlock + 16};

bool Allowed(PF_Err error) {
  return error == PF_Err_NONE || error == PF_Err_OUT_OF_MEMORY || error == PF_Err_BAD_CALLBACK_PARAM ||
         error == PF_Err_INTERNAL_STRUCT_DAMAGED || error == PF_Err_CANNOT_PARSE_KEYFRAME_TEXT;
}

// The host's side of one input: up to four handles it holds from the
// plug-in, plus null, one it never made and blocks of its own of other sizes.
// What each selector answers is pinned by the module's Effect Path tests; this
// target checks only that no input crashes, leaks, leaves a handle locked or
// gets an error the host does not know. Each selector still reads its input
// as it always did, so the kept inputs replay the runs that found faults.
class Run {
public:
  Run(FuzzInput& input, host::EffectHost& host, int sequence) : input_(input), host_(host), sequence_(sequence) {}

  ~Run() {
    // The host disposes what it still holds, through the plug-in.
    host_.Faults().newHandle.Disarm();
    host_.Faults().lockHandle.Disarm();
    for (const PF_Handle block : hostBlocks_) {
      if (store_.Contains(block)) store_.Dispose(block);
    }
    for (auto& slot : slots_) {
      if (!slot) continue;
      PF_ArbParamsExtra extra = Extra(PF_Arbitrary_DISPOSE_FUNC);
      extra.u.dispose_func_params.arbH = slot;
      host_.ArbitraryCallback(extra);
      Expect(!store_.Contains(slot), "dispose left the handle alive");
      slot = nullptr;
    }
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  void Step() {
    // The input's choice picks the step; the order is the kept inputs'. A new
    // step goes last, and the kept inputs' step bytes are rewritten to pick
    // the same steps as before (the byte modulo the old count).
    static constexpr std::array<void (Run::*)(), 11> kSteps{
        &Run::New,     &Run::Dispose, &Run::Copy,     &Run::FlatSize, &Run::Flatten,    &Run::Unflatten,
        &Run::Compare, &Run::Other,   &Run::ArmFault, &Run::ShowPath, &Run::KeepPackage};
    (this->*kSteps[input_.Pick(kSteps.size())])();
  }

private:
  static PF_ArbParamsExtra Extra(PF_FunctionSelector selector) {
    PF_ArbParamsExtra extra{};
    extra.which_function = selector;
    extra.id = static_cast<A_short>(ParameterLayout::EffectPath);
    return extra;
  }

  PF_Err Send(PF_ArbParamsExtra& extra) {
    const PF_Err error = host_.ArbitraryCallback(extra);
    Expect(Allowed(error), "an arbitrary-data callback returned an unexpected error");
    Expect(store_.LockedCount() == 0, "an arbitrary-data callback left a handle locked");
    return error;
  }

  // 0-3: a slot's handle, 4: null, 5: a handle the host never made, 6: a
  // block of the host's of another size than the plug-in's (a damaged
  // project, another parameter's data).
  PF_Handle AnyHandle() {
    const auto pick = input_.Pick(7);
    if (pick < slots_.size()) return slots_[pick];
    if (pick == 6) return OtherBlock();
    return pick == 4 ? nullptr : &foreignData_;
  }

  PF_Handle OtherBlock() {
    const A_HandleSize size = kOtherSizes[input_.Pick(kOtherSizes.size())];
    const PF_Handle block = store_.New(size);
    std::string bytes = input_.Bytes(kBlock);
    bytes.resize(size, 'x');
    store_.Write(block, bytes.data(), bytes.size());
    hostBlocks_.push_back(block);
    return block;
  }

  // A slot for a new handle (emptied first, the host's way), or null.
  PF_Handle* TargetSlot() {
    const auto pick = input_.Pick(5);
    if (pick == 4) return nullptr;
    auto& slot = slots_[pick];
    if (slot) {
      store_.Dispose(slot);
      slot = nullptr;
    }
    return &slot;
  }

  // A callback that makes a handle: one of the host's on success, none on
  // failure (the host would never dispose it), and no success without a
  // destination.
  void ExpectMade(PF_Err error, PF_Handle* target) {
    if (!target) return Expect(error != PF_Err_NONE, "a callback without a destination succeeded");
    if (error != PF_Err_NONE) return Expect(*target == nullptr, "a failed callback stored a handle");
    Expect(store_.Contains(*target), "a new handle is not the host's");
  }

  void New() {
    auto extra = Extra(PF_Arbitrary_NEW_FUNC);
    PF_Handle* target = TargetSlot();
    extra.u.new_func_params.arbPH = target;
    ExpectMade(Send(extra), target);
  }

  void Dispose() {
    const auto pick = input_.Pick(7);
    auto extra = Extra(PF_Arbitrary_DISPOSE_FUNC);
    if (pick < slots_.size()) {
      extra.u.dispose_func_params.arbH = slots_[pick];
      slots_[pick] = nullptr;
    } else if (pick == 5) {
      extra.u.dispose_func_params.arbH = &foreignData_;
    } else if (pick == 6) {
      // The plug-in disposes this one: a leak shows when it does not.
      extra.u.dispose_func_params.arbH = OtherBlock();
      hostBlocks_.pop_back();
    }
    Send(extra);
  }

  void Copy() {
    // The destination first: emptying its slot must not leave a stale source.
    PF_Handle* target = TargetSlot();
    auto extra = Extra(PF_Arbitrary_COPY_FUNC);
    extra.u.copy_func_params.src_arbH = AnyHandle();
    extra.u.copy_func_params.dst_arbPH = target;
    ExpectMade(Send(extra), target);
  }

  void FlatSize() {
    auto extra = Extra(PF_Arbitrary_FLAT_SIZE_FUNC);
    A_u_long size = 0;
    extra.u.flat_size_func_params.arbH = AnyHandle();
    extra.u.flat_size_func_params.flat_data_sizePLu = input_.Bool() ? &size : nullptr;
    Send(extra);
  }

  void Flatten() {
    const PF_Handle handle = AnyHandle();
    const A_u_long size = kSizes[input_.Pick(kSizes.size())];
    std::vector<std::uint8_t> buffer(size);
    auto extra = Extra(PF_Arbitrary_FLATTEN_FUNC);
    extra.u.flatten_func_params.arbH = handle;
    extra.u.flatten_func_params.buf_sizeLu = size;
    extra.u.flatten_func_params.flat_dataPV = input_.Bool() ? buffer.data() : nullptr;
    Send(extra);
  }

  void Unflatten() {
    const A_u_long size = kSizes[input_.Pick(kSizes.size())];
    std::string flat = input_.Bytes(kBlock + 1);
    flat.resize(size, '\0');
    auto extra = Extra(PF_Arbitrary_UNFLATTEN_FUNC);
    extra.u.unflatten_func_params.buf_sizeLu = size;
    extra.u.unflatten_func_params.flat_dataPV = input_.Bool() ? flat.data() : nullptr;
    PF_Handle* target = TargetSlot();
    extra.u.unflatten_func_params.arbPH = target;
    ExpectMade(Send(extra), target);
  }

  void Compare() {
    PF_ArbCompareResult result = -1;
    auto extra = Extra(PF_Arbitrary_COMPARE_FUNC);
    extra.u.compare_func_params.a_arbH = AnyHandle();
    extra.u.compare_func_params.b_arbH = AnyHandle();
    extra.u.compare_func_params.compareP = input_.Bool() ? &result : nullptr;
    Send(extra);
  }

  void Other() {
    static constexpr std::array<void (Run::*)(), 5> kSteps{&Run::Interpolate, &Run::PrintSize, &Run::Print, &Run::Scan,
                                                           &Run::UnknownSelector};
    (this->*kSteps[input_.Pick(kSteps.size())])();
  }

  void UnknownSelector() {
    auto extra = Extra(-1);
    Send(extra);
  }

  void Interpolate() {
    PF_Handle* target = TargetSlot();
    auto extra = Extra(PF_Arbitrary_INTERP_FUNC);
    extra.u.interp_func_params.left_arbH = AnyHandle();
    extra.u.interp_func_params.right_arbH = AnyHandle();
    extra.u.interp_func_params.tF = input_.Bool() ? 0.25 : 1.0;
    extra.u.interp_func_params.interpPH = target;
    ExpectMade(Send(extra), target);
  }

  void PrintSize() {
    A_u_long size = 0;
    auto extra = Extra(PF_Arbitrary_PRINT_SIZE_FUNC);
    extra.u.print_size_func_params.arbH = AnyHandle();
    extra.u.print_size_func_params.print_sizePLu = input_.Bool() ? &size : nullptr;
    Send(extra);
  }

  void Print() {
    static constexpr std::array<A_u_long, 5> kGiven{0, 1, 16, kBlock, kBlock + 1};
    const PF_Handle handle = AnyHandle();
    const A_u_long given = kGiven[input_.Pick(kGiven.size())];
    // Exactly the size given, so a write past it shows.
    std::vector<char> buffer(given);
    auto extra = Extra(PF_Arbitrary_PRINT_FUNC);
    extra.u.print_func_params.arbH = handle;
    extra.u.print_func_params.print_sizeLu = given;
    extra.u.print_func_params.print_bufferPC = input_.Bool() ? buffer.data() : nullptr;
    Send(extra);
  }

  void Scan() {
    const std::string text = input_.Bytes(kBlock + 8);
    const A_u_long bytes = static_cast<A_u_long>(input_.Bool() ? text.size() : text.size() / 2);
    PF_Handle* target = TargetSlot();
    auto extra = Extra(PF_Arbitrary_SCAN_FUNC);
    extra.u.scan_func_params.bufPC = text.data();
    extra.u.scan_func_params.bytes_to_scanLu = bytes;
    extra.u.scan_func_params.arbPH = target;
    ExpectMade(Send(extra), target);
  }

  void ArmFault() {
    auto& fault = input_.Bool() ? host_.Faults().newHandle : host_.Faults().lockHandle;
    fault.Arm(static_cast<int>(input_.Pick(4)), input_.Bool());
  }

  // Arbitrary bytes as the stored path, shown by a parameter UI update with
  // the popup anywhere but the loaded effect (so no file is opened).
  void ShowPath() {
    auto& params = host_.Params();
    const PF_Handle value = params.At(ParameterLayout::EffectPath).u.arb_d.value;
    std::string bytes = input_.Bytes(kBlock + 1);
    bytes.resize(kBlock, '\0');
    store_.Write(value, bytes.data(), bytes.size());
    // Now and then the stored block is not the plug-in's size.
    PF_Handle resized = value;
    if (input_.Bool()) store_.Resize(kOtherSizes[input_.Pick(kOtherSizes.size())], &resized);
    params.SetPopupValue(ParameterLayout::EffectPopup, static_cast<A_long>(1 + input_.Pick(3)));
    const PF_Err error = host_.UpdateParamsUI(sequence_);
    store_.Resize(kBlock, &resized);
    Expect(error == PF_Err_NONE || error == PF_Err_INTERNAL_STRUCT_DAMAGED, "UPDATE_PARAMS_UI failed");
    Expect(store_.LockedCount() == 0, "UPDATE_PARAMS_UI left a handle locked");
  }

  // A package and slot map from the input kept with a path through
  // WriteEffectPath, then left whole, cut or extended, or one byte changed.
  // The trailer must read back exactly when whole and never when its bytes
  // changed (one changed byte always changes the checksum); the value then
  // reaches a slot through UNFLATTEN, as a reopened project gives it, so
  // that the other steps carry it too.
  void KeepPackage() {
    ae::KeptPackage kept{std::make_shared<const std::string>(input_.Bytes(1024)), {}};
    // Now and then one slot too many, or an empty slot with an id.
    const auto slots = input_.Pick(ParameterLayout::ControlSlots + 2);
    for (std::size_t slot = 0; slot < slots; ++slot) {
      const auto kind = input_.Pick(8);
      kept.slots.push_back({kind == 6 ? std::string() : input_.Bytes(24),
                            kind < 6 ? std::optional(static_cast<ae::eControl>(kind)) : std::nullopt});
    }
    const std::string path = input_.Bytes(64);
    auto& def = host_.Params().At(ParameterLayout::EffectPath);
    PF_InData in = host_.PrepareInData({});
    PF_OutData out = host_.PrepareOutData({});
    const bool written = ae::WriteEffectPath(&in, &out, &def, path, &kept);
    Expect(written == ae::EffectPathValue::MakeTrailer(kept).has_value(), "a kept package was written wrongly");

    std::string value;
    for (const auto byte : store_.Bytes(def.u.arb_d.value)) value.push_back(static_cast<char>(byte));
    const auto damage = input_.Pick(4);
    const std::size_t at = input_.Pick(256) * 16 + input_.Pick(16);
    if (damage == 1) value.resize(kBlock + at % (value.size() - kBlock + 1));
    if (damage == 2) value += input_.Bytes(64) + 'x';
    if (damage == 3) value[at % value.size()] ^= static_cast<char>(1 + input_.Pick(255));
    const bool trailerChanged = damage == 1 ? value.size() < store_.GetSize(def.u.arb_d.value)
                                            : damage == 2 || (damage == 3 && at % value.size() >= kBlock);
    PF_Handle handle = def.u.arb_d.value;
    Expect(store_.Resize(value.size(), &handle) == PF_Err_NONE && store_.Write(handle, value.data(), value.size()),
           "the host could not store the value");

    const auto read = ae::ReadKeptPackage(&in, &out, &def);
    Expect(store_.LockedCount() == 0, "reading the kept package left a handle locked");
    if (written) {
      Expect(read.has_value() != trailerChanged,
             trailerChanged ? "a changed trailer was read" : "a kept package was lost");
      Expect(!read || (read->bytes && *read->bytes == *kept.bytes && read->slots == kept.slots),
             "a kept package read back different");
    }

    auto extra = Extra(PF_Arbitrary_UNFLATTEN_FUNC);
    extra.u.unflatten_func_params.buf_sizeLu = static_cast<A_u_long>(value.size());
    extra.u.unflatten_func_params.flat_dataPV = value.data();
    PF_Handle* target = TargetSlot();
    extra.u.unflatten_func_params.arbPH = target;
    const PF_Err error = Send(extra);
    ExpectMade(error, target);
    if (target && !error) {
      Expect(store_.Bytes(*target) == std::vector<std::uint8_t>(value.begin(), value.end()),
             "UNFLATTEN changed the value");
    }
  }

  FuzzInput& input_;
  host::EffectHost& host_;
  HandleStore& store_ = HandleStore::Instance();
  int sequence_;
  std::array<PF_Handle, 4> slots_{};
  void* foreignData_ = nullptr;
  std::vector<PF_Handle> hostBlocks_;
};

} // namespace

int FuzzEffectPath(const std::uint8_t* data, std::size_t size) {
  auto& session = FuzzSession::Get();
  auto& store = HandleStore::Instance();
  const auto liveBefore = store.LiveCount();
  {
    const auto clip = session.NewClip();
    int sequence = -1;
    Expect(clip->SequenceSetup(sequence) == PF_Err_NONE, "sequence set-up failed");
    FuzzInput input(data, size);
    {
      Run run(input, *clip, sequence);
      for (int step = 0; step < 64 && !input.Empty(); ++step) run.Step();
    }
    Expect(clip->SequenceSetdown(sequence) == PF_Err_NONE, "sequence set-down failed");
  }
  Expect(store.LiveCount() == liveBefore, "handles leaked");
  Expect(store.LockedCount() == 0, "a handle was left locked");
  return 0;
}

} // namespace brantok::lumaro::fuzz
