#pragma once

#include "correction/EffectSource.h"
#include "correction/Uuid.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace brantok::lumaro::gpu {
class IProgram;
}

namespace brantok::lumaro::correction {

struct ProgramBuildResult {
  // Nothing else is ever produced.
  static constexpr std::int32_t Success = 0;
  static constexpr std::int32_t NoEntryPoint = 5;
  static constexpr std::int32_t BuildFailed = 18;

  std::optional<Uuid> id;
  std::int32_t error = Success;
  std::optional<std::string> message; // the failure's text, e.g. the build log
};

// Compiled programs of effect sources, found again by the source's content and
// handed out by id.
class IEffectCache {
public:
  virtual ~IEffectCache() = default;

  // The id of the program built from `source`, compiling it only when no
  // program of identical source exists yet. Metadata parse errors pass
  // through; a failed build is not remembered.
  virtual ProgramBuildResult GetOrBuildProgram(const EffectSource& source) = 0;
  virtual void StoreProgram(const EffectSource& source, const Uuid& id, std::shared_ptr<gpu::IProgram> program) = 0;
  virtual bool RemoveProgram(const EffectSource& source) = 0;
  // Null for an id the cache does not hold.
  virtual std::shared_ptr<gpu::IProgram> GetProgram(const Uuid& id) const = 0;
};

} // namespace brantok::lumaro::correction
