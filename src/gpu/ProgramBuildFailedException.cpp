#include "gpu/ProgramBuildFailedException.h"

#include <utility>

namespace brantok::lumaro::gpu {

ProgramBuildFailedException::ProgramBuildFailedException(std::string buildLog) : buildLog_(std::move(buildLog)) {}

const char* ProgramBuildFailedException::what() const noexcept { return buildLog_.c_str(); }

} // namespace brantok::lumaro::gpu
