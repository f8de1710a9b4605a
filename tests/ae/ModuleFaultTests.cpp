#include "HandleStore.h"
#include "ModuleFixture.h"
#include "core/PathText.h"

#include <array>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace brantok::lumaro::ae::test {
namespace {

using host::EffectHost;
using host::FaultSwitch;
using host::HandleStore;
using host::HostFaults;
using host::HostWorld;

constexpr A_long kSize = 8;
constexpr std::uint8_t kMarker = 0x5A;
constexpr A_u_long kBlock = 2048;
// A session walks a fault at most this far; more calls of one service in one
// command would itself be a fault.
constexpr int kMostPasses = 400;

// The commands of one session, in the order a host sends them.
enum class eStep : int {
  GlobalSetup,
  About,
  ParamsSetup,
  SequenceSetup,
  UpdateParamsUI,
  SequenceResetup,
  UserChangedParam,
  ArbitraryNew,
  ArbitraryCopy,
  ArbitraryFlatSize,
  ArbitraryFlatten,
  ArbitraryUnflatten,
  ArbitraryCompare,
  ArbitraryScan,
  ArbitraryPrintSize,
  ArbitraryPrint,
  ArbitraryInterp,
  ArbitraryDispose,
  Render8,
  Render32,
  RenderPlain,
  SequenceSetdown,
  GlobalSetdown,
  Count
};

const char* StepName(eStep step) {
  static constexpr std::array<const char*, static_cast<std::size_t>(eStep::Count)> names{
      "GLOBAL_SETUP",         "ABOUT",
      "PARAMS_SETUP",         "SEQUENCE_SETUP",
      "UPDATE_PARAMS_UI",     "SEQUENCE_RESETUP",
      "USER_CHANGED_PARAM",   "arbitrary NEW",
      "arbitrary COPY",       "arbitrary FLAT_SIZE",
      "arbitrary FLATTEN",    "arbitrary UNFLATTEN",
      "arbitrary COMPARE",    "arbitrary SCAN",
      "arbitrary PRINT_SIZE", "arbitrary PRINT",
      "arbitrary INTERP",     "arbitrary DISPOSE",
      "RENDER 8-bit",         "RENDER float",
      "RENDER plain",         "SEQUENCE_SETDOWN",
      "GLOBAL_SETDOWN"};
  return names[static_cast<std::size_t>(step)];
}

// What a command may answer once an earlier one failed: the plug-in then
// works without an instance, a record, parameters or an effect.
const std::set<PF_Err> kAfterAFailure{PF_Err_OUT_OF_MEMORY, A_Err_MISSING_SUITE, PF_Err_INTERNAL_STRUCT_DAMAGED,
                                      PF_Err_INVALID_CALLBACK, PF_Err_BAD_CALLBACK_PARAM};

// One way for the host to misbehave, and what a command it hits may answer
// besides success.
struct Fault {
  std::string name;
  std::function<void(EffectHost&, int passes)> arm;
  std::function<void(EffectHost&)> disarm;
  // Failures caused so far; the fault hit a command when this grew.
  std::function<int(EffectHost&)> trips;
  std::set<PF_Err> errors;
  // Walked: armed with 0, 1, 2, ... passes until a command no longer trips it.
  bool walk = false;
  // Some command of a session makes the host service fail: a fault that
  // never trips would let the walk pass without testing anything.
  bool mustTrip = true;
};

Fault Switch(const std::string& name, FaultSwitch HostFaults::*member, bool once, std::set<PF_Err> errors) {
  return {name + (once ? " (that call only)" : " (from that call on)"),
          [=](EffectHost& host, int passes) { (host.Faults().*member).Arm(passes, once); },
          [=](EffectHost& host) { (host.Faults().*member).Disarm(); },
          [=](EffectHost& host) { return (host.Faults().*member).trips; },
          std::move(errors),
          true};
}

Fault MissingSuite(const char* suite) {
  return {std::string("no ") + suite, [=](EffectHost& host, int) { host.Faults().missingSuites.insert(suite); },
          [=](EffectHost& host) { host.Faults().missingSuites.erase(suite); },
          [](EffectHost& host) { return host.FailedSuiteAcquisitions(); }, std::set<PF_Err>{A_Err_MISSING_SUITE}};
}

std::vector<Fault> AllFaults() {
  const std::set<PF_Err> memory{PF_Err_OUT_OF_MEMORY, PF_Err_INTERNAL_STRUCT_DAMAGED};
  std::vector<Fault> faults;
  for (const char* suite : {kPFParamUtilsSuite, kPFHandleSuite, kPFANSISuite, kPFPixelFormatSuite}) {
    faults.push_back(MissingSuite(suite));
  }
  faults.push_back(Switch("the n-th suite refused", &HostFaults::acquireSuite, true, {A_Err_MISSING_SUITE}));
  for (const bool once : {true, false}) {
    faults.push_back(Switch("host_new_handle null", &HostFaults::newHandle, once, memory));
    faults.push_back(Switch("host_lock_handle null", &HostFaults::lockHandle, once, memory));
    // Refused parameter updates are cosmetic: the command still succeeds.
    faults.push_back(Switch("PF_UpdateParamUI fails", &HostFaults::updateParamUI, once, {}));
  }
  faults.push_back(Switch("add_param fails", &HostFaults::addParam, true, {PF_Err_OUT_OF_MEMORY}));
  faults.push_back(Switch("copy fails", &HostFaults::copy, true, {PF_Err_OUT_OF_MEMORY}));
  faults.push_back(Switch("in_data->utils null", &HostFaults::nullUtils, true,
                          {PF_Err_INVALID_CALLBACK, PF_Err_INTERNAL_STRUCT_DAMAGED, A_Err_MISSING_SUITE}));
  faults.push_back(Switch("in_data->pica_basicP null", &HostFaults::nullSuiteBroker, true, {A_Err_MISSING_SUITE}));
  faults.push_back(Switch("in_data->effect_ref null", &HostFaults::nullEffectRef, true, {PF_Err_BAD_CALLBACK_PARAM}));
  // A command without its record is a warning in the log, never an error.
  faults.push_back(Switch("in_data->sequence_data null", &HostFaults::nullSequenceData, true, {}));
  // A record longer than the plug-in's own (another version's) is read as it
  // stands.
  faults.push_back({"a 64-byte sequence record",
                    [](EffectHost& host, int) { host.Faults().sequenceDataSize = 64; },
                    [](EffectHost& host) { host.Faults().sequenceDataSize.reset(); },
                    [](EffectHost&) { return 0; },
                    {},
                    false,
                    false});
  return faults;
}

// Walks every fault of AllFaults through every command of a session that
// loads an example effect, renders it and takes everything down again.
class ModuleFaultTest : public ModuleFixture {
protected:
  ModuleFaultTest() {
    FillInput(input8_);
    FillInput(input32_);
  }

