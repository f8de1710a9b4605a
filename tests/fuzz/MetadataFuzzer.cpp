#include "FuzzTargets.h"

#include "ae/ParameterLayout.h"
#include "correction/EffectSourceMetadata.h"
#include "correction/effects/IOptionControl.h"
#include "correction/effects/IRangeControl.h"

#include <exception>
#include <string>

namespace brantok::lumaro::fuzz {

int FuzzMetadata(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), data ? size : 0);
  try {
    const correction::EffectSourceMetadata metadata(text);
    // What the loader and the host layer do with a parsed document.
    const auto title = metadata.GetTitle();
    const auto entryPoint = metadata.GetEntryPoint();
    for (const auto& control : metadata.GetControls()) {
      Expect(control != nullptr, "a listed control is null");
      const auto id = control->GetId();
      const auto label = control->GetLabel();
      Expect(control->SetValue(control->GetValue()), "a control refuses its own value");
      if (const auto choice = std::dynamic_pointer_cast<correction::effects::IOptionControl<int>>(control)) {
        const auto joined = ae::JoinChoices(choice->GetOptions());
        Expect(joined.size() + 1 >= choice->GetOptions().size(), "joined choices shorter than their separators");
      }
    }
    ae::ForEachControl(metadata.GetControls(), [](const auto&, A_long index, ae::eControl) {
      Expect(index >= ae::ParameterLayout::FirstControlParam && index <= ae::ParameterLayout::LastControlParam,
             "a control mapped outside the parameter layout");
    });
  } catch (const std::exception&) {
    // Malformed metadata is reported with an exception: the expected outcome.
  }
  return 0;
}

} // namespace brantok::lumaro::fuzz
