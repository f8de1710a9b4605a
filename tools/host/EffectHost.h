#pragma once

// The host side of the effect API, played in-process for tests and the
// command-line host: it loads nothing itself, it drives an EffectMain.
//
// Typical use:
//
//   std::string error;
//   auto module = LoadedModule::Load(path, error);
//   EffectHost host(EffectHost::FindEntryPoint(*module));   // Premiere Pro
//   host.GlobalSetup();                  // keeps out_data->global_data
//   host.ParamsSetup();                  // host.Params() now holds 1 + added
//   int sequence = -1;
//   host.SequenceSetup(sequence);        // one sequence_data per use
//   host.Params().WriteArbitraryText(4, "/path/Look.lumaro-effect");
//   host.Params().SetPopupValue(3, 4);
//   host.UpdateParamsUI(sequence);       // PF_UpdateParamUI calls: UIUpdates()
//   HostWorld input(64, 32), output(64, 32);
//   host.Render(sequence, input, output, FrameTime{});
//   host.SequenceSetdown(sequence);
//   host.GlobalSetdown();
//
// Every command clears return_msg and the parameters' change flags first, and
// afterwards keeps out_data (LastOutData()), adopts out_data->global_data and
// the sequence's out_data->sequence_data, and records a non-empty return_msg.
// Send() passes any command with any pointers, null ones included; SendRaw()
// passes exactly what it is given.
//
// As a real host, PARAMS_SETUP fails with PF_Err_INTERNAL_STRUCT_DAMAGED
// (LastHostError() says why) when the plug-in reports success but its
// out_data->num_params is not the number of parameters it added plus one for
// the input layer. In strict mode (SetStrict) the host also sends only what a
// real one sends unasked: UPDATE_PARAMS_UI only to an effect whose
// GLOBAL_SETUP set PF_OutFlag_SEND_UPDATE_PARAMS_UI or, in After Effects, one
// with a supervised parameter; otherwise UpdateParamsUI() sends nothing,
// returns PF_Err_NONE and counts the command in UnsentCommands(). Tests that
// play a real session (a reopened project) use it; the lenient default lets
// a test send anything.
//
// What the plug-in gets: in_data->utils with copy (any two worlds of the same
// size, each with its own rowbytes, padded or bottom-up; worlds without
// pixels or with rows shorter than their width are refused), fill, new_world,
// dispose_world, the handle functions (HandleStore, shared by the whole
// process), the ANSI functions with sprintf capped at 256 bytes (the size of
// return_msg); in_data->inter with add_param (only during PARAMS_SETUP),
// checkout_param, checkin_param, abort, progress; in_data->pica_basicP with
// "PF Param Utils Suite" 3, "PF Handle Suite" 2, "PF ANSI Suite" 1 and, in
// Premiere Pro only, "PF Pixel Format Suite" 1. Acquisitions and releases are
// counted per suite name. Faults() makes chosen services fail.
//
// Thread use: commands may come from several threads at once. A render works
// on a snapshot of the parameters (as hosts hand renders checked-out copies);
// other commands work on the host's own array, one at a time. Callbacks
// without effect_ref (handles, suites) are attributed to the host whose
// command runs on the calling thread.

#include "CommandOptions.h"
#include "FrameTime.h"
#include "HostApp.h"
#include "HostFaults.h"
#include "HostParameters.h"
#include "HostWorld.h"
#include "ParamUIUpdate.h"
#include "ae/sdk/EffectApi.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace brantok::lumaro::host {

class LoadedModule;
class HostCallbacks;

class EffectHost {
public:
  using EntryPoint = PF_Err (*)(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void*);

  // The module's EffectMain, or null.
  static EntryPoint FindEntryPoint(const LoadedModule& module);

  // `entry` must stay callable for the host's life.
  explicit EffectHost(EntryPoint entry, eHostApp app = eHostApp::PremierePro);
  ~EffectHost();
  EffectHost(const EffectHost&) = delete;
  EffectHost& operator=(const EffectHost&) = delete;

  // Any command, with the host's bookkeeping around it.
  PF_Err Send(PF_Cmd cmd, const CommandOptions& options = {});
  // Exactly these arguments; the host only marks the command as running on
  // this thread (so callbacks are attributed) and keeps nothing.
  PF_Err SendRaw(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef** params, PF_LayerDef* output, void* extra);
  // The in_data and out_data that Send would pass.
  PF_InData PrepareInData(const CommandOptions& options) const;
  PF_OutData PrepareOutData(const CommandOptions& options) const;

  PF_Err About();
  PF_Err GlobalSetup();
  PF_Err ParamsSetup();
  // `sequence` receives the new sequence's number, also on failure.
  PF_Err SequenceSetup(int& sequence);
  PF_Err SequenceResetup(int sequence);
  // The host forgets the sequence's handle afterwards, whatever the plug-in did.
  PF_Err SequenceSetdown(int sequence);
  PF_Err UpdateParamsUI(int sequence);
  PF_Err UserChangedParam(int sequence, PF_ParamIndex index);
  PF_Err ArbitraryCallback(PF_ArbParamsExtra& extra, int sequence = -1);
  // Input as parameter 0's layer (in a snapshot of the parameters), output as
  // the output world; in_data's size is the input's.
  PF_Err Render(int sequence, HostWorld& input, HostWorld& output, const FrameTime& time = {});
  // A frame of `clip`'s sequence rendered with this host's parameters: a
  // render thread holds a copy of a clip's parameters from when it asked for
  // the frame, while the record is the clip's, which the user's actions change.
  PF_Err RenderFrameOf(const EffectHost& clip, int sequence, HostWorld& input, HostWorld& output,
                       const FrameTime& time = {});
  PF_Err GlobalSetdown();

