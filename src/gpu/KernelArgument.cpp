#include "gpu/KernelArgument.h"

namespace brantok::lumaro::gpu {

std::string KernelArgument::Describe() const {
  switch (access) {
  case eArgumentAccess::ReadOnly:
    return "__read_only " + typeName;
  case eArgumentAccess::WriteOnly:
    return "__write_only " + typeName;
  case eArgumentAccess::ReadWrite:
    return "__read_write " + typeName;
  case eArgumentAccess::None:
    break;
  }
  switch (address) {
  case eArgumentAddress::Global:
    return "__global " + typeName;
  case eArgumentAddress::Constant:
    return "__constant " + typeName;
  case eArgumentAddress::Local:
    return "__local " + typeName;
  case eArgumentAddress::Private:
    break;
  }
  return typeName;
}

} // namespace brantok::lumaro::gpu