  // Runs one session with `fault` armed (passes first) for the `target` step
  // only; adds what went wrong to failures_. True when the fault hit. With
  // an `owner`, the session is a clip of its instance: no global set-up or
  // set-down of its own, and the GPU context, the compiled programs and the
  // image pool come ready from the sessions before.
  bool RunSession(const Fault* fault, eStep target, int passes, const EffectHost* owner = nullptr);

  std::vector<std::string> failures_;
  std::map<eStep, std::vector<std::uint8_t>> references_;
  HostWorld input8_{kSize, kSize, PrPixelFormat_BGRA_4444_8u, 4};
  HostWorld input32_{kSize, kSize, PrPixelFormat_BGRA_4444_32f, 0, true};
};

bool ModuleFaultTest::RunSession(const Fault* fault, eStep target, int passes, const EffectHost* owner) {
  auto& store = HandleStore::Instance();
  const auto liveBefore = store.LiveCount();
  const auto countersBefore = store.GetCounters();
  std::string context = fault ? fault->name + " at " + StepName(target) + ", " + std::to_string(passes) + " passes: "
                              : std::string("no fault: ");
  auto fail = [&](const std::string& what) { failures_.push_back(context + what); };

  bool hitAny = false;
  {
    EffectHost host(entry_);
    if (owner) host.UseGlobalDataOf(*owner);
    int sequence = -1;
    // Set once a command failed or a fault hit: the commands after it may
    // find no instance, record, parameter or effect.
    bool failedBefore = false;
    PF_ArbitraryH created = nullptr, copied = nullptr, restored = nullptr, scanned = nullptr, held = nullptr;
    std::vector<std::uint8_t> flat(kBlock, 0xA5);
    const std::string text = "/effects/Look.lumaro-effect";
    // The block SCAN makes of the text.
    std::vector<std::uint8_t> scannedBlock(text.begin(), text.end());
    scannedBlock.resize(kBlock, 0);
    auto params = [&](PF_ParamIndex index, PF_ParamType type) {
      return static_cast<A_long>(host.Params().Count()) > index && host.Params().At(index).param_type == type;
    };
    // The steps that send their command and nothing else.
    const std::map<eStep, std::function<PF_Err()>> commands{
        {eStep::GlobalSetup, [&] { return host.GlobalSetup(); }},
        {eStep::About, [&] { return host.About(); }},
        {eStep::ParamsSetup, [&] { return host.ParamsSetup(); }},
        {eStep::SequenceSetup, [&] { return host.SequenceSetup(sequence); }},
        {eStep::SequenceResetup, [&] { return host.SequenceResetup(sequence); }},
        {eStep::SequenceSetdown, [&] { return host.SequenceSetdown(sequence); }},
        {eStep::GlobalSetdown, [&] { return host.GlobalSetdown(); }}};

    for (int i = 0; i < static_cast<int>(eStep::Count); ++i) {
      const auto step = static_cast<eStep>(i);
      if (owner && (step == eStep::GlobalSetup || step == eStep::GlobalSetdown)) continue;
      const bool armed = fault && step == target;
      int base = 0;
      if (armed) {
        fault->arm(host, passes);
        base = fault->trips(host);
      }
      const PF_Handle record = host.SequenceData(sequence);
      const PF_Handle global = host.GlobalData();
      HostWorld* input = step == eStep::Render8 ? &input8_ : &input32_;
      HostWorld output8(kSize, kSize, PrPixelFormat_BGRA_4444_8u, 8, true);
      HostWorld output32(kSize, kSize, PrPixelFormat_BGRA_4444_32f, 16);
      HostWorld& output = step == eStep::Render8 ? output8 : output32;
      PF_ArbCompareResult order = -1;
      A_u_long flatSize = 0;
      // The arbitrary-data steps' callback.
      PF_ArbParamsExtra extra{};
      extra.id = Layout::EffectPath;
      auto arbitrary = [&](PF_FunctionSelector selector) {
        extra.which_function = selector;
        return host.ArbitraryCallback(extra, sequence);
      };

      PF_Err error = PF_Err_NONE;
      switch (step) {
      case eStep::UpdateParamsUI:
        // A reopened project: the path stored, the popup at the effect.
        if (params(Layout::EffectPath, PF_Param_ARBITRARY_DATA)) {
          host.Params().WriteArbitraryText(Layout::EffectPath, core::PathToUtf8(Example("WarmGlow")));
        }
        if (params(Layout::EffectPopup, PF_Param_POPUP)) {
          host.Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
        }
        error = host.UpdateParamsUI(sequence);
        break;
      case eStep::UserChangedParam:
        // The user picks the effect's entry again.
        error = host.UserChangedParam(sequence, Layout::EffectPopup);
        break;
      case eStep::ArbitraryNew:
        extra.u.new_func_params.arbPH = &created;
        error = arbitrary(PF_Arbitrary_NEW_FUNC);
        if (!created && !error) fail("NEW succeeded without a handle");
        if (created && error) fail("a failed NEW handed out a handle");
        break;
      case eStep::ArbitraryCopy:
        extra.u.copy_func_params.src_arbH = created;
        extra.u.copy_func_params.dst_arbPH = &copied;
        error = arbitrary(PF_Arbitrary_COPY_FUNC);
        if (copied && error) fail("a failed COPY handed out a handle");
        if (copied && created && store.Bytes(copied) != store.Bytes(created)) fail("COPY changed the block");
        break;
      case eStep::ArbitraryFlatSize:
        extra.u.flat_size_func_params.arbH = created;
        extra.u.flat_size_func_params.flat_data_sizePLu = &flatSize;
        error = arbitrary(PF_Arbitrary_FLAT_SIZE_FUNC);
        if (!error && flatSize != kBlock) fail("FLAT_SIZE is " + std::to_string(flatSize));
        break;
      case eStep::ArbitraryFlatten:
        extra.u.flatten_func_params.arbH = created;
        extra.u.flatten_func_params.buf_sizeLu = kBlock;
        extra.u.flatten_func_params.flat_dataPV = flat.data();
        error = arbitrary(PF_Arbitrary_FLATTEN_FUNC);
        if (!error && created && flat != store.Bytes(created)) fail("FLATTEN did not copy the block");
        if (error && flat != std::vector<std::uint8_t>(kBlock, 0xA5)) fail("a failed FLATTEN wrote the buffer");
        break;
      case eStep::ArbitraryUnflatten:
        extra.u.unflatten_func_params.buf_sizeLu = kBlock;
        extra.u.unflatten_func_params.flat_dataPV = flat.data();
        extra.u.unflatten_func_params.arbPH = &restored;
        error = arbitrary(PF_Arbitrary_UNFLATTEN_FUNC);
        if (restored && error) fail("a failed UNFLATTEN handed out a handle");
        if (restored && store.Bytes(restored) != flat) fail("UNFLATTEN changed the block");
        break;
      case eStep::ArbitraryCompare:
        extra.u.compare_func_params.a_arbH = created;
        extra.u.compare_func_params.b_arbH = created;
        extra.u.compare_func_params.compareP = &order;
        error = arbitrary(PF_Arbitrary_COMPARE_FUNC);
        break;
      case eStep::ArbitraryScan:
        extra.u.scan_func_params.bufPC = text.c_str();
        extra.u.scan_func_params.bytes_to_scanLu = static_cast<A_u_long>(text.size());
        extra.u.scan_func_params.arbPH = &scanned;
        error = arbitrary(PF_Arbitrary_SCAN_FUNC);
        if (scanned && error) fail("a failed SCAN handed out a handle");
        if (scanned && store.Bytes(scanned) != scannedBlock) fail("SCAN did not store the text");
        break;
      case eStep::ArbitraryPrintSize: {
        A_u_long size = 0;
        extra.u.print_size_func_params.arbH = scanned;
        extra.u.print_size_func_params.print_sizePLu = &size;
        error = arbitrary(PF_Arbitrary_PRINT_SIZE_FUNC);
        if (!error && size != text.size() + 1) fail("PRINT_SIZE is " + std::to_string(size));
        break;
      }
      case eStep::ArbitraryPrint: {
        std::vector<char> printed(kBlock, 'x');
        extra.u.print_func_params.arbH = scanned;
        extra.u.print_func_params.print_sizeLu = kBlock;
        extra.u.print_func_params.print_bufferPC = printed.data();
        error = arbitrary(PF_Arbitrary_PRINT_FUNC);
        if (!error && std::string(printed.data()) != text) fail("PRINT did not give the text");
        if (error && printed != std::vector<char>(kBlock, 'x')) fail("a failed PRINT wrote the buffer");
        break;
      }
      case eStep::ArbitraryInterp:
        extra.u.interp_func_params.left_arbH = created;
        extra.u.interp_func_params.right_arbH = scanned;
        extra.u.interp_func_params.tF = 0.5;
        extra.u.interp_func_params.interpPH = &held;
        error = arbitrary(PF_Arbitrary_INTERP_FUNC);
        if (held && error) fail("a failed INTERP handed out a handle");
        if (held && created && store.Bytes(held) != store.Bytes(created)) fail("INTERP did not hold the left value");
        break;
      case eStep::ArbitraryDispose:
        for (auto* handle : {&created, &copied, &restored, &scanned, &held}) {
          if (!*handle) continue;
          extra.u.dispose_func_params.arbH = *handle;
          const auto disposed = arbitrary(PF_Arbitrary_DISPOSE_FUNC);
          if (!error) error = disposed;
          if (store.Contains(*handle)) {
            // Without the host's functions the plug-in cannot; it must say so.
            if (disposed == PF_Err_NONE) fail("DISPOSE left the handle alive");
            store.Dispose(*handle);
          }
          *handle = nullptr;
        }
        break;
      case eStep::Render8:
      case eStep::Render32:
        // The user's control values, the same in every session.
        if (params(kWarmGlowAmount, PF_Param_FLOAT_SLIDER)) host.Params().SetFloatSliderValue(kWarmGlowAmount, 0.7);
        if (params(kWarmGlowTint, PF_Param_COLOR)) {
          host.Params().SetColorValue(kWarmGlowTint, PF_Pixel{255, 255, 204, 153});
        }
        output.FillPixels(kMarker);
        error = host.Render(sequence, *input, output);
        break;
      case eStep::RenderPlain:
        // The effect turned off: the host's copy carries the frame.
        if (params(Layout::EffectPopup, PF_Param_POPUP)) {
          host.Params().SetPopupValue(Layout::EffectPopup, Layout::PopupNone);
        }
        output.FillPixels(kMarker);
        error = host.Render(sequence, *input, output);
        break;
      default:
        error = commands.at(step)();
        break;
      }

      bool hit = false;
      if (armed) {
        hit = fault->trips(host) > base;
        fault->disarm(host);
        hitAny = hit;
      }
      const std::string at = std::string(StepName(step)) + ": ";
      if (error != PF_Err_NONE) {
        const bool allowed = (hit && fault->errors.count(error)) || (failedBefore && kAfterAFailure.count(error));
        if (!allowed) fail(at + "returned " + std::to_string(error));
        if (error == A_Err_MISSING_SUITE && !(armed && fault->name.starts_with("in_data->utils"))) {
          const bool shown = host.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE;
          if (!shown || host.LastReturnMessage() != "Not able to acquire AEFX Suite.") {
            fail(at + "a missing suite without its message");
          }
        }
      }
      if (step == eStep::ArbitraryCompare && !hit && !failedBefore && order != PF_ArbCompare_EQUAL) {
        fail(at + "a block does not equal itself");
      }
      if (step == eStep::Render8 || step == eStep::Render32 || step == eStep::RenderPlain) {
        const auto pixels = output.PackedPixels();
        if (!output.PaddingIntact()) fail(at + "wrote into the row padding");
        if (error != PF_Err_NONE) {
          if (pixels != std::vector<std::uint8_t>(pixels.size(), kMarker)) fail(at + "failed, but wrote the output");
        } else if (!fault && target == eStep::Count) {
          references_[step] = pixels;
        } else {
          const bool rendered = references_.count(step) && pixels == references_[step];
          if (!rendered && !hit && !failedBefore) fail(at + "did not apply the effect");
          if (!rendered && pixels != input->PackedPixels()) {
            // After a failure the effect may render without some of its
            // parameters; then every byte must still be written: a second
            // frame over another marker comes out the same.
            output.FillPixels(static_cast<std::uint8_t>(~kMarker));
            if (host.Render(sequence, *input, output) != PF_Err_NONE || output.PackedPixels() != pixels) {
              fail(at + "the output is only partly written");
            }
          }
        }
      }
      // What the plug-in takes down at set-down, unless it could not reach
      // the host's handle functions; the host then disposes it itself.
      for (const PF_Handle handle :
           {step == eStep::SequenceSetdown ? record : nullptr, step == eStep::GlobalSetdown ? global : nullptr}) {
        if (!handle || !store.Contains(handle)) continue;
        if (!hit && !failedBefore && error == PF_Err_NONE) fail(at + "left its handle alive");
        store.Dispose(handle);
      }
      if (error != PF_Err_NONE || hit) failedBefore = true;
    }
    if (host.OutstandingSuites() != 0) fail("suites left acquired: " + std::to_string(host.OutstandingSuites()));
    if (host.LiveNewWorlds() != 0) fail("worlds left allocated");
  }
  if (store.LiveCount() != liveBefore) {
    fail("handles leaked: " + std::to_string(store.LiveCount() - liveBefore));
  }
  if (store.LockedCount() != 0) fail("handles left locked");
  const auto counters = store.GetCounters();
  if (counters.unknownHandles != countersBefore.unknownHandles) fail("handles used after disposal or never made");
  if (counters.unbalancedUnlocks != countersBefore.unbalancedUnlocks) fail("handles unlocked more than locked");
  if (counters.disposedLocked != countersBefore.disposedLocked) fail("handles disposed while locked");
  return hitAny;
}

TEST_F(ModuleFaultTest, EveryHostFaultThroughEveryCommand) {
  // The session's output of each render step without any fault.
  ASSERT_FALSE(RunSession(nullptr, eStep::Count, 0));
  ASSERT_TRUE(failures_.empty()) << failures_.front();
  ASSERT_EQ(references_.size(), 3u);
  // One instance serves the sessions that leave global set-up and set-down
  // alone, as clips of one project; it is checked when it goes down.
  EffectHost owner(entry_);
  ASSERT_EQ(owner.GlobalSetup(), PF_Err_NONE);
  int sessions = 0;
  for (const auto& fault : AllFaults()) {
    bool tripped = false;
    for (int step = 0; step < static_cast<int>(eStep::Count); ++step) {
      const auto target = static_cast<eStep>(step);
      const bool global = target == eStep::GlobalSetup || target == eStep::GlobalSetdown;
      for (int passes = 0; passes < kMostPasses; ++passes) {
        ++sessions;
        const bool hit = RunSession(&fault, target, passes, global ? nullptr : &owner);
        tripped = tripped || hit;
        if (!fault.walk || !hit) break;
        if (passes + 1 == kMostPasses) {
          failures_.push_back(fault.name + " at " + StepName(target) + ": still hit after " +
                              std::to_string(kMostPasses) + " calls");
        }
      }
    }
    if (fault.mustTrip && !tripped) failures_.push_back(fault.name + ": no command made the service fail");
  }
  EXPECT_EQ(owner.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(owner.OutstandingSuites(), 0);
  std::cout << sessions << " sessions\n";
  std::ostringstream report;
  for (std::size_t i = 0; i < failures_.size() && i < 40; ++i) report << failures_[i] << '\n';
  EXPECT_TRUE(failures_.empty()) << failures_.size() << " failures, the first ones:\n" << report.str();
}

TEST_F(ModuleFaultTest, AShortSequenceRecordIsRefusedAsDamaged) {
  auto host = MakeHost(Example("WarmGlow"));
  const PF_Handle record = host->SequenceData(sequence_);
  auto& store = HandleStore::Instance();
  // A record cut short, as a damaged project or another plug-in's data gives.
  host->Faults().sequenceDataSize = 16;
  const auto bytes = store.Bytes(record);
  EXPECT_EQ(host->SequenceResetup(sequence_), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(host->UpdateParamsUI(sequence_), PF_Err_INTERNAL_STRUCT_DAMAGED);
  host->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
  EXPECT_EQ(host->UserChangedParam(sequence_, Layout::EffectPopup), PF_Err_INTERNAL_STRUCT_DAMAGED);
  ExpectPassThrough(*host, sequence_, PF_Err_INTERNAL_STRUCT_DAMAGED);
  // The host cut the block to 16 bytes; what is left of it is untouched.
  EXPECT_EQ(store.Bytes(record), std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 16));
  // A damaged record still goes when its sequence does.
  EXPECT_EQ(host->SequenceSetdown(sequence_), PF_Err_NONE);
  EXPECT_FALSE(store.Contains(record));
  host->Faults().sequenceDataSize.reset();
}

TEST_F(ModuleFaultTest, CommandsWithoutAnInstanceTouchNothing) {
  auto& store = HandleStore::Instance();
  for (const bool afterSetdown : {false, true}) {
    SCOPED_TRACE(afterSetdown ? "after GLOBAL_SETDOWN" : "before GLOBAL_SETUP");
    EffectHost host(entry_);
    int sequence = -1;
    // Set-down before set-up has nothing to destroy.
    if (!afterSetdown) {
      EXPECT_EQ(host.Send(PF_Cmd_GLOBAL_SETDOWN), PF_Err_NONE);
    } else {
      ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
      ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
      ASSERT_EQ(host.SequenceSetup(sequence), PF_Err_NONE);
      ASSERT_EQ(host.SequenceSetdown(sequence), PF_Err_NONE);
      ASSERT_EQ(host.GlobalSetdown(), PF_Err_NONE);
    }
    const auto live = store.LiveCount();
    for (const PF_Cmd command : {PF_Cmd_ABOUT, PF_Cmd_PARAMS_SETUP, PF_Cmd_SEQUENCE_SETUP, PF_Cmd_SEQUENCE_RESETUP,
                                 PF_Cmd_UPDATE_PARAMS_UI, PF_Cmd_USER_CHANGED_PARAM, PF_Cmd_SEQUENCE_SETDOWN}) {
      PF_UserChangedParamExtra changed{Layout::EffectPopup};
      host::CommandOptions options;
      options.extra = &changed;
      EXPECT_EQ(host.Send(command, options), PF_Err_INTERNAL_STRUCT_DAMAGED) << command;
    }
    for (int selector = PF_Arbitrary_NEW_FUNC; selector <= PF_Arbitrary_SCAN_FUNC; ++selector) {
      PF_ArbitraryH made = nullptr;
      A_u_long size = 0;
      std::vector<std::uint8_t> flat(kBlock, 0xA5);
      PF_ArbParamsExtra extra{};
      extra.which_function = selector;
      extra.u.new_func_params.arbPH = &made;
      if (selector == PF_Arbitrary_FLAT_SIZE_FUNC) extra.u.flat_size_func_params.flat_data_sizePLu = &size;
      if (selector == PF_Arbitrary_UNFLATTEN_FUNC) {
        extra.u.unflatten_func_params.buf_sizeLu = kBlock;
        extra.u.unflatten_func_params.flat_dataPV = flat.data();
        extra.u.unflatten_func_params.arbPH = &made;
      }
      EXPECT_EQ(host.ArbitraryCallback(extra), PF_Err_INTERNAL_STRUCT_DAMAGED) << selector;
      EXPECT_EQ(made, nullptr) << selector;
      EXPECT_EQ(size, 0u) << selector;
    }
    ExpectPassThrough(host, sequence, PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_EQ(store.LiveCount(), live);
    EXPECT_EQ(host.OutstandingSuites(), 0);
    EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  }
}

// A world the frame cannot be copied into or out of as it stands: an output
// of another size than the input's, or one world changed just before the render.
struct WorldCase {
  std::string name;
  A_long outputWidth, outputHeight;
  bool spoilsInput;
  std::function<void(PF_EffectWorld&)> spoil;
};

TEST_F(ModuleFaultTest, FramesTheWorldsCannotHoldAreRefusedOrWrittenWhole) {
  const std::vector<WorldCase> cases{
      {"a larger output", 2 * kSize, kSize, false, nullptr},
      {"a smaller output", kSize / 2, kSize / 2, false, nullptr},
      {"no output pixels", kSize, kSize, false, [](PF_EffectWorld& world) { world.data = nullptr; }},
      {"no input pixels", kSize, kSize, true, [](PF_EffectWorld& world) { world.data = nullptr; }},
      {"output rows too short", kSize, kSize, false, [](PF_EffectWorld& world) { world.rowbytes /= 2; }},
      {"input rows too short", kSize, kSize, true, [](PF_EffectWorld& world) { world.rowbytes = -world.rowbytes / 2; }},
      {"an output without columns", kSize, kSize, false, [](PF_EffectWorld& world) { world.width = 0; }},
      {"an input without rows", kSize, kSize, true, [](PF_EffectWorld& world) { world.height = 0; }},
      {"a negative output size", kSize, kSize, false, [](PF_EffectWorld& world) { world.width = -world.width; }},
  };
  auto host = MakeHost(Example("WarmGlow"));
  for (const A_long popup : {Layout::PopupNone, Layout::PopupEffect}) {
    host->Params().SetPopupValue(Layout::EffectPopup, popup);
    for (const auto format : {PrPixelFormat_BGRA_4444_8u, PrPixelFormat_BGRA_4444_32f}) {
      for (const auto& [name, outWidth, outHeight, spoilsInput, spoil] : cases) {
        SCOPED_TRACE(name + (popup == Layout::PopupNone ? ", no effect, " : ", with the effect, ") +
                     std::to_string(format));
        HostWorld input(kSize, kSize, format);
        input.FillPixels(0x33);
        HostWorld output(outWidth, outHeight, format, 4);
        output.FillPixels(kMarker);
        // The case's change, undone once the render returned.
        const auto render = [&] {
          PF_EffectWorld& spoilt = *(spoilsInput ? input : output).World();
          const PF_EffectWorld kept = spoilt;
          if (spoil) spoil(spoilt);
          const PF_Err error = host->Render(sequence_, input, output);
          spoilt = kept;
          return error;
        };
        const PF_Err error = render();
        // The effect refuses a spoilt world before it touches a pixel.
        // Refused before a pixel is touched; an output without pixels is a damaged record.
        if (spoil && popup == Layout::PopupEffect) {
          EXPECT_EQ(error, name == "no output pixels" ? PF_Err_INTERNAL_STRUCT_DAMAGED : PF_Err_BAD_CALLBACK_PARAM);
        }
        const auto pixels = output.PackedPixels();
        EXPECT_TRUE(output.PaddingIntact());
        if (error != PF_Err_NONE) {
          EXPECT_EQ(pixels, std::vector<std::uint8_t>(pixels.size(), kMarker));
          continue;
        }
        // Written, then every byte of it: over another marker the frame comes
        // out the same.
        output.FillPixels(static_cast<std::uint8_t>(~kMarker));
        EXPECT_EQ(render(), PF_Err_NONE);
        EXPECT_EQ(output.PackedPixels(), pixels);
      }
    }
  }
}

} // namespace
} // namespace brantok::lumaro::ae::test
