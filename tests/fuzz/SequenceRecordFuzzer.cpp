#include "FuzzInput.h"
#include "FuzzSession.h"
#include "FuzzTargets.h"

#include "HandleStore.h"
#include "ae/LumaroEffect.h"
#include "ae/ParameterLayout.h"

#include <array>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace brantok::lumaro::fuzz {
namespace {

using ae::ParameterLayout;
using host::HandleStore;

constexpr std::size_t kRecordSize = 32;
constexpr std::size_t kIdOffset = 16;
using Id = std::array<std::uint8_t, 16>;

// One input: up to three clips' records, changed in any way a damaged project
// or a careless host could change them, between the commands that read them.
class Run {
public:
  Run(FuzzInput& input, host::EffectHost& host) : input_(input), host_(host) {}

  void Step() {
    // The input's choice picks the step; the order is the kept inputs'.
    static constexpr std::array<void (Run::*)(), 4> kChanges{&Run::Setup, &Run::Overwrite, &Run::ShareId, &Run::Resize};
    static constexpr std::array<PF_Cmd, 5> kCommands{PF_Cmd_SEQUENCE_RESETUP, PF_Cmd_UPDATE_PARAMS_UI,
                                                     PF_Cmd_UPDATE_PARAMS_UI, PF_Cmd_SEQUENCE_SETDOWN,
                                                     PF_Cmd_USER_CHANGED_PARAM};
    const auto pick = input_.Pick(11);
    if (pick < kChanges.size()) return (this->*kChanges[pick])();
    if (pick < kChanges.size() + kCommands.size()) return Send(kCommands[pick - kChanges.size()]);
    ChooseEffect();
  }

  // Sets down every record still open and every id the plug-in handed out,
  // so the plug-in ends the input holding no effect.
  void Finish() {
    for (const int sequence : sequences_) {
      if (!host_.SequenceData(sequence)) continue;
      NoteId(sequence);
      Expect(host_.SequenceSetdown(sequence) == PF_Err_NONE, "set-down of an open record failed");
    }
    auto& store = HandleStore::Instance();
    for (const auto& id : ids_) {
      const PF_Handle record = store.New(kRecordSize);
      std::uint8_t bytes[kRecordSize] = {};
      std::memcpy(bytes + kIdOffset, id.data(), id.size());
      store.Write(record, bytes, sizeof bytes);
      host::CommandOptions options;
      options.adjust = [record](PF_InData& in, PF_OutData&) { in.sequence_data = record; };
      Expect(host_.Send(PF_Cmd_SEQUENCE_SETDOWN, options) == PF_Err_NONE, "set-down of a known id failed");
      if (store.Contains(record)) store.Dispose(record);
    }
  }

private:
  // The sequence the next step works on; one is made when there is none.
  int Pick() {
    if (sequences_.empty()) Setup();
    return sequences_[input_.Pick(sequences_.size())];
  }

  void Setup() {
    if (sequences_.size() >= 3) return;
    int sequence = -1;
    Expect(host_.SequenceSetup(sequence) == PF_Err_NONE, "sequence set-up failed");
    sequences_.push_back(sequence);
  }

  void Overwrite() {
    const int sequence = Pick();
    const PF_Handle record = host_.SequenceData(sequence);
    if (!record) return;
    auto& store = HandleStore::Instance();
    const auto bytes = input_.Bytes(kRecordSize + 1);
    const auto offset = input_.Pick(kRecordSize);
    auto current = store.Bytes(record);
    for (std::size_t i = 0; i < bytes.size() && offset + i < current.size(); ++i) {
      current[offset + i] = static_cast<std::uint8_t>(bytes[i]);
    }
    store.Write(record, current.data(), current.size());
  }

  // Another record's id, as a duplicated clip carries it.
  void ShareId() {
    const int from = Pick();
    const int to = Pick();
    auto& store = HandleStore::Instance();
    const PF_Handle source = host_.SequenceData(from);
    const PF_Handle target = host_.SequenceData(to);
    if (!source || !target) return;
    const auto id = store.Bytes(source);
    auto bytes = store.Bytes(target);
    if (id.size() < kRecordSize || bytes.size() < kRecordSize) return;
    std::copy(id.begin() + kIdOffset, id.begin() + kIdOffset + 16, bytes.begin() + kIdOffset);
    store.Write(target, bytes.data(), bytes.size());
  }

  // Records of any size, shorter ones included: the plug-in must refuse
  // those as damaged rather than read past their end.
  void Resize() {
    static constexpr std::array<A_HandleSize, 6> kSizes{kRecordSize, kRecordSize + 1, 64, 4096, 16, 0};
    PF_Handle record = host_.SequenceData(Pick());
    const A_HandleSize size = kSizes[input_.Pick(kSizes.size())];
    if (!record) return;
    Expect(HandleStore::Instance().Resize(size, &record) == PF_Err_NONE, "the host cannot resize a record");
  }

