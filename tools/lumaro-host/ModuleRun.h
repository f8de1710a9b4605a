#pragma once

#include "EffectHost.h"
#include "LoadedModule.h"
#include "LogFileWatch.h"
#include "OutputCapture.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace brantok::lumaro::host {

// One use of the effect in a freshly loaded plug-in module, opened the way a
// host reopens a project that uses it: global, parameter and sequence set-up,
// the package's absolute path in the Effect Path parameter (4), the Effect
// popup (3) at 4, then UPDATE_PARAMS_UI, during which the plug-in loads the
// package and builds its kernel. The host is strict (EffectHost::SetStrict):
// it sends that refresh only when the plug-in asked for it, as a real one.
//
// Whether that worked is the plug-in's own word: the outcome line it logs for
// every package it reads (correction::EffectOutcome: ready, or cannot run and
// why), or once "No OpenCL device was found: ..." when the machine cannot run
// any effect; a ready effect must also show every control enabled and an
// unmarked Effect popup item. No outcome line is a failure, never a pass. The
// plug-in's log goes to standard output and error and to its log file; both
// streams are captured for the module's whole life (OutputCapture), which
// makes them this process's own lines, and the log file is read only when
// they hold no outcome (a debugger attached takes the lines).
class ModuleRun {
public:
  struct Status {
    bool loaded = false;
    bool built = false;
    bool noDevice = false; // the machine has no OpenCL device; `log` says so
    std::string log;       // why not, as one line
  };

  // Throws CliError when the module cannot be loaded or has no EffectMain.
  ModuleRun(const std::filesystem::path& module, eHostApp app);
  ~ModuleRun();
  ModuleRun(const ModuleRun&) = delete;
  ModuleRun& operator=(const ModuleRun&) = delete;

  // `controls`: the parameters that should show the package's controls.
  // Throws CliError for a host error.
  Status Open(const std::filesystem::path& package, const std::vector<PF_ParamIndex>& controls);
  // The same for a project without an effect: an empty Effect Path and the
  // popup at its default. Throws CliError for a host error.
  void OpenEmpty();
  // UPDATE_PARAMS_UI, as when the editor looks at the clip again. Throws
  // CliError for a host error.
  void RefreshPanel();
  // The project closed and opened again: the sequence set down and set up
  // anew with the same parameters, then the panel refreshed. Throws CliError
  // for a host error.
  void Reopen();
  HostParameters& Params() { return host_->Params(); }
  void SetLayerSize(A_long width, A_long height) { host_->SetLayerSize(width, height); }
  // USER_CHANGED_PARAM for `index`, as after the user used it in the panel.
  // Throws CliError for a host error.
  void UserChangedParam(PF_ParamIndex index);
  // The bytes of the sequence's record as the project would store them.
  std::vector<std::uint8_t> SequenceRecord() const;
  // Throws CliError("host error N ...") when the plug-in returns an error.
  void Render(HostWorld& input, HostWorld& output, const FrameTime& time);
  // Sequence and global setdown; throws CliError for a host error.
  void Close();

private:
  void Check(PF_Err error, const char* command);
  void SetUp();

  OutputCapture capture_;
  LogFileWatch logFiles_;
  std::unique_ptr<LoadedModule> module_;
  std::unique_ptr<EffectHost> host_;
  int sequence_ = -1;
  bool globalSetUp_ = false;
  bool sequenceSetUp_ = false;
};

} // namespace brantok::lumaro::host
