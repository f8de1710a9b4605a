#include "HostParameters.h"

#include "HandleStore.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace brantok::lumaro::host {
namespace {

const char* TextPointer(const PF_ParamDef& def) {
  switch (def.param_type) {
  case PF_Param_POPUP:
    return def.u.pd.u.namesptr;
  case PF_Param_BUTTON:
    return def.u.button_d.u.namesptr;
  case PF_Param_CHECKBOX:
    return def.u.bd.u.nameptr;
  default:
    return nullptr;
  }
}

// A host stores 16.16 fixed point and refuses what does not fit, rather than
// wrapping it round to another value.
PF_Fixed ToFixed(double value) {
  const double scaled = std::round(value * 65536.0);
  if (!(scaled >= static_cast<double>(std::numeric_limits<PF_Fixed>::min()) &&
        scaled <= static_cast<double>(std::numeric_limits<PF_Fixed>::max()))) {
    throw std::out_of_range("the value does not fit the host's 16.16 fixed point");
  }
  return static_cast<PF_Fixed>(scaled);
}

} // namespace

HostParameters::HostParameters() {
  // The plug-in holds the array during PARAMS_SETUP while add_param grows it.
  pointers_.reserve(kReservedParams);
  PF_ParamDef layer{};
  layer.param_type = PF_Param_LAYER;
  defs_.push_back(layer);
  texts_.emplace_back();
  ids_.push_back(0);
  pointers_.push_back(&defs_.back());
}

HostParameters::~HostParameters() {
  for (PF_Handle handle : ownedHandles_) HandleStore::Instance().Dispose(handle);
}

void HostParameters::PointTextAtCopy(std::size_t index) {
  PF_ParamDef& def = defs_[index];
  const char* text = texts_[index].c_str();
  switch (def.param_type) {
  case PF_Param_POPUP:
    def.u.pd.u.namesptr = text;
    break;
  case PF_Param_BUTTON:
    def.u.button_d.u.namesptr = text;
    break;
  case PF_Param_CHECKBOX:
    def.u.bd.u.nameptr = text;
    break;
  default:
    break;
  }
}

PF_Err HostParameters::Add(PF_ParamIndex index, const PF_ParamDef& def) {
  if (index != -1 && index != static_cast<PF_ParamIndex>(defs_.size())) return PF_Err_INVALID_INDEX;

  PF_ParamDef copy = def;
  if (copy.param_type == PF_Param_ARBITRARY_DATA) {
    // The default becomes the host's; the value starts as a copy of it, as the
    // plug-in's copy callback would make it.
    copy.u.arb_d.value = nullptr;
    if (PF_Handle dephault = copy.u.arb_d.dephault) {
      auto& store = HandleStore::Instance();
      const auto bytes = store.Bytes(dephault);
      PF_Handle value = store.New(bytes.size());
      if (!value) return PF_Err_OUT_OF_MEMORY;
      store.Write(value, bytes.data(), bytes.size());
      copy.u.arb_d.value = value;
      ownedHandles_.push_back(dephault);
      ownedHandles_.push_back(value);
    }
  }
  const char* text = TextPointer(def);
  defs_.push_back(copy);
  texts_.emplace_back(text ? text : "");
  ids_.push_back(def.uu.id);
  PointTextAtCopy(defs_.size() - 1);
  pointers_.push_back(&defs_.back());
  return PF_Err_NONE;
}

PF_Err HostParameters::ApplyUIUpdate(PF_ParamIndex index, const PF_ParamDef& def) {
  if (index < 1 || index >= static_cast<PF_ParamIndex>(defs_.size())) return PF_Err_INVALID_INDEX;
  PF_ParamDef& own = defs_[static_cast<std::size_t>(index)];
  if (def.param_type != own.param_type) return PF_Err_BAD_CALLBACK_PARAM;
  // The name is a C string in its 32-byte field; one without its terminator
  // would be read past the field.
  if (!std::memchr(def.name, '\0', sizeof def.name)) return PF_Err_BAD_CALLBACK_PARAM;

  own.ui_flags = def.ui_flags;
  own.ui_width = def.ui_width;
  own.ui_height = def.ui_height;
  std::memcpy(own.name, def.name, sizeof own.name);
  own.name[sizeof own.name - 1] = '\0';
  own.flags = (own.flags & ~PF_ParamFlag_COLLAPSE_TWIRLY) | (def.flags & PF_ParamFlag_COLLAPSE_TWIRLY);
  switch (own.param_type) {
  case PF_Param_FLOAT_SLIDER:
    own.u.fs_d.valid_min = def.u.fs_d.valid_min;
    own.u.fs_d.valid_max = def.u.fs_d.valid_max;
    own.u.fs_d.slider_min = def.u.fs_d.slider_min;
    own.u.fs_d.slider_max = def.u.fs_d.slider_max;
    own.u.fs_d.precision = def.u.fs_d.precision;
    own.u.fs_d.display_flags = def.u.fs_d.display_flags;
    own.u.fs_d.dephault = def.u.fs_d.dephault;
    break;
  case PF_Param_COLOR:
    own.u.cd.dephault = def.u.cd.dephault;
    break;
  case PF_Param_POPUP: {
    const char* names = def.u.pd.u.namesptr;
    texts_[static_cast<std::size_t>(index)] = names ? names : "";
    own.u.pd.num_choices = def.u.pd.num_choices;
    own.u.pd.dephault = def.u.pd.dephault;
    PointTextAtCopy(static_cast<std::size_t>(index));
    break;
  }
  default:
    break;
  }
  return PF_Err_NONE;
}