  void Send(PF_Cmd command) {
    const int sequence = Pick();
    const PF_Handle record = host_.SequenceData(sequence);
    NoteId(sequence);
    host::CommandOptions options;
    options.sequence = sequence;
    const bool withoutRecord = input_.Byte() < 16;
    if (withoutRecord) options.adjust = [](PF_InData& in, PF_OutData&) { in.sequence_data = nullptr; };
    // The Effect popup mostly, and parameters the plug-in does not answer;
    // never the buttons, which reach the network and the share folder.
    static constexpr std::array<PF_ParamIndex, 6> kChanged{
        ParameterLayout::EffectPopup, ParameterLayout::EffectPopup, ParameterLayout::Information, 0, -1, 1000};
    PF_UserChangedParamExtra changed{};
    if (command == PF_Cmd_USER_CHANGED_PARAM) {
      changed.param_index = kChanged[input_.Pick(kChanged.size())];
      options.extra = &changed;
    }
    // A record cut below the plug-in's 32 bytes is refused as damaged by
    // every command but set-down, which still disposes it.
    const bool shortRecord = !withoutRecord && record && HandleStore::Instance().GetSize(record) < kRecordSize;
    const PF_Err error = host_.Send(command, options);
    // Loading reports a path the file system refuses (a name too long) as
    // an error with its reason.
    const bool loads = command == PF_Cmd_UPDATE_PARAMS_UI || command == PF_Cmd_USER_CHANGED_PARAM;
    Expect(error == PF_Err_NONE ||
               (loads && error == PF_Err_INTERNAL_STRUCT_DAMAGED && !host_.LastReturnMessage().empty()) ||
               (shortRecord && command != PF_Cmd_SEQUENCE_SETDOWN && error == PF_Err_INTERNAL_STRUCT_DAMAGED),
           "a sequence command failed");
    Expect(HandleStore::Instance().LockedCount() == 0, "a sequence command left a handle locked");
    if (command == PF_Cmd_SEQUENCE_SETDOWN && withoutRecord && record) {
      // The plug-in never saw the record, and the host forgot it with the
      // sequence: it goes down on its own.
      host::CommandOptions again;
      again.adjust = [record](PF_InData& in, PF_OutData&) { in.sequence_data = record; };
      Expect(host_.Send(command, again) == PF_Err_NONE, "set-down failed");
    }
    NoteId(sequence);
  }

  void NoteId(int sequence) {
    const PF_Handle record = host_.SequenceData(sequence);
    if (!record) return;
    const auto bytes = HandleStore::Instance().Bytes(record);
    if (bytes.size() < kRecordSize) return;
    Id id;
    std::copy(bytes.begin() + kIdOffset, bytes.begin() + kRecordSize, id.begin());
    if (id != Id{}) ids_.insert(id);
  }

  // The Effect popup and the stored path: an example, a missing file, a
  // name too long for the file system, a kernel the plug-in refuses or cannot
  // launch, or nothing.
  void ChooseEffect() {
    static constexpr std::array<A_long, 7> kPopup{4, 1, 2, 3, 0, 5, -1};
    auto& params = host_.Params();
    params.SetPopupValue(ParameterLayout::EffectPopup, kPopup[input_.Pick(kPopup.size())]);
    const std::filesystem::path packages(LUMARO_FUZZ_PACKAGES_DIR);
    const std::array<std::filesystem::path, 8> kPaths{FuzzSession::Example("WarmGlow"),
                                                      FuzzSession::Example("ToneChoice"),
                                                      FuzzSession::Example("PulseVignette"),
                                                      FuzzSession::Example("Missing"),
                                                      FuzzSession::Example(std::string(300, 'x')),
                                                      packages / "WrongSignature.lumaro-effect",
                                                      packages / "FailingLaunch.lumaro-effect",
                                                      {}};
    const std::string path = kPaths[input_.Pick(kPaths.size())].string();
    Expect(params.WriteArbitraryText(ParameterLayout::EffectPath, path), "cannot store the path");
  }

  FuzzInput& input_;
  host::EffectHost& host_;
  std::vector<int> sequences_;
  std::set<Id> ids_;
};

} // namespace

int FuzzSequenceRecord(const std::uint8_t* data, std::size_t size) {
  auto& session = FuzzSession::Get();
  auto& store = HandleStore::Instance();
  const auto liveBefore = store.LiveCount();
  {
    const auto clip = session.NewClip();
    FuzzInput input(data, size);
    Run run(input, *clip);
    for (int step = 0; step < 48 && !input.Empty(); ++step) run.Step();
    run.Finish();
  }
  Expect(store.LiveCount() == liveBefore, "handles leaked");
  Expect(store.LockedCount() == 0, "a handle was left locked");
  Expect(session.Instance().GetLoadedEffectCount() == 0, "an effect outlived every record naming it");
  return 0;
}

} // namespace brantok::lumaro::fuzz
