#pragma once

#include <cstdint>
#include <string>

namespace brantok::lumaro::gpu {

// Where a kernel argument lives on the device, as the compiler declared it.
enum class eArgumentAddress : std::int32_t { Private = 0, Global = 1, Constant = 2, Local = 3 };
// How an image argument may be used; None for everything that is not an image.
enum class eArgumentAccess : std::int32_t { None = 0, ReadOnly = 1, WriteOnly = 2, ReadWrite = 3 };

// One argument of a kernel's signature, as the driver reports it for a
// program built with argument information.
struct KernelArgument {
  std::string name;
  std::string typeName; // unqualified, e.g. "float4", "image2d_t", "float4*"
  eArgumentAddress address = eArgumentAddress::Private;
  eArgumentAccess access = eArgumentAccess::None;

  // The declaration as a kernel author would write it, for messages:
  // "__read_only image2d_t", "__global float4*", "float".
  std::string Describe() const;
};

} // namespace brantok::lumaro::gpu
