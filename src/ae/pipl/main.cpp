// lumaro-pipl: writes the PiPL resource data of the Lumaro effect to a file,
// which the Windows build compiles into the module. Generated rather than
// committed, so the bytes always follow the values in EffectPipl.
#include "ae/pipl/EffectPipl.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: lumaro-pipl OUTPUT\n";
    return 1;
  }
  try {
    const auto bytes = brantok::lumaro::ae::EffectPipl::LumaroEffect().Bytes();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      // A truncated file must not pass for the resource.
      std::remove(argv[1]);
      std::cerr << "lumaro-pipl: cannot write " << argv[1] << "\n";
      return 1;
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "lumaro-pipl: " << error.what() << "\n";
    return 1;
  }
}
