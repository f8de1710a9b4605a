#pragma once

#include "correction/effects/IControl.h"
#include "gpu/KernelArgument.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::correction {

// What an effect's kernel must declare: the input image (read only), the
// output image (write only), time as float, frame as int, duration as float,
// then one argument per control of the type its kind uploads. A kernel that
// declares anything else would be handed bytes it does not expect, and a
// pointer where an image goes lets it write past the image.
class KernelSignature final {
public:
  // Null when `arguments` fit `controls`; otherwise one line naming the first
  // argument that does not fit, what it declares and what is needed.
  static std::optional<std::string> Check(const std::vector<gpu::KernelArgument>& arguments,
                                          const std::vector<std::shared_ptr<effects::IControl>>& controls);
};

} // namespace brantok::lumaro::correction
