#pragma once

#include "correction/IEffectSourceMetadata.h"

namespace brantok::lumaro::correction {

// Parses metadata.json. Forgiving at the top level: a missing or mistyped
// title, kernel name or control list, a control that is not an object, lacks
// its class, id or label, or has an unknown class, is left out silently.
// Strict inside a recognised control: a missing or mistyped range, default or
// option list throws the JSON library's exception with its own text, and no
// partial object survives.
class EffectSourceMetadata final : public IEffectSourceMetadata {
public:
  explicit EffectSourceMetadata(const std::string& jsonText);

  std::optional<std::string> GetTitle() const override;
  std::optional<std::string> GetEntryPoint() const override;
  const std::vector<std::shared_ptr<effects::IControl>>& GetControls() const override;

private:
  std::optional<std::string> title_;
  std::optional<std::string> entryPoint_;
  std::vector<std::shared_ptr<effects::IControl>> controls_;
};

} // namespace brantok::lumaro::correction