  // Serves another clip of `owner`'s plug-in instance, as a host hands one
  // instance's global data to every clip it applies the effect to: commands
  // carry `owner`'s global data (and its GLOBAL_SETUP flags count), and this
  // host runs its own parameter and sequence set-up. `owner` must outlive
  // this host and keeps GLOBAL_SETUP and GLOBAL_SETDOWN to itself.
  void UseGlobalDataOf(const EffectHost& owner);

  void SetStrict(bool strict);
  bool Strict() const;
  // Whether a real host sends UPDATE_PARAMS_UI to this effect: its
  // GLOBAL_SETUP flags ask for it, or the host is After Effects and a
  // parameter is supervised.
  bool SendsUpdateParamsUI() const;
  // Commands that strict mode did not send.
  int UnsentCommands() const;

  eHostApp App() const { return app_; }

  // The layer the effect is applied to, as in_data reports it to commands
  // other than RENDER (which reports its input frame): full-resolution pixels.
  // 0 x 0 until set, as for an effect not yet on a layer.
  void SetLayerSize(A_long width, A_long height);
  // The preview resolution of RENDER: 1/2 renders a frame of half the layer's
  // pixels each way. Full resolution until set.
  void SetDownsample(const PF_RationalScale& x, const PF_RationalScale& y);
  PF_ProgPtr EffectRef() const;
  PF_UtilCallbacks* Utils() const;
  SPBasicSuite* BasicSuite() const;

  // The parameters; lock ParamsMutex() while other threads send commands.
  HostParameters& Params() { return params_; }
  std::recursive_mutex& ParamsMutex() { return paramsMutex_; }

  PF_Handle GlobalData() const;
  PF_Handle SequenceData(int sequence) const;
  int SequenceCount() const;
  // out_data->num_params after the last PARAMS_SETUP.
  A_long DeclaredParamCount() const;

  PF_OutData LastOutData() const;
  PF_Err LastError() const;
  // Why the host failed the last command itself, as one line; empty when the
  // result is the plug-in's.
  std::string LastHostError() const;
  // return_msg of the last command (empty when it left none).
  std::string LastReturnMessage() const;
  // Every non-empty return_msg, in order.
  std::vector<std::string> ReturnMessages() const;

  std::vector<ParamUIUpdate> UIUpdates() const;
  void ClearUIUpdates();
  std::vector<PrPixelFormat> SupportedPixelFormats() const;

  int SuiteAcquisitions(const std::string& name) const;
  int SuiteReleases(const std::string& name) const;
  // Successful acquisitions not yet released, over all suites.
  int OutstandingSuites() const;
  // Acquisitions answered with an error (missing suites, faults).
  int FailedSuiteAcquisitions() const;
  // Worlds made by new_world and not yet disposed.
  std::size_t LiveNewWorlds() const;

  // Lock StateMutex() while changing faults during other threads' commands.
  HostFaults& Faults() { return faults_; }
  std::mutex& StateMutex() const { return stateMutex_; }

  // The host whose command runs on the calling thread, or null.
  static EffectHost* Active();

private:
  PF_Err RenderWith(int sequence, PF_Handle sequenceData, HostWorld& input, HostWorld& output, const FrameTime& time);
  friend class HostCallbacks;

  struct Sequence {
    PF_Handle data = nullptr;
    bool open = true;
  };

  PF_Err Run(PF_Cmd cmd, const CommandOptions& options, PF_ParamDef** params);
  void ApplyInDataFaults(PF_InData& in);
  PF_Handle SequenceHandle(int sequence) const;

  // Answers to the callbacks (HostCallbacks forwards to these).
  PF_Err OnAddParam(PF_ParamIndex index, PF_ParamDef* def);
  PF_Err OnUpdateParamUI(PF_ParamIndex index, const PF_ParamDef* def);
  PF_Err OnCheckoutParam(PF_ParamIndex index, PF_ParamDef* param);
  SPErr OnAcquireSuite(const char* name, std::int32_t version, const void** suite);
  SPErr OnReleaseSuite(const char* name, std::int32_t version);
  PF_Err OnNewWorld(A_long width, A_long height, PF_NewWorldFlags flags, PF_EffectWorld* world);
  PF_Err OnDisposeWorld(PF_EffectWorld* world);
  void OnSupportedPixelFormat(bool clear, PrPixelFormat format);

  struct Tag {
    std::uint64_t magic;
    EffectHost* host;
  };

  Tag tag_;
  EntryPoint entry_;
  eHostApp app_;
  A_long layerWidth_ = 0;
  A_long layerHeight_ = 0;
  PF_RationalScale downsampleX_{1, 1};
  PF_RationalScale downsampleY_{1, 1};

  mutable std::recursive_mutex paramsMutex_;
  HostParameters params_;

  mutable std::mutex stateMutex_;
  HostFaults faults_;
  PF_Handle globalData_ = nullptr;
  PF_OutFlags globalOutFlags_ = 0; // of the GLOBAL_SETUP that made globalData_
  bool strict_ = false;
  int unsentCommands_ = 0;
  std::string hostError_;
  std::vector<Sequence> sequences_;
  A_long declaredParams_ = 0;
  PF_OutData lastOut_{};
  PF_Err lastError_ = PF_Err_NONE;
  std::vector<std::string> returnMessages_;
  std::vector<ParamUIUpdate> uiUpdates_;
  std::vector<PrPixelFormat> pixelFormats_;
  std::map<std::string, int> acquisitions_;
  std::map<std::string, int> releases_;
  int failedAcquisitions_ = 0;
  std::map<const void*, std::unique_ptr<HostWorld>> newWorlds_;
};

} // namespace brantok::lumaro::host