PF_ParamDef& HostParameters::At(PF_ParamIndex index) {
  if (index < 0 || index >= static_cast<PF_ParamIndex>(defs_.size())) {
    throw std::out_of_range("no parameter " + std::to_string(index));
  }
  return defs_[static_cast<std::size_t>(index)];
}

const PF_ParamDef& HostParameters::At(PF_ParamIndex index) const {
  return const_cast<HostParameters*>(this)->At(index);
}

A_long HostParameters::Id(PF_ParamIndex index) const {
  At(index);
  return ids_[static_cast<std::size_t>(index)];
}

std::optional<PF_ParamIndex> HostParameters::Find(const std::string& name) const {
  for (std::size_t i = 1; i < defs_.size(); ++i) {
    if (name == defs_[i].name) return static_cast<PF_ParamIndex>(i);
  }
  return std::nullopt;
}

std::string HostParameters::Text(PF_ParamIndex index) const {
  At(index);
  return texts_[static_cast<std::size_t>(index)];
}

void HostParameters::SetInputLayer(const PF_LayerDef& layer) { defs_.front().u.ld = layer; }

void HostParameters::ClearChangeFlags() {
  for (auto& def : defs_) def.uu.change_flags = PF_ChangeFlag_NONE;
}

std::vector<PF_ParamIndex> HostParameters::ChangedValues() const {
  std::vector<PF_ParamIndex> changed;
  for (std::size_t i = 0; i < defs_.size(); ++i) {
    if (defs_[i].uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) changed.push_back(static_cast<PF_ParamIndex>(i));
  }
  return changed;
}

PF_ParamDef& HostParameters::Checked(PF_ParamIndex index, PF_ParamType type) {
  PF_ParamDef& def = At(index);
  if (def.param_type != type) {
    throw std::invalid_argument("parameter " + std::to_string(index) + " is of type " + std::to_string(def.param_type) +
                                ", not " + std::to_string(type));
  }
  return def;
}

void HostParameters::SetPopupValue(PF_ParamIndex index, A_long value) {
  Checked(index, PF_Param_POPUP).u.pd.value = value;
}

void HostParameters::SetFloatSliderValue(PF_ParamIndex index, double value) {
  Checked(index, PF_Param_FLOAT_SLIDER).u.fs_d.value = value;
}

void HostParameters::SetColorValue(PF_ParamIndex index, const PF_Pixel& value) {
  Checked(index, PF_Param_COLOR).u.cd.value = value;
}

void HostParameters::SetAngleValue(PF_ParamIndex index, double degrees) {
  Checked(index, PF_Param_ANGLE).u.ad.value = ToFixed(degrees);
}

void HostParameters::SetCheckboxValue(PF_ParamIndex index, bool value) {
  Checked(index, PF_Param_CHECKBOX).u.bd.value = value ? 1 : 0;
}

void HostParameters::SetPointValue(PF_ParamIndex index, double x, double y) {
  auto& point = Checked(index, PF_Param_POINT).u.td;
  point.x_value = ToFixed(x);
  point.y_value = ToFixed(y);
}

std::vector<std::uint8_t> HostParameters::ArbitraryBytes(PF_ParamIndex index) const {
  const PF_ParamDef& def = At(index);
  if (def.param_type != PF_Param_ARBITRARY_DATA) throw std::invalid_argument("not an arbitrary-data parameter");
  return HandleStore::Instance().Bytes(def.u.arb_d.value);
}

std::string HostParameters::ReadArbitraryText(PF_ParamIndex index) const {
  const auto bytes = ArbitraryBytes(index);
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return std::string(bytes.begin(), end);
}

bool HostParameters::WriteArbitraryText(PF_ParamIndex index, const std::string& text) {
  PF_ParamDef& def = Checked(index, PF_Param_ARBITRARY_DATA);
  auto& store = HandleStore::Instance();
  // A value the plug-in made longer than its default (text followed by data
  // of its own) is text alone again, at the default's size.
  if (def.u.arb_d.dephault && def.u.arb_d.value &&
      store.GetSize(def.u.arb_d.value) > store.GetSize(def.u.arb_d.dephault)) {
    if (store.Resize(store.GetSize(def.u.arb_d.dephault), &def.u.arb_d.value) != PF_Err_NONE) return false;
  }
  const auto size = static_cast<std::size_t>(store.GetSize(def.u.arb_d.value));
  if (!def.u.arb_d.value || text.size() >= size) return false;
  std::vector<std::uint8_t> bytes(size, 0);
  std::copy(text.begin(), text.end(), bytes.begin());
  return store.Write(def.u.arb_d.value, bytes.data(), bytes.size());
}

std::size_t HostParameters::OwnedHandleCount() const {
  auto& store = HandleStore::Instance();
  return static_cast<std::size_t>(
      std::count_if(ownedHandles_.begin(), ownedHandles_.end(), [&](PF_Handle h) { return store.Contains(h); }));
}

} // namespace brantok::lumaro::host
